// The page's command driver with the module's engine under node, against
// ports that misbehave as a real line can. QUORVEX_MODULE names the module.
import test from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import path from 'node:path';

import { runCommand } from '../page/commands.js';
import { OpenFailure } from '../page/link.js';
import { PortLost, SimulatedPort, WebSerialPort, maxHeldBytes } from '../page/ports.js';

const require = createRequire(import.meta.url);
const modulePath = path.resolve(process.env.QUORVEX_MODULE);
// Under node the loader cannot fetch the code: it is handed over.
const quorvex = await require(modulePath)({
  wasmBinary: readFileSync(path.resolve(path.dirname(modulePath), 'quorvex.wasm')),
});
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, Math.max(0, ms)));

// A port whose reads give `incoming` (a list of Uint8Array, one a read; the
// first is what the command drops as old input) and whose writes behave as
// `write` says.
function scriptedPort({ incoming = [], write = async () => {} } = {}) {
  const port = {
    written: [],
    async write(bytes) { port.written.push(...bytes); return write(port.written.length); },
    async read(deadline) {
      await sleep(deadline - performance.now());
      return incoming.shift() ?? new Uint8Array(0);
    },
    async close() {},
  };
  return port;
}

function linkTo(port, { refuse } = {}) {
  return {
    forgotten: 0,
    async ensureOpen() {
      if (refuse) throw new OpenFailure(refuse);
      return port;
    },
    forget() { this.forgotten += 1; },
  };
}

function recordingView() {
  return {
    messages: [],
    marks: [],
    countdowns: new Set(),
    mark(field, colour) { this.marks.push(`${field} ${colour}`); },
    subscriberTab() {},
    readButton() {},
    countdown(text) { if (text) this.countdowns.add(text.replace(/\d,\d/, 'N,N')); },
    settingsTaken() { this.taken = true; },
    async message({ text, title }) { this.messages.push(`${title}: ${text}`); },
  };
}

async function run(command, port, { model = new quorvex.Model(), link = linkTo(port) } = {}) {
  const engine = new quorvex.CommandEngine(model, command);
  const view = recordingView();
  try {
    const outcome = await runCommand(engine, link, view);
    return { outcome, view, model, link };
  } finally {
    engine.delete();
  }
}

// What the simulated device answers with its default settings.
const reply = () => {
  const device = new quorvex.SimulatedDevice();
  device.receive(new TextEncoder().encode('A5A6'), 0);
  const due = device.takeDue(1e9).map((emission) => Buffer.from(emission.bytes));
  device.delete();
  return new Uint8Array(Buffer.concat(due));
};

test('the line\'s failures each end the command with their own message', async () => {
  const noise = new Uint8Array(100_000).fill('x'.charCodeAt(0));
  const cases = [
    {
      name: 'a reply behind 100 KB of noise is read as the window reads it: not within the window',
      command: 'read',
      port: () => scriptedPort({ incoming: [new Uint8Array([1, 2]), new Uint8Array([...noise, ...reply()])] }),
      outcome: 'noData',
      message: 'Ошибка : Не удалось получить данные',
    },
    {
      name: 'a reply after a little noise is taken',
      command: 'read',
      port: () => scriptedPort({ incoming: [new Uint8Array([1, 2]), new Uint8Array([...noise.subarray(0, 500), ...reply()])] }),
      outcome: 'readSuccess',
      message: 'Данные успешно получены: Данные успешно получены',
    },
    {
      name: 'a write that never completes ends after its bound',
      command: 'write',
      port: () => scriptedPort({ write: (count) => (count >= 10 ? new Promise(() => {}) : undefined) }),
      outcome: 'writeTimedOut',
      message: /^Quorvex: Порт не принимает данные/,
      forgotten: 1,
    },
    {
      name: 'a port lost mid-read',
      command: 'read',
      port: () => {
        const port = scriptedPort();
        port.read = async () => { throw new PortLost(new Error('The device has been lost.')); };
        return port;
      },
      outcome: 'lostMidRead',
      message: /^Quorvex: Связь с портом потеряна: [^\n]* \(The device has been lost\.\)\. Порт откроется заново/,
    },
    {
      name: 'a port that will not open',
      command: 'writeVerify',
      port: () => scriptedPort(),
      refuse: 'Failed to open serial port.',
      outcome: 'cannotOpen',
      message: 'Quorvex: Error 1: Не могу открыть указанный Com порт!\nFailed to open serial port.',
    },
  ];
  for (const c of cases) {
    const port = c.port();
    const { outcome, view, link } = await run(c.command, port, { link: linkTo(port, { refuse: c.refuse }) });
    assert.equal(outcome, c.outcome, c.name);
    assert.equal(view.messages.length, 1, `${c.name}: ${view.messages}`);
    if (c.message instanceof RegExp) assert.match(view.messages[0], c.message, c.name);
    else assert.equal(view.messages[0], c.message, c.name);
    assert.equal(link.forgotten, c.forgotten ?? 0, c.name);
  }
});

