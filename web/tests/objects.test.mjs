// "Объекты" in Debian's Chromium: the archive in the origin-private file
// system through sqlite-wasm and the archive's C++ rules; its file read by
// the native quorvex-cli (QUORVEX_CLI).
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { defaultLine, expectMessage, openPage, useBrowser } from './browser.mjs';

useBrowser();
const scratch = mkdtempSync(join(tmpdir(), 'quorvex-objects-'));
test.after(() => rmSync(scratch, { recursive: true, force: true }));

const phoneLine = defaultLine.replace('+380501234567:', '+7 (999) 123-45-67:');
const cli = (...args) => execFileSync(process.env.QUORVEX_CLI, ['archive', ...args], { encoding: 'utf8' });

async function openObjects(page) {
  await page.waitForFunction(() => !document.querySelector('#objectsOpen').disabled);
  await page.click('#objectsOpen');
  await page.locator('#objectsDialog[open]').waitFor();
  await page.waitForFunction(() => document.querySelector('#archiveStorage').dataset.state);
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
  const exported = join(scratch, 'archive.sqlite');
  await (await download).saveAs(exported);
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
