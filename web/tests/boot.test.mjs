// A page whose module does not load says so in Russian and offers no
// command: each case serves a copy of the built page with one file missing,
// cut short or broken, or opens the page from its folder (file://).
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { cpSync, mkdtempSync, readFileSync, rmSync, truncateSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { pathToFileURL } from 'node:url';
import { chromium } from 'playwright-core';
import { serve } from '../serve.mjs';
import { browserArgs } from './browser.mjs';

const built = resolve(process.env.QUORVEX_PAGE);
const scratch = mkdtempSync(join(tmpdir(), 'quorvex-boot-'));
let browser;
before(async () => { browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: browserArgs }); });
after(async () => {
  await browser?.close();
  rmSync(scratch, { recursive: true, force: true });
});

const half = (file) => truncateSync(file, Math.floor(readFileSync(file).length / 2));
// Every byte of the code after the header flipped: the module compiles no more.
const corrupt = (file) => {
  const bytes = readFileSync(file);
  for (let i = 64; i < bytes.length; i++) bytes[i] ^= 0x5a;
  writeFileSync(file, bytes);
};
const remove = (file) => rmSync(file);

const folderText = /Страница открыта из папки на диске \(file:\/\/\)/;
const moduleText = /Не удалось загрузить модуль страницы \(quorvex\.js, quorvex\.wasm\)/;
const commands = ['#N2', '#N3', '#BitBtn1', '#BitBtn2', '#writeVerify', '#ComboBox1'];

// Waits for the message, then checks what the page offers.
async function expectFailure(page, text) {
  await page.waitForSelector('#loadFailure:not([hidden])', { timeout: 15_000 });
  const shown = await page.$$eval('#loadFailure p:not([hidden])', (ps) => ps.map((p) => p.textContent));
  assert.match(shown[0], text);
  for (const control of commands) assert.equal(await page.isDisabled(control), true, control);
  assert.equal(await page.locator('[role=tab]').count(), 0);
  assert.equal(await page.getAttribute('body', 'data-ready'), null);
}

for (const { name, file, spoil } of [
  { name: 'quorvex.js missing', file: 'quorvex.js', spoil: remove },
  { name: 'quorvex.js cut short', file: 'quorvex.js', spoil: half },
  { name: 'quorvex.wasm missing', file: 'quorvex.wasm', spoil: remove },
  { name: 'quorvex.wasm cut short', file: 'quorvex.wasm', spoil: half },
  { name: 'quorvex.wasm broken', file: 'quorvex.wasm', spoil: corrupt },
  { name: 'main.js missing', file: 'main.js', spoil: remove },
]) {
  test(`${name}: the page says the module did not load`, async () => {
    const folder = join(scratch, name.replace(/\W+/g, '-'));
    cpSync(built, folder, { recursive: true });
    spoil(join(folder, file));
    const server = await serve(folder, 0);
    const context = await browser.newContext({ serviceWorkers: 'block' });
    try {
      const page = await context.newPage();
      await page.goto(`http://localhost:${server.address().port}/`);
      await expectFailure(page, moduleText);
    } finally {
      await context.close();
      server.close();
    }
  });
}

test('opened from its folder (file://), the page says to open it from a site', async () => {
  const context = await browser.newContext();
  try {
    const page = await context.newPage();
    await page.goto(pathToFileURL(join(built, 'index.html')).href);
    await expectFailure(page, folderText);
  } finally {
    await context.close();
  }
});

test('while the module loads, the commands are disabled; once ready, enabled', async () => {
  const server = await serve(built, 0);
  const context = await browser.newContext({ serviceWorkers: 'block' });
  try {
    const page = await context.newPage();
    let release;
    const held = new Promise((resolve) => { release = resolve; });
    await page.route('**/quorvex.wasm', async (route) => { await held; await route.continue(); });
    await page.goto(`http://localhost:${server.address().port}/`, { waitUntil: 'domcontentloaded' });
    for (const control of commands) assert.equal(await page.isDisabled(control), true, control);
    release();
    await page.waitForSelector('body[data-ready=true]');
    for (const control of commands) assert.equal(await page.isEnabled(control), true, control);
    assert.equal(await page.isHidden('#loadFailure'), true);
  } finally {
    await context.close();
    server.close();
  }
});
