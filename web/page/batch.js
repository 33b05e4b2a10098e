// "Записать на несколько…": the page's settings written to every checked port
// at the same time, each read back after the device's recording and
// compared, as `quorvex-cli write --port A --port B --verify` does. Each port
// runs on its own and fails alone; its line and the total are the core's words.
// Each box stands for its port itself, not for a place in the list, which
// moves as programmers come and go. While the batch runs its dialog stays
// open and "Остановить" ends every port's command through its engine; the
// lines stay until the next batch. The failed ones are marked, and
// "Повторить неудавшиеся" runs those ports alone.
import { runCommand } from './commands.js';
import { commandStarted } from './leaving.js';
import { OpenFailure } from './link.js';
import { setCaptions } from './render.js';

/** @typedef {import('./ports.js').Port} Port */

// `view` is the page's own command view: a refusal marks its fields and
// shows its message there, once for the whole batch.
/**
 * @param {object} page
 * @param {Quorvex} page.quorvex
 * @param {ToolTexts} page.tools
 * @param {PageTexts} page.texts
 * @param {ById} page.byId
 * @param {import('./link.js').Link} page.link
 * @param {QuorvexModel} page.model
 * @param {(run: () => Promise<void>) => Promise<void>} page.exclusive
 * @param {import('./commands.js').CommandView} page.view
 * @param {typeof import('./history.js').recordHistory} page.remember
 */
