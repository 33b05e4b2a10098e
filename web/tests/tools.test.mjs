// The installer's tools of the page in Debian's Chromium: the customer's
// sheet against quorvex-cli's, "Сравнить" with each of its sources, and the
// history across a reload. QUORVEX_CLI names the native quorvex-cli.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { defaultLine, expectMessage, keepHistory, openFile, openPage, save, tab, useBrowser } from './browser.mjs';
import { grantProducts, startDevices, writeMany } from './fake_devices.mjs';

useBrowser();
const scratch = mkdtempSync(join(tmpdir(), 'quorvex-tools-'));
test.after(() => rmSync(scratch, { recursive: true, force: true }));

// Settings off their defaults in a list, a slider, a phone and the password.
const changedLine = defaultLine.replace('000000:111111:111111:000000:000000:100050',
  '300000:211111:111111:000000:000000:100050').replace('+380501234567:', '+79991234567:').replace(':7391:', ':5555:');

// The sheet without the lines that name its source and its date.
const sheetText = (html) => html.split('\n').filter((line) => !/<td>(Источник|Дата):<\/td>/.test(line)).join('\n');

async function openNamed(page, name, line) {
  const file = join(scratch, name);
  writeFileSync(file, line);
  await page.setInputFiles('#OpenDialog1', file);
  await page.waitForFunction((title) => document.title.startsWith(title), name);
  return file;
}

test('the sheet is the one quorvex-cli report writes for the same file, masked or not', async () => {
  const page = await openPage();
  const file = await openNamed(page, 'customer.qvx', changedLine);
  await page.click('#sheetButton');
  const frame = page.locator('#sheetFrame');
  for (const mask of [false, true]) {
    await page.setChecked('#sheetMask', mask);
    await page.waitForFunction((masked) => {
      const sheet = document.querySelector('#sheetFrame').srcdoc;
      return sheet !== '' && sheet.includes('••••••') === masked;
    }, mask);
    const html = await frame.getAttribute('srcdoc');
    const out = join(scratch, `sheet-${mask}.html`);
    // The page's installer (openPage keeps one) is the CLI's --installer.
    execFileSync(process.env.QUORVEX_CLI, ['report', file, '-o', out, '--installer', 'Тестов', ...(mask ? ['--mask-password'] : [])]);
    const native = readFileSync(out, 'utf8');
    assert.equal(sheetText(html), sheetText(native));
    assert.ok(html.includes('<td>Источник:</td><td>файл customer.qvx</td>'), html.slice(0, 2000));
    assert.equal(html.includes('5555'), !mask);
  }
  // The print view is the sheet itself, with its A4 rules, in a frame that
  // runs no script; "Печать" prints it all the same.
  const printed = page.frameLocator('#sheetFrame');
  assert.equal(await printed.locator('h1').textContent(), 'Лист настроек Quorvex');
  assert.ok((await frame.getAttribute('srcdoc')).includes('@page { size: A4; margin: 15mm; }'));
  assert.deepEqual((await frame.getAttribute('sandbox')).split(' ').sort(), ['allow-modals', 'allow-same-origin']);
  await page.evaluate(() => document.querySelector('#sheetFrame').contentWindow
    .addEventListener('beforeprint', () => { window.sheetPrinted = true; }));
  await page.click('#sheetPrint');
  await page.waitForFunction(() => window.sheetPrinted === true);
  await page.click('#sheetClose');
  // Edited since: the sheet no longer calls its values the file's.
  await tab(page, 'Зоны');
  await page.selectOption('#ComboBox12', { index: 2 });
  await page.click('#sheetButton');
  await page.waitForFunction(() => document.querySelector('#sheetFrame').srcdoc.includes('с несохранёнными изменениями'));
  assert.ok((await frame.getAttribute('srcdoc')).includes('<td>Источник:</td><td>файл customer.qvx с несохранёнными изменениями</td>'));
  await page.click('#sheetClose');
  assert.deepEqual(page.errors, []);
});

