// The page's module against the native programs: the same catalogue, and the
// same file bytes and write frame for the same settings. QUORVEX_MODULE names
// the built module, QUORVEX_CLI the native quorvex-cli.
const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { execFileSync } = require('node:child_process');

const createQuorvex = require(path.resolve(process.env.QUORVEX_MODULE));
const { randomLine } = require('./random_settings.cjs');
const cli = process.env.QUORVEX_CLI;
const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'quorvex-module-'));
test.after(() => fs.rmSync(scratch, { recursive: true, force: true }));

// Under node the loader cannot fetch a file path: the code is handed over.
const modulePromise = createQuorvex({
  wasmBinary: fs.readFileSync(path.resolve(path.dirname(process.env.QUORVEX_MODULE), 'quorvex.wasm')),
});

function writeFile(name, bytes) {
  const file = path.join(scratch, name);
  fs.writeFileSync(file, bytes);
  return file;
}

// `quorvex-cli show FILE`: one line per setting, "SetNN.M  NAME  CAPTION = VALUE "OPTION"".
function nativeShow(file) {
  const lines = execFileSync(cli, ['show', file], { encoding: 'utf8' }).trimEnd().split('\n');
  return new Map(lines.map((line) => [line.split(/\s+/)[1], line]));
}

// A settings line whose every code digit is `digit` and whose texts are the defaults.
function lineWithDigit(catalogue, digit) {
  const codes = Array(15).fill(String(digit).repeat(6));
  const texts = catalogue.settings.filter((s) => s.kind === 'text').map((s) => s.defaultText);
  return [...codes, ...texts].join(':') + ':#\r\n';
}

test('the catalogue has the native names, captions, options and defaults', async () => {
  const { catalogue } = await modulePromise;
  const settings = catalogue().settings;
  const defaults = JSON.parse(execFileSync(cli, ['show', '--json'], { encoding: 'utf8' }));
  const valued = settings.filter((s) => s.kind !== 'text');
  assert.deepEqual(valued.map((s) => s.name), Object.keys(defaults).filter((n) => !n.startsWith('Edit')));
  for (const setting of settings) {
    const expected = setting.kind === 'text' ? setting.defaultText : setting.defaultValue;
    assert.equal(defaults[setting.name], expected, setting.name);
  }
  // Every option text of every list, as the native program names the entry selected.
  for (let digit = 0; digit <= 9; ++digit) {
    const shown = nativeShow(writeFile(`digit${digit}.qvx`, lineWithDigit(catalogue(), digit)));
    for (const setting of settings) {
      const line = shown.get(setting.name) ?? shown.get(setting.buttons[0]?.control);
      assert.ok(line, `${setting.name} missing in the native list`);
      assert.ok(line.includes(setting.caption.split('\n')[0].trim()), `${setting.name}: ${line}`);
      if (setting.kind === 'list' && digit < setting.options.length)
        assert.ok(line.endsWith(`"${setting.options[digit]}"`), `${setting.name}: ${line}`);
    }
  }
});

test('a file gives the native frame and saves back byte for byte', async () => {
  const quorvex = await modulePromise;
  let seed = 20241;
  const random = () => ((seed = (seed * 1103515245 + 12345) % 2147483648) / 2147483648);
  for (let i = 0; i < 5; ++i) {
    const line = randomLine(quorvex.catalogue(), random);
    const file = writeFile(`random${i}.qvx`, line);
    const model = new quorvex.Model();
    assert.equal(model.open(new Uint8Array(fs.readFileSync(file))), null, line);
    const saved = model.save();
    assert.equal(Buffer.from(saved.bytes).toString('latin1'), line, 'saved bytes');
    const frame = execFileSync(cli, ['frame', file]);
    assert.deepEqual(Buffer.from(model.checkWrite().frame), frame.subarray(0, frame.length - 1), 'frame');
    model.delete();
  }
});

