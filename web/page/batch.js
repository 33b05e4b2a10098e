// "Записать на несколько…": the page's settings written to every checked port
// at the same time, each read back after the device's recording and
// compared, as `quorvex-cli write --port A --port B --verify` does. Each port
// runs on its own and fails alone; its line and the total are the core's words.
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
 * @param {ById} page.byId
 * @param {import('./link.js').Link} page.link
 * @param {QuorvexModel} page.model
 * @param {(run: () => Promise<void>) => Promise<void>} page.exclusive
 * @param {import('./commands.js').CommandView} page.view
 * @param {typeof import('./history.js').recordHistory} page.remember
 */
export function setUpBatch({ quorvex, tools, byId, link, model, exclusive, view, remember }) {
  const dialog = byId('batchDialog');
  const list = byId('batchPorts');
  const results = byId('batchResults');
  setCaptions(byId, {
    batchButton: tools.batch, batchTitle: tools.batch, batchWrite: tools.batchWrite, batchClose: tools.close,
  });

  // The ports of the selector (the simulator first), each with its checkbox.
  function listPorts() {
    const labels = [...link.select.options].slice(0, link.choices.length).map((option) => option.textContent ?? '');
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

  // The port as the driver's link: the port the selector's commands keep
  // open is used as it is, any other is opened for the batch and closed after.
  /** @param {Port} port */
  function linkTo(port) {
    const keptOpen = port === link.openPort && !port.lost;
    // The read-back opens the port again: the one opened here serves it.
    let opened = keptOpen;
    return {
      async ensureOpen() {
        if (opened && !port.lost) return port;
        if (opened) await port.close();
        opened = false;
        try {
          await port.open();
        } catch (error) {
          const failure = /** @type {Error} */ (error);
          throw new OpenFailure(failure.message, quorvex.openFailureCause(failure.name ?? '', failure.message ?? ''));
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
  // for its line rather than shown; never rejects.
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
      record: (entry) => remember({ ...entry, port: label, command: 'writeVerify' }),
    };
    // The engine's summary of how the port ended; the page's own failure
    // has no code of the core's and says its message instead.
    /** @type {CommandSummary} */
    let summary;
    try {
      await runCommand(engine, portLink, portView);
      summary = engine.summary() ?? { outcome: 'failed' };
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

  async function writeChecked() {
    // Each box is in its port's label (listPorts).
    const checked = [...list.querySelectorAll('input:checked')]
      .map((box) => /** @type {HTMLLabelElement & { dataset: { port: string } }} */ (box.closest('label')));
    if (checked.length === 0) return;
    commandStarted('write', checked.map((label) => label.dataset.port).join(', '));
    results.replaceChildren();
    const runs = checked.map((label) => {
      const port = link.choices[Number(/** @type {HTMLInputElement} */ (label.querySelector('input')).value)];
      const line = document.createElement('li');
      results.append(line);
      return programPort(port, label.dataset.port, line).then((done) => {
        line.textContent = done.text;
        line.dataset.outcome = done.outcome;
        return done;
      });
    });
    const done = await Promise.all(runs);
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
  }

  byId('batchButton').addEventListener('click', () => {
    listPorts();
    results.replaceChildren();
    dialog.showModal();
  });
  byId('batchWrite').addEventListener('click', () => exclusive(writeChecked));
  byId('batchClose').addEventListener('click', () => dialog.close());
}