// The rows of the comparison's table: header, then one array per difference.
async function comparison(page) {
  await page.waitForFunction(() => document.querySelector('#compareSummary').textContent !== '');
  const rows = await page.$$eval('#compareTable:not([hidden]) tr', (trs) => trs.map((tr) => [...tr.cells].map((c) => c.textContent)));
  return { summary: await page.textContent('#compareSummary'), rows };
}

test('"Сравнить" lists only what differs from the defaults, a file and the device', async () => {
  const page = await openPage();
  await openNamed(page, 'mine.qvx', changedLine);
  await page.click('#compareButton');

  await page.click('#compareDefaults');
  const defaults = await comparison(page);
  assert.deepEqual(defaults.rows[0], ['Вкладка', 'Параметр', 'На странице', 'По умолчанию']);
  assert.equal(defaults.summary, '4 настройки отличаются');
  assert.deepEqual(defaults.rows.slice(1).map((row) => [row[0], row[2], row[3]]), [
    ['Зоны', '4 - Группа 4', '1 - Группа 1'],
    ['Зоны', '2 - На замыкание', '1 - Контроль шлейфа'],
    ['Список аб.', '+79991234567', '+380501234567'],
    ['Список аб.', '5555', '7391'],
  ]);

  // Another file: only what that file holds otherwise.
  const other = join(scratch, 'other.qvx');
  writeFileSync(other, changedLine.replace(':5555:', ':1234:'));
  await page.setInputFiles('#compareFileInput', other);
  await page.waitForFunction(() => document.querySelector('#compareSummary').textContent === '1 настройка отличается');
  const file = await comparison(page);
  assert.deepEqual(file.rows, [['Вкладка', 'Параметр', 'На странице', 'Файл other.qvx'],
    ['Список аб.', 'Пароль/номер прибора', '5555', '1234']]);

  // The page's own simulator holds the defaults until written: read, nothing sent.
  await page.click('#compareDevice');
  await page.waitForFunction(() => document.querySelector('#compareTable th:last-child')?.textContent.startsWith('Устройство'), null, { timeout: 5000 });
  const device = await comparison(page);
  assert.equal(device.rows[0][3], 'Устройство на порту Симулятор устройства (демо)');
  assert.deepEqual(device.rows.slice(1), defaults.rows.slice(1));
  await page.click('#compareClose');

  // Nothing differing says so in one line, and shows no table.
  await openFile(page, defaultLine);
  await page.click('#compareButton');
  await page.click('#compareDefaults');
  assert.deepEqual(await comparison(page), { summary: 'Различий нет: все настройки совпадают (По умолчанию)', rows: [] });
  assert.deepEqual(page.errors, []);
});

// Waits until the page's history store holds `count` entries, the newest
// from port `newest`: a command's entry is stored after its message has
// closed, and a reload meanwhile would drop it.
async function historyHolds(page, count, newest = 'Симулятор устройства (демо)') {
  await page.waitForFunction(async ([n, port]) => {
    if (!(await indexedDB.databases()).some((d) => d.name === 'quorvex-history')) return false;
    const database = await new Promise((resolve, reject) => {
      const opening = indexedDB.open('quorvex-history');
      opening.onsuccess = () => resolve(opening.result);
      opening.onerror = () => reject(opening.error);
    });
    try {
      if (!database.objectStoreNames.contains('entries')) return false;
      const all = await new Promise((resolve, reject) => {
        const reading = database.transaction('entries').objectStore('entries').getAll();
        reading.onsuccess = () => resolve(reading.result);
        reading.onerror = () => reject(reading.error);
      });
      return all.length === n && all.at(-1).port === port;
    } finally {
      database.close();
    }
  }, [count, newest], { timeout: 10_000 });
}

// The message box over a tool's dialog: its title and text, then OK.
async function messageOver(page) {
  const box = page.locator('#message[open]');
  await box.waitFor();
  const said = [await box.locator('h2').textContent(), await box.locator('p').textContent()];
  await box.getByRole('button', { name: 'OK' }).click();
  await page.waitForFunction(() => !document.querySelector('#message').open);
  return said;
}

