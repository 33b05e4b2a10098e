// The page's serial ports, against a stand-in for navigator.serial
// (fake_serial.js): the port list, the link rules, the pacing of a frame, a
// port that cannot be opened, a port pulled out mid-frame, and a browser
// without serial ports.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { commandsBack, defaultLine, expectMessage, openFile, openPage, save, tab, useBrowser } from './browser.mjs';
import { deviceBehind, grantPorts, pageWithPorts as withPorts } from './fake_ports.mjs';

useBrowser();

const cannotOpen = 'Error 1: Не могу открыть указанный Com порт!';
// The browser's words in brackets after the cause.
const lostText = 'Связь с портом потеряна: программатор отключён или порт занят (The device has been lost.). '
  + 'Порт откроется заново при следующей команде.';

// A page whose browser has granted it the ports of `infos` before.
const pageWithPorts = (...infos) => withPorts(infos);

// A device behind granted port `index` that answers reads but ignores
// frames (it keeps what it held): only the read request reaches it.
async function forgetfulDeviceBehind(page, index) {
  await deviceBehind(page, index);
  await page.evaluate((i) => {
    const port = window.fakeSerial.granted[i];
    const device = port.device;
    port.device = { receive(bytes) { if (bytes.length > 1) device.receive(bytes); } };
  }, index);
}

const entries = (page) => page.$$eval('#ComboBox1 option', (options) => options.map((o) => o.textContent));
const chosen = (page) => page.$eval('#ComboBox1', (s) => s.selectedIndex);
const portStats = (page, i) => page.evaluate((n) => {
  const port = window.fakeSerial.granted[n] ?? window.fakeSerial.gone;
  return { opens: port.opens, closes: port.closes, writes: port.writes, options: port.options, open: port.isOpen };
}, i);

async function clickAndExpect(page, button, title, text) {
  await page.getByRole('button', { name: button, exact: true }).click();
  await expectMessage(page, title, text);
}

test('the selector lists the simulator and the granted ports by adapter, and follows plugging', async () => {
  const page = await pageWithPorts({ usbVendorId: 0x1a86, usbProductId: 0x7523 },
    { usbVendorId: 0x1a86, usbProductId: 0x7523 }, {});
  assert.deepEqual(await entries(page), ['Симулятор устройства (демо)', 'CH340 (1A86:7523) №1',
    'CH340 (1A86:7523) №2', 'Последовательный порт']);
  assert.equal(await chosen(page), 1, 'the first granted port, not the simulator');
  assert.equal(await page.textContent('#serialNote'), '');

  // Plugged in: listed; the chosen entry stays chosen.
  await page.evaluate(() => window.fakeSerial.plug(window.fakeSerial.port({ usbVendorId: 0x0403, usbProductId: 0x6001 })));
  await page.waitForFunction(() => document.querySelectorAll('#ComboBox1 option').length === 5);
  assert.equal((await entries(page))[4], 'FTDI (0403:6001)');
  assert.equal(await chosen(page), 1);

  // The chosen port pulled out: gone from the list, and nothing is chosen.
  await page.evaluate(() => window.fakeSerial.unplug(window.fakeSerial.granted[0]));
  await page.waitForFunction(() => document.querySelectorAll('#ComboBox1 option').length === 4);
  assert.equal(await chosen(page), -1);
  await clickAndExpect(page, 'Прочитать', 'Quorvex', `${cannotOpen}\nПорт не выбран.`);
});

test('"Подключить программатор…" asks the browser with no filter and chooses what it grants', async () => {
  const page = await pageWithPorts();
  const connect = page.getByRole('button', { name: 'Подключить программатор…' });
  // Declined with no port ever granted: the message names the drivers.
  await connect.click();
  const dialog = page.locator('dialog[open]');
  await dialog.waitFor();
  assert.match(await dialog.locator('p').textContent(), /CH340\/CH341, CP210x, FTDI и PL2303|CH340\/CH341, CP210x, FTDI или PL2303/);
  await dialog.getByRole('button', { name: 'OK' }).click();
  assert.equal(await chosen(page), 0);

  await page.evaluate(() => { window.fakeSerial.nextChoice = window.fakeSerial.port({ usbVendorId: 0x10c4, usbProductId: 0xea60 }); });
  await connect.click();
  await page.waitForFunction(() => document.querySelector('#ComboBox1').selectedIndex === 1);
  assert.deepEqual(await entries(page), ['Симулятор устройства (демо)', 'CP210x (10C4:EA60)']);
  assert.deepEqual(await page.evaluate(() => window.fakeSerial.requests), [undefined, undefined]);
});

