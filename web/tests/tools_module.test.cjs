// The module's installer tools against quorvex-cli for random settings: the
// same sheet as `report`, the same differences as `diff --json`, the same
// batch words. QUORVEX_MODULE names the built module, QUORVEX_CLI the native
// quorvex-cli.
const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { execFileSync } = require('node:child_process');

const createQuorvex = require(path.resolve(process.env.QUORVEX_MODULE));
const { randomLine } = require('./random_settings.cjs');
const cli = process.env.QUORVEX_CLI;
const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'quorvex-tools-module-'));
test.after(() => fs.rmSync(scratch, { recursive: true, force: true }));

// Under node the loader cannot fetch the code: it is handed over.
const modulePromise = createQuorvex({
  wasmBinary: fs.readFileSync(path.resolve(path.dirname(process.env.QUORVEX_MODULE), 'quorvex.wasm')),
});
let seed = 7717;
const random = () => ((seed = (seed * 1103515245 + 12345) % 2147483648) / 2147483648);

function randomFile(quorvex, name) {
  const line = randomLine(quorvex.catalogue(), random);
  const file = path.join(scratch, name);
  fs.writeFileSync(file, line, 'latin1');
  return { file, bytes: new Uint8Array(fs.readFileSync(file)) };
}

// `quorvex-cli diff ... --json`, which exits 1 when the sides differ.
function nativeDiff(...sources) {
  try {
    return JSON.parse(execFileSync(cli, ['diff', ...sources, '--json'], { encoding: 'utf8' }));
  } catch (error) {
    if (error.status !== 1) throw error;
    return JSON.parse(error.stdout);
  }
}

const withoutSourceAndDate = (html) => html.split('\n').filter((line) => !/<td>(Источник|Дата):<\/td>/.test(line)).join('\n');

const unknown = { object: '', address: '', installer: '' };

test('the sheet of a random file is the native one, masked or not', async () => {
  const quorvex = await modulePromise;
  for (let i = 0; i < 4; ++i) {
    const { file, bytes } = randomFile(quorvex, `sheet${i}.qvx`);
    for (const mask of [false, true]) {
      const out = path.join(scratch, `sheet${i}${mask}.html`);
      execFileSync(cli, ['report', file, '-o', out, ...(mask ? ['--mask-password'] : [])]);
      const html = quorvex.settingsSheet(bytes, `sheet${i}.qvx`, mask, false, unknown);
      assert.equal(withoutSourceAndDate(html), withoutSourceAndDate(fs.readFileSync(out, 'utf8')), file);
    }
  }
  // Bytes that are no settings file give no sheet.
  assert.equal(quorvex.settingsSheet(new Uint8Array([0x3a, 0x23]), 'bad.qvx', false, false, unknown), '');
});

test('the sheet of an object names it, its address and the installer as report --archive --object does', async () => {
  const quorvex = await modulePromise;
  const folder = fs.mkdtempSync(path.join(scratch, 'object-'));
  const { file, bytes } = randomFile(quorvex, path.join(path.basename(folder), 'Иванов <И. И.>.qvx'));
  const archive = path.join(folder, 'objects.qvxa');
  execFileSync(cli, ['archive', 'import', archive, file]);
  const out = path.join(folder, 'sheet.html');
  execFileSync(cli, ['report', file, '-o', out, '--archive', archive, '--object', '1', '--installer', 'Петров & сын']);
  const native = fs.readFileSync(out, 'utf8');
  const html = quorvex.settingsSheet(bytes, 'Иванов <И. И.>.qvx', false, false,
    { object: '1 Иванов <И. И.>', address: '', installer: 'Петров & сын' });
  assert.equal(withoutSourceAndDate(html), withoutSourceAndDate(native));
  assert.match(native, /<td>Объект:<\/td><td>1 Иванов &lt;И\. И\.&gt;<\/td>/);
  assert.match(native, /<td>Установщик:<\/td><td>Петров &amp; сын<\/td>/);
  assert.match(native, /<td>Адрес объекта:<\/td><td class="blank">/);
  // An object the archive does not hold is a failure naming the archive.
  assert.throws(() => execFileSync(cli, ['report', file, '-o', out, '--archive', archive, '--object', '9'], { stdio: 'pipe' }),
    (error) => error.status === 1 && error.stderr.toString().includes(`${archive}: нет объекта с номером 9`));
  // --object alone is a usage error.
  assert.throws(() => execFileSync(cli, ['report', file, '-o', out, '--object', '1'], { stdio: 'pipe' }),
    (error) => error.status === 2);
});

