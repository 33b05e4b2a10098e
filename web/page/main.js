// The page: the catalogue's tabs, "Открыть", "Сохранить", "Записать" and
// "Прочитать" against the port chosen in ComboBox1. Every text, check and
// byte comes from the module; this file moves them and shows messages.
import { buildTabs, listenToControls, showSettings } from './render.js';
import { Link, OpenFailure } from './link.js';
import { writePaced } from './pacing.js';
import { PortLost } from './ports.js';
import { setUpSheet } from './sheet.js';
import { setUpCompare } from './compare.js';
import { recordHistory, setUpHistory } from './history.js';

const quorvex = await createQuorvex();
const catalogue = quorvex.catalogue();
const texts = quorvex.pageTexts();
const tools = quorvex.toolTexts();
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

// The port's failures as messages: the window's open failure with the
// browser's reason below it, and the lost port.
async function showLinkFailure(error) {
  if (error instanceof OpenFailure) {
    await showMessage({ title: texts.cannotOpen.title, text: `${texts.cannotOpen.text}\n${error.message}` });
  } else if (error instanceof PortLost) {
    await showMessage({ title: texts.portLost.title, text: `${texts.portLost.text}\n${error.message}` });
  } else {
    throw error;
  }
}

// One command at a time, as in the window: the commands wait while one runs.
const commands = ['N2', 'N3', 'BitBtn1', 'BitBtn2', 'writeVerify', 'compareDevice'].map(byId);
async function exclusive(run) {
  for (const button of commands) button.disabled = true;
  ports.disabled = true;
  try {
    await run();
  } catch (error) {
    await showLinkFailure(error);
  } finally {
    for (const button of commands) button.disabled = false;
    ports.disabled = false;
    refresh();
  }
}

const subscriberTab = catalogue.tabs.findIndex((tab) => tab.kind === 'textFields');

async function playSteps(steps) {
  for (const step of steps) {
    if (step.kind === 'red' || step.kind === 'white') {
      const field = byId(step.field);
      field.classList.remove('red', 'white');
      field.classList.add(step.kind);
    } else if (step.kind === 'subscriberTab') {
      showTab(subscriberTab);
    } else {
      refresh();
      await showMessage(step);
    }
  }
}

const openDialog = byId('OpenDialog1');
byId('N2').addEventListener('click', () => openDialog.click());
// "Открыть" with a file's bytes, asking first over unsaved edits; true
// when the settings were taken over.
async function openBytes(bytes, name) {
  if (edited && !window.confirm(texts.unsavedEdits)) return false;
  const refusal = model.open(bytes);
  refresh();
  if (refusal) await showMessage(refusal);
  else settingsAre('saved', name);
  return !refusal;
}