test('a frame goes out one byte per write with at least 1 ms after each, and reads back', async () => {
  const page = await pageWithPorts({ usbVendorId: 0x1a86, usbProductId: 0x7523 });
  await deviceBehind(page, 0);
  await page.selectOption('#ComboBox1', { index: 1 });
  await tab(page, 'Список аб.');
  await page.fill('#Edit30', '8080');
  await clickAndExpect(page, 'Записать', 'Данные успешно отправлены', 'Данные успешно отправлены');
  const written = await save(page);
  let stats = await portStats(page, 0);
  assert.deepEqual(stats.options, { baudRate: 57600, dataBits: 8, parity: 'none', stopBits: 1, flowControl: 'none' });
  const frame = Buffer.from(stats.writes.flatMap((w) => w.bytes)).toString('latin1');
  assert.equal(stats.writes.every((w) => w.bytes.length === 1), true, 'one byte per write');
  assert.match(frame, /^A3A4\d{90}#ABN1.*#T38080##$/s);
  assert.deepEqual(stats.writes.map((w) => w.drainedBefore), stats.writes.map((_, i) => i),
    'each byte drained before the next is written');
  const gaps = stats.writes.slice(1).map((w, i) => w.at - stats.writes[i].at);
  assert.equal(Math.min(...gaps) >= 1, true, `smallest gap ${Math.min(...gaps)} ms`);

  // A second command on the same port does not open it again. The download
  // left the edits unsaved: opening and reading over them ask.
  page.on('dialog', (question) => question.accept());
  await openFile(page, defaultLine);
  await clickAndExpect(page, 'Прочитать', 'Данные успешно получены', 'Данные успешно получены');
  assert.deepEqual(await save(page), written);
  stats = await portStats(page, 0);
  assert.equal(stats.opens, 1);
  assert.equal(Buffer.from(stats.writes.at(-1).bytes).toString('latin1'), 'A5A6');
});

test('choosing another port closes the old one at once; the next command opens the new one', async () => {
  const page = await pageWithPorts({ usbVendorId: 1, usbProductId: 1 }, { usbVendorId: 2, usbProductId: 2 });
  await page.selectOption('#ComboBox1', { index: 1 });
  await clickAndExpect(page, 'Прочитать', 'Ошибка ', 'Не удалось получить данные');
  await page.selectOption('#ComboBox1', { index: 2 });
  await page.waitForFunction(() => !window.fakeSerial.granted[0].isOpen);
  assert.deepEqual([(await portStats(page, 0)).closes, (await portStats(page, 1)).opens], [1, 0]);
  await clickAndExpect(page, 'Прочитать', 'Ошибка ', 'Не удалось получить данные');
  const [first, second] = [await portStats(page, 0), await portStats(page, 1)];
  assert.deepEqual([first.opens, first.closes, second.opens, second.closes], [1, 1, 1, 0]);
});

test('a port the browser cannot open gives Error 1 with its reason, and is tried again next time', async () => {
  const page = await pageWithPorts({ usbVendorId: 0x1a86, usbProductId: 0x7523 });
  await page.evaluate(() => { window.fakeSerial.granted[0].refuseOpen = 'Failed to open serial port.'; });
  await page.selectOption('#ComboBox1', { index: 1 });
  await clickAndExpect(page, 'Записать', 'Quorvex',
    `${cannotOpen}\nпорт занят другой программой (Failed to open serial port.)`);
  assert.deepEqual((await portStats(page, 0)).writes, [], 'nothing is sent');
  await commandsBack(page);

  await page.evaluate(() => { window.fakeSerial.granted[0].refuseOpen = null; });
  await clickAndExpect(page, 'Прочитать', 'Ошибка ', 'Не удалось получить данные');
  assert.equal((await portStats(page, 0)).opens, 1);
});

test('a port pulled out mid-frame says so, and the next command opens it again', async () => {
  const page = await pageWithPorts({ usbVendorId: 0x1a86, usbProductId: 0x7523 });
  await deviceBehind(page, 0);
  await page.evaluate(() => {
    const port = window.fakeSerial.granted[0];
    port.loseAfterWrites = 20;
    // It comes back as the same port once it has gone.
    window.fakeSerial.gone = port;
  });
  await page.selectOption('#ComboBox1', { index: 1 });
  await clickAndExpect(page, 'Записать', 'Quorvex', lostText);
  assert.equal((await portStats(page, 0)).writes.length, 20);

  // Plugged back in and chosen again: the next command opens it anew.
  await page.evaluate(() => {
    const port = window.fakeSerial.gone;
    port.loseAfterWrites = Infinity;
    window.fakeSerial.plug(port);
  });
  await page.waitForFunction(() => document.querySelectorAll('#ComboBox1 option').length === 2);
  await page.selectOption('#ComboBox1', { index: 1 });
  await clickAndExpect(page, 'Записать', 'Данные успешно отправлены', 'Данные успешно отправлены');
  const stats = await portStats(page, 0);
  assert.equal(stats.opens, 2);
  assert.match(Buffer.from(stats.writes.slice(20).flatMap((w) => w.bytes)).toString('latin1'), /^A3A4\d{90}.*##$/s);
});

test('without Web Serial the selector offers only the simulator and the page says why, once', async () => {
  const page = await openPage((p) => p.addInitScript(() => { delete Navigator.prototype.serial; }));
  assert.deepEqual(await entries(page), ['Симулятор устройства (демо)']);
  const note = await page.textContent('#serialNote');
  assert.match(note, /Chrome и Edge 89/);
  assert.match(note, /Safari/);
  assert.match(note, /Firefox/);
  assert.equal(await page.locator('text=Chrome и Edge 89').count(), 1);
  assert.deepEqual(page.errors, []);
});

test('"Записать и проверить" names each setting the device holds otherwise, as quorvex-cli diff does', async () => {
  const page = await pageWithPorts({ usbVendorId: 0x1a86, usbProductId: 0x7523 });
  await forgetfulDeviceBehind(page, 0);
  await page.selectOption('#ComboBox1', { index: 1 });
  await tab(page, 'Зоны');
  await page.selectOption('#ComboBox12', { index: 3 });
  await tab(page, 'Список аб.');
  await page.fill('#Edit30', '8080');
  await page.getByRole('button', { name: 'Записать и проверить' }).click();
  const dialog = page.locator('dialog[open]');
  await dialog.waitFor({ timeout: 15_000 });
  assert.equal(await dialog.locator('h2').textContent(), 'Проверка');
  const lines = (await dialog.locator('p').textContent()).split('\n');
  assert.equal(lines.length, 3, lines.join('\n'));
  assert.equal(lines[0], 'Устройство хранит другие настройки (2):');
  assert.match(lines[1], /^Set02 пункт 1 {2}.*: 3 ".*" -> 1 ".*"$/);
  assert.equal(lines[2], 'Edit30  Порт: "8080" -> "20198"');
  // The page keeps what was written.
  assert.equal(await page.inputValue('#Edit30'), '8080');
});

// A close that never ends fails the test rather than hanging it.
test('a write that never drains gives up after its bound; the port closes once the line drains, and opens again', { timeout: 60_000 }, async () => {
  const page = await openPage((p) => grantPorts(p, [{ usbVendorId: 0x1a86, usbProductId: 0x7523 }]),
    { pageSources: true });
  const outcome = await page.evaluate(async () => {
    const { WebSerialPort, WriteTimedOut } = await import('./page-sources/ports.js');
    const serial = window.fakeSerial.granted[0];
    const port = new WebSerialPort(serial, { baudRate: 57600 }, 150);
    await port.open();
    serial.stallWrites = true;
    const attempt = async () => {
      const start = performance.now();
      try {
        await port.write(Uint8Array.of(0x41));
        return { resolved: true };
      } catch (error) {
        return { timedOut: error instanceof WriteTimedOut, took: performance.now() - start };
      }
    };
    const first = await attempt();
    const again = await attempt();  // refused at once until reopened
    const broken = port.broken;
    // The browser waits for the drain: the close gives up waiting after
    // the bound, and opening is refused as such, not tried.
    await port.close();
    const stillOpen = serial.isOpen;
    const refused = await port.open().then(() => '', (error) => error.name);
    // The line drains: the close ends, and the port opens and writes.
    serial.resume();
    await port.open();
    await port.write(Uint8Array.of(0x42));
    await port.close();
    return { first, again, broken, stillOpen, refused, writes: serial.writes.map((w) => w.bytes), closes: serial.closes, open: serial.isOpen };
  });
  assert.equal(outcome.first.timedOut, true, JSON.stringify(outcome.first));
  // Not before its bound; how soon after is the machine's, not the page's.
  assert.ok(outcome.first.took >= 150, `gave up after ${outcome.first.took} ms`);
  // Refused rather than tried again: the line saw no second byte (below).
  assert.equal(outcome.again.timedOut, true);
  assert.deepEqual([outcome.broken, outcome.stillOpen, outcome.refused], [true, true, 'PortNotClosed']);
  assert.deepEqual([outcome.closes, outcome.open], [2, false]);
  assert.deepEqual(outcome.writes, [[0x41], [0x42]]);
  assert.deepEqual(page.errors, []);
});

test('a port whose write did not take says it cannot be closed, and works again once its line drains', async () => {
  const page = await pageWithPorts({ usbVendorId: 0x1a86, usbProductId: 0x7523 });
  await deviceBehind(page, 0);
  await page.selectOption('#ComboBox1', { index: 1 });
  await page.evaluate(() => { window.fakeSerial.granted[0].stallAfterWrites = 10; });
  await page.getByRole('button', { name: 'Записать', exact: true }).click();
  const dialog = page.locator('dialog[open]');
  await dialog.waitFor();
  assert.match(await dialog.locator('p').textContent(), /^Порт не принимает данные/);
  await dialog.getByRole('button', { name: 'OK' }).click();
  await page.waitForFunction(() => !document.querySelector('dialog[open]'));
  // Still draining: told as a port that did not close, not as a busy one.
  await clickAndExpect(page, 'Прочитать', 'Quorvex', `${cannotOpen}\nпорт не закрылся после прошлой команды: `
    + 'программатор не принимает данные. Повторите команду позже или отключите и снова подключите программатор');
  // The line drains: the close ends, and the port serves every command.
  await page.evaluate(() => window.fakeSerial.granted[0].resume());
  await page.waitForFunction(() => !window.fakeSerial.granted[0].isOpen);
  await clickAndExpect(page, 'Записать', 'Данные успешно отправлены', 'Данные успешно отправлены');
  await page.selectOption('#ComboBox1', { index: 0 });
  await clickAndExpect(page, 'Прочитать', 'Данные успешно получены', 'Данные успешно получены');
  page.on('dialog', (question) => question.accept());  // reading over the read
  await page.selectOption('#ComboBox1', { index: 1 });
  await clickAndExpect(page, 'Прочитать', 'Данные успешно получены', 'Данные успешно получены');
  assert.deepEqual(page.errors, []);
});

// The port pulled out while "Прочитать" awaits the device: the disconnect
// event and the stream's failure come in either order; the message says it
// once, with the browser's reason.
for (const { order, eventFirst } of [
  { order: 'the event first', eventFirst: true },
  { order: 'the read error first', eventFirst: false },
]) {
  test(`a port lost mid-read says so once, ${order}`, async () => {
    const page = await pageWithPorts({ usbVendorId: 0x1a86, usbProductId: 0x7523 });
    await page.selectOption('#ComboBox1', { index: 1 });
    await page.getByRole('button', { name: 'Прочитать' }).click();
    await page.waitForFunction(() => window.fakeSerial.granted[0]?.writes.length === 1);
    await page.evaluate((first) => window.fakeSerial.granted[0].lose({ eventFirst: first }), eventFirst);
    const dialog = page.locator('dialog[open]');
    await dialog.waitFor();
    assert.equal(await dialog.locator('p').textContent(), lostText);
    await dialog.getByRole('button', { name: 'OK' }).click();
    // The command ends (its buttons come back) or says more.
    await page.waitForFunction(() => document.querySelector('dialog[open]') || !document.querySelector('#BitBtn1').disabled);
    assert.equal(await page.locator('dialog[open]').count(), 0, 'no second message');
  });
}
