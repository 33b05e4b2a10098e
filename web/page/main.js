// The page: the catalogue's tabs, "Открыть", "Сохранить", "Записать" and
// "Прочитать" against the port chosen in ComboBox1. Every text, check and
// byte comes from the module; this file moves them and shows messages.
import { buildTabs, listenToControls, showSettings } from './render.js';
import { Link, OpenFailure } from './link.js';
import { runCommand } from './commands.js';
import { PortLost } from './ports.js';

const quorvex = await createQuorvex();
const catalogue = quorvex.catalogue();
const texts = quorvex.texts();
const model = new quorvex.Model();
const byId = (id) => document.getElementById(id);

const showTab = buildTabs(catalogue, texts, byId('PageControl1'), byId('pages'));
const refresh = () => showSettings(catalogue, model);

// The open file's name in the title, and whether the settings changed since
// they were opened or saved: leaving the page or opening another file over
// such edits asks first.
let fileName = '';
let edited = false;
function settingsAre(state, name = fileName) {
  edited = state === 'edited';
  fileName = name;
  document.title = `${fileName ? `${fileName}${edited ? ' *' : ''} — ` : ''}Quorvex`;
}
window.addEventListener('beforeunload', (event) => {
  if (edited) event.preventDefault();
});

listenToControls(catalogue, model, () => {
  settingsAre('edited');
  refresh();
});
refresh();
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
    await showMessage({ title: texts.portLost.title, text: `${texts.portLost.text}\n${error.message}` });
  } else {
    await showMessage({ title: texts.commandFailed.title, text: `${texts.commandFailed.text}\n${error?.message ?? error}` });
  }
}

// One command at a time, as in the window: the commands wait while one runs,
// and the settings cannot be edited under it.
const commands = ['N2', 'N3', 'BitBtn1', 'BitBtn2', 'writeVerify'].map(byId);
const settingsControls = () => byId('pages').querySelectorAll('input, select, textarea');
async function exclusive(run) {
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
    for (const control of editable) control.disabled = false;
    for (const button of commands) button.disabled = false;
    ports.disabled = false;
    refresh();
  }
}

const subscriberTab = catalogue.tabs.findIndex((tab) => tab.kind === 'textFields');

const openDialog = byId('OpenDialog1');
byId('N2').addEventListener('click', () => openDialog.click());
// "Открыть" with a chosen or a double-clicked file.
async function openSettingsFile(file) {
  if (edited && !window.confirm(texts.unsavedEdits)) return;
  const refusal = model.open(new Uint8Array(await file.arrayBuffer()));
  refresh();
  if (refusal) await showMessage(refusal);
  else settingsAre('saved', file.name);
}

openDialog.addEventListener('change', () => exclusive(async () => {
  const file = openDialog.files[0];
  openDialog.value = '';
  if (file) await openSettingsFile(file);
}));

// The installed app is started with the .qvx files the user opened with it.
if ('launchQueue' in window) {
  window.launchQueue.setConsumer((launch) => {
    if (launch.files?.length) exclusive(async () => openSettingsFile(await launch.files[0].getFile()));
  });
}

async function writeFile(bytes) {
  if (window.showSaveFilePicker) {
    let handle;
    try {
      handle = await window.showSaveFilePicker({
        types: [{ description: '*.qvx', accept: { 'application/octet-stream': ['.qvx'] } }],
      });
    } catch (error) {
      if (error.name === 'AbortError') return '';
      throw error;
    }
    const writable = await handle.createWritable();
    await writable.write(bytes);
    await writable.close();
    return handle.name;
  }
  const link = document.createElement('a');
  link.href = URL.createObjectURL(new Blob([bytes], { type: 'application/octet-stream' }));
  link.download = fileName || 'settings.qvx';
  link.click();
  setTimeout(() => URL.revokeObjectURL(link.href), 0);
  return link.download;
}

byId('N3').addEventListener('click', () => exclusive(async () => {
  const saved = model.save();
  if (saved.bytes) {
    try {
      const name = await writeFile(saved.bytes);
      if (!name) return;
      settingsAre('saved', name);
    } catch {
      await showMessage(texts.saveFailed);
      return;
    }
  }
  for (const message of saved.messages) await showMessage(message);
}));

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
  settingsTaken: () => settingsAre('edited'),
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

document.body.dataset.ready = 'true';
performance.mark('quorvex-ready');
