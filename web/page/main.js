// The page: the catalogue's tabs, "Открыть", "Сохранить", "Записать" and
// "Прочитать" against the port chosen in ComboBox1. Every text, check and
// byte comes from the module; this file moves them and shows messages.
import { buildTabs, listenToControls, showSettings } from './render.js';
import { SettingsFiles } from './files.js';
import { commandEnded, commandStarted, writesCutShort } from './leaving.js';
import { Link, OpenFailure } from './link.js';
import { runCommand } from './commands.js';
import { PortLost } from './ports.js';

// The module, or the page's message that it cannot start (boot.js); then
// nothing else of the page runs and its commands stay disabled.
async function loadModule() {
  try {
    if (typeof createQuorvex !== 'function') throw new Error('quorvex.js');
    return await createQuorvex();
  } catch (error) {
    window.quorvexFailed(error);
    return new Promise(() => {});
  }
}

// The marks split the start for the bench: module, catalogue, tabs, ready.
const quorvex = await loadModule();
performance.mark('quorvex-module');
const catalogue = quorvex.catalogue();
const texts = quorvex.texts();
const model = new quorvex.Model();
performance.mark('quorvex-catalogue');
const byId = (id) => document.getElementById(id);

const showTab = buildTabs(catalogue, texts, byId('PageControl1'), byId('pages'));
const refresh = () => showSettings(catalogue, model);

// The open file's name in the title, and whether the settings changed since
// they were opened or saved: leaving the page or opening another file over
// such edits asks first.
const fileTexts = quorvex.fileTexts();
const files = new SettingsFiles({ model, texts, fileTexts, showMessage, refresh });

listenToControls(catalogue, model, () => {
  files.settingsAre('edited');
  refresh();
});
refresh();
performance.mark('quorvex-tabs');
byId('Label87').textContent = texts.version;
for (const [id, caption] of Object.entries(texts.buttons)) byId(id).append(caption);

const ports = byId('ComboBox1');
const link = new Link(ports, quorvex, texts, navigator.serial);
if (navigator.serial) await link.refresh();
else byId('serialNote').textContent = texts.noWebSerial;

const dialog = byId('message');
function showMessage({ text, title }) {
  byId('messageTitle').textContent = title;
  byId('messageText').textContent = text;
  dialog.showModal();
  return new Promise((resolve) => dialog.addEventListener('close', resolve, { once: true }));
}

// A failure no command turned into its own message: the port's, or any
// other, said in words rather than left as an unhandled rejection.
async function showFailure(error) {
  if (error instanceof OpenFailure) {
    await showMessage({ title: texts.cannotOpen.title, text: `${texts.cannotOpen.text}\n${error.message}` });
  } else if (error instanceof PortLost) {
    // The browser's reason below the text, where it gave one.
    const text = [texts.portLost.text, error.message].filter(Boolean).join('\n');
    await showMessage({ title: texts.portLost.title, text });
  } else {
    await showMessage({ title: texts.commandFailed.title, text: `${texts.commandFailed.text}\n${error?.message ?? error}` });
  }
}

// One command at a time, as in the window: the commands wait while one runs,
// and the settings cannot be edited under it.
const commands = ['N2', 'N3', 'BitBtn1', 'BitBtn2', 'writeVerify'].map(byId);
// A file launched while a command runs waits for its end, as a click would.
let idle = Promise.resolve();
function exclusive(run) {
  const turn = idle.then(() => alone(run));
  idle = turn.catch(() => {});
  return turn;
}
const settingsControls = () => byId('pages').querySelectorAll('input, select, textarea');
async function alone(run) {
  for (const button of commands) button.disabled = true;
  ports.disabled = true;
  const editable = [...settingsControls()].filter((control) => !control.disabled);
  for (const control of editable) control.disabled = true;
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
    refresh();
  }
}

const portLabel = () => ports.selectedOptions[0]?.textContent ?? '';
const subscriberTab = catalogue.tabs.findIndex((tab) => tab.kind === 'textFields');

// A write that a closed page cut short is told at the next start, before a
// launched file can show a message of its own.
for (const port of await writesCutShort()) {
  await showMessage({ ...fileTexts.writeCutShort, text: fileTexts.writeCutShort.text.replace('%s', port) });
}
files.listen({ exclusive, openDialog: byId('OpenDialog1'), openButton: byId('N2'), saveButton: byId('N3') });

// The device commands, each run by the module's engine on the model.
const readButton = byId('BitBtn1');
const countdown = byId('readCountdown');
const commandView = {
  mark(field, colour) {
    const control = byId(field);
    control.classList.remove('red', 'white');
    control.classList.add(colour);
  },
  subscriberTab: () => showTab(subscriberTab),
  // 'write' while a frame goes out, 'read' while the device is awaited.
  underWay: (kind) => commandStarted(kind, portLabel()),
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
  settingsTaken: () => files.settingsAre('edited'),
  message(step) {
    refresh();
    return showMessage(step);
  },
};

for (const [id, command] of [['BitBtn2', 'write'], ['BitBtn1', 'read'], ['writeVerify', 'writeVerify']]) {
  byId(id).addEventListener('click', () => exclusive(async () => {
    const engine = new quorvex.CommandEngine(model, command);
    try {
      await runCommand(engine, link, commandView);
    } finally {
      engine.delete();
    }
  }));
}

// Keeps the page's files for starts with no network (where the browser lets
// a page do so: a secure context).
navigator.serviceWorker?.register('sw.js').catch(() => {});

// The commands are offered only once everything above is in place.
for (const control of [...commands, ports]) control.disabled = false;
document.body.dataset.ready = 'true';
performance.mark('quorvex-ready');
