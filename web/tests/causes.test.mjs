// What the page says after a command, at each of the installers' windows:
// the window's text first and as it is, then the page's own line with the
// cause and the next step; the browser's words only in brackets after a
// Russian cause; and the whole message box inside the window.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { defaultLine, openFile, openPage, useBrowser } from './browser.mjs';
import { ch340, pageWithPorts } from './fake_ports.mjs';
import { sized, viewports } from './viewports.mjs';

useBrowser();

const button = (page, name) => page.getByRole('button', { name, exact: true });

// The open message box as { title, text, note }, once it stands inside the
// window with its OK button; closes it.
async function takeMessage(page) {
  const dialog = page.locator('dialog[open]#message');
  await dialog.waitFor();
  const said = await page.evaluate(() => {
    const box = document.querySelector('#message').getBoundingClientRect();
    const ok = document.querySelector('#message button').getBoundingClientRect();
    const inside = (r) => r.top >= 0 && r.left >= 0 && r.bottom <= window.innerHeight && r.right <= window.innerWidth;
    const note = document.querySelector('#messageNote');
    return {
      title: document.querySelector('#messageTitle').textContent,
      text: document.querySelector('#messageText').textContent,
      note: note.hidden ? '' : note.textContent,
      inside: inside(box) && inside(ok),
    };
  });
  await dialog.getByRole('button', { name: 'OK' }).click();
  await page.waitForFunction(() => !document.querySelector('dialog[open]'));
  assert.ok(said.inside, `${said.text}: the box and its OK inside the window`);
  return said;
}

const codes = defaultLine.split(':');
const line = (fields) => Buffer.from(`${fields.join(':')}`, 'latin1');
const refusedFiles = [
  { what: 'an empty file', bytes: Buffer.alloc(0), note: /^Файл пуст\./ },
  { what: 'a file past the open limit', bytes: Buffer.alloc(70 * 1024, 0x30), note: /^Файл больше 64 КБ/ },
  { what: 'a text, not a settings line', bytes: Buffer.from('Список покупок: хлеб, молоко\r\n'), note: /^Это не строка настроек/ },
  { what: 'a line of too few fields', bytes: Buffer.from(`${'123456:'.repeat(10)}#\r\n`), note: /меньше 30 полей/ },
  { what: 'a code group cut short', bytes: line([...codes.slice(0, 2), '1111', ...codes.slice(3)]), note: /^Ошибка в группе кодов 3 из 15: в ней меньше 6 цифр\./ },
  { what: 'a text field too long', bytes: line([...codes.slice(0, 15), 'x'.repeat(5000), ...codes.slice(16)]), note: /^Ошибка в текстовом поле 16: длиннее 4096 байт\./ },
];

for (const viewport of viewports) {
  test(`${viewport.name}: a plain write says that the device confirms nothing; a verified write needs no such line`, async () => {
    const page = await openPage(async () => {}, sized(viewport));
    await button(page, 'Записать').click();
    const sent = await takeMessage(page);
    assert.equal(sent.text, 'Данные успешно отправлены');
    assert.match(sent.note, /не подтверждает запись.*«Записать и проверить».*читает их обратно/);
    await button(page, 'Записать и проверить').click();
    const verified = await takeMessage(page);
    assert.deepEqual([verified.title, verified.text, verified.note], ['Проверка', 'Устройство хранит записанные настройки', '']);
    await page.context().close();
  });

  test(`${viewport.name}: a refused file keeps "Некорректный файл" and names the check it failed`, async () => {
    const page = await openPage(async () => {}, sized(viewport));
    for (const file of refusedFiles) {
      await openFile(page, file.bytes);
      const said = await takeMessage(page);
      assert.deepEqual([said.title, said.text], ['Ошибка', 'Некорректный файл'], file.what);
      assert.match(said.note, file.note, file.what);
      assert.match(said.note, /Откройте файл \.qvx, сохранённый конфигуратором\.$/, file.what);
    }
    assert.equal(await page.title(), 'Quorvex', 'no file taken');
    await page.context().close();
  });

  test(`${viewport.name}: busy and denied ports, a programmer pulled out mid-frame and a silent device each get their cause and next step`, async () => {
    const rows = [
      { what: 'busy', refuse: 'Failed to open serial port.', command: 'Записать',
        text: 'Error 1: Не могу открыть указанный Com порт!\nпорт занят другой программой (Failed to open serial port.)',
        note: /его держит другая программа.*Закройте её/ },
      { what: 'denied', refuse: 'Access denied.', command: 'Записать',
        text: 'Error 1: Не могу открыть указанный Com порт!\nнет прав на доступ к порту (Access denied.)',
        note: /Нет прав на порт.*dialout/ },
      { what: 'pulled out mid-frame', loseAfter: 100, command: 'Записать',
        text: 'Связь с портом потеряна: программатор отключён или порт занят (The device has been lost.). '
          + 'Порт откроется заново при следующей команде.',
        note: /может хранить часть кадра.*запишите настройки ещё раз/ },
      { what: 'silent', command: 'Прочитать', text: 'Не удалось получить данные',
        note: /питание.*SIM-карта зарегистрирована.*кабель программатора/ },
    ];
    for (const row of rows) {
      const page = await pageWithPorts([ch340], sized(viewport));
      await page.evaluate(({ refuse, loseAfter }) => {
        const [port] = window.fakeSerial.granted;
        port.refuseOpen = refuse ?? null;
        port.loseAfterWrites = loseAfter ?? Infinity;
      }, row);
      await button(page, row.command).click();
      const said = await takeMessage(page);
      assert.equal(said.text, row.text, row.what);
      assert.match(said.note, row.note, row.what);
      await page.context().close();
    }
  });

  test(`${viewport.name}: a chooser cancelled on a first visit says so, not that no port was found`, async () => {
    const page = await pageWithPorts([], sized(viewport));
    await page.evaluate(() => {
      window.fakeSerial.requestPort = async () => { throw new DOMException('No port selected by the user.', 'NotFoundError'); };
    });
    await button(page, 'Подключить программатор…').click();
    const said = await takeMessage(page);
    assert.match(said.text, /^Выбор порта отменён: порт не выбран\./);
    assert.doesNotMatch(said.text, /не нашёл/);
    assert.match(said.text, /Если программатора не было в списке браузера.*CH340\/CH341.*dialout.*«Подключить программатор…» ещё раз\.$/s);
    await page.context().close();
  });
}
