// What the page tests share: the page served on a free port, Debian's
// Chromium headless, and the steps a user takes. QUORVEX_PAGE names the built
// page folder.
import { after, before } from 'node:test';
import assert from 'node:assert/strict';
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { basename, join, resolve } from 'node:path';
import { createRequire } from 'node:module';
import { fileURLToPath } from 'node:url';
import { chromium } from 'playwright-core';
import { serve } from '../serve.mjs';

const scratch = mkdtempSync(join(tmpdir(), 'quorvex-page-'));
let server;
let browser;
export let address;

// Headless Chromium builds its address bar's pop-up, a page of hundreds of
// modules, for every new window; on a small machine that competes with the
// page under test for the processor, so it is left out.
export const browserArgs = ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync',
  '--disable-features=WebUIOmniboxPopup,WebUIOmniboxAimPopup,WebUIOmniboxFullPopup'];

// The page is served with its modules bundled into one main.js; a page
// opened with `pageSources` may import one module by itself from
// ./page-sources/NAME.js, served from the page's sources (a module of its
// own, with its own state). Its service worker is kept out, since the
// requests it makes pass by the page's routes.
const pageSources = fileURLToPath(new URL('../page/', import.meta.url));
async function routePageSources(page) {
  await page.route('**/page-sources/*.js', (route) => route.fulfill({
    path: join(pageSources, basename(new URL(route.request().url()).pathname)),
    contentType: 'text/javascript; charset=utf-8',
  }));
}

// Registers the suite's set-up: the server and one browser for all tests.
export function useBrowser() {
  before(async () => {
    server = await serve(resolve(process.env.QUORVEX_PAGE), 0);
    address = `http://localhost:${server.address().port}/`;
    // launch() gives the browser a fresh profile folder of its own.
    browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: browserArgs });
  });

  after(async () => {
    await browser?.close();
    server?.close();
    rmSync(scratch, { recursive: true, force: true });
  });
}

// Waits until the page has set itself up; collects its uncaught errors.
export async function pageReady(page) {
  const errors = [];
  page.on('pageerror', (error) => errors.push(error));
  await page.waitForSelector('body[data-ready=true]');
  page.errors = errors;
  return page;
}

// A fresh page at 1024 x 640 that saves by download (no file picker
// headless). `prepare(page)` runs before the page loads (init scripts).
// `options`: `context` to open the page in (its storage kept), or the
// context's own options (viewport, deviceScaleFactor, colorScheme);
// `pageSources` to import single modules (see above); `installer`, the
// installer's name kept before the page starts ('Тестов'; null for none).
export async function openPage(prepare = async () => {}, options = {}) {
  const { context: given, pageSources: sources, installer = 'Тестов', ...contextOptions } = options;
  const context = given ?? await browser.newContext({
    viewport: { width: 1024, height: 640 }, acceptDownloads: true,
    ...(sources ? { serviceWorkers: 'block' } : {}), ...contextOptions,
  });
  const page = await context.newPage();
  if (sources) await routePageSources(page);
  await page.addInitScript(() => { delete window.showSaveFilePicker; });
  // An installer's name kept, so that the page does not ask for one at the
  // first command; `installer: null` leaves it to be asked.
  if (installer !== null) {
    await page.addInitScript((name) => {
      try {
        if (!localStorage.getItem('quorvex-installer')) localStorage.setItem('quorvex-installer', name);
      } catch {
        // A frame without storage of its own (the sheet's): nothing to keep.
      }
    }, installer);
  }
  await prepare(page);
  const ready = pageReady(page);
  await page.goto(address);
  return ready;
}

// Waits for the message box, checks its title and text, presses OK.
export async function expectMessage(page, title, text) {
  const dialog = page.locator('dialog[open]');
  await dialog.waitFor();
  assert.equal(await dialog.locator('h2').textContent(), title);
  assert.equal(await dialog.locator('p').textContent(), text);
  await dialog.getByRole('button', { name: 'OK' }).click();
  await page.waitForFunction(() => !document.querySelector('dialog[open]'));
}

export async function tab(page, caption) {
  await page.getByRole('tab', { name: caption, exact: true }).click();
}

// What the page says when it has handed file `name` to the browser as a download.
export const downloadStarted = (name) => `Файл ${name} передан браузеру для загрузки. `
  + 'Проверьте, что он появился в папке загрузок: до тех пор изменения считаются несохранёнными.';

