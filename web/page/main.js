// The page: the catalogue's tabs, "Открыть", "Сохранить", "Записать" and
// "Прочитать" against the port chosen in ComboBox1. Every text, check and
// byte comes from the module; this file moves them and shows messages.
import { buildTabs, listenToControls, showSettings } from './render.js';
import { SettingsFiles } from './files.js';
import { commandEnded, commandStarted, frameSent, writesCutShort } from './leaving.js';
import { Link, OpenFailure } from './link.js';
import { runCommand } from './commands.js';
import { PortLost } from './ports.js';
import { setUpSheet } from './sheet.js';
import { setUpCompare } from './compare.js';
import { recordHistory, setUpHistory } from './history.js';
import { setUpBatch } from './batch.js';
import { setUpObjects } from './objects.js';
import { setUpSync } from './sync.js';
import { aboutWindow } from './about.js';
import { frameProgress, restoreFocus, showFor, successWithPort } from './feedback.js';
import { installKeys } from './keys.js';
import { connectButton, portButtons, showPortButtons, showPortStatus } from './port_chooser.js';
import { tabKeys } from './tabs.js';
import { watchUpdates } from './updates.js';

// The module, or the page's message that it cannot start (boot.js); then
// nothing else of the page runs and its commands stay disabled.
/** @returns {Promise<Quorvex>} */
async function loadModule() {
  try {
    if (typeof createQuorvex !== 'function') throw new Error('quorvex.js');
    return await createQuorvex();
  } catch (error) {
    window.quorvexFailed(error);
    return new Promise(() => { /* never: the page stops here */ });
  }
}

// What the browser has to look up (the granted ports, the markers of writes
// cut short) is asked for at once, while the module loads.
const grantedPorts = navigator.serial?.getPorts();
grantedPorts?.catch(() => { /* awaited below, where a refusal is thrown on */ });
const cutShort = writesCutShort();

// The marks split the start for the bench: module, catalogue, tabs, ready.
const quorvex = await loadModule();
performance.mark('quorvex-module');
const catalogue = quorvex.catalogue();
const texts = quorvex.texts();
const tools = quorvex.toolTexts();
const installer = quorvex.installerTexts();
const protocol = quorvex.protocol();
const model = new quorvex.Model();
performance.mark('quorvex-catalogue');
// Every id the page asks for is in index.html.
/** @type {ById} */
const byId = (/** @type {string} */ id) => /** @type {any} */ (document.getElementById(id));

const showTab = buildTabs(catalogue, texts, byId('PageControl1'), byId('pages'));
tabKeys(byId('PageControl1'), showTab);
// Past the port and the commands, straight to the shown tab: the next Tab
// goes into its settings.
byId('skipLink').textContent = installer.skipToSettings;
byId('skipLink').addEventListener('click', (event) => {
  event.preventDefault();
  /** @type {HTMLElement} */ (byId('PageControl1').querySelector('[aria-selected=true]')).focus();
});
const refresh = () => showSettings(catalogue, model);

// The open file's name in the title, and whether the settings changed since
// they were opened or saved: leaving the page or opening another file over
// such edits asks first.
// The module words the file messages that name a file or a port.
const fileTexts = {
  ...quorvex.fileTexts(),
  downloadStarted: quorvex.downloadStarted,
  notOpened: quorvex.notOpened,
  writeCutShort: quorvex.writeCutShort,
};
const files = new SettingsFiles({ model, texts, fileTexts, showMessage, refresh });

listenToControls(catalogue, model, () => {
  files.settingsAre('edited');
  refresh();
});
refresh();
performance.mark('quorvex-tabs');
byId('Label87').textContent = texts.version;
const showAbout = aboutWindow(byId('about'), installer);
byId('Label87').addEventListener('click', showAbout);
for (const [id, caption] of Object.entries(texts.buttons)) byId(id).append(caption);

const dialog = byId('message');
// A title that only repeats the text is not shown twice; it still names
// the box for screen readers.
// Below the window's text: the page's own note (what to know or do next),
// then the port a success went to (`port`).
/** @param {QuorvexMessage} message @returns {Promise<unknown>} */
function showMessage({ text, title, note = '', port = '' }) {
  byId('messageTitle').textContent = title;
  byId('messageTitle').hidden = title === text;
  byId('messageText').textContent = text;
  byId('messageNote').textContent = note;
  byId('messageNote').hidden = !note;
  byId('messagePort').textContent = port;
  byId('messagePort').hidden = !port;
  dialog.showModal();
  return new Promise((resolve) => dialog.addEventListener('close', resolve, { once: true }));
}

let running = false;
const ports = byId('ComboBox1');
byId('Label19').textContent = installer.portLabel;
const link = new Link(ports, quorvex, texts, navigator.serial);
const offerUpdate = watchUpdates(byId('updateBar'), installer, quorvex.updateReady,
  () => !running && !link.portIsOpen());
