// "Объекты" in Debian's Chromium: the archive in the origin-private file
// system through sqlite-wasm and the archive's C++ rules; its file read by
// the native quorvex-cli (QUORVEX_CLI).
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { defaultLine, expectMessage, keepHistory, openPage, tab, useBrowser } from './browser.mjs';

useBrowser();
const scratch = mkdtempSync(join(tmpdir(), 'quorvex-objects-'));
test.after(() => rmSync(scratch, { recursive: true, force: true }));

const phoneLine = defaultLine.replace('+380501234567:', '+7 (999) 123-45-67:');
const cli = (...args) => execFileSync(process.env.QUORVEX_CLI, ['archive', ...args], { encoding: 'utf8' });

async function openObjects(page) {
  await page.waitForFunction(() => !document.querySelector('#objectsOpen').hidden);
  await page.click('#objectsOpen');
  await page.locator('#objectsDialog[open]').waitFor();
  await page.waitForFunction(() => document.querySelector('#archiveStorage').dataset.state
    && document.querySelector('#objectsDialog').dataset.listed);
}

// The list's lines once the search `text` has been answered with `count` of them.
async function listed(page, text, count) {
  await page.fill('#objectSearch', text);
  await page.waitForFunction((n) => document.querySelectorAll('#objectList li').length === n, count);
  return page.$$eval('#objectList li', (items) => items.map((item) => item.textContent));
}

async function journalHolds(page, count) {
  await page.waitForFunction((n) => document.querySelectorAll('#objectJournal li').length === n, count);
  return page.$$eval('#objectJournal li', (items) => items.map((item) => item.textContent));
}

async function newObject(page, number, name, address) {
  await page.click('#objectNew');
  await page.fill('#objectNumber', number);
  await page.fill('#objectName', name);
  await page.fill('#objectAddress', address);
  await page.click('#objectSave');
  await page.waitForFunction((title) => document.title.startsWith(title), `${number} ${name}.qvx`);
}

test('an object journals a write and a read, is found by name and by phone digits after a reload, and the CLI reads its export', async () => {
  const page = await openPage();
  page.on('dialog', (question) => question.accept());
  const file = join(scratch, 'Иванов.qvx');
  writeFileSync(file, phoneLine);
  await page.setInputFiles('#OpenDialog1', file);
  await page.waitForFunction(() => document.title.startsWith('Иванов.qvx'));

  await openObjects(page);
  await page.fill('#installerName', 'Петров');
  await page.dispatchEvent('#installerName', 'change');
  await newObject(page, '17', 'Иванов И. И.', 'ул. Ленина, 5');
  await page.click('#objectsClose');

  await page.getByRole('button', { name: 'Записать', exact: true }).click();
  await expectMessage(page, 'Данные успешно отправлены', 'Данные успешно отправлены');
  await page.getByRole('button', { name: 'Прочитать' }).click();
  await expectMessage(page, 'Данные успешно получены', 'Данные успешно получены');

  await openObjects(page);
  const journal = await journalHolds(page, 2);
  assert.match(journal[0], /Прочитать · Симулятор устройства \(демо\) · .* · Петров/);
  assert.match(journal[1], /Записать · Симулятор устройства \(демо\)/);

  await page.reload();
  await page.waitForSelector('body[data-ready=true]');
  await openObjects(page);
  assert.equal(await page.inputValue('#installerName'), 'Петров');
  assert.deepEqual(await listed(page, 'иванов', 1), ['17 Иванов И. И. · ул. Ленина, 5']);
  assert.deepEqual(await listed(page, '999 123-45', 1), ['17 Иванов И. И. · ул. Ленина, 5']);
  await listed(page, 'Сидоров', 0);

  // Opening it loads its settings (those read last) and shows its journal.
  await listed(page, '', 1);
  await page.click('#objectList li button');
  await page.waitForFunction(() => document.title.startsWith('17 Иванов И. И..qvx'));
  await journalHolds(page, 2);

  const download = page.waitForEvent('download');
  await page.click('#archiveExport');
  const exported = join(scratch, 'objects.qvxa');
  const done = await download;
  assert.equal(done.suggestedFilename(), 'objects.qvxa');
  await done.saveAs(exported);
  await page.locator('#message[open]').getByRole('button', { name: 'OK' }).click();
  const objects = JSON.parse(cli('list', exported, '--json'));
  assert.equal(objects.length, 1);
  assert.equal(objects[0].number, '17');
  assert.equal(objects[0].name, 'Иванов И. И.');
  const shown = cli('show', exported, '17');
  assert.match(shown, /ул\. Ленина, 5/);
  assert.match(shown, /Записать/);
  assert.match(shown, /Прочитать/);
  assert.deepEqual(page.errors, []);
});

