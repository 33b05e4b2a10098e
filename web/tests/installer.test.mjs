// The page as an installer on a laptop meets it: the real port first and its
// state, connecting a programmer, the keyboard, the layout at a laptop's
// sizes, edits kept from a read, and the feedback of a write.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { commandsBack, downloadStarted, expectMessage, openPage, tab, useBrowser } from './browser.mjs';
import { ch340, deviceBehind, ftdi, pageWithPorts } from './fake_ports.mjs';

useBrowser();

const entries = (page) => page.$$eval('#ComboBox1 option', (options) => options.map((o) => o.textContent));
const chosen = (page) => page.$eval('#ComboBox1', (s) => s.selectedIndex);
const status = (page) => page.textContent('#portStatus');
const button = (page, name) => page.getByRole('button', { name, exact: true });

test('at start the port used last is chosen, else the first granted one, the simulator only without any', async () => {
  const cases = [
    { what: 'nothing granted', ports: [], index: 0, note: true },
    { what: 'two granted', ports: [ch340, ftdi], index: 1, note: false },
  ];
  for (const c of cases) {
    const page = await pageWithPorts(c.ports);
    assert.equal(await chosen(page), c.index, c.what);
    assert.equal(await page.isVisible('#simulatorNote'), c.note, c.what);
    await page.context().close();
  }
  // The choice outlives the page: the next start takes it again.
  const page = await pageWithPorts([ch340, ftdi]);
  await page.selectOption('#ComboBox1', { label: 'FTDI (0403:6001)' });
  const again = await pageWithPorts([ch340, ftdi], { context: page.context() });
  assert.equal(await chosen(again), 2);
  await again.selectOption('#ComboBox1', { index: 0 });
  assert.match(await again.textContent('#simulatorNote'), /никуда не передаются/);
  assert.equal(await again.isVisible('#simulatorNote'), true);
  assert.deepEqual(again.errors, []);
});

test('"Порт:" labels the selector and the status line follows the port: not opened, open, refused, lost', async () => {
  const page = await pageWithPorts([ch340]);
  await page.click('#Label19');
  assert.equal(await page.evaluate(() => document.activeElement.id), 'ComboBox1');
  assert.equal(await page.getByLabel('Порт:', { exact: true }).first().getAttribute('id'), 'ComboBox1');
  assert.equal(await status(page), 'CH340 (1A86:7523): не подключён');
  await deviceBehind(page, 0);
  await button(page, 'Записать').click();
  const dialog = page.locator('dialog[open]');
  await dialog.waitFor();
  // The success names the port below the window's own text.
  assert.equal(await dialog.locator('p').textContent(), 'Данные успешно отправлены');
  assert.equal(await page.textContent('#messagePort'), 'Порт: CH340 (1A86:7523)');
  await dialog.getByRole('button', { name: 'OK' }).click();
  assert.equal(await status(page), 'CH340 (1A86:7523): подключён');

  await page.evaluate(() => window.fakeSerial.granted[0].lose());
  await page.waitForFunction(() => document.querySelector('#ComboBox1').selectedIndex === -1);
  assert.equal(await status(page), 'CH340 (1A86:7523): связь потеряна');
  await page.selectOption('#ComboBox1', { index: 0 });
  assert.equal(await status(page), 'Симулятор устройства (демо): не подключён');

  const busy = await pageWithPorts([ch340]);
  await busy.evaluate(() => { window.fakeSerial.granted[0].refuseOpen = 'Failed to open serial port.'; });
  await button(busy, 'Прочитать').click();
  await busy.locator('dialog[open]').waitFor();
  assert.equal(await status(busy),
    'CH340 (1A86:7523): не подключается — порт занят другой программой (Failed to open serial port.)');
});

// Whether the fake port of `index` is open now.
const isOpen = (page, index) => page.evaluate((i) => window.fakeSerial.granted[i].isOpen, index);