test('"Сравнить" with a file refuses one far too large unread, and says so of one it cannot read', async () => {
  const page = await openPage();
  await openNamed(page, 'mine.qvx', changedLine);
  await page.click('#compareButton');
  // Sparse files: their size without their bytes; past the limit by one, and past 2 GiB.
  for (const size of ['65537', '300M', '2300M']) {
    const file = join(scratch, `huge-${size}.qvx`);
    execFileSync('truncate', ['-s', size, file]);
    await page.setInputFiles('#compareFileInput', file);
    assert.deepEqual(await messageOver(page), ['Ошибка', 'Некорректный файл'], size);
  }
  // Changed on the disk since it was chosen.
  await page.evaluate(() => { Blob.prototype.arrayBuffer = async () => { throw new DOMException('Changed.', 'NotReadableError'); }; });
  const changed = join(scratch, 'changed.qvx');
  writeFileSync(changed, changedLine);
  await page.setInputFiles('#compareFileInput', changed);
  assert.deepEqual(await messageOver(page), ['Ошибка', 'Ошибка открытия файла']);
  assert.equal(await page.textContent('#compareSummary'), '');
  assert.deepEqual(page.errors, []);
});

// The history's rows as the list shows them: time, port, command, outcome.
async function historyRows(page) {
  await page.click('#historyButton');
  await page.locator('#historyDialog[open]').waitFor();
  return page.$$eval('#historyTable tbody tr', (trs) => trs.map((tr) => [...tr.cells].slice(0, 4).map((c) => c.textContent)));
}

test('the history keeps what was written and read across a reload, to open, save and compare', async () => {
  const page = await openPage();
  page.on('dialog', (question) => question.accept());  // open over edits
  await openNamed(page, 'site.qvx', changedLine);
  await page.getByRole('button', { name: 'Записать', exact: true }).click();
  await expectMessage(page, 'Данные успешно отправлены', 'Данные успешно отправлены');
  const written = await save(page);
  await openFile(page, defaultLine);
  await page.getByRole('button', { name: 'Прочитать' }).click();
  await expectMessage(page, 'Данные успешно получены', 'Данные успешно получены');
  await historyHolds(page, 2);

  await page.reload();
  await page.waitForSelector('body[data-ready=true]');
  const rows = await historyRows(page);
  assert.equal(rows.length, 2);
  assert.match(rows[0][0], /^\d\d\.\d\d\.\d{4} \d\d:\d\d:\d\d$/);
  assert.deepEqual(rows.map((row) => row.slice(1, 3)), [['Симулятор устройства (демо)', 'Прочитать'], ['Симулятор устройства (демо)', 'Записать']]);
  assert.deepEqual(rows.map((row) => row[3]), ['прочитано из устройства', 'отправлено']);

  // Saved byte for byte as written, under the port's name and the time.
  const entry = page.locator('#historyTable tbody tr').nth(1);
  const download = page.waitForEvent('download');
  await entry.getByRole('button', { name: 'Сохранить' }).click();
  const saved = await download;
  assert.match(saved.suggestedFilename(), /^Симулятор_устройства_\(демо\)-\d{8}-\d{6}\.qvx$/);
  const file = join(scratch, 'from-history.qvx');
  await saved.saveAs(file);
  assert.deepEqual(readFileSync(file), written);
  const started = page.locator('#message[open]');
  assert.ok((await started.locator('p').textContent()).startsWith(`Файл ${saved.suggestedFilename()} передан браузеру`));
  await started.getByRole('button', { name: 'OK' }).click();

  // Compared with the page (the defaults now), then opened into the controls.
  await entry.getByRole('button', { name: 'Сравнить' }).click();
  await page.waitForFunction(() => document.querySelector('#compareDialog').open);
  const compared = await comparison(page);
  assert.match(compared.rows[0][3], /^Записать, Симулятор устройства \(демо\), \d\d\.\d\d\.\d{4} /);
  assert.equal(compared.rows.length, 5);
  await page.click('#compareClose');
  await entry.getByRole('button', { name: 'Открыть' }).click();
  await page.waitForFunction(() => !document.querySelector('#historyDialog').open);
  // Saved in no file yet: the title names the entry and marks the settings unsaved.
  await page.waitForFunction(() => document.title.startsWith('История: '));
  assert.match(await page.title(), /^История: Записать, Симулятор устройства \(демо\), \d\d\.\d\d\.\d{4} \d\d:\d\d:\d\d \* — Quorvex$/);
  await tab(page, 'Список аб.');
  assert.equal(await page.inputValue('#Edit25'), '5555');
  assert.deepEqual(await save(page), written);
  assert.deepEqual(page.errors, []);
});