test('settings files become objects named by their files, an archive is merged, and neither twice', async () => {
  const folder = mkdtempSync(join(scratch, 'folder-'));
  const names = ['Сидоров П. П.qvx', 'дача Ивановых.qvx'];
  const files = names.map((name, index) => {
    const path = join(folder, name);
    writeFileSync(path, defaultLine.replace('+380501234567:', `+7916000000${index}:`));
    return path;
  });
  // An archive the CLI made, of one more object.
  const other = join(folder, 'other.qvx');
  writeFileSync(other, phoneLine);
  const archiveFile = join(scratch, 'from-cli.qvxa');
  cli('import', archiveFile, other);

  const page = await openPage();
  await openObjects(page);
  for (const round of [1, 2]) {
    await page.setInputFiles('#archiveImport', [...files, archiveFile]);
    await page.waitForFunction(() => !document.querySelector('#archiveNote').hidden);
    const said = await page.textContent('#archiveNote');
    // The archive's object 1 is kept under a free number: the first file took 1.
    if (round === 1) assert.equal(said, 'Импорт: новых объектов 3, обновлено 0, без изменений 0, записей журнала добавлено 1\n'
      + 'from-cli.qvxa: 1 → 1/2 (other)');
    else assert.equal(said, 'Импорт: новых объектов 0, обновлено 0, без изменений 2');
    await page.click('#objectsClose');
    await openObjects(page);
    const lines = await listed(page, '', 3);
    assert.deepEqual(lines.map((line) => line.replace(/^[\d/]+ /, '')).sort(), ['other', 'Сидоров П. П', 'дача Ивановых']);
  }
  // Each has its settings as its first entry, found by its phone's digits.
  assert.deepEqual(await listed(page, '79160000001', 1), [(await listed(page, 'дача', 1))[0]]);
  await page.fill('#objectSearch', 'дача');
  await page.click('#objectList li button');
  await page.waitForFunction(() => / дача Ивановых\.qvx — Quorvex$/.test(document.title));
  assert.equal((await journalHolds(page, 1)).length, 1);

  // Deleted after a question, then restored from "Удалённые".
  const questions = [];
  page.on('dialog', (question) => { questions.push(question.message()); question.accept(); });
  await page.click('#objectDelete');
  await listed(page, '', 2);
  assert.match(questions[0], /^Удалить объект \d+ «дача Ивановых»\?/);
  await page.waitForFunction(() => document.querySelectorAll('#deletedList li').length === 1);
  await page.click('#deletedObjects summary');
  await page.getByRole('button', { name: 'Восстановить' }).click();
  await page.waitForFunction(() => document.querySelectorAll('#objectList li').length === 3
    && document.querySelectorAll('#deletedList li').length === 0);
  assert.deepEqual(page.errors, []);
});