test('a comparison lists what diff --json lists, in its order, and refuses a bad side', async () => {
  const quorvex = await modulePromise;
  for (let i = 0; i < 4; ++i) {
    const a = randomFile(quorvex, `a${i}.qvx`);
    const b = randomFile(quorvex, `b${i}.qvx`);
    const native = nativeDiff(a.file, b.file);
    const compared = quorvex.compareWithFile(a.bytes, b.bytes, 'b.qvx');
    assert.equal(compared.refusal, null);
    assert.deepEqual(compared.rows.map((row) => [row.caption, row.page, row.other]),
      native.map((d) => [d.caption, d.a.text, d.b.text]));
    const defaults = nativeDiff(a.file);
    assert.equal(quorvex.compareWithDefaults(a.bytes).rows.length, defaults.length);
  }
  const good = randomFile(quorvex, 'good.qvx').bytes;
  const refused = quorvex.compareWithFile(good, new Uint8Array([0x3a, 0x23]), 'bad.qvx');
  assert.deepEqual(refused.refusal, { text: 'Некорректный файл', title: 'Ошибка',
    note: 'Это не строка настроек: в ней нет кодов настроек, закрытых знаками «:#». '
      + 'Откройте файл .qvx, сохранённый конфигуратором.' });
  assert.deepEqual(refused.rows, []);
  // The device's side is the file a read took over, named by its port.
  const device = quorvex.compareWithDevice(good, good, 'ttyUSB0');
  assert.equal(device.otherSide, 'Устройство на порту ttyUSB0');
  assert.deepEqual(device.rows, []);
});

test('the batch words are the CLI\'s, built from the engine\'s codes', async () => {
  const quorvex = await modulePromise;
  // The engine's outcome codes, as a batch's ports end; 'failed' is the page's own failure.
  const cases = [
    [['verifyEqual', 'verifyEqual', 'cannotOpen'], '3 устройства: 2 записано и проверено, 1 ошибка'],
    [['verifyDifferent', 'stoppedMidFrame'], '2 устройства: 0 записано и проверено, 1 не совпадает с записанным, 1 прервано'],
    [['sent', 'failed', 'stoppedBeforeCheck'], '3 устройства: 1 записано и проверено, 1 ошибка, 1 прервано'],
  ];
  for (const [outcomes, total] of cases) assert.equal(quorvex.batchTotal(outcomes, true), total);
  // A port's line from the engine's summary(): its cause in the CLI's words,
  // never the browser's; a failure after the frame is the read-back's.
  const lines = [
    [{ outcome: 'verifyEqual' }, 'записано и проверено'],
    [{ outcome: 'verifyDifferent', frameSent: true, differing: 2 }, 'не совпадает: 2 настройки'],
    [{ outcome: 'cannotOpen', cause: 'denied', systemText: 'Access denied.' }, 'ошибка: нет прав на доступ к порту'],
    [{ outcome: 'cannotOpen', cause: 'busy', systemText: 'The port is already open.' }, 'ошибка: порт занят другой программой'],
    [{ outcome: 'cannotOpen', cause: 'missing', frameSent: true },
      'ошибка: не удалось прочитать устройство после записи: нет такого устройства'],
    [{ outcome: 'lostMidFrame', cause: 'lost', systemText: 'The device has been lost.' }, 'ошибка: связь с портом потеряна'],
    [{ outcome: 'writeTimedOut', cause: 'writeTimedOut' }, 'ошибка: порт не принимает данные'],
    [{ outcome: 'noData', cause: 'noData', frameSent: true },
      'ошибка: не удалось прочитать устройство после записи: не удалось получить данные'],
    [{ outcome: 'stoppedMidFrame', cause: 'stopped' }, 'прервано: кадр передан не полностью'],
    [{ outcome: 'refused', cause: 'faultyField' }, 'ошибка: настройки не приняты'],
    [{ outcome: 'failed', systemText: 'memory access out of bounds' }, 'ошибка: memory access out of bounds'],
  ];
  for (const [summary, words] of lines)
    assert.equal(quorvex.batchLine('/dev/pts/1', summary, 5.44), `/dev/pts/1  ${words}  5,4 с`, JSON.stringify(summary));
  // The history words its entries from the same codes; an entry kept before
  // the codes shows the words it holds.
  const history = [
    [{ outcome: 'sent' }, 'отправлено'],
    [{ outcome: 'readSuccess' }, 'прочитано из устройства'],
    [{ outcome: 'lostMidRead', cause: 'lost', frameSent: true },
      'ошибка: не удалось прочитать устройство после записи: связь с портом потеряна'],
    [{ outcome: 'Данные успешно отправлены' }, 'Данные успешно отправлены'],
  ];
  for (const [entry, words] of history) assert.equal(quorvex.historyOutcome(entry), words, entry.outcome);
  assert.match(quorvex.historyFileName('/dev/pts/4', Date.UTC(2026, 11, 9, 12)), /^pts_4-2026120\d-\d{6}\.qvx$/);
});