test('texts in code page 1251 cross as bytes both ways', async () => {
  const quorvex = await modulePromise;
  const model = new quorvex.Model();
  model.setText('Edit25', 'Пароль');
  const bytes = Buffer.from(model.save().bytes);
  assert.ok(bytes.includes(Buffer.from([0xcf, 0xe0, 0xf0, 0xee, 0xeb, 0xfc])), 'Пароль in code page 1251');
  const reopened = new quorvex.Model();
  assert.equal(reopened.open(new Uint8Array(bytes)), null);
  assert.equal(reopened.text('Edit25'), 'Пароль');
  // A character the code page lacks is refused before any dialog.
  model.setText('Edit25', '€€😀');
  const refused = model.save();
  assert.equal(refused.bytes, null);
  assert.equal(refused.messages[0].title, 'Ошибка');
  model.delete();
  reopened.delete();
});

test('write and read back through the simulated device', async () => {
  const quorvex = await modulePromise;
  const model = new quorvex.Model();
  model.setListIndex('ComboBox556', 4);
  model.setSliderPosition('TrackBar1', 20);
  model.setText('Edit16', '+380 50 111-22-33');
  const { frame, steps } = model.checkWrite();
  assert.equal(model.text('Edit16'), '+380501112233');
  assert.ok(steps.every((step) => step.kind === 'white'));
  const device = new quorvex.SimulatedDevice();
  frame.forEach((byte, i) => device.receive(new Uint8Array([byte]), i));
  device.receive(new TextEncoder().encode('A5A6'), 1000);
  const received = device.takeDue(1000 + 2000).map((due) => Buffer.from(due.bytes));
  const fresh = new quorvex.Model();
  const read = fresh.evaluateRead(new Uint8Array(Buffer.concat(received)));
  assert.equal(read.outcome, 'success');
  assert.equal(read.text, 'Данные успешно получены');
  assert.deepEqual(Buffer.from(fresh.save().bytes), Buffer.from(model.save().bytes));
  for (const m of [model, fresh, device]) m.delete();
});

// Calls the core refuses by throwing: each one an Error with the core's
// reason that the caller catches (not the module's abort), after which the
// module goes on as before.
test('a call the core cannot take throws an Error and leaves the module working', async () => {
  const quorvex = await modulePromise;
  const model = new quorvex.Model();
  const device = new quorvex.SimulatedDevice();
  const saved = Buffer.from(model.save().bytes);
  // More than the module may ever hold.
  const huge = new Uint8Array(300 * 1024 * 1024);
  for (const [name, reason, call] of [
    ['a list index of no setting', /^no such setting/, () => model.listIndex('NoSuchSetting')],
    ['a text field set as a list', /^no such setting/, () => model.setListIndex('Edit16', 1)],
    ['a list read as a slider', /^no such setting/, () => model.sliderPosition('ComboBox556')],
    ['the minimum of a text field', /^no such setting/, () => model.sliderMinimum('Edit16')],
    ['a slider of no name', /^no such setting/, () => model.setSliderPosition('', 3)],
    ['a list read as a radio group', /^no such setting/, () => model.radioNumber('ComboBox556')],
    ['a slider set as a radio group', /^no such setting/, () => model.setRadioNumber('TrackBar1', 0)],
    ['a list read as a text', /^no such setting/, () => model.text('ComboBox556')],
    ['a slider set as a text', /^no such setting/, () => model.setText('TrackBar1', 'x')],
    ['a reply beyond the memory', /bad_alloc/, () => model.evaluateRead(huge)],
    ['a reply to the engine beyond the memory', /bad_alloc/, () => {
      const engine = new quorvex.CommandEngine(model, 'read');
      try {
        engine.start(0);
        engine.feed({ kind: 'opened', nowMs: 0 });
        engine.feed({ kind: 'received', nowMs: 1, bytes: huge });
      } finally {
        engine.delete();
      }
    }],
    ['bytes to the device beyond the memory', /bad_alloc/, () => device.receive(huge, 0)],
  ]) {
    assert.throws(call, { name: 'Error', message: reason }, name);
    assert.deepEqual(Buffer.from(model.save().bytes), saved, `${name}: the settings are unchanged`);
  }
  model.setListIndex('ComboBox556', 2);
  assert.equal(model.listIndex('ComboBox556'), 2);
  for (const m of [model, device]) m.delete();
});