const portControls = { disconnect: byId('disconnectPort'), name: byId('namePort') };
link.onChange = () => {
  showPortStatus(byId('portStatus'), byId('simulatorNote'), link, installer, quorvex.portStatus);
  showPortButtons(portControls, link);
  offerUpdate();
};
// The greeting's steps start, on this page, at the connect button.
byId('connectStep').textContent = navigator.serial ? installer.connectStep : '';
connectButton(byId('connectPort'), link, navigator.serial, installer, showMessage);
if (navigator.serial) await link.refresh(grantedPorts);
else byId('serialNote').textContent = texts.noWebSerial;
link.onChange();

// A failure no command turned into its own message: the port's, or any
// other, said in words rather than left as an unhandled rejection.
// The browser's reason goes below the text, where it gave one.
/** @param {unknown} error */
async function showFailure(error) {
  const kind = error instanceof OpenFailure ? 'cannotOpen' : error instanceof PortLost ? 'portLost' : 'commandFailed';
  const reason = /** @type {Error | undefined} */ (error)?.message ?? error;
  await showMessage(quorvex.failureMessage(kind, String(reason)));
}

// One command at a time, as in the window: the commands wait while one runs,
// and the settings cannot be edited under it. Afterwards the focus returns
// to `origin`, or goes to the field a refusal marked red.
const commands = /** @type {HTMLButtonElement[]} */ (['N2', 'N3', 'BitBtn1', 'BitBtn2', 'writeVerify',
  'connectPort', 'disconnectPort', 'namePort', 'compareDevice', 'batchAll', 'batchWrite', 'batchRetry'].map(byId));
// A file launched while a command runs waits for its end, as a click would.
let idle = Promise.resolve();
/** @param {() => Promise<void>} run @param {Element | null} [origin] */
function exclusive(run, origin = document.activeElement) {
  const turn = idle.then(() => alone(run, origin));
  idle = turn.catch(() => { /* the turn's own caller hears of it; the next runs all the same */ });
  return turn;
}
/** @returns {NodeListOf<HTMLInputElement | HTMLSelectElement | HTMLTextAreaElement>} */
const settingsControls = () => byId('pages').querySelectorAll('input, select, textarea');
/** @type {HTMLElement | null} */
let refusedField = null;
/** @param {() => Promise<void>} run @param {Element | null} origin */
async function alone(run, origin) {
  for (const button of commands) button.disabled = true;
  ports.disabled = true;
  const editable = [...settingsControls()].filter((control) => !control.disabled);
  for (const control of editable) control.disabled = true;
  running = true;
  refusedField = null;
  offerUpdate();
  try {
    await run();
  } catch (error) {
    try {
      await showFailure(error);
    } catch {
      // The message itself failed: nothing more to say.
    }
  } finally {
    commandEnded();
    for (const control of editable) control.disabled = false;
    for (const button of commands) button.disabled = false;
    ports.disabled = false;
    running = false;
    refresh();
    link.onChange();
    restoreFocus(origin, refusedField);
  }
}

portButtons(portControls, link, installer, exclusive);

const subscriberTab = catalogue.tabs.findIndex((tab) => tab.kind === 'textFields');

// A write that a closed page cut short is told at the next start, before a
// launched file can show a message of its own.
for (const port of await cutShort) {
  await showMessage(fileTexts.writeCutShort(port));
}
files.listen({ exclusive, openDialog: byId('OpenDialog1'), openButton: byId('N2'), saveButton: byId('N3') });

// The device commands, each run by the module's engine on the model.
const readButton = byId('BitBtn1');
const countdown = byId('readCountdown');
/** @type {import('./commands.js').CommandView & { readHidden: boolean, command: string | null }} */
const commandView = {
  mark(field, colour) {
    const control = byId(field);
    control.classList.remove('red', 'white');
    control.classList.add(colour);
    if (colour === 'red') refusedField ??= control;
  },
  subscriberTab: () => showTab(subscriberTab),
  // 'write' while a frame goes out, 'read' while the device is awaited.
  underWay: (kind) => commandStarted(kind, link.label()),
  progress: (sent, total) => frameProgress(byId('frameProgress'), byId('sendingText'),
    quorvex.sendingProgress, sent, total),
  // The whole frame left: the device records it now.
  frameOut: () => {
    frameSent();
    showFor(byId('recordingNote'), installer.recording, protocol.recordingMs);
  },
  // "Прочитать" is hidden while the device is awaited (as in the window);
  // the seconds left stand in its place.
  readHidden: false,
  readButton(visible) {
    this.readHidden = !visible;
    readButton.hidden = this.readHidden || !countdown.hidden;
  },
  countdown(text) {
    countdown.textContent = text;
    countdown.hidden = !text;
    readButton.hidden = this.readHidden || Boolean(text);
  },
  settingsTaken: () => files.readFrom(quorvex.readFrom(link.label())),
  // The history keeps what each command sent or read: the settings as sent,
  // whatever is edited while the device records.
  command: null,
  record(entry) {
    remember({ ...entry, port: link.label(), command: this.command });
  },
  message(step) {
    refresh();
    return showMessage(step.messageKind === 'success' ? successWithPort(step, quorvex.sentTo(link.label())) : step);
  },
};