test('storage the browser will not keep for good is said, and the archive works; storage refused leaves the page working', async () => {
  const page = await openPage(async (page) => {
    await page.addInitScript(() => {
      StorageManager.prototype.persist = async () => false;
      StorageManager.prototype.persisted = async () => false;
    });
  });
  await openObjects(page);
  assert.equal(await page.$eval('#archiveStorage', (p) => p.dataset.state), 'notPersisted');
  assert.match(await page.textContent('#archiveStorage'), /^Браузер не обещал хранить архив постоянно/);
  await newObject(page, '5', 'Кузнецов', '');
  await page.reload();
  await page.waitForSelector('body[data-ready=true]');
  await openObjects(page);
  await listed(page, 'кузнецов', 1);

  // No origin-private file system in the archive's worker.
  const refused = await openPage(async (page) => {
    await page.context().route('**/archive_worker.js', async (route) => {
      const original = await route.fetch();
      route.fulfill({ response: original, body: `delete StorageManager.prototype.getDirectory;\n${await original.text()}` });
    });
  }, { serviceWorkers: 'block' });
  await openObjects(refused);
  assert.equal(await refused.$eval('#archiveStorage', (p) => p.dataset.state), 'unavailable');
  assert.match(await refused.textContent('#archiveStorage'), /^Архив недоступен: /);
  await refused.click('#objectsClose');
  // The device's commands and the history go on without it.
  await refused.getByRole('button', { name: 'Записать', exact: true }).click();
  await expectMessage(refused, 'Данные успешно отправлены', 'Данные успешно отправлены');
  assert.deepEqual(page.errors, []);
  assert.deepEqual(refused.errors, []);
});

test('the former history is carried into "Без объекта" once, whatever its outcomes', async () => {
  const page = await openPage();
  const time = Date.parse('2026-01-15T10:00:00Z');
  await keepHistory(page, [
    { time, port: 'COM3', command: 'write', outcome: 'sent', text: `${defaultLine}\r\n` },
    { time: time + 1000, port: 'COM4', command: 'read', outcome: 'x', text: `${defaultLine}\r\n` },
  ]);
  for (const round of [1, 2]) {
    await page.reload();
    await page.waitForSelector('body[data-ready=true]');
    // The second time as if the mark were lost: still kept once.
    if (round === 2) await page.evaluate(() => localStorage.removeItem('quorvex-history-carried'));
    await openObjects(page);
    assert.equal(await page.textContent('#objectJournalTitle'), 'Журнал: Без объекта');
    const lines = await journalHolds(page, 2);
    assert.match(lines[0], /^\d\d\.01\.2026 \d\d:00:01 · Прочитать · COM4/);
    assert.match(lines[1], /^\d\d\.01\.2026 \d\d:00:00 · Записать · COM3/);
  }
  assert.deepEqual(page.errors, []);
});

// The comparison's summary and its rows, once it has been shown.
async function compared(page) {
  await page.waitForFunction(() => document.querySelector('#compareDialog').open
    && document.querySelector('#compareSummary').textContent !== '');
  const rows = await page.$$eval('#compareTable:not([hidden]) tbody tr', (trs) => trs.map((tr) => [...tr.cells].map((c) => c.textContent)));
  return { summary: await page.textContent('#compareSummary'), rows };
}