test('a huge file is refused unread, whatever its first line', async () => {
  const quorvex = await modulePromise;
  const defaults = new quorvex.Model();
  const line = Buffer.from(defaults.save().bytes);
  const tail = (size, byte) => Buffer.alloc(size, byte);
  for (const [name, bytes, refused] of [
    ['a good line, then 200 MB', Buffer.concat([line, tail(200 * 1024 * 1024, 0x41)]), true],
    ['a line cut at NUL', Buffer.concat([line.subarray(0, line.length - 2), Buffer.from([0]), tail(10, 0x41)]), false],
    ['no line end in 200 MB', tail(200 * 1024 * 1024, 0x30), true],
    ['a line just over 1 MB', Buffer.concat([tail(1024 * 1024 + 1, 0x30), Buffer.from('\r\n')]), true],
  ]) {
    const model = new quorvex.Model();
    const refusal = model.open(new Uint8Array(bytes.buffer, bytes.byteOffset, bytes.length));
    assert.deepEqual(refusal && [refusal.title, refusal.text], refused ? ['Ошибка', 'Некорректный файл'] : null, name);
    model.delete();
  }
  defaults.delete();
});

// The open limit against the longest file a save writes: that one opens, and
// anything past the limit is refused before the core reads it.
test('the longest saveable file opens; a file past the open limit is refused', async () => {
  const quorvex = await modulePromise;
  const { maxFileBytes } = quorvex.fileTexts();
  const longest = new quorvex.Model();
  for (const setting of quorvex.catalogue().settings.filter((s) => s.kind === 'text')) {
    longest.setText(setting.name, 'Ж'.repeat(4096));
  }
  const saved = longest.save().bytes;
  assert.ok(saved && saved.length <= maxFileBytes, `${saved?.length} bytes`);
  const tail = new Uint8Array(maxFileBytes - saved.length + 1).fill(0x78);
  const rows = [
    { name: 'the longest saved file', bytes: saved, refusal: null },
    { name: 'the same, one byte past the limit', bytes: new Uint8Array([...saved, ...tail]),
      refusal: { text: 'Некорректный файл', title: 'Ошибка',
        note: 'Файл больше 64 КБ: файл настроек много меньше. Откройте файл .qvx, сохранённый конфигуратором.' } },
  ];
  for (const row of rows) {
    const model = new quorvex.Model();
    assert.deepEqual(model.open(row.bytes), row.refusal, row.name);
    assert.equal(model.text('Edit30'), row.refusal ? '20198' : 'Ж'.repeat(4096), row.name);
    model.delete();
  }
  longest.delete();
});

// The messages that name a file, a port or a count are worded by the module,
// so the page fills in no template of its own.
test('the module words the messages that name a port, a file or a count', async () => {
  const quorvex = await modulePromise;
  const rows = [
    [quorvex.portStatus('open', 'COM3', ''), 'COM3: подключён'],
    [quorvex.portStatus('closed', 'COM3', ''), 'COM3: не подключён'],
    [quorvex.portStatus('lost', 'CH340 (1A86:7523)', ''), 'CH340 (1A86:7523): связь потеряна'],
    [quorvex.portStatus('failed', 'COM3', 'порт занят другой программой'),
      'COM3: не подключается — порт занят другой программой'],
    [quorvex.namedPort('CH340 (1A86:7523) №2', 'Склад'), 'CH340 (1A86:7523) №2 — «Склад»'],
    [quorvex.namedPort('CH340 (1A86:7523)', ''), 'CH340 (1A86:7523)'],
    [quorvex.portStatus('none', '', ''), 'Порт не выбран'],
    [quorvex.sentTo('COM3'), 'Порт: COM3'],
    [quorvex.readFrom('COM3'), 'COM3: прочитано из устройства'],
    [quorvex.sendingProgress(71, 288), 'Передача: 71 из 288 байт'],
    [quorvex.notOpened('дом.qvx', ['дача.qvx', '%s.qvx']).text,
      'За один раз открывается один файл: дом.qvx. Не открыты: дача.qvx, %s.qvx'],
    [quorvex.downloadStarted('%s.qvx').text.split('.').slice(0, 2).join('.'), 'Файл %s.qvx передан браузеру для загрузки'],
    [quorvex.writeCutShort('COM7').text.includes('(порт: COM7)'), true],
  ];
  for (const [got, expected] of rows) assert.equal(got, expected);
  assert.equal(quorvex.downloadStarted('a.qvx').title, 'Сохранение');
});