export function setUpBatch({ quorvex, tools, texts, byId, link, model, exclusive, view, remember }) {
  const dialog = byId('batchDialog');
  const list = byId('batchPorts');
  const results = byId('batchResults');
  const stop = byId('batchStop');
  const close = byId('batchClose');
  const retry = byId('batchRetry');
  setCaptions(byId, {
    batchButton: tools.batch, batchTitle: tools.batch, batchWrite: tools.batchWrite, batchStop: tools.batchStop,
    batchClose: tools.close, batchAll: tools.batchAll, batchRetry: tools.batchRetry,
  });

  /** @type {WeakMap<HTMLInputElement, Port>} each box's port */
  const portOf = new WeakMap();
  /** @type {Set<Port>} checked when the dialog was last shown */
  const checkedPorts = new Set();
  /** @type {Port[]} the ports that failed in the last batch */
  let failedPorts = [];
  let running = false;
  let stopping = false;

  // The ports of the selector (the simulator first), each with its checkbox,
  // checked as it was left.
  function listPorts() {
    const labels = [...link.select.options].slice(0, link.choices.length).map((option) => option.textContent ?? '');
    list.replaceChildren(...link.choices.map((port, i) => {
      const label = document.createElement('label');
      const box = document.createElement('input');
      box.type = 'checkbox';
      box.checked = checkedPorts.has(port);
      box.addEventListener('change', () => { if (box.checked) checkedPorts.add(port); else checkedPorts.delete(port); });
      portOf.set(box, port);
      label.append(box, ` ${labels[i]}`);
      label.dataset.port = labels[i];
      return label;
    }));
  }

  // The port as the driver's link: the port the selector's commands keep
  // open is used as it is, any other is opened for the batch and closed after.
  // A port no longer granted (unplugged since it was checked) is not opened.
  /** @param {Port} port */
  function linkTo(port) {
    const keptOpen = port === link.openPort && !port.lost;
    // The read-back opens the port again: the one opened here serves it.
    let opened = keptOpen;
    return {
      async ensureOpen() {
        if (!link.choices.includes(port)) throw new OpenFailure(texts.portGone, 'missing');
        if (opened && !port.lost) return port;
        if (opened) await port.close();
        opened = false;
        try {
          await port.open();
        } catch (error) {
          const { name, message } = /** @type {Error} */ (error);
          throw new OpenFailure(quorvex.openFailureLine(name ?? '', message ?? ''),
            quorvex.openFailureCause(name ?? '', message ?? ''));
        }
        opened = true;
        return port;
      },
      forget() {
        opened = false;
        port.close();
      },
      async release() {
        if (!keptOpen && opened) await port.close();
        if (port === link.openPort && port.lost) link.openPort = null;
      },
    };
  }

  // "Записать и проверить" on one port by its own engine, its messages kept
  // for its line rather than shown; never rejects. Every port the engine
  // did not refuse is kept in the history, one that would not open too,
  // with the settings it was to be sent.
  /** @param {Port} port @param {string} label @param {HTMLLIElement} line */
  async function programPort(port, label, line) {
    const bar = document.createElement('progress');
    bar.max = 1;
    bar.value = 0;
    line.replaceChildren(`${label} `, bar);
    const started = performance.now();
    const engine = new quorvex.CommandEngine(model, 'writeVerify');
    const portLink = linkTo(port);
    /** @type {CommandStep | null} */
    let refusal = null;
    let recorded = false;
    /** @param {CommandSummary & { settingsLine: Uint8Array | null }} entry */
    const record = (entry) => {
      recorded = true;
      remember({ ...entry, port: label, command: 'writeVerify' });
    };
    /** @type {import('./commands.js').CommandView} */
    const portView = {
      mark: view.mark,
      subscriberTab: view.subscriberTab,
      progress(sent, total) {
        bar.max = total + 1;  // the last step is the read-back
        bar.value = sent;
      },
      message(step) {
        if (step.messageKind === 'refusal') refusal = step;
        return Promise.resolve();
      },
      stopRequested: () => stopping,
      record,
    };
    // The engine's summary of how the port ended; the page's own failure
    // has no code of the core's and says its message instead.
    /** @type {CommandSummary} */
    let summary;
    try {
      await runCommand(engine, portLink, portView);
      summary = engine.summary() ?? { outcome: 'failed' };
      if (!recorded && engine.summary() && summary.outcome !== 'refused') {
        record({ ...summary, settingsLine: model.save().bytes });
      }
    } catch (error) {
      summary = { outcome: 'failed', systemText: String(/** @type {Error | undefined} */ (error)?.message ?? error) };
    } finally {
      await portLink.release().catch(() => { /* the line is shown whatever closing did */ });
    }
    engine.delete();
    bar.value = bar.max;
    const text = quorvex.batchLine(label, summary, (performance.now() - started) / 1000);
    return { outcome: summary.outcome, text, refusal };
  }

  // The listed ports whose boxes pass `which`, with their labels.
  /** @param {(box: HTMLInputElement, port: Port) => boolean} which */
  function listed(which) {
    // Each box is in its port's label (listPorts).
    return [...list.querySelectorAll('input')].map((element) => {
      const box = /** @type {HTMLInputElement} */ (element);
      return {
        box,
        port: /** @type {Port} */ (portOf.get(box)),
        label: /** @type {HTMLLabelElement} */ (box.closest('label')).dataset.port ?? '',
      };
    }).filter(({ box, port }) => which(box, port));
  }

  // The retry offers the last batch's failed ports that are still listed.
  function offerRetry() {
    retry.hidden = running || listed((_, port) => failedPorts.includes(port)).length === 0;
  }

  /** @param {{ port: Port, label: string }[]} checked */
  async function writePorts(checked) {
    if (checked.length === 0) return;
    commandStarted('write', checked.map(({ label }) => label).join(', '));
    results.replaceChildren();
    running = true;
    stopping = false;
    retry.hidden = true;
    close.disabled = true;
    stop.hidden = false;
    stop.disabled = false;
    try {
      const runs = checked.map(({ port, label }) => {
        const line = document.createElement('li');
        results.append(line);
        return programPort(port, label, line).then((done) => {
          line.textContent = done.text;
          line.dataset.outcome = done.outcome;
          const failed = !quorvex.batchSucceeded(done.outcome);
          line.classList.toggle('failed', failed);
          if (failed) line.dataset.mark = tools.batchFailedMark;
          return { ...done, port, failed };
        });
      });
      const done = await Promise.all(runs);
      failedPorts = done.filter((port) => port.failed && !port.refusal).map(({ port }) => port);
      // The settings' checks refuse them alike on every port, before any opens.
      const refusal = done.find((port) => port.refusal)?.refusal;
      if (refusal) {
        results.replaceChildren();
        await view.message(refusal);
        return;
      }
      const total = document.createElement('li');
      total.className = 'total';
      total.textContent = quorvex.batchTotal(done.map((port) => port.outcome), true);
      results.append(total);
    } finally {
      running = false;
      close.disabled = false;
      stop.hidden = true;
      offerRetry();
    }
  }

  byId('batchButton').addEventListener('click', () => {
    listPorts();
    offerRetry();
    dialog.showModal();
  });
  byId('batchAll').addEventListener('click', () => {
    for (const { box, port } of listed(() => true)) {
      box.checked = true;
      checkedPorts.add(port);
    }
  });
  byId('batchWrite').addEventListener('click', () => exclusive(() => writePorts(listed((box) => box.checked))));
  retry.addEventListener('click', () => exclusive(() => writePorts(listed((_, port) => failedPorts.includes(port)))));
  stop.addEventListener('click', () => {
    stopping = true;
    stop.disabled = true;
  });
  close.addEventListener('click', () => { if (!running) dialog.close(); });
  // Escape does not close a running batch; where the browser closes the
  // dialog anyway (a second Escape), it is shown again.
  dialog.addEventListener('cancel', (event) => { if (running) event.preventDefault(); });
  dialog.addEventListener('close', () => { if (running) dialog.showModal(); });
}
