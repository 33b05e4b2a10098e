// The page: the catalogue's tabs, "Открыть", "Сохранить", "Записать" and
// "Прочитать" against the port chosen in ComboBox1. Every text, check and
// byte comes from the module; this file moves them and shows messages.
import { buildTabs, listenToControls, showSettings } from './render.js';
import { SettingsFiles } from './files.js';
import { commandEnded, commandStarted, writesCutShort } from './leaving.js';
import { Link, OpenFailure } from './link.js';
import { writePaced } from './pacing.js';
import { PortLost } from './ports.js';
import { setUpSheet } from './sheet.js';
import { setUpCompare } from './compare.js';
import { recordHistory, setUpHistory } from './history.js';
import { setUpBatch } from './batch.js';

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
const fileTexts = quorvex.fileTexts();
const files = new SettingsFiles({ model, texts, fileTexts, showMessage, refresh });

listenToControls(catalogue, model, () => {
  files.settingsAre('edited');
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
const commands = ['N2', 'N3', 'BitBtn1', 'BitBtn2', 'writeVerify', 'compareDevice', 'batchWrite'].map(byId);
// A file launched while a command runs waits for its end, as a click would.
let idle = Promise.resolve();
function exclusive(run) {
  const turn = idle.then(() => alone(run));
  idle = turn.catch(() => {});
  return turn;
}
async function alone(run) {
  for (const button of commands) button.disabled = true;
  ports.disabled = true;
  try {
    await run();
  } catch (error) {
    await showLinkFailure(error);
  } finally {
    commandEnded();
    for (const button of commands) button.disabled = false;
    ports.disabled = false;
    refresh();
  }
}

const portLabel = () => ports.selectedOptions[0]?.textContent ?? '';
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

// A write that a closed page cut short is told at the next start, before a
// launched file can show a message of its own.
for (const port of await writesCutShort()) {
  await showMessage({ ...fileTexts.writeCutShort, text: fileTexts.writeCutShort.text.replace('%s', port) });
}
files.listen({ exclusive, openDialog: byId('OpenDialog1'), openButton: byId('N2'), saveButton: byId('N3') });

// The history keeps what each command sent to or read from the chosen port:
// the settings as they were sent, whatever is edited while the device records.
let sent = null;
const remember = (command, outcome, settingsLine = model.save().bytes) =>
  recordHistory({ settingsLine, port: portLabel(), command, outcome });

// "Записать" up to the message: checks the fields, then sends the frame one
// byte per write; the port it went to, or null when the checks refused it.
// A frame cut short by a lost port is kept in the history with that cause.
async function writeFrame(command) {
  const check = model.checkWrite();
  await playSteps(check.steps);
  if (!check.frame) return null;
  sent = model.save().bytes;
  commandStarted('write', portLabel());
  const port = await link.ensureOpen();
  try {
    await writePaced(port, check.frame, texts.pauseAfterWriteMs);
  } catch (error) {
    remember(command, error instanceof PortLost ? texts.portLost.text : String(error), sent);
    throw error;
  }
  return port;
}

byId('BitBtn2').addEventListener('click', () => exclusive(async () => {
  if (!(await writeFrame('write'))) return;
  remember('write', texts.sent.text, sent);
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
  commandStarted('read', portLabel());
  const port = await link.ensureOpen();
  try {
    const read = model.evaluateRead(await requestSettings(port));
    if (read.outcome === 'success') {
      files.settingsAre('edited');
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
  commandStarted('read', portLabel());
  try {
    await awaitDevice(port, performance.now() + texts.recordingMs, texts.recordingLeft);
    const verified = model.compareWithReply(await requestSettings(port));
    refresh();
    if (verified.outcome !== 'success') {
      remember('writeVerify', verified.text, sent);
      if (verified.text) await showMessage(verified);
    } else if (verified.differences.length === 0) {
      remember('writeVerify', texts.verified.text, sent);
      await showMessage(texts.verified);
    } else {
      const head = texts.differs.text.replace('%s', verified.differences.length);
      remember('writeVerify', head, sent);
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
  if (saved.bytes) return { bytes: saved.bytes, name: files.fileName };
  for (const message of saved.messages) await showMessage(message);
  return null;
}

// The device on the chosen port read as "Прочитать" reads it, into nothing.
async function readDevice() {
  commandStarted('read', portLabel());
  const port = await link.ensureOpen();
  try {
    return { port: portLabel(), received: await requestSettings(port) };
  } finally {
    readButton.hidden = false;
  }
}

setUpSheet({ quorvex, tools, byId, pageFile });
setUpBatch({ quorvex, tools, texts, byId, link, model, exclusive, playSteps, remember: recordHistory });
const comparing = setUpCompare({ quorvex, tools, byId, pageFile, readDevice, exclusive, showMessage, remember: recordHistory });
setUpHistory({
  quorvex, tools, byId,
  // As "Открыть" with a file of the entry's bytes, asking first over edits.
  openBytes: (bytes, name) => exclusive(() => files.open(new File([bytes], name))),
  saveBytes: (bytes, name) => exclusive(async () => {
    try {
      const written = await files.write(bytes, name);
      if (written.downloading) {
        const { text, title } = fileTexts.downloadStarted;
        await showMessage({ title, text: text.replace('%s', written.downloading) });
      }
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