test('the history keeps the newest 200, dropping the oldest first', async () => {
  const page = await openPage();
  // 204 entries as the page keeps them, then one more by a write.
  await keepHistory(page, Array.from({ length: 204 }, (_, i) =>
    ({ time: Date.now(), port: `p${i}`, command: 'write', outcome: 'x', text: defaultLine })));
  await page.getByRole('button', { name: 'Записать', exact: true }).click();
  await expectMessage(page, 'Данные успешно отправлены', 'Данные успешно отправлены');
  await historyHolds(page, 200);
  const rows = await historyRows(page);
  assert.equal(rows.length, 200);
  assert.equal(rows[1][1], 'p203');
  assert.equal(rows[199][1], 'p5');
});

test('history records not of the page\'s shape are left out with a note; the rest still compare and open', async () => {
  const page = await openPage();
  const good = { time: Date.now(), port: 'COM3', command: 'write', outcome: 'sent', text: changedLine };
  await keepHistory(page, [good, { ...good, port: 5 }, { ...good, text: undefined }, { ...good, text: undefined, bytes: changedLine },
    { ...good, time: 'yesterday' }, { ...good, cause: 7 }, { ...good, port: 'COM4' }]);
  const rows = await historyRows(page);
  assert.deepEqual(rows.map((row) => [row[1], row[3]]), [['COM4', 'отправлено'], ['COM3', 'отправлено']]);
  assert.equal(await page.textContent('#historyEmpty'), 'Не показаны повреждённые записи истории: 5.');
  const entry = page.locator('#historyTable tbody tr').nth(1);
  await entry.getByRole('button', { name: 'Сравнить' }).click();
  await page.waitForFunction(() => document.querySelector('#compareDialog').open);
  assert.equal((await comparison(page)).summary, '4 настройки отличаются');
  await page.click('#compareClose');
  await entry.getByRole('button', { name: 'Открыть' }).click();
  await page.waitForFunction(() => !document.querySelector('#historyDialog').open);
  await tab(page, 'Список аб.');
  assert.equal(await page.inputValue('#Edit25'), '5555');
  assert.deepEqual(page.errors, []);
});

test('a browser that refuses storage gets one note and every command still works', async () => {
  const page = await openPage(async (p) => p.addInitScript(() => {
    Object.defineProperty(window, 'indexedDB', { value: { open() { throw new DOMException('refused', 'SecurityError'); } } });
  }));
  for (let i = 0; i < 2; ++i) {
    await page.getByRole('button', { name: 'Записать', exact: true }).click();
    await expectMessage(page, 'Данные успешно отправлены', 'Данные успешно отправлены');
  }
  await page.getByRole('button', { name: 'Прочитать' }).click();
  await expectMessage(page, 'Данные успешно получены', 'Данные успешно получены');
  assert.equal(await page.locator('[role=note]:not([hidden])', { hasText: 'хранить историю' }).count(), 1);
  assert.deepEqual(await historyRows(page), []);
  assert.ok((await page.textContent('#historyEmpty')).includes('хранить историю'));
  assert.deepEqual(page.errors, []);
});

test('storage that refused an entry takes the next one once it has room again', async () => {
  const page = await openPage(async (p) => p.addInitScript(() => {
    window.storageFull = true;
    const add = IDBObjectStore.prototype.add;
    IDBObjectStore.prototype.add = function addUnlessFull(...args) {
      if (window.storageFull) throw new DOMException('The quota has been exceeded.', 'QuotaExceededError');
      return add.apply(this, args);
    };
  }));
  const note = page.locator('#storageNote');
  await page.getByRole('button', { name: 'Записать', exact: true }).click();
  await expectMessage(page, 'Данные успешно отправлены', 'Данные успешно отправлены');
  await note.waitFor();
  await page.evaluate(() => { window.storageFull = false; });
  await page.getByRole('button', { name: 'Прочитать' }).click();
  await expectMessage(page, 'Данные успешно получены', 'Данные успешно получены');
  await note.waitFor({ state: 'hidden' });
  const rows = await historyRows(page);
  assert.deepEqual(rows.map((row) => row[3]), ['прочитано из устройства']);
  assert.deepEqual(page.errors, []);
});