for (const [id, command] of [['BitBtn2', 'write'], ['BitBtn1', 'read'], ['writeVerify', 'writeVerify']]) {
  byId(id).addEventListener('click', () => exclusive(async () => {
    // Reading replaces the settings: edits not yet saved are asked about first.
    if (command === 'read' && files.edited && !window.confirm(installer.unsavedRead)) return;
    const engine = new quorvex.CommandEngine(model, command);
    try {
      await runCommand(engine, link, /** @type {import('./commands.js').CommandView} */ ({ ...commandView, command }));
    } finally {
      engine.delete();
    }
  }));
}

// The page's settings as the bytes "Сохранить" would write, with the open
// file's name and whether they were edited since; null once the refusal has
// been shown.
async function pageFile() {
  const saved = model.save();
  if (saved.bytes) return { bytes: saved.bytes, name: files.fileName, edited: files.edited };
  for (const message of saved.messages) await showMessage(message);
  return null;
}

// The device on the chosen port read as "Прочитать" reads it, into a model
// of its own so the page keeps its settings; null once a failure was shown.
async function readDevice() {
  const scratch = new quorvex.Model();
  const engine = new quorvex.CommandEngine(scratch, 'read');
  const port = link.label();
  /** @type {Uint8Array | null} */
  let settingsLine = null;
  /** @type {import('./commands.js').CommandView} */
  const view = {
    ...commandView,
    settingsTaken() { /* into a model of its own, not the page's */ },
    // The comparison itself says that the read succeeded.
    message: (step) => (step.messageKind === 'success' ? Promise.resolve() : commandView.message(step)),
    record(entry) {
      settingsLine = entry.settingsLine;
      remember({ ...entry, port, command: 'compare' });
    },
  };
  try {
    await runCommand(engine, link, view);
  } finally {
    engine.delete();
    scratch.delete();
  }
  return settingsLine && { port, settingsLine };
}

// Each command goes into the history and into the journal of the object open.
/** @type {ReturnType<typeof setUpObjects> | null} */
let objects = null;
/** @type {typeof recordHistory} */
async function remember(entry) {
  objects?.journal(entry);
  await recordHistory(entry);
}

const printSheet = setUpSheet({ quorvex, tools, byId, pageFile });
installKeys({
  open: () => { if (!running) byId('N2').click(); },
  save: () => { if (!running) byId('N3').click(); },
  about: showAbout,
  printSheet,
});
setUpBatch({ quorvex, tools, texts, byId, link, model, exclusive, view: commandView, remember });
const comparing = setUpCompare({
  quorvex, tools, byId, pageFile, readDevice, exclusive, showMessage, readFile: (file) => files.readChosen(file),
});
setUpHistory({
  quorvex, tools, byId,
  // As "Открыть" with a file of the entry's bytes, asking first over edits;
  // the settings are then the entry's, saved in no file yet.
  openBytes: (bytes, name, source) => exclusive(() => files.open(new File([bytes], name), source)),
  saveBytes: (bytes, name) => exclusive(async () => {
    try {
      const written = await files.write(bytes, name);
      if (written.downloading) {
        await showMessage(fileTexts.downloadStarted(written.downloading));
      }
    } catch {
      await showMessage(texts.saveFailed);
    }
  }),
  compare: (entry) => comparing.compareWith(async (page) =>
    quorvex.compareWithEntry(page, entry.bytes, entry.command, entry.port, entry.time)),
});

// The archive loads after the page is interactive (its worker and storage),
// synced with the company's server when one serves the page.
/** @type {{ sync: () => void } | null} */
let syncing = null;
objects = setUpObjects({
  byId, quorvex, files, pageFile, exclusive,
  saveBytes: async (bytes, name) => {
    const written = await files.write(bytes, name);
    if (written.downloading) await showMessage(fileTexts.downloadStarted(written.downloading));
  },
  changed: () => syncing?.sync(),
});
syncing = setUpSync({ byId, archive: objects.archive, installer: objects.installer, changed: objects.refresh });

// The commands are offered only once everything above is in place.
const toolButtons = /** @type {HTMLButtonElement[]} */ (['batchButton', 'compareButton', 'sheetButton', 'historyButton'].map(byId));
for (const control of [...commands, ports, ...toolButtons]) control.disabled = false;
document.body.dataset.ready = 'true';
performance.mark('quorvex-ready');