// "Открыть" with a chosen or a double-clicked file.
async function openSettingsFile(file) {
  await openBytes(new Uint8Array(await file.arrayBuffer()), file.name);
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

async function writeFile(bytes, suggested = fileName || 'settings.qvx') {
  if (window.showSaveFilePicker) {
    let handle;
    try {
      handle = await window.showSaveFilePicker({
        suggestedName: suggested,
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
  link.download = suggested;
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

// The history keeps what each command sent to or read from the chosen port.
const portName = () => ports.selectedOptions[0]?.textContent ?? '';
const remember = (command, outcome) =>
  recordHistory({ settingsLine: model.save().bytes, port: portName(), command, outcome });

// "Записать" up to the message: checks the fields, then sends the frame one
// byte per write; the port it went to, or null when the checks refused it.
// A frame cut short by a lost port is kept in the history with that cause.
async function writeFrame(command) {
  const check = model.checkWrite();
  await playSteps(check.steps);
  if (!check.frame) return null;
  const port = await link.ensureOpen();
  try {
    await writePaced(port, check.frame, texts.pauseAfterWriteMs);
  } catch (error) {
    remember(command, error instanceof PortLost ? texts.portLost.text : String(error));
    throw error;
  }
  return port;
}

byId('BitBtn2').addEventListener('click', () => exclusive(async () => {
  if (!(await writeFrame('write'))) return;
  remember('write', texts.sent.text);
  await showMessage(texts.sent);
}));

// "Прочитать" is hidden while the device is awaited (as in the window); the
// seconds left stand in its place. Resolves with what arrived by `deadline`.
const readButton = byId('BitBtn1');
const countdown = byId('readCountdown');
async function awaitDevice(port, deadline, template) {
  readButton.hidden = true;
  countdown.hidden = false;
  const tick = () => {
    const left = Math.max(0, deadline - performance.now()) / 1000;
    countdown.textContent = template.replace('%s', left.toFixed(1).replace('.', ','));
  };
  tick();
  const ticking = setInterval(tick, 100);
  try {
    return await port.read(deadline);
  } finally {
    clearInterval(ticking);
    countdown.hidden = true;
  }
}

// Sends the read request and collects the reply for the reception window.
async function requestSettings(port) {
  await port.read(0);  // what came before the request is no reply to it
  await port.write(texts.readRequest);
  return awaitDevice(port, performance.now() + texts.receptionWindowMs, texts.readingLeft);
}

readButton.addEventListener('click', () => exclusive(async () => {
  const port = await link.ensureOpen();
  try {
    const read = model.evaluateRead(await requestSettings(port));
    if (read.outcome === 'success') {
      settingsAre('edited');
      remember('read', read.text);
    }
    refresh();
    if (read.text) await showMessage(read);
  } finally {
    readButton.hidden = false;
  }
}));

// "Записать и проверить": writes, lets the device record, reads it back and
// names every setting it holds otherwise, as quorvex-cli diff does.
byId('writeVerify').addEventListener('click', () => exclusive(async () => {
  const port = await writeFrame('writeVerify');
  if (!port) return;
  try {
    await awaitDevice(port, performance.now() + texts.recordingMs, texts.recordingLeft);
    const verified = model.compareWithReply(await requestSettings(port));
    refresh();
    if (verified.outcome !== 'success') {
      remember('writeVerify', verified.text);
      if (verified.text) await showMessage(verified);
    } else if (verified.differences.length === 0) {
      remember('writeVerify', texts.verified.text);
      await showMessage(texts.verified);
    } else {
      const head = texts.differs.text.replace('%s', verified.differences.length);
      remember('writeVerify', head);
      await showMessage({ title: texts.differs.title, text: [head, ...verified.differences].join('\n') });
    }
  } finally {
    readButton.hidden = false;
  }
}));

// The page's settings as the bytes "Сохранить" would write, with the open
// file's name; null once the refusal has been shown.
async function pageFile() {
  const saved = model.save();
  if (saved.bytes) return { bytes: saved.bytes, name: fileName };
  for (const message of saved.messages) await showMessage(message);
  return null;
}

// The device on the chosen port read as "Прочитать" reads it, into nothing.
async function readDevice() {
  const port = await link.ensureOpen();
  try {
    return { port: portName(), received: await requestSettings(port) };
  } finally {
    readButton.hidden = false;
  }
}

setUpSheet({ quorvex, tools, byId, pageFile });
const comparing = setUpCompare({ quorvex, tools, byId, pageFile, readDevice, exclusive, showMessage, remember: recordHistory });
setUpHistory({
  quorvex, tools, byId,
  openBytes: (bytes, name) => openBytes(bytes, name),
  saveBytes: (bytes, name) => exclusive(async () => {
    try {
      await writeFile(bytes, name);
    } catch {
      await showMessage(texts.saveFailed);
    }
  }),
  compare: (entry) => comparing.compareWith(async (page) =>
    quorvex.compareWithEntry(page, entry.bytes, entry.command, entry.port, entry.time)),
});

// Keeps the page's files for starts with no network (where the browser lets
// a page do so: a secure context).
navigator.serviceWorker?.register('sw.js').catch(() => {});

document.body.dataset.ready = 'true';
performance.mark('quorvex-ready');