test('the sheet names the object open, its address and the installer; a journal entry is saved, compared and opened', async () => {
  const page = await openPage();
  page.on('dialog', (question) => question.accept());
  const file = join(scratch, 'Смирнов.qvx');
  writeFileSync(file, phoneLine);
  await page.setInputFiles('#OpenDialog1', file);
  await page.waitForFunction(() => document.title.startsWith('Смирнов.qvx'));

  // No object open: the object's lines stay blank, the installer's is filled.
  const sheet = async () => {
    await page.click('#sheetButton');
    await page.waitForFunction(() => document.querySelector('#sheetFrame').srcdoc.includes('Объект:'));
    const html = await page.$eval('#sheetFrame', (frame) => frame.srcdoc);
    await page.click('#sheetClose');
    return html;
  };
  let html = await sheet();
  assert.match(html, /<td>Объект:<\/td><td class="blank">/);
  assert.match(html, /<td>Установщик:<\/td><td>Тестов<\/td>/);

  await openObjects(page);
  await newObject(page, '23', 'Смирнов & Ко', 'пр. Мира, 7');
  await page.click('#objectsClose');
  html = await sheet();
  assert.match(html, /<td>Объект:<\/td><td>23 Смирнов &amp; Ко<\/td>/);
  assert.match(html, /<td>Адрес объекта:<\/td><td>пр\. Мира, 7<\/td>/);

  await page.getByRole('button', { name: 'Записать', exact: true }).click();
  await expectMessage(page, 'Данные успешно отправлены', 'Данные успешно отправлены');
  await openObjects(page);
  await journalHolds(page, 1);
  const entry = page.locator('#objectJournal li').first();

  // Saved byte for byte as written, named by the port and the time, as the history names it.
  const download = page.waitForEvent('download');
  await entry.getByRole('button', { name: 'Сохранить' }).click();
  const saved = await download;
  assert.match(saved.suggestedFilename(), /^Симулятор_устройства_\(демо\)-\d{8}-\d{6}\.qvx$/);
  const copy = join(scratch, 'from-journal.qvx');
  await saved.saveAs(copy);
  // The phone as the device takes it: digits and "+" only.
  assert.equal(readFileSync(copy, 'latin1'), phoneLine.replace('+7 (999) 123-45-67', '+79991234567'));
  await page.locator('#message[open]').getByRole('button', { name: 'OK' }).click();

  // Compared with the page: equal, then one difference once the page is edited.
  await entry.getByRole('button', { name: 'Сравнить' }).click();
  assert.match((await compared(page)).summary, /^Различий нет/);
  await page.click('#compareClose');
  await page.click('#objectsClose');
  await tab(page, 'Список аб.');
  await page.fill('#Edit25', '8642');
  await page.dispatchEvent('#Edit25', 'change');
  await openObjects(page);
  await page.locator('#objectJournal li').first().getByRole('button', { name: 'Сравнить' }).click();
  const difference = await compared(page);
  assert.equal(difference.summary, '1 настройка отличается');
  assert.equal(difference.rows[0][2], '8642');
  assert.match(difference.rows[0][3], /^7391 ?/);
  await page.click('#compareClose');

  // Opened into the controls (asked over the edit), titled as the history titles it.
  await page.locator('#objectJournal li').first().getByRole('button', { name: 'Открыть' }).click();
  await page.waitForFunction(() => !document.querySelector('#objectsDialog').open);
  await page.waitForFunction(() => document.title.startsWith('История: '));
  assert.match(await page.title(), /^История: Записать, Симулятор устройства \(демо\), /);
  assert.equal(await page.inputValue('#Edit25'), '7391');
  assert.deepEqual(page.errors, []);
});

test('the installer is asked once, at the first command, and kept; a dismissed question is not repeated', async () => {
  const page = await openPage(async () => {}, { installer: null });
  const questions = [];
  page.on('dialog', (question) => {
    questions.push([question.type(), question.message()]);
    if (question.type() === 'prompt') question.accept('  Кузнецова А. ');
    else question.accept();
  });
  // The question's words come with the archive's, which load after the page.
  await page.waitForFunction(() => !document.querySelector('#objectsOpen').hidden);
  await page.getByRole('button', { name: 'Записать', exact: true }).click();
  await expectMessage(page, 'Данные успешно отправлены', 'Данные успешно отправлены');
  assert.deepEqual(questions, [['prompt', 'Имя установщика: оно записывается в журнал и в лист настроек']]);
  await page.getByRole('button', { name: 'Записать', exact: true }).click();
  await expectMessage(page, 'Данные успешно отправлены', 'Данные успешно отправлены');
  await openObjects(page);
  assert.equal(await page.inputValue('#installerName'), 'Кузнецова А.');
  // Both writes journaled under the name given.
  const lines = await journalHolds(page, 2);
  assert.ok(lines.every((line) => line.includes(' · Кузнецова А.')), lines.join('\n'));
  await page.reload();
  await page.waitForSelector('body[data-ready=true]');
  await openObjects(page);
  assert.equal(await page.inputValue('#installerName'), 'Кузнецова А.');
  assert.equal(questions.length, 1);

  // Dismissed: the commands run, and the page does not ask again until it starts anew.
  const other = await openPage(async () => {}, { installer: null });
  let asked = 0;
  other.on('dialog', (question) => { asked += 1; question.dismiss(); });
  await openObjects(other);
  await other.click('#objectsClose');
  await other.getByRole('button', { name: 'Записать', exact: true }).click();
  await expectMessage(other, 'Данные успешно отправлены', 'Данные успешно отправлены');
  assert.equal(asked, 1);
  assert.equal(await other.inputValue('#installerName'), '');
  assert.deepEqual(page.errors, []);
  assert.deepEqual(other.errors, []);
});

