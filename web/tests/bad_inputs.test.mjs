// What the page does with bad input, row by row: bad files, bad text in each
// kind of field, bad devices behind the port. Every row names the message it
// must show, and the commands must work afterwards.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { commandsBack, defaultLine, downloadStarted, expectMessage, openPage, tab, useBrowser } from './browser.mjs';
import { ch340, pageWithPorts } from './fake_ports.mjs';

useBrowser();

const pageFolder = fileURLToPath(new URL('../page/', import.meta.url));
const noData = ['Ошибка ', 'Не удалось получить данные'];
const badFile = ['Ошибка', 'Некорректный файл'];

async function click(page, button) {
  await page.getByRole('button', { name: button, exact: true }).click();
}

// The commands are enabled, "Прочитать" is in its place, and "Сохранить" works.
async function expectUsable(page, row) {
  await commandsBack(page, row);
  assert.equal(await page.isVisible('#BitBtn1'), true, row);
  const download = page.waitForEvent('download');
  await click(page, 'Сохранить');
  await expectMessage(page, 'Сохранение', downloadStarted((await download).suggestedFilename()));
  assert.deepEqual(page.errors, [], row);
}

test('bad files are refused with "Некорректный файл" and change nothing; a UTF-8 mark is read past', async () => {
  const scratch = mkdtempSync(join(tmpdir(), 'quorvex-bad-'));
  const fifty = join(scratch, 'fifty.qvx');
  execFileSync('truncate', ['-s', '50M', fifty]);
  const withNul = defaultLine.slice(0, 60) + '\0' + defaultLine.slice(61);
  const rows = [
    { name: 'empty', bytes: '' },
    { name: 'binary (a PNG)', bytes: readFileSync(join(pageFolder, 'icon-192.png')) },
    { name: 'NULs only', bytes: '\0'.repeat(261) },
    { name: 'a NUL inside the line', bytes: withNul },
    { name: '50 MB', path: fifty },
    { name: 'a .json', file: 'set.json', bytes: JSON.stringify({ ComboBox11: 3, Edit16: '+380501234567' }) },
    { name: 'a UTF-8 mark before a valid line', bytes: `\xEF\xBB\xBF${defaultLine.replace(/^0/, '3')}`, opens: true },
  ];
  try {
    const page = await openPage();
    await tab(page, 'Зоны');
    for (const row of rows) {
      if (row.path) {
        await page.setInputFiles('#OpenDialog1', row.path);
      } else {
        const buffer = Buffer.isBuffer(row.bytes) ? row.bytes : Buffer.from(row.bytes, 'latin1');
        const path = join(scratch, row.file ?? 'bad.qvx');
        writeFileSync(path, buffer);
        await page.setInputFiles('#OpenDialog1', path);
      }
      if (row.opens) {
        await page.waitForFunction(() => document.title === 'bad.qvx — Quorvex');
        assert.equal(await page.$eval('#ComboBox11', (s) => s.selectedIndex), 3, row.name);
      } else {
        await expectMessage(page, ...badFile);
        assert.equal(await page.title(), 'Quorvex', row.name);
        assert.equal(await page.$eval('#ComboBox11', (s) => s.selectedIndex), 0, row.name);
      }
      await expectUsable(page, row.name);
    }
  } finally {
    rmSync(scratch, { recursive: true, force: true });
  }
});