// Drives an engine on the default settings through `events` (each fed once
// the steps before it are in), returning its finished step, the message
// before it and its summary.
function finishedBy(quorvex, command, events) {
  const model = new quorvex.Model();
  const engine = new quorvex.CommandEngine(model, command);
  try {
    const steps = [...engine.start(0)];
    let now = 1;
    for (const event of events) {
      if (event === 'frame') {
        // Every byte of the frame written, then the recording waited out.
        const send = steps.findLast((step) => step.kind === 'send');
        for (let i = 0; i < send.bytes.length; ++i) steps.push(...engine.feed({ kind: 'written', nowMs: now++, count: 1 }));
        steps.push(...engine.feed({ kind: 'time', nowMs: (now += 1e5) }));
      } else {
        steps.push(...engine.feed({ nowMs: now++, ...event }));
      }
    }
    const message = steps.findLast((step) => step.kind === 'message');
    return { finished: steps.at(-1), message, summary: engine.summary() };
  } finally {
    engine.delete();
    model.delete();
  }
}

// The page's events carry a cause code and the browser's own words; the
// finished step and the summary give back the core's outcome and cause
// codes, the words apart, whatever the words say.
test('causes cross as codes: each event of the port ends in its outcome and cause', async () => {
  const quorvex = await modulePromise;
  const opened = { kind: 'opened' };
  const rows = [
    ['write', [{ kind: 'openFailed', cause: 'busy', systemText: 'The port is already open.' }], 'cannotOpen', 'busy'],
    ['write', [{ kind: 'openFailed', cause: 'denied', systemText: 'Access denied.' }], 'cannotOpen', 'denied'],
    ['read', [{ kind: 'openFailed', cause: 'missing', systemText: 'No port.' }], 'cannotOpen', 'missing'],
    ['write', [{ kind: 'openFailed', cause: 'openOther', systemText: 'Failed to open serial port.' }], 'cannotOpen', 'openOther'],
    // An open failure of no known cause counts as another one.
    ['write', [{ kind: 'openFailed', systemText: 'Odd.' }], 'cannotOpen', 'openOther'],
    ['write', [opened, { kind: 'lost', cause: 'lost', systemText: 'The device has been lost.' }], 'lostMidFrame', 'lost'],
    ['write', [opened, { kind: 'writeTimedOut', systemText: 'write not completed' }], 'writeTimedOut', 'writeTimedOut'],
    ['write', [opened, { kind: 'writeFailed', systemText: 'Broken pipe.' }], 'writeFailed', 'writeFailed'],
    ['read', [opened, { kind: 'lost', cause: 'lost', systemText: 'The device has been lost.' }], 'lostMidRead', 'lost'],
    ['read', [opened, { kind: 'written', count: 4 }, { kind: 'time', nowMs: 1e6 }], 'noData', 'noData'],
    ['write', [{ kind: 'stop' }], 'stoppedBeforeFrame', 'stopped'],
    ['writeVerify', [opened, 'frame', { kind: 'openFailed', cause: 'denied', systemText: 'Access denied.' }],
      'cannotOpen', 'denied', true],
  ];
  for (const [command, events, outcome, cause, frameSent = false] of rows) {
    const name = `${command}: ${events.map((e) => e.kind ?? e).join(', ')}`;
    const { finished, message, summary } = finishedBy(quorvex, command, events);
    const systemText = events.at(-1).systemText ?? '';
    assert.deepEqual(finished, { kind: 'finished', outcome, cause, systemText }, name);
    assert.deepEqual(summary, { outcome, cause, systemText, frameSent, differing: 0 }, name);
    if (cause === 'stopped') continue;  // the host that stopped tells its user
    assert.equal(message.messageKind, 'failure', name);
    // The browser's words, where the port gave them: on the message's last
    // line below an open failure, in brackets after a lost port's cause.
    if (systemText && cause === 'lost') assert.ok(message.text.includes(` (${systemText})`), name);
    else if (systemText && cause !== 'writeTimedOut' && cause !== 'writeFailed')
      assert.equal(message.text.split('\n').at(-1), systemText, name);
    // Each failure says what to do next; a stuck line's own words do.
    if (cause !== 'writeTimedOut') assert.ok(message.note, `${name}: a next step`);
  }
});

