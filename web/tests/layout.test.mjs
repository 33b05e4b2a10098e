// The page's layout at the sizes of installers' laptops: the tab strip holds
// at 1280 px and wider, nothing is clipped at 1366 x 768 zoomed to 100, 125
// and 150 %, nor at 800 px, where the commands stand above the tabs.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { openPage, tab, useBrowser } from './browser.mjs';

useBrowser();

const laptop = (zoom) => ({
  viewport: { width: Math.round(1366 / zoom), height: Math.round(768 / zoom) }, deviceScaleFactor: zoom,
});
const captions = (page) => page.$$eval('[role=tab]', (tabs) => tabs.map((t) => t.textContent));

// What sticks out of its place on the shown tab: the page wider than the
// window, or a control, caption or button cut by its box or the window.
const clipped = (page) => page.evaluate(() => {
  const faults = [];
  if (document.documentElement.scrollWidth > window.innerWidth) {
    faults.push(`page ${document.documentElement.scrollWidth} px wide in ${window.innerWidth}`);
  }
  const visible = [...document.querySelectorAll('button, select, input, label, legend, th, p, h1, a, img, [role=tab]')]
    .filter((node) => node.checkVisibility());
  for (const node of visible) {
    const box = node.getBoundingClientRect();
    if (box.right > document.documentElement.scrollWidth + 0.5 || box.left < -0.5) faults.push(`${node.id || node.textContent} outside`);
    // A box cut by an ancestor that hides or scrolls its overflow.
    for (let up = node.parentElement; up; up = up.parentElement) {
      const style = getComputedStyle(up);
      if (style.overflowX === 'visible' && style.overflowY === 'visible') continue;
      const outer = up.getBoundingClientRect();
      if (up.scrollWidth > up.clientWidth + 1) faults.push(`${up.id || up.tagName} scrolls sideways`);
      if (box.right > outer.right + 0.5 || box.left < outer.left - 0.5) faults.push(`${node.id || node.textContent} cut by ${up.id || up.tagName}`);
      break;
    }
    if (['BUTTON', 'INPUT'].includes(node.tagName) || node.getAttribute('role') === 'tab') {
      if (node.scrollWidth > node.clientWidth + 1) faults.push(`${node.id || node.textContent} text cut`);
    }
    // A list shows its chosen entry in full beside its arrow.
    if (node.tagName === 'SELECT' && node.selectedOptions[0]) {
      const context = document.createElement('canvas').getContext('2d');
      context.font = getComputedStyle(node).font;
      const needed = context.measureText(node.selectedOptions[0].textContent).width + 20;
      if (needed > node.clientWidth) faults.push(`${node.id}: "${node.selectedOptions[0].textContent}" cut`);
    }
  }
  return [...new Set(faults)];
});

test('at 1280 px and wider the tabs stand in one line and do not move when another is shown', async () => {
  for (const width of [1280, 1366, 1920]) {
    const page = await openPage(async () => {}, { viewport: { width, height: 800 } });
    const places = () => page.$$eval('[role=tab]', (tabs) => tabs.map((t) => {
      const box = t.getBoundingClientRect();
      return [Math.round(box.left), Math.round(box.top), Math.round(box.width)];
    }));
    const first = await places();
    assert.equal(new Set(first.map(([, top]) => top)).size, 1, `${width}: one line`);
    for (const caption of await captions(page)) {
      await tab(page, caption);
      assert.deepEqual(await places(), first, `${width}: ${caption}`);
    }
    await page.context().close();
  }
});

test('nothing is clipped on any tab at 1366 x 768 zoomed 100, 125 and 150 %, nor at 800 px', async () => {
  const sizes = [['100 %', laptop(1)], ['125 %', laptop(1.25)], ['150 %', laptop(1.5)],
    ['800 px', { viewport: { width: 800, height: 600 } }]];
  for (const [name, size] of sizes) {
    const page = await openPage(async () => {}, size);
    for (const caption of await captions(page)) {
      await tab(page, caption);
      assert.deepEqual(await clipped(page), [], `${name}, ${caption}`);
    }
    await page.context().close();
  }
});