test('the connection: the greeting points at the connect button, "Отключить" and a switch close the port', async () => {
  const page = await pageWithPorts([ch340, ftdi]);
  // The page's step comes first, above the window's own greeting lines.
  const steps = await page.$$eval('.greeting p', (lines) => lines.map((line) => line.textContent));
  assert.match(steps[0], /^На этой странице сначала нажмите «Подключить программатор…»/);
  assert.match(steps[1], /^Соедините охранное устройство/);
  assert.equal(await page.$eval('#connectPort', (b) => b.classList.contains('link-button')), false);
  assert.equal(await button(page, 'Отключить').isHidden(), true);

  await deviceBehind(page, 0);
  await button(page, 'Записать').click();
  await page.locator('dialog[open]').getByRole('button', { name: 'OK' }).click();
  await commandsBack(page);
  assert.equal(await status(page), 'CH340 (1A86:7523): подключён');
  assert.equal(await isOpen(page, 0), true);
  await button(page, 'Отключить').click();
  await page.waitForFunction(() => !window.fakeSerial.granted[0].isOpen);
  await page.waitForFunction(() => document.querySelector('#disconnectPort').hidden);
  assert.equal(await status(page), 'CH340 (1A86:7523): не подключён');

  // Written again, then another port chosen: the one left is closed, and
  // writing to it later opens it anew rather than calling it busy.
  await button(page, 'Записать').click();
  await page.locator('dialog[open]').getByRole('button', { name: 'OK' }).click();
  await commandsBack(page);
  assert.equal(await isOpen(page, 0), true);
  await page.selectOption('#ComboBox1', { index: 0 });
  await page.waitForFunction(() => !window.fakeSerial.granted[0].isOpen);
  await page.selectOption('#ComboBox1', { index: 1 });
  await button(page, 'Записать').click();
  const dialog = page.locator('dialog[open]');
  await dialog.waitFor();
  assert.equal(await page.textContent('#messageText'), 'Данные успешно отправлены');
  await dialog.getByRole('button', { name: 'OK' }).click();
  assert.deepEqual(page.errors, []);
});

test('a port the page holds open already is never called another program\'s', async () => {
  const page = await pageWithPorts([ch340]);
  await page.evaluate(() => window.fakeSerial.granted[0].open({ baudRate: 57600 }));
  await button(page, 'Прочитать').click();
  await page.locator('dialog[open]').waitFor();
  const said = await page.locator('dialog[open]').textContent();
  assert.doesNotMatch(said, /другой программой/);
  assert.match(said, /порт уже открыт этой страницей/);
  assert.match(await status(page), /не подключается — порт уже открыт этой страницей/);
});

test('a name given to a port shows wherever the port does and is kept for the next start', async () => {
  const page = await pageWithPorts([ch340, ch340]);
  assert.equal(await button(page, 'Назвать порт…').isVisible(), true);
  page.once('dialog', (asked) => asked.accept('Склад'));
  await button(page, 'Назвать порт…').click();
  await page.waitForFunction(() => document.querySelector('#ComboBox1').selectedOptions[0].textContent.includes('Склад'));
  assert.deepEqual(await entries(page),
    ['Симулятор устройства (демо)', 'CH340 (1A86:7523) №1 — «Склад»', 'CH340 (1A86:7523) №2']);
  assert.equal(await status(page), 'CH340 (1A86:7523) №1 — «Склад»: не подключён');
  await page.click('#batchButton');
  assert.equal(await page.locator('#batchPorts label', { hasText: 'Склад' }).count(), 1);
  await page.click('#batchClose');

  const again = await pageWithPorts([ch340, ch340], { context: page.context() });
  assert.deepEqual(await entries(again),
    ['Симулятор устройства (демо)', 'CH340 (1A86:7523) №1 — «Склад»', 'CH340 (1A86:7523) №2']);
  assert.equal(await chosen(again), 1);
  // An empty name takes it away; the simulator has no name to give.
  again.once('dialog', (asked) => asked.accept(''));
  await button(again, 'Назвать порт…').click();
  await again.waitForFunction(() => !document.querySelector('#ComboBox1').selectedOptions[0].textContent.includes('Склад'));
  await again.selectOption('#ComboBox1', { index: 0 });
  assert.equal(await button(again, 'Назвать порт…').isHidden(), true);
  assert.deepEqual(again.errors, []);
});

