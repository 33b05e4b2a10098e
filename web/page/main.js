// The page: the catalogue's tabs, "Открыть", "Сохранить", "Записать" and
// "Прочитать" against the port chosen in ComboBox1. Every text, check and
// byte comes from the module; this file moves them and shows messages.
import { buildTabs, listenToControls, showSettings } from './render.js';
import { Link, OpenFailure } from './link.js';
import { writePaced } from './pacing.js';
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
const texts = quorvex.pageTexts();
const model = new quorvex.Model();
performance.mark('quorvex-catalogue');
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
performance.mark('quorvex-tabs');
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
    // The browser's reason below the text, where it gave one.
    const text = [texts.portLost.text, error.message].filter(Boolean).join('\n');
    await showMessage({ title: texts.portLost.title, text });
  } else {
    throw error;
  }
}

// One command at a time, as in the window: the commands wait while one runs.
const commands = ['N2', 'N3', 'BitBtn1', 'BitBtn2', 'writeVerify'].map(byId);
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

// "Записать" up to the message: checks the fields, then sends the frame one
// byte per write; the port it went to, or null when the checks refused it.
async function writeFrame() {
  const check = model.checkWrite();
  await playSteps(check.steps);
  if (!check.frame) return null;
  const port = await link.ensureOpen();
  await writePaced(port, check.frame, texts.pauseAfterWriteMs);
  return port;
}

byId('BitBtn2').addEventListener('click', () => exclusive(async () => {
  if (await writeFrame()) await showMessage(texts.sent);
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
    if (read.outcome === 'success') settingsAre('edited');
    refresh();
    if (read.text) await showMessage(read);
  } finally {
    readButton.hidden = false;
  }
}));

// "Записать и проверить": writes, lets the device record, reads it back and
// names every setting it holds otherwise, as quorvex-cli diff does.
byId('writeVerify').addEventListener('click', () => exclusive(async () => {
  const port = await writeFrame();
  if (!port) return;
  try {
    await awaitDevice(port, performance.now() + texts.recordingMs, texts.recordingLeft);
    const verified = model.compareWithReply(await requestSettings(port));
    refresh();
    if (verified.outcome !== 'success') {
      if (verified.text) await showMessage(verified);
    } else if (verified.differences.length === 0) {
      await showMessage(texts.verified);
    } else {
      const head = texts.differs.text.replace('%s', verified.differences.length);
      await showMessage({ title: texts.differs.title, text: [head, ...verified.differences].join('\n') });
    }
  } finally {
    readButton.hidden = false;
  }
}));

// Keeps the page's files for starts with no network (where the browser lets
// a page do so: a secure context).
navigator.serviceWorker?.register('sw.js').catch(() => {});

// The commands are offered only once everything above is in place.
for (const control of [...commands, ports]) control.disabled = false;
document.body.dataset.ready = 'true';
performance.mark('quorvex-ready');
