// The page in Debian's Chromium, headless: open, edit, save, write and read
// through the simulated device, as a user would.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { join } from 'node:path';
import {
  defaultLine, editOpenedFile, expectMessage, openFile, openPage, save, tab, useBrowser,
} from './browser.mjs';

useBrowser();

test('the defaults save as the desktop writes them', async () => {
  const page = await openPage();
  assert.equal((await save(page)).toString('latin1'), defaultLine);
  assert.deepEqual(page.errors, []);
});

test('a file opens into the controls; a list index past its entries selects nothing', async () => {
  const page = await openPage();
  const line = defaultLine.replace('000000:111111:111111:000000:000000:100050',
    '300000:211111:111111:000000:000000:100050').replace('+380501234567:', '+79991234567:');
  await openFile(page, line.replace(/^3/, '7'));
  await tab(page, 'Зоны');
  assert.equal(await page.$eval('#ComboBox11', (s) => s.selectedIndex), -1);
  assert.equal(await page.$eval('#ComboBox12', (s) => s.selectedIndex), 2);
  await tab(page, 'Список аб.');
  assert.equal(await page.inputValue('#Edit16'), '+79991234567');
  await openFile(page, line);
  assert.equal(await page.$eval('#ComboBox11', (s) => s.selectedIndex), 3);
});

test('a bad file is refused and changes nothing', async () => {
  const page = await openPage();
  await tab(page, 'Зоны');
  await page.selectOption('#ComboBox12', { index: 3 });
  page.on('dialog', (question) => question.accept());  // open over the edit
  for (const bad of ['0123456789012345678901234567'.slice(0, 27), ':#' + defaultLine]) {
    await openFile(page, bad);
    await expectMessage(page, 'Ошибка', 'Некорректный файл');
  }
  assert.equal(await page.$eval('#ComboBox12', (s) => s.selectedIndex), 3);
  assert.equal((await save(page)).toString('latin1'), defaultLine.replace(':111111:111111:', ':311111:111111:'));
});

test('a list, the coupled sliders, a radio group and a text field edit the saved line', async () => {
  const page = await openPage();
  await tab(page, 'Выходы и Т');
  await page.selectOption('#ComboBox556', { index: 2 });
  await page.$eval('#TrackBar1', (s) => { s.value = '30'; s.dispatchEvent(new Event('input')); });
  // The high threshold follows the low one up, and so does its minimum.
  assert.equal(await page.inputValue('#TrackBar2'), '30');
  assert.equal(await page.textContent('#Label32'), '30');
  assert.equal(await page.textContent('#Label43'), '30');
  assert.equal(await page.textContent('#Label39'), '30');
  await tab(page, 'Разное');
  await page.check('#RadioButton131313');
  await tab(page, 'Список аб.');
  await page.fill('#Edit25', 'Ключ');
  const saved = await save(page);
  const expected = defaultLine.replace(':000000:100050:', ':000002:113030:')
    .replace(':001107:', ':201107:').replace(':7391:', ':\xca\xeb\xfe\xf7:');
  assert.equal(saved.toString('latin1'), expected);
});

test('an invalid phone number turns red and nothing is sent', async () => {
  const page = await openPage();
  await tab(page, 'Список аб.');
  await page.fill('#Edit18', '+38050123456789');
  await tab(page, 'Зоны');
  await page.getByRole('button', { name: 'Записать', exact: true }).click();
  const dialog = page.locator('dialog[open]');
  await dialog.waitFor();
  assert.equal(await page.$eval('#Edit18', (e) => e.classList.contains('red')), true);
  assert.equal(await page.$eval('#Edit17', (e) => e.classList.contains('white')), true);
  assert.equal(await page.isVisible('#Edit18'), true, 'the subscriber tab is shown');
  await dialog.getByRole('button', { name: 'OK' }).click();
  // Nothing was sent: a read right after gets the device's unchanged settings.
  page.on('dialog', (question) => question.accept());  // read over the edit
  await page.getByRole('button', { name: 'Прочитать' }).click();
  await expectMessage(page, 'Данные успешно получены', 'Данные успешно получены');
  assert.equal(await page.inputValue('#Edit18'), '+380501234567');
});

test('write then read back through the simulated device gives the same settings', async () => {
  const page = await openPage();
  await tab(page, 'Звук');
  await page.selectOption('#ComboBox881', { index: 3 });
  await page.$eval('#TrackBar884', (s) => { s.value = '4'; s.dispatchEvent(new Event('input')); });
  assert.equal(await page.textContent('#Label58'), '4');
  await tab(page, 'Список аб.');
  await page.fill('#Edit30', '8080');
  await page.check('#RadioButton141411');
  const write = page.getByRole('button', { name: 'Записать', exact: true });
  await write.click();
  assert.equal(await page.getByRole('button', { name: 'Прочитать' }).isDisabled(), true);
  await expectMessage(page, 'Данные успешно отправлены', 'Данные успешно отправлены');
  const written = await save(page);

  // A fresh page shows the defaults; the simulator of this page holds the written settings.
  // A download leaves the edits unsaved: opening and reading over them ask.
  page.on('dialog', (question) => question.accept());
  await openFile(page, defaultLine);
  await page.getByRole('button', { name: 'Прочитать' }).click();
  await expectMessage(page, 'Данные успешно получены', 'Данные успешно получены');
  assert.deepEqual(await save(page), written);
  assert.equal(written.toString('latin1').includes(':8080:#'), true);
});