// The history module of its own: a record made before the page hands it its
// words (the limit, the note) waits for them, and is then kept.
test('a record made before the history is set up is kept once it is', async () => {
  const page = await openPage(undefined, { pageSources: true });
  const { before, after } = await page.evaluate(async () => {
    const { recordHistory, setUpHistory } = await import('./page-sources/history.js');
    const kept = async () => {
      const database = await new Promise((resolve, reject) => {
        const opening = indexedDB.open('quorvex-history', 1);
        opening.onupgradeneeded = () => opening.result.createObjectStore('entries', { keyPath: 'id', autoIncrement: true });
        opening.onsuccess = () => resolve(opening.result);
        opening.onerror = () => reject(opening.error);
      });
      const reading = database.transaction('entries').objectStore('entries').getAll();
      const all = await new Promise((resolve) => { reading.onsuccess = () => resolve(reading.result); });
      database.close();
      return all.map((entry) => [entry.port, entry.command, entry.outcome, [...entry.bytes]]);
    };
    const recorded = recordHistory({ settingsLine: Uint8Array.of(0x41, 0x0d, 0x0a), port: 'COM7', command: 'write', outcome: 'sent' });
    const before = await kept();
    const quorvex = await createQuorvex();
    setUpHistory({ quorvex, tools: quorvex.toolTexts(), byId: (id) => document.getElementById(id),
      openBytes: async () => {}, saveBytes: async () => {}, compare: async () => {} });
    await recorded;
    return { before, after: await kept() };
  });
  assert.deepEqual(before, []);
  assert.deepEqual(after, [['COM7', 'write', 'sent', [0x41, 0x0d, 0x0a]]]);
  assert.equal(await page.locator('#storageNote').isHidden(), true);
  assert.deepEqual(page.errors, []);
});

async function pageWithDevices(products) {
  const page = await openPage((p) => grantProducts(p, products));
  await startDevices(page);
  return page;
}

test('many ports at once: each written, read back and compared; a failing port stops only its line', async () => {
  const page = await pageWithDevices([1, 2, 3, 4, 5]);
  await page.evaluate(() => {
    window.fakeSerial.granted[3].refuseOpen = 'Access denied.';
    window.fakeSerial.granted[4].loseAfterWrites = 40;  // pulled out mid-frame
  });
  await openNamed(page, 'batch.qvx', changedLine);
  await page.click('#batchButton');
  const names = await page.$$eval('#batchPorts label', (labels) => labels.map((l) => l.textContent.trim()));
  assert.deepEqual(names, ['Симулятор устройства (демо)', ...[1, 2, 3, 4, 5].map((n) => `USB 1A86:000${n}`)]);
  await page.click('#batchClose');
  const { lines } = await writeMany(page, names.slice(1));
  assert.equal(lines.length, 6);
  for (const n of [1, 2, 3]) assert.match(lines[n - 1], new RegExp(`^USB 1A86:000${n}  записано и проверено  \\d+,\\d с$`));
  assert.match(lines[3], /^USB 1A86:0004 {2}ошибка: нет прав на доступ к порту {2}0,\d с$/);
  assert.match(lines[4], /^USB 1A86:0005 {2}ошибка: связь с портом потеряна {2}\d+,\d с$/);
  assert.equal(lines[5], '5 устройств: 3 записано и проверено, 2 ошибки');
  // At once, not one after another: every written device had its first
  // byte before any of them had its last.
  const spans = await page.evaluate(() => window.fakeSerial.granted.slice(0, 3)
    .map(({ writes }) => [writes[0].at, writes.at(-1).at]));
  assert.ok(Math.max(...spans.map(([first]) => first)) < Math.min(...spans.map(([, last]) => last)), JSON.stringify(spans));
  // The history has each port's write, the one cut short and the one that
  // would not open too.
  const rows = await historyRows(page);
  assert.equal(rows.length, 5);
  assert.deepEqual(rows.map((row) => row[1]).sort(), names.slice(1));
  assert.ok(rows.some((row) => row[1] === 'USB 1A86:0004' && row[3] === 'ошибка: нет прав на доступ к порту'));
  assert.deepEqual(page.errors, []);
});