test('bad text in each kind of field: "Сохранить" and "Записать" refuse it by name or let it through as the core decides', async () => {
  const long = '1'.repeat(10_000);
  const emoji = '🔑';
  const control = '\u0001\u0007\t';
  const fields = [
    { field: 'Edit16', name: 'Abon01', reset: '+380501234567', write: ['Ошибка ', 'Неверный формат'] },
    { field: 'Edit25', name: 'Пароль/номер прибора', reset: '7391', write: ['Ошибка', 'Проверьте  пароль'] },
    { field: 'Edit26', name: 'IP', reset: '000', write: ['Ошибка ', 'Неверный формат'] },
    { field: 'Edit30', name: 'Порт', reset: '20198', write: ['Ошибка', 'Проверьте  порт'] },
  ];
  const rows = fields.flatMap(({ field, name, reset, write }) => [
    { field, reset, text: long, save: ['Ошибка', `Слишком длинный текст в поле ${name}`], write },
    { field, reset, text: emoji, save: ['Ошибка', `Недопустимый символ в поле ${name}`], write },
    // A control character fits the file and comes back as it was; the
    // device gets only the field's digits, and here there are none.
    { field, reset, text: control, save: ['Сохранение', downloadStarted('settings.qvx')], write },
  ]);
  const page = await openPage();
  await tab(page, 'Список аб.');
  for (const row of rows) {
    const label = `${row.field} ${JSON.stringify(row.text.slice(0, 8))}`;
    await page.fill(`#${row.field}`, row.text);
    await click(page, 'Сохранить');
    await expectMessage(page, ...row.save);
    await click(page, 'Записать');
    await expectMessage(page, ...row.write);
    // The port field turns red only after its message has closed, a turn
    // later: the mark is awaited, not looked for in the turn the box closes.
    const red = await page.waitForFunction((id) => document.getElementById(id).classList.contains('red'),
      row.field, { timeout: 5000 }).then(() => true, () => false);
    assert.equal(red, true, label);
    await tab(page, 'Список аб.');
    await page.fill(`#${row.field}`, row.reset);
    await click(page, 'Записать');
    await expectMessage(page, 'Данные успешно отправлены', 'Данные успешно отправлены');
    await expectUsable(page, label);
  }
});

// A device behind the one granted port that answers the read request as
// `kind` says: nothing, garbage, noise without end, or half of the reply.
async function badDevice(page, kind) {
  await page.evaluate(async (how) => {
    const port = window.fakeSerial.granted[0];
    const quorvex = await createQuorvex();
    const device = new quorvex.SimulatedDevice();
    const ascii = (text) => Uint8Array.from(text, (c) => c.charCodeAt(0));
    device.receive(ascii('A5A6'), 0);
    const reply = device.takeDue(1e9).flatMap((emission) => [...emission.bytes]);
    const answers = {
      silent: null,
      garbage: ascii('\x00\xff#:%$ garbage A0A'.repeat(8)),
      endless: null,
      half: Uint8Array.from(reply.slice(0, reply.length >> 1)),
    };
    let streaming = null;
    port.device = {
      receive(bytes) {
        if (bytes.length === 4 && answers[how]) setTimeout(() => port.send(answers[how]), 50);
        // From the first request on, while the port is open.
        if (how === 'endless') streaming ??= setInterval(() => port.send(ascii('0123456789:'.repeat(6))), 10);
      },
    };
  }, kind);
}

test('bad devices behind the port: each says what went wrong, and the commands work on', async () => {
  const lost = 'Связь с портом потеряна: программатор отключён или порт занят (The device has been lost.). '
    + 'Порт откроется заново при следующей команде.';
  const rows = [
    { device: 'silent', button: 'Прочитать', message: noData },
    { device: 'garbage', button: 'Прочитать', message: noData },
    { device: 'endless', button: 'Прочитать', message: noData, again: true },
    { device: 'half', button: 'Прочитать', message: noData },
    { device: 'vanishing mid-frame', button: 'Записать', message: ['Quorvex', lost], lostAfter: 100 },
  ];
  for (const row of rows) {
    const page = await pageWithPorts([ch340], {}, row.lostAfter ? { loseAfterWrites: row.lostAfter } : {});
    if (!row.lostAfter) await badDevice(page, row.device);
    await page.selectOption('#ComboBox1', { index: 1 });
    await tab(page, 'Список аб.');
    await click(page, row.button);
    await expectMessage(page, ...row.message);
    assert.equal(await page.inputValue('#Edit16'), '+380501234567', row.device);
    if (row.again) {
      await click(page, row.button);
      await expectMessage(page, ...row.message);
    }
    await expectUsable(page, row.device);
    await page.context().close();
  }
});