test('every tab renders with its controls inside it', async () => {
  const page = await openPage();
  const captions = await page.getByRole('tab').allTextContents();
  assert.equal(captions.length, 11);
  assert.equal(captions[0], 'Главная');
  for (const caption of captions) {
    await tab(page, caption);
    const outside = await page.evaluate(() => {
      const panel = document.querySelector('[role=tabpanel]:not([hidden])');
      const box = panel.getBoundingClientRect();
      return [...panel.querySelectorAll('select, input, label')].filter((control) => {
        const r = control.getBoundingClientRect();
        return r.left < box.left || r.right > box.right + 1 || r.top < box.top;
      }).map((control) => control.id || control.textContent);
    });
    assert.deepEqual(outside, [], caption);
    if (process.env.QUORVEX_SCREENS) {
      const index = String(captions.indexOf(caption) + 1).padStart(2, '0');
      await page.screenshot({ path: join(process.env.QUORVEX_SCREENS, `tab-${index}.png`) });
    }
  }
  const ids = await page.$$eval('[id]', (nodes) => nodes.map((n) => n.id));
  assert.equal(new Set(ids).size, ids.length, 'ids are unique');
});

test('the title names the open file and marks edits; opening over edits or leaving asks first', async () => {
  const page = await openPage();
  assert.equal(await page.title(), 'Quorvex');
  await editOpenedFile(page);

  // Declined: the edits stay; accepted: the other file opens.
  const other = { name: 'дача.qvx', mimeType: 'application/octet-stream', buffer: Buffer.from(defaultLine, 'latin1') };
  const questions = [];
  page.once('dialog', (question) => { questions.push(question.message()); question.dismiss(); });
  await page.setInputFiles('#OpenDialog1', other);
  await page.waitForFunction(() => !document.querySelector('#N2').disabled);
  assert.equal(await page.$eval('#ComboBox12', (s) => s.selectedIndex), 3);
  assert.equal(await page.title(), 'дом.qvx * — Quorvex');
  page.once('dialog', (question) => { questions.push(question.message()); question.accept(); });
  await page.setInputFiles('#OpenDialog1', other);
  await page.waitForFunction(() => document.title === 'дача.qvx — Quorvex');
  assert.equal(await page.$eval('#ComboBox12', (s) => s.selectedIndex), 1);
  assert.deepEqual(questions, Array(2).fill('Настройки изменены и не сохранены. Открыть файл, отбросив изменения?'));

  // A download is not known to be written: the edits stay marked, and leaving asks.
  await page.selectOption('#ComboBox12', { index: 2 });
  assert.equal((await save(page)).toString('latin1').startsWith('000000:211111:'), true);
  assert.equal(await page.title(), 'дача.qvx * — Quorvex');
  await page.selectOption('#ComboBox12', { index: 0 });
  const leaving = page.waitForEvent('dialog');
  await page.close({ runBeforeUnload: true });
  const question = await leaving;
  assert.equal(question.type(), 'beforeunload');
  await question.accept();
});

test('while the reply is awaited a countdown stands in place of "Прочитать"', async () => {
  const page = await openPage();
  await page.getByRole('button', { name: 'Прочитать' }).click();
  await page.waitForSelector('#readCountdown:not([hidden])');
  assert.equal(await page.isHidden('#BitBtn1'), true);
  assert.match(await page.textContent('#readCountdown'), /^Чтение: [0-2],\d с$/);
  await expectMessage(page, 'Данные успешно получены', 'Данные успешно получены');
  await page.waitForSelector('#BitBtn1:not([hidden])');
  assert.equal(await page.isHidden('#readCountdown'), true);
});

test('"Записать и проверить" writes, waits out the recording, reads back and finds no difference', async () => {
  const page = await openPage();
  await tab(page, 'Список аб.');
  await page.fill('#Edit30', '8080');
  await page.getByRole('button', { name: 'Записать и проверить' }).click();
  await page.waitForFunction(() => /^Запись: \d,\d с$/.test(document.querySelector('#readCountdown').textContent));
  assert.equal(await page.isHidden('#BitBtn1'), true);
  await page.waitForFunction(() => /^Чтение: \d,\d с$/.test(document.querySelector('#readCountdown').textContent));
  await expectMessage(page, 'Проверка', 'Устройство хранит записанные настройки');
  await page.waitForSelector('#BitBtn1:not([hidden])');
  assert.equal(await page.inputValue('#Edit30'), '8080');
});

test('the settings cannot be edited while a command runs, and can again after it', async () => {
  const page = await openPage();
  await tab(page, 'Список аб.');
  await page.getByRole('button', { name: 'Записать и проверить' }).click();
  await page.waitForFunction(() => /^Запись: /.test(document.querySelector('#readCountdown').textContent));
  assert.equal(await page.isDisabled('#Edit30'), true);
  assert.equal(await page.isDisabled('#ComboBox1'), true);
  await expectMessage(page, 'Проверка', 'Устройство хранит записанные настройки');
  await page.waitForFunction(() => !document.querySelector('#Edit30').disabled);
});

test('an error no command foresaw becomes a message, and the buttons come back', async () => {
  const page = await openPage();
  // Something the page relies on breaks under the command.
  await page.evaluate(() => { Uint8Array.of = () => { throw new TypeError('broken'); }; });
  await page.getByRole('button', { name: 'Записать', exact: true }).click();
  await expectMessage(page, 'Ошибка', 'Команда прервана из-за ошибки страницы (broken).');
  await page.waitForFunction(() => !document.querySelector('#BitBtn2').disabled);
  assert.equal(await page.isEnabled('#Edit30'), true);
  assert.deepEqual(page.errors, []);
});
