// Updates of the page as a host serves them: version A, then version B. The
// page offers the restart into B, naming it, only while no port is open (and
// again once it is gone), puts it off with "Позже", switches when asked, keeps other apps' caches, and never keeps a version whose files
// are not all of that version (a host half way through an upload).
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { appendFileSync, cpSync, mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import { chromium } from 'playwright-core';
import { serve } from '../serve.mjs';
import { browserArgs, pageReady } from './browser.mjs';
import { ch340, grantPorts } from './fake_ports.mjs';

const scratch = mkdtempSync(join(tmpdir(), 'quorvex-updates-'));
const versionA = resolve(process.env.QUORVEX_PAGE);
const versionB = join(scratch, 'b');
const marker = '/* version B */';
let browser;

before(async () => {
  cpSync(versionA, versionB, { recursive: true });
  appendFileSync(join(versionB, 'style.css'), `${marker}\n`);
  execFileSync('cmake', [`-DPAGE=${versionB}`, '-P', fileURLToPath(new URL('../page_files.cmake', import.meta.url))]);
  browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: browserArgs });
});

after(async () => {
  await browser?.close();
  rmSync(scratch, { recursive: true, force: true });
});

// A host folder holding version A, served; `upload(files)` puts B's files
// (all of them when none are named) in place.
async function host(name) {
  const site = join(scratch, name);
  cpSync(versionA, site, { recursive: true });
  const server = await serve(site, 0);
  const upload = (files) => {
    if (!files) cpSync(versionB, site, { recursive: true });
    else for (const file of files) cpSync(join(versionB, file), join(site, file));
  };
  return { server, upload, address: `http://localhost:${server.address().port}/` };
}

// A page of version A, controlled by its service worker.
async function firstVisit(address, prepare = async () => {}) {
  const context = await browser.newContext();
  const page = await context.newPage();
  await prepare(page);
  const ready = pageReady(page);
  await page.goto(address);
  await ready;
  await page.waitForFunction(() => navigator.serviceWorker.controller !== null);
  return page;
}

// The first characters of B's version, by which the update bar names it.
const buildOfB = () => readFileSync(join(versionB, 'page_files.js'), 'latin1').match(/pageVersion = '([0-9a-f]{8})/)[1];
const styleIsB = (page) => page.evaluate(async (text) => (await (await fetch('style.css')).text()).includes(text), marker);
const checkForUpdate = (page) => page.evaluate(async () => {
  const registration = await navigator.serviceWorker.getRegistration();
  await registration.update().catch(() => { /* an install that failed leaves none waiting, as the caller checks */ });
  return Boolean(registration.installing || registration.waiting);
});

test('a waiting version is offered, and the restart switches to it keeping other apps\' caches', async () => {
  const { server, upload, address } = await host('whole');
  try {
    const page = await firstVisit(address);
    await page.evaluate(async () => {
      await caches.open('other-app');
      await caches.open('quorvex:http://localhost/another-copy/:0123456789abcdef');
    });
    assert.equal(await page.isVisible('#updateBar'), false);
    // The browser's HTTP cache never stands between the page and a new worker.
    assert.equal(await page.evaluate(async () => (await navigator.serviceWorker.getRegistration()).updateViaCache), 'none');
    upload();
    await checkForUpdate(page);
    await page.waitForSelector('#updateBar:not([hidden])');
    await page.waitForFunction((build) => document.querySelector('#updateBar span').textContent.includes(build), buildOfB());
    assert.equal(await styleIsB(page), false, 'A runs until the restart');
    const ready = pageReady(page);
    await page.getByRole('button', { name: 'Перезапустить' }).click();
    await page.waitForEvent('load');
    await ready;
    assert.equal(await styleIsB(page), true);
    const names = await page.evaluate(() => caches.keys());
    assert.equal(names.includes('other-app'), true, names.join());
    assert.equal(names.includes('quorvex:http://localhost/another-copy/:0123456789abcdef'), true, names.join());
    assert.equal(names.filter((name) => name.startsWith(`quorvex:${address}:`)).length, 1, names.join());
    assert.equal(await page.isVisible('#updateBar'), false);
    await page.context().close();
  } finally {
    server.close();
  }
});

test('no restart is offered while a port is open; once it is gone the offer comes back, named, and "Позже" puts it off', async () => {
  const { server, upload, address } = await host('port');
  try {
    const page = await firstVisit(address, (p) => grantPorts(p, [ch340]));
    await page.getByRole('button', { name: 'Прочитать' }).click();
    await page.locator('dialog[open]').waitFor({ timeout: 10_000 });
    await page.getByRole('button', { name: 'OK' }).click();
    // The page decides on the offer as the new worker becomes installed; a
    // listener added after its own hears of that after it has decided.
    await page.evaluate(async () => {
      const registration = await navigator.serviceWorker.getRegistration();
      registration.addEventListener('updatefound', () => {
        registration.installing.addEventListener('statechange', (event) => {
          if (event.target.state === 'installed') window.newVersionInstalled = true;
        });
      });
    });
    upload();
    await checkForUpdate(page);
    await page.waitForFunction(() => window.newVersionInstalled === true);
    assert.equal(await page.isVisible('#updateBar'), false);
    // The port gone, the offer comes back, naming B; "Позже" puts it off.
    await page.evaluate(() => window.fakeSerial.granted[0].lose());
    await page.waitForSelector('#updateBar:not([hidden])');
    await page.waitForFunction((build) => document.querySelector('#updateBar span').textContent.includes(build), buildOfB());
    assert.match(await page.textContent('#updateBar span'), /^Готова новая версия страницы: сборка [0-9a-f]{8}\./);
    await page.getByRole('button', { name: 'Позже' }).click();
    await page.waitForSelector('#updateBar', { state: 'hidden' });
    await page.context().close();
  } finally {
    server.close();
  }
});

test('a host half way through an upload is not taken for a new version', async () => {
  const { server, upload, address } = await host('half');
  try {
    const page = await firstVisit(address);
    upload(['page_files.js']);  // B's list, A's files
    assert.equal(await checkForUpdate(page), true, 'B starts to install');
    await page.waitForFunction(async () => {
      const registration = await navigator.serviceWorker.getRegistration();
      return !registration.installing && !registration.waiting;
    });
    const ready = pageReady(page);
    await page.reload();
    await ready;
    assert.equal(await styleIsB(page), false);
    assert.equal(await page.isVisible('#updateBar'), false);
    upload();  // the rest of B
    await checkForUpdate(page);
    await page.waitForSelector('#updateBar:not([hidden])');
    await page.context().close();
  } finally {
    server.close();
  }
});