test('"Подключить программатор…" says what to do after a refusal, a block or an empty list', async () => {
  const driverHint = /CH340\/CH341, CP210x, FTDI или PL2303.*dialout/s;
  const cases = [
    { what: 'empty list', ports: [], error: 'NotFoundError', text: driverHint },
    { what: 'declined', ports: [ch340], error: 'NotFoundError', text: /нажмите «Подключить программатор…»/ },
    { what: 'blocked', ports: [ch340], error: 'SecurityError', text: /Разрешите его в настройках сайта/ },
  ];
  for (const c of cases) {
    const page = await pageWithPorts(c.ports);
    await page.evaluate((name) => {
      window.fakeSerial.requestPort = async () => { throw new DOMException('refused', name); };
    }, c.error);
    const before = await chosen(page);
    await button(page, 'Подключить программатор…').click();
    const dialog = page.locator('dialog[open]');
    await dialog.waitFor();
    assert.match(await dialog.locator('p').textContent(), c.text, c.what);
    await dialog.getByRole('button', { name: 'OK' }).click();
    assert.equal(await chosen(page), before, c.what);
    await page.context().close();
  }
});

test('arrowing through the selector asks the browser for nothing', async () => {
  const page = await pageWithPorts([ch340, ftdi]);
  await page.focus('#ComboBox1');
  for (const key of ['ArrowDown', 'ArrowDown', 'ArrowDown', 'ArrowUp']) await page.keyboard.press(key);
  assert.deepEqual(await page.evaluate(() => window.fakeSerial.requests), []);
  assert.equal((await entries(page)).length, 3);
});

test('Ctrl+S saves and Ctrl+O opens as the buttons do, and the browser never sees them', async () => {
  const page = await openPage();
  await page.evaluate(() => {
    window.unhandled = [];
    window.addEventListener('keydown', (e) => { if (!e.defaultPrevented) window.unhandled.push(e.code); });
  });
  const download = page.waitForEvent('download');
  await page.keyboard.press('Control+s');
  await expectMessage(page, 'Сохранение', downloadStarted((await download).suggestedFilename()));
  // The save ends just after its message closes; a key pressed before the
  // commands are back does nothing, as the disabled buttons would.
  await page.waitForSelector('#N2:not([disabled])');
  const chooser = page.waitForEvent('filechooser');
  await page.keyboard.press('Control+o');
  await chooser;
  assert.deepEqual(await page.evaluate(() => window.unhandled), ['ControlLeft', 'ControlLeft']);
});

test('F1 and a click on the version open one modal About window with the version text', async () => {
  const page = await openPage();
  const about = page.getByRole('dialog', { name: 'О прорамме' });
  for (const open of [() => page.keyboard.press('F1'), () => page.click('#Label87')]) {
    await open();
    await about.waitFor();
    // A second F1 over it brings the same one back.
    await page.keyboard.press('F1');
    assert.equal(await page.locator('#about[open]').count(), 1);
    assert.equal(await about.locator('p').textContent(), 'Версия программы - 1.0.0\n ');
    // Modal: the page under it takes no clicks until it is closed.
    assert.equal(await page.$eval('#about', (d) => d.matches(':modal')), true);
    await page.keyboard.press('Escape');
    await about.waitFor({ state: 'hidden' });
  }
  await page.keyboard.press('F1');
  await about.getByRole('button', { name: 'Закрыть' }).click();
  await about.waitFor({ state: 'hidden' });
  await tab(page, 'Зоны');
  assert.equal(await page.isVisible('#ComboBox11'), true);
});

test('the tab strip is one Tab stop; arrows, Home and End move between tabs', async () => {
  const page = await openPage();
  const selected = () => page.$eval('[role=tab][aria-selected=true]', (t) => t.textContent);
  const focused = () => page.evaluate(() => document.activeElement.textContent);
  await page.focus('[role=tab][aria-selected=true]');
  const steps = [
    ['ArrowRight', 'Зоны'], ['ArrowRight', 'Выходы и Т'], ['End', 'Список аб.'], ['ArrowRight', 'Главная'],
    ['ArrowLeft', 'Список аб.'], ['Home', 'Главная'],
  ];
  for (const [key, caption] of steps) {
    await page.keyboard.press(key);
    assert.equal(await selected(), caption, key);
    assert.equal(await focused(), caption, key);
  }
  assert.deepEqual(await page.$$eval('[role=tab]', (tabs) => tabs.filter((t) => t.tabIndex === 0).length), 1);
  // Tab leaves the strip for the shown panel's first control.
  await page.keyboard.press('ArrowRight');
  await page.keyboard.press('Tab');
  assert.equal(await page.evaluate(() => document.activeElement.getAttribute('role')), null);
  assert.deepEqual(await page.$$eval('[role=tabpanel]', (panels) => panels.map((p) =>
    document.getElementById(p.getAttribute('aria-labelledby'))?.getAttribute('aria-controls') === p.id)),
  Array(11).fill(true));
});