// "Сохранить" by download; the bytes downloaded.
export async function save(page) {
  const download = page.waitForEvent('download');
  await page.getByRole('button', { name: 'Сохранить' }).click();
  const file = join(scratch, `saved-${Date.now()}.qvx`);
  const done = await download;
  await done.saveAs(file);
  await expectMessage(page, 'Сохранение', downloadStarted(done.suggestedFilename()));
  return readFileSync(file);
}

// Opens `bytes` as a file by "Открыть"; resolves once the open has ended
// (the commands are back) or stopped at its message, which stays open. The
// page takes the commands away as it takes the change; a listener after its
// own says the change came.
export async function openFile(page, bytes) {
  const file = join(scratch, `open-${Date.now()}-${Math.random()}.qvx`);
  writeFileSync(file, bytes);
  await page.$eval('#OpenDialog1', (input) => input.addEventListener('change', () => { window.openChanged = true; },
    { once: true }));
  await page.setInputFiles('#OpenDialog1', file);
  await page.waitForFunction(() => {
    const ended = window.openChanged
      && (document.querySelector('dialog[open]') || !document.querySelector('#N2').disabled);
    if (ended) delete window.openChanged;
    return Boolean(ended);
  });
}

// Waits until the command under way has ended: its buttons are back, which
// is a turn after its message has closed. Fails naming those still disabled
// (`what` says where).
export async function commandsBack(page, what = '') {
  const commands = '#N2, #N3, #BitBtn1, #BitBtn2, #writeVerify';
  await page.waitForFunction((ids) => [...document.querySelectorAll(ids)].every((b) => !b.disabled), commands,
    { timeout: 10_000 }).catch(() => {});
  const disabled = await page.$$eval(commands, (all) => all.filter((b) => b.disabled).map((b) => b.id));
  assert.deepEqual(disabled, [], `${what} still disabled`.trim());
}

export const defaultLine = '000000:111111:111111:000000:000000:100050:111111:123911:101111:111110:000000:111111:001107:110400:000000:'
  + '+380501234567:'.repeat(9) + '7391:000:111:222:333:20198:#\r\n';

// A fresh page (`prepare` as for openPage) with дом.qvx opened and edited.
export async function editedPage(prepare) {
  return editOpenedFile(await openPage(prepare));
}

// Opens дом.qvx in `page` and edits a list: the title marks the edit.
export async function editOpenedFile(page) {
  await page.setInputFiles('#OpenDialog1', { name: 'дом.qvx', mimeType: 'application/octet-stream',
    buffer: Buffer.from(defaultLine, 'latin1') });
  await page.waitForFunction(() => document.title === 'дом.qvx — Quorvex');
  await tab(page, 'Зоны');
  await page.selectOption('#ComboBox12', { index: 3 });
  assert.equal(await page.title(), 'дом.qvx * — Quorvex');
  return page;
}

// axe-core, to add to a page before it loads (addInitScript), and the
// violations of WCAG 2.1 A and AA on the page as it stands, one line each.
export const axeSource = createRequire(import.meta.url).resolve('axe-core/axe.min.js');
export async function wcagViolations(page) {
  return page.evaluate(async (tags) => {
    const result = await window.axe.run(document, { runOnly: { type: 'tag', values: tags } });
    return result.violations.map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(' ')).slice(0, 5).join(', ')}`);
  }, ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa']);
}

/**
 * Puts `records` into the page's history store as an earlier page kept
 * them; a record's `text` becomes its bytes, anything else goes as given.
 */
export async function keepHistory(page, records) {
  await page.evaluate(async (kept) => {
    const database = await new Promise((resolve, reject) => {
      const opening = indexedDB.open('quorvex-history', 1);
      opening.onupgradeneeded = () => opening.result.createObjectStore('entries', { keyPath: 'id', autoIncrement: true });
      opening.onsuccess = () => resolve(opening.result);
      opening.onerror = () => reject(opening.error);
    });
    const transaction = database.transaction('entries', 'readwrite');
    for (const { text, ...record } of kept)
      transaction.objectStore('entries').add(text === undefined ? record : { ...record, bytes: new TextEncoder().encode(text) });
    await new Promise((resolve) => { transaction.oncomplete = resolve; });
    database.close();
  }, records);
}