// How many bytes each granted port took, by its product id; `ports` kept
// before any was unplugged.
const writesByProduct = (page) => page.evaluate(() => Object.fromEntries(window.ports.map((port) =>
  [port.info.usbProductId, port.writes.length])));

test('the batch writes the ports that were checked, whichever were unplugged meanwhile', async () => {
  const page = await pageWithDevices([1, 2, 3, 4, 5]);
  await openNamed(page, 'batch.qvx', changedLine);
  await page.click('#batchButton');
  for (const n of [2, 4, 5]) await page.locator('#batchPorts label', { hasText: `USB 1A86:000${n}` }).locator('input').check();
  // Unplugged while the dialog is open: the first (which moves the others
  // up) and a checked one.
  await page.evaluate(() => {
    window.ports = [...window.fakeSerial.granted];
    window.fakeSerial.unplug(window.ports[0]);
    window.fakeSerial.unplug(window.ports[3]);
  });
  await page.waitForFunction(() => document.querySelectorAll('#ComboBox1 option').length === 4);
  await page.click('#batchWrite');
  await page.waitForSelector('#batchResults li.total', { timeout: 60000 });
  const lines = await page.$$eval('#batchResults li', (items) => items.map((li) => li.textContent));
  assert.match(lines[0], /^USB 1A86:0002 {2}записано и проверено {2}\d+,\d с$/);
  assert.match(lines[1], /^USB 1A86:0004 {2}ошибка: нет такого устройства {2}0,\d с$/);
  assert.match(lines[2], /^USB 1A86:0005 {2}записано и проверено {2}\d+,\d с$/);
  assert.equal(lines[3], '3 устройства: 2 записано и проверено, 1 ошибка');
  const writes = await writesByProduct(page);
  assert.deepEqual([writes[1], writes[3], writes[4]], [0, 0, 0], JSON.stringify(writes));
  assert.ok(writes[2] > 0 && writes[5] > 0, JSON.stringify(writes));
  assert.deepEqual(page.errors, []);
});

test('a running batch keeps its dialog until "Остановить" ends it; its lines and history stay', async () => {
  const page = await pageWithDevices([1, 2, 3]);
  await page.evaluate(() => { window.fakeSerial.granted[0].refuseOpen = 'Access denied.'; });
  await openNamed(page, 'batch.qvx', changedLine);
  await page.click('#batchButton');
  for (const n of [1, 2, 3]) await page.locator('#batchPorts label', { hasText: `USB 1A86:000${n}` }).locator('input').check();
  await page.click('#batchWrite');
  await page.waitForFunction(() => window.fakeSerial.granted[1].writes.length > 20);
  // Neither Escape (twice, as a browser may then close anyway) nor "Закрыть"
  // leaves it, and leaving the page asks.
  assert.equal(await page.locator('#batchClose').isDisabled(), true);
  await page.keyboard.press('Escape');
  await page.keyboard.press('Escape');
  await page.waitForFunction(() => document.querySelector('#batchDialog').open);
  assert.equal(await page.evaluate(() => {
    const leaving = new Event('beforeunload', { cancelable: true });
    window.dispatchEvent(leaving);
    return leaving.defaultPrevented;
  }), true);
  await page.getByRole('button', { name: 'Остановить' }).click();
  await page.waitForSelector('#batchResults li.total');
  const lines = await page.$$eval('#batchResults li', (items) => items.map((li) => li.textContent));
  assert.match(lines[0], /^USB 1A86:0001 {2}ошибка: нет прав на доступ к порту {2}0,\d с$/);
  for (const line of lines.slice(1, 3)) assert.match(line, /^USB 1A86:000[23] {2}прервано: (кадр передан|запись не начата)/);
  assert.equal(lines[3], '3 устройства: 0 записано и проверено, 1 ошибка, 2 прервано');
  assert.equal(await page.getByRole('button', { name: 'Остановить' }).isHidden(), true);
  // Closed and shown again: the last batch's lines are there.
  await page.click('#batchClose');
  await page.waitForFunction(() => !document.querySelector('#batchDialog').open);
  await page.click('#batchButton');
  assert.deepEqual(await page.$$eval('#batchResults li', (items) => items.map((li) => li.textContent)), lines);
  await page.click('#batchClose');
  const rows = await historyRows(page);
  assert.deepEqual(rows.map((row) => row[1]).sort(), ['USB 1A86:0001', 'USB 1A86:0002', 'USB 1A86:0003']);
  assert.deepEqual(page.errors, []);
});