test('at 800 px the commands stand above the tabs; wider, beside them', async () => {
  for (const [width, above] of [[800, true], [1366, false]]) {
    const page = await openPage(async () => {}, { viewport: { width, height: 700 } });
    const [commands, strip] = await Promise.all(['.commands', '#PageControl1'].map((s) =>
      page.$eval(s, (n) => n.getBoundingClientRect().toJSON())));
    assert.equal(commands.bottom <= strip.top, above, `${width}`);
    assert.equal(commands.right <= strip.left, !above, `${width}`);
    await page.context().close();
  }
});

test('the buttons under "Прочитать" keep their place while it is hidden', async () => {
  const page = await openPage();
  const places = () => page.$$eval('#BitBtn2, #writeVerify, #Label87', (nodes) => nodes.map((n) => n.getBoundingClientRect().top));
  const before = await places();
  await page.getByRole('button', { name: 'Прочитать' }).click();
  await page.waitForSelector('#readCountdown:not([hidden])');
  assert.deepEqual(await places(), before);
  await page.locator('dialog[open]').waitFor();
});

test('each option of a radio group stands on a line of its own', async () => {
  const page = await openPage();
  for (const caption of ['Разное', 'Звук', 'Список аб.']) {
    await tab(page, caption);
    const groups = await page.$$eval('[role=tabpanel]:not([hidden]) [role=radiogroup]', (all) => all.map((group) =>
      [...group.querySelectorAll('label')].map((option) => option.getBoundingClientRect().top)));
    for (const tops of groups) {
      for (let i = 1; i < tops.length; i += 1) assert.ok(tops[i] > tops[i - 1], `${caption}: ${tops}`);
    }
  }
});

test('the lists of one column of the zone table are one width', async () => {
  const page = await openPage();
  await tab(page, 'Зоны');
  const widths = await page.$$eval('.zones tr', (rows) => rows.slice(1).map((row) =>
    [...row.querySelectorAll('select')].map((select) => select.getBoundingClientRect().width)));
  for (let column = 0; column < widths[0].length; column += 1) {
    assert.equal(new Set(widths.map((row) => row[column])).size, 1, `column ${column}: ${widths.map((r) => r[column])}`);
  }
});

test('the greeting\'s logo stands beside its text', async () => {
  const page = await openPage(async () => {}, laptop(1));
  const [text, logo] = await Promise.all(['.greeting-body > div', '.greeting img'].map((s) =>
    page.$eval(s, (n) => n.getBoundingClientRect().toJSON())));
  assert.ok(logo.left >= text.right, `logo at ${logo.left}, text to ${text.right}`);
  assert.ok(logo.top < text.bottom && text.top < logo.bottom, 'side by side');
});

test('under a dark colour scheme the page, the panels and the tabs are dark, their text light', async () => {
  const luminance = ([r, g, b]) => (0.2126 * r + 0.7152 * g + 0.0722 * b) / 255;
  for (const [scheme, dark] of [['dark', true], ['light', false]]) {
    const page = await openPage(async () => {}, { colorScheme: scheme });
    await tab(page, 'Зоны');
    const colours = await page.evaluate(() => ['body', '[role=tabpanel]:not([hidden])', '[role=tab]', 'dialog'].map((s) => {
      const style = getComputedStyle(document.querySelector(s));
      const rgb = (c) => c.match(/\d+/g).slice(0, 3).map(Number);
      return [s, rgb(style.backgroundColor), rgb(style.color)];
    }));
    for (const [what, background, text] of colours) {
      assert.equal(luminance(background) < 0.3, dark, `${scheme} ${what} background ${background}`);
      assert.equal(luminance(text) > 0.7, dark, `${scheme} ${what} text ${text}`);
    }
    await page.context().close();
  }
});