// Each byte of a frame goes at least the pause after the moment the port
// says the byte before it drained, even where that moment stands later
// than the write's own resolution.
test('a frame\'s pause counts from the drain the port reports', async () => {
  const starts = [];
  const drains = [];
  const port = scriptedPort();
  port.write = async (bytes) => {
    starts.push(performance.now());
    port.written.push(...bytes);
    drains.push(performance.now() + 0.5);
    return drains.at(-1);
  };
  const { outcome } = await run('write', port);
  assert.equal(outcome, 'sent');
  const { pauseAfterWriteMs } = quorvex.protocol();
  const early = starts.slice(1).filter((start, k) => start < drains[k] + pauseAfterWriteMs);
  assert.deepEqual(early, [], `${early.length} of ${starts.length - 1} bytes went early`);
});

test('"Записать и проверить" compares with what was sent, whatever is edited meanwhile', async () => {
  const model = new quorvex.Model();
  const port = new SimulatedPort(quorvex);
  const engine = new quorvex.CommandEngine(model, 'writeVerify');
  const view = recordingView();
  // An edit while the device records (the page disables its controls; the
  // engine must not depend on that).
  const original = view.countdown.bind(view);
  view.countdown = (text) => {
    if (text.startsWith('Запись')) model.setText('Edit25', '9999');
    original(text);
  };
  const outcome = await runCommand(engine, linkTo(port), view);
  engine.delete();
  assert.equal(outcome, 'verifyEqual');
  assert.deepEqual(view.messages, ['Проверка: Устройство хранит записанные настройки']);
  assert.deepEqual([...view.countdowns], ['Запись: N,N с', 'Чтение: N,N с']);
  assert.equal(model.text('Edit25'), '9999');
  model.delete();
  port.device.delete();
});

test('the module offers the protocol and the texts apart, with the buttons\' captions', () => {
  const protocol = quorvex.protocol();
  assert.equal(Buffer.from(protocol.readRequest).toString('latin1'), 'A5A6');
  assert.equal(protocol.receptionWindowMs, 2000);
  assert.equal(protocol.lineOptions.baudRate, 57600);
  const texts = quorvex.texts();
  assert.deepEqual(texts.buttons, {
    N2: 'Открыть', N3: 'Сохранить', BitBtn1: 'Прочитать', BitBtn2: 'Записать', writeVerify: 'Записать и проверить',
  });
  for (const gone of ['readRequest', 'receptionWindowMs', 'recordingMs', 'pauseAfterWriteMs', 'readingLeft', 'differs'])
    assert.equal(texts[gone], undefined, gone);
});

test('the engine crosses as plain steps and events: a write from start to end', () => {
  const model = new quorvex.Model();
  const engine = new quorvex.CommandEngine(model, 'write');
  const start = engine.start(0);
  assert.deepEqual([...new Set(start.map((step) => step.kind))], ['white', 'openPort']);
  const [hide, send] = engine.feed({ kind: 'opened', nowMs: 1 });
  assert.deepEqual(hide, { kind: 'writeButton', visible: false });
  assert.ok(send.bytes instanceof Uint8Array);
  assert.match(Buffer.from(send.bytes).toString('latin1'), /^A3A4\d{90}#ABN1.*##$/s);
  assert.deepEqual({ ...send, bytes: undefined }, { kind: 'send', bytes: undefined, perByte: true, pauseMs: 1, timeoutMs: quorvex.protocol().writeTimeoutMs });
  let end = [];
  for (let i = 0; i < send.bytes.length; ++i) {
    end = engine.feed({ kind: 'written', nowMs: 2 + i, count: 1 });
    if (i < send.bytes.length - 1) assert.deepEqual(end, []);
  }
  assert.deepEqual(end.map((step) => step.kind), ['writeButton', 'message', 'finished']);
  assert.equal(end[1].text, 'Данные успешно отправлены');
  assert.equal(end[1].messageKind, 'success');
  assert.equal(end[2].outcome, 'sent');
  assert.deepEqual(engine.feed({ kind: 'time', nowMs: 1e6 }), []);
  engine.delete();
  model.delete();
});

// A device that talks while no command runs: the open port keeps the newest
// bytes up to its bound, whatever arrives, and the next read gets them.
test('an open port idle under a talking device keeps only its newest bytes', async () => {
  const chunk = 64 * 1024;
  const chunks = Array.from({ length: 40 }, (_, i) => new Uint8Array(chunk).fill(i));
  // The stream asks for more only once its reader has taken the last chunk
  // given; the reader keeps that chunk in a continuation of the same turn.
  let allTaken;
  const taken = new Promise((resolve) => { allTaken = resolve; });
  const browserPort = {
    readable: new ReadableStream({
      pull(controller) {
        if (chunks.length) controller.enqueue(chunks.shift());
        else allTaken();
      },
    }),
    writable: new WritableStream(),
    async open() {},
    async close() {},
  };
  const port = new WebSerialPort(browserPort, {}, 1000);
  await port.open();
  await taken;
  await new Promise((resolve) => { setImmediate(resolve); });  // that turn's continuations have run
  const held = await port.read(performance.now());
  assert.ok(held.length <= maxHeldBytes, `${held.length} bytes held`);
  assert.ok(held.length > maxHeldBytes - chunk, `${held.length} bytes held`);
  assert.equal(held.at(-1), 39, 'the newest bytes are kept');
  assert.equal((await port.read(performance.now())).length, 0, 'a read takes what was held');
});
