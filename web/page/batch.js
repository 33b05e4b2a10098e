// "Записать на несколько…": the page's settings written to every checked port
// at the same time, each read back after the device's recording and
// compared, as `quorvex-cli write --port A --port B --verify` does. Each port
// runs on its own and fails alone; its line and the total are the core's words.
import { commandStarted } from './leaving.js';
import { waitUntil, writePaced } from './pacing.js';
import { PortLost } from './ports.js';

// Bytes written between two moves of a port's progress bar.
const progressStep = 16;

export function setUpBatch({ quorvex, tools, texts, byId, link, model, exclusive, playSteps, remember }) {
  const dialog = byId('batchDialog');
  const list = byId('batchPorts');
  const results = byId('batchResults');
  byId('batchButton').textContent = tools.batch;
  byId('batchTitle').textContent = tools.batch;
  byId('batchWrite').textContent = tools.batchWrite;
  byId('batchClose').textContent = tools.close;

  // The ports of the selector (the simulator first), each with its checkbox.
  function listPorts() {
    const labels = [...link.select.options].slice(0, link.choices.length).map((option) => option.textContent);
    list.replaceChildren(...link.choices.map((port, i) => {
      const label = document.createElement('label');
      const box = document.createElement('input');
      box.type = 'checkbox';
      box.value = String(i);
      label.append(box, ` ${labels[i]}`);
      label.dataset.port = labels[i];
      return label;
    }));
  }

  // Write, recording, read-back and comparison on one port; never rejects.
  async function programPort(port, label, frame, bar) {
    const started = performance.now();
    const ended = (outcome, differing = 0, cause = '') => ({
      outcome, line: quorvex.batchLine(label, outcome, differing, cause, (performance.now() - started) / 1000),
    });
    // The port the selector's commands keep open is used as it is.
    const keptOpen = port === link.openPort && !port.lost;
    try {
      if (!keptOpen) await port.open();
    } catch (error) {
      return ended('failed', 0, `${texts.cannotOpen.text} (${error.message})`);
    }
    try {
      for (let at = 0; at < frame.length; at += progressStep) {
        await writePaced(port, frame.subarray(at, at + progressStep), texts.pauseAfterWriteMs);
        bar.value = Math.min(frame.length, at + progressStep);
      }
      await waitUntil(performance.now() + texts.recordingMs);
      await port.read(0);
      await port.write(texts.readRequest);
      const verified = model.compareWithReply(await port.read(performance.now() + texts.receptionWindowMs));
      bar.value = bar.max;
      if (verified.outcome !== 'success') return ended('failed', 0, `${tools.readBackFailed}: ${verified.text}`);
      return verified.differences.length ? ended('differs', verified.differences.length) : ended('verified');
    } catch (error) {
      return ended('failed', 0, error instanceof PortLost ? `${texts.portLost.text} (${error.message})` : String(error));
    } finally {
      if (!keptOpen) await port.close();
      if (port === link.openPort && port.lost) link.openPort = null;
    }
  }

  async function writeChecked() {
    const checked = [...list.querySelectorAll('input:checked')].map((box) => box.closest('label'));
    if (checked.length === 0) return;
    const check = model.checkWrite();
    await playSteps(check.steps);
    if (!check.frame) return;
    const sent = model.save().bytes;
    commandStarted('write', checked.map((label) => label.dataset.port).join(', '));
    results.replaceChildren();
    const runs = checked.map((label) => {
      const port = link.choices[Number(label.querySelector('input').value)];
      const line = document.createElement('li');
      const bar = document.createElement('progress');
      bar.max = check.frame.length + 1;
      bar.value = 0;
      line.append(`${label.dataset.port} `, bar);
      results.append(line);
      return programPort(port, label.dataset.port, check.frame, bar).then((done) => {
        line.textContent = done.line;
        line.dataset.outcome = done.outcome;
        remember({ settingsLine: sent, port: label.dataset.port, command: 'writeVerify', outcome: done.line });
        return done.outcome;
      });
    });
    const total = document.createElement('li');
    total.className = 'total';
    total.textContent = quorvex.batchTotal(await Promise.all(runs), true);
    results.append(total);
  }

  byId('batchButton').addEventListener('click', () => {
    listPorts();
    results.replaceChildren();
    dialog.showModal();
  });
  byId('batchWrite').addEventListener('click', () => exclusive(writeChecked));
  byId('batchClose').addEventListener('click', () => dialog.close());
}