// The batch's lines as shown: text, whether marked failed, the mark drawn
// before it, and whether it fits the dialog's width.
const batchLines = (page) => page.$$eval('#batchResults li:not(.total)', (items) => items.map((li) => ({
  text: li.textContent,
  failed: li.classList.contains('failed'),
  mark: getComputedStyle(li, '::before').content,
  fits: li.scrollWidth <= li.clientWidth + 1 && li.getBoundingClientRect().right <= li.closest('dialog').getBoundingClientRect().right,
})));
const ticked = (page) => page.$$eval('#batchPorts input', (boxes) => boxes.map((box) => box.checked));

test('"Отметить все" ticks every port, the ticks outlive the dialog, a failed line is marked and the retry runs only those', async () => {
  // The second port has a long name given before and refuses: its line must wrap.
  const longName = 'Склад, стеллаж 4, нижняя полка, программатор с синей наклейкой'.repeat(2);
  const page = await openPage(async (p) => {
    await p.addInitScript((name) => localStorage.setItem('quorvex.portNames', JSON.stringify({ 'USB 1A86:0002': name })), longName);
    await grantProducts(p, [1, 2, 3]);
  });
  await startDevices(page);
  await page.evaluate(() => { window.fakeSerial.granted[1].refuseOpen = 'Access denied.'; });
  await page.setViewportSize({ width: 911, height: 438 });
  await openNamed(page, 'batch.qvx', changedLine);
  await page.click('#batchButton');
  await page.click('#batchAll');
  assert.deepEqual(await ticked(page), [true, true, true, true]);
  await page.locator('#batchPorts label', { hasText: 'Симулятор' }).locator('input').uncheck();
  await page.click('#batchClose');
  await page.click('#batchButton');
  assert.deepEqual(await ticked(page), [false, true, true, true]);
  assert.equal(await page.locator('#batchRetry').isHidden(), true);
  await page.click('#batchWrite');
  await page.waitForSelector('#batchResults li.total', { timeout: 60000 });
  const lines = await batchLines(page);
  assert.deepEqual(lines.map((line) => line.failed), [false, true, false]);
  assert.ok(lines[1].text.startsWith(`USB 1A86:0002 — «${longName}»  ошибка: нет прав на доступ к порту`), lines[1].text);
  assert.equal(lines[1].mark, '"✗ "');
  assert.equal(lines[0].mark, 'none');
  assert.ok(lines.every((line) => line.fits), JSON.stringify(lines));

  // The retry writes the failed port alone, which now opens.
  await page.evaluate(() => {
    window.fakeSerial.granted[1].refuseOpen = null;
    window.before = window.fakeSerial.granted.map((port) => port.writes.length);
  });
  await page.click('#batchRetry');
  await page.waitForFunction(() => document.querySelectorAll('#batchResults li').length === 2
    && document.querySelector('#batchResults li.total'), null, { timeout: 60000 });
  const retried = await batchLines(page);
  assert.ok(retried[0].text.startsWith(`USB 1A86:0002 — «${longName}»  записано и проверено`), retried[0].text);
  assert.equal(retried[0].failed, false);
  assert.equal(await page.locator('#batchRetry').isHidden(), true);
  const grew = await page.evaluate(() => window.fakeSerial.granted.map((port, i) => port.writes.length > window.before[i]));
  assert.deepEqual(grew, [false, true, false]);
  assert.deepEqual(page.errors, []);
});