test('a list stops at its limit and says how many more match, to refine the search', async () => {
  const folder = mkdtempSync(join(scratch, 'many-'));
  for (let i = 0; i < 203; i++) writeFileSync(join(folder, `Заказчик ${i}.qvx`), `${defaultLine}\r\n`);
  const archiveFile = join(scratch, 'many.qvxa');
  execFileSync(process.env.QUORVEX_CLI, ['archive', 'import', archiveFile, folder]);
  const page = await openPage();
  await openObjects(page);
  await page.setInputFiles('#archiveImport', archiveFile);
  await page.waitForFunction(() => !document.querySelector('#archiveNote').hidden);
  await listed(page, 'заказчик', 200);
  assert.equal(await page.textContent('#objectListEmpty'), 'Ещё 3 объекта не показаны: уточните поиск');
  await listed(page, 'заказчик 1', 1 + 10 + 100);
  assert.equal(await page.textContent('#objectListEmpty'), '');
  await listed(page, 'заказчик 20', 1 + 3);
  assert.deepEqual(page.errors, []);
});

// Prepended to the archive's worker: the origin's quota reached, so that
// every write growing a file of the archive is refused as the browser
// refuses it, and overwriting what a file holds still works.
const quotaReached = `{
  const write = FileSystemSyncAccessHandle.prototype.write;
  FileSystemSyncAccessHandle.prototype.write = function (data, options) {
    if ((options?.at ?? 0) + data.byteLength > this.getSize())
      throw new DOMException('The quota has been exceeded.', 'QuotaExceededError');
    return write.call(this, data, options);
  };
}
`;

test('a full storage refuses a change with its message and loses nothing kept before', async () => {
  const page = await openPage(async () => {}, { serviceWorkers: 'block' });
  await openObjects(page);
  await newObject(page, '31', 'Орлов', 'ул. Лесная, 1');
  await page.click('#objectsClose');
  await page.getByRole('button', { name: 'Записать', exact: true }).click();
  await expectMessage(page, 'Данные успешно отправлены', 'Данные успешно отправлены');
  await openObjects(page);
  await journalHolds(page, 1);

  const full = async (route) => {
    const original = await route.fetch();
    route.fulfill({ response: original, body: quotaReached + await original.text() });
  };
  await page.context().route('**/archive_worker.js', full);
  await page.reload();
  await page.waitForSelector('body[data-ready=true]');
  await openObjects(page);
  const said = 'Нет места в хранилище браузера: запись не сохранена, сохранённое ранее не потеряно';
  await page.click('#objectNew');
  await page.fill('#objectNumber', '32');
  await page.fill('#objectName', 'Соколов');
  await page.click('#objectSave');
  await page.waitForFunction((text) => document.querySelector('#archiveNote').textContent === text, said);
  await page.click('#objectsClose');
  // The device's command works, and its entry's refusal is said beside the commands.
  await page.getByRole('button', { name: 'Записать', exact: true }).click();
  await expectMessage(page, 'Данные успешно отправлены', 'Данные успешно отправлены');
  await page.waitForFunction((text) => {
    const note = document.querySelector('#storageNote');
    return !note.hidden && note.textContent === text;
  }, said);

  // Space freed: everything kept before is there, nothing of the refused.
  await page.context().unroute('**/archive_worker.js', full);
  await page.reload();
  await page.waitForSelector('body[data-ready=true]');
  await openObjects(page);
  assert.deepEqual(await listed(page, '', 1), ['31 Орлов · ул. Лесная, 1']);
  await page.click('#objectList li button');
  await page.waitForFunction(() => document.title.startsWith('31 Орлов.qvx'));
  await journalHolds(page, 1);
  await newObject(page, '32', 'Соколов', '');
  await listed(page, '', 2);
  assert.deepEqual(page.errors, []);
});