// Where the browser's open fails, the page's link takes the cause code from
// the DOMException, its line from the same cause.
test('a refused open gets its cause code from the browser\'s exception', async () => {
  const quorvex = await modulePromise;
  const rows = [
    // The page's own open port is no other program's.
    ['InvalidStateError', 'The port is already open.', 'openOther',
      'порт уже открыт этой страницей: повторите команду; если не поможет, нажмите «Отключить» и повторите'],
    ['NetworkError', 'Failed to open serial port.', 'busy', 'порт занят другой программой'],
    ['NetworkError', 'Access denied.', 'denied', 'нет прав на доступ к порту'],
    ['SecurityError', '', 'denied', 'нет прав на доступ к порту'],
    ['NotFoundError', 'No port.', 'missing', 'нет такого устройства'],
    ['AbortError', 'Odd.', 'openOther', 'порт не открылся'],
  ];
  for (const [name, text, cause, words] of rows) {
    assert.equal(quorvex.openFailureCause(name, text), cause, `${name}: ${text}`);
    assert.equal(quorvex.openFailureLine(name, text), text ? `${words} (${text})` : words, `${name}: ${text}`);
  }
});

// The failures no command words itself: the engine's own words for the port,
// with the browser's (or the page's) account as the engine's message gives
// it: below an open failure, in brackets after a lost port's cause.
test('a failure\'s message is the engine\'s, with the account as the engine gives it', async () => {
  const quorvex = await modulePromise;
  const engineSays = (events) => finishedBy(quorvex, 'write', events).message;
  const rows = [
    ['cannotOpen', (account) => engineSays([{ kind: 'openFailed', cause: 'busy', systemText: account }])],
    ['portLost', (account) => engineSays([{ kind: 'opened' }, { kind: 'lost', cause: 'lost', systemText: account }])],
  ];
  for (const [kind, says] of rows) {
    for (const account of ['x', '']) {
      const said = says(account);
      const failure = quorvex.failureMessage(kind, account);
      assert.deepEqual([failure.text, failure.title], [said.text, said.title], `${kind} "${account}"`);
    }
  }
  assert.match(quorvex.failureMessage('portLost', 'x').text, /^Связь с портом потеряна: [^\n]* \(x\)\. Порт/);
  assert.match(quorvex.failureMessage('portLost', 'x').note, /Подключите программатор/);
  const failed = quorvex.failureMessage('commandFailed', 'memory access out of bounds');
  assert.equal(failed.text, 'Команда прервана из-за ошибки страницы (memory access out of bounds).');
  assert.equal(failed.title, 'Ошибка');
});

// Where the browser's writes and waits are bounded comes with the steps.
test('the send step carries the browser\'s bound, the waits their slice', async () => {
  const quorvex = await modulePromise;
  const model = new quorvex.Model();
  const { writeTimeoutMs } = quorvex.protocol();
  for (const command of ['write', 'read']) {
    const engine = new quorvex.CommandEngine(model, command);
    engine.start(0);
    const send = engine.feed({ kind: 'opened', nowMs: 1 }).find((step) => step.kind === 'send');
    assert.ok(send.timeoutMs >= writeTimeoutMs, `${command}: ${send.timeoutMs}`);
    if (command === 'read') {
      const [collect] = engine.feed({ kind: 'written', nowMs: 2, count: send.bytes.length });
      assert.equal(collect.kind, 'collect');
      assert.ok(collect.sliceMs > 0, `slice ${collect.sliceMs}`);
    }
    engine.delete();
  }
  const engine = new quorvex.CommandEngine(model, 'writeVerify');
  engine.start(0);
  const send = engine.feed({ kind: 'opened', nowMs: 1 }).find((step) => step.kind === 'send');
  let steps = [];
  for (let i = 0; i < send.bytes.length; ++i) steps = engine.feed({ kind: 'written', nowMs: 2 + i, count: 1 });
  const wait = steps.find((step) => step.kind === 'wait');
  assert.ok(wait.sliceMs > 0, `slice ${wait.sliceMs}`);
  engine.delete();
  model.delete();
});