test('a click on a caption focuses its control', async () => {
  const page = await openPage();
  const cases = [['Выходы и Т', '#TrackBar1'], ['Список аб.', '#Edit16'], ['Звук', null], ['Голосовые функции', null]];
  for (const [caption, control] of cases) {
    await tab(page, caption);
    const label = page.locator(`[role=tabpanel]:not([hidden]) label.caption[for]${control ? `[for=${control.slice(1)}]` : ''}`).first();
    const target = await label.getAttribute('for');
    await label.click();
    assert.equal(await page.evaluate(() => document.activeElement.id), target, caption);
  }
});

test('after a message the focus returns to its command; after a refusal to the red field', async () => {
  const page = await openPage();
  await button(page, 'Записать').focus();
  await page.keyboard.press('Enter');
  await expectMessage(page, 'Данные успешно отправлены', 'Данные успешно отправлены');
  await page.waitForFunction((id) => document.activeElement.id === id, 'BitBtn2', { timeout: 5000 });

  await tab(page, 'Список аб.');
  await page.fill('#Edit18', '+38050123456789');
  await button(page, 'Записать').click();
  await page.locator('dialog[open]').waitFor();
  await page.keyboard.press('Enter');
  await page.waitForFunction(() => !document.querySelector('dialog[open]'));
  await page.waitForFunction((id) => document.activeElement.id === id, 'Edit18', { timeout: 5000 });
});

test('a message box whose title repeats its text shows it once', async () => {
  const page = await openPage();
  await button(page, 'Записать').click();
  await page.locator('dialog[open]').waitFor();
  assert.equal(await page.$$eval('dialog[open] *', (nodes) => nodes.filter((n) => n.checkVisibility()
    && n.textContent === 'Данные успешно отправлены').length), 1);
  assert.equal(await page.getByRole('dialog', { name: 'Данные успешно отправлены' }).count(), 1);
});

test('"Прочитать" over unsaved edits asks first; after a read the title says where the settings came from', async () => {
  const page = await openPage();
  await tab(page, 'Список аб.');
  await page.fill('#Edit30', '8081');
  const questions = [];
  const asked = new Promise((resolve) => {
    page.on('dialog', (question) => { questions.push(question.message()); question.dismiss(); resolve(); });
  });
  await button(page, 'Прочитать').click();
  await asked;
  await commandsBack(page);
  assert.deepEqual(questions, ['Настройки изменены и не сохранены. Прочитать устройство, отбросив изменения?']);
  assert.equal(await page.inputValue('#Edit30'), '8081', 'kept');

  page.removeAllListeners('dialog');
  page.on('dialog', (question) => question.accept());
  await button(page, 'Прочитать').click();
  await expectMessage(page, 'Данные успешно получены', 'Данные успешно получены');
  assert.equal(await page.inputValue('#Edit30'), '20198');
  assert.equal(await page.title(), 'Симулятор устройства (демо): прочитано из устройства * — Quorvex');
});

test('a write shows its progress as it goes, then the device\'s recording note', async () => {
  const page = await pageWithPorts([ch340]);
  await deviceBehind(page, 0);
  await page.evaluate(() => {
    window.seen = [];
    const bar = document.querySelector('#frameProgress');
    new MutationObserver(() => window.seen.push([bar.value, bar.max, bar.parentElement.hidden]))
      .observe(bar.parentElement, { attributes: true, subtree: true, childList: true });
  });
  await button(page, 'Записать').click();
  await page.locator('dialog[open]').waitFor();
  const seen = await page.evaluate(() => window.seen);
  const shown = seen.filter(([, , hidden]) => !hidden);
  assert.equal(shown.some(([value, max]) => value > 0 && value < max && max === 288), true, JSON.stringify(seen.slice(0, 5)));
  // Moved a few times a second, not at every byte: a repaint per byte takes
  // its time from the bytes.
  const moves = new Set(shown.map(([value]) => value)).size;
  assert.ok(moves < 288 / 4, `${moves} positions of the bar`);
  assert.equal(await page.isVisible('#sending'), false, 'gone once the frame is out');
  assert.match(await page.textContent('#recordingNote'), /трёх длинных звуковых сигналов \(около 3 с\)/);
  assert.equal(await page.isVisible('#recordingNote'), true);
});
