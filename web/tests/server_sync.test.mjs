// The page served by a real quorvex-server (QUORVEX_SERVER) on SQLite in a
// scratch folder, in Debian's Chromium: logging in, journaling offline and
// syncing once back, and two installers' edits of one card kept both ways
// until one is kept. Going offline is the browser's calls to /api/ failing
// as a lost network does (Playwright's route).
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { spawn, execFileSync } from 'node:child_process';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { createInterface } from 'node:readline';
import { chromium } from 'playwright-core';
import { browserArgs } from './browser.mjs';
import { openObjects, syncState } from './archive_pages.mjs';

const program = process.env.QUORVEX_SERVER;
const skip = program ? false : 'QUORVEX_SERVER names no quorvex-server';
const scratch = mkdtempSync(join(tmpdir(), 'quorvex-server-sync-'));
const users = { ivan: ['installer', 'пароль-ивана'], petr: ['senior', 'пароль-петра'], olga: ['senior', 'пароль-ольги'] };
let server;
let address;
let browser;

before(async () => {
  if (skip) return;
  const data = join(scratch, 'data');
  for (const [name, [role, password]] of Object.entries(users))
    execFileSync(program, ['user', 'add', name, '--role', role, '--data', data], { input: `${password}\n` });
  server = spawn(program, ['--listen', '127.0.0.1:0', '--data', data, '--page', resolve(process.env.QUORVEX_PAGE)],
    { stdio: ['ignore', 'pipe', 'ignore'] });
  const [line] = await createInterface({ input: server.stdout })[Symbol.asyncIterator]().next().then((read) => [read.value]);
  // "quorvex-server: слушает http://127.0.0.1:PORT, база данных: ..."
  address = `${line.match(/http:\/\/127\.0\.0\.1:\d+/)[0]}/`;
  browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: browserArgs });
});

after(async () => {
  await browser?.close();
  server?.kill('SIGTERM');
  rmSync(scratch, { recursive: true, force: true });
});

// The server's own view, through its API as another client would read it.
async function serverObject(number) {
  const login = await fetch(`${address}api/login`, {
    method: 'POST', headers: { Origin: address.slice(0, -1), 'Content-Type': 'application/json' },
    body: JSON.stringify({ name: 'petr', password: users.petr[1] }),
  });
  const cookie = login.headers.get('set-cookie').split(';')[0];
  const answer = await fetch(`${address}api/objects/${encodeURIComponent(number)}`, { headers: { Cookie: cookie } });
  return answer.status === 200 ? answer.json() : null;
}

// Waits until the server holds what `check` expects of object `number`.
async function serverHolds(number, check) {
  for (;;) {
    const object = await serverObject(number);
    if (object && check(object)) return object;
    await new Promise((resolve) => { setTimeout(resolve, 50); });
  }
}

// A page of its own browser context (its own archive), logged in as `name`.
async function loggedIn(name) {
  const context = await browser.newContext({ viewport: { width: 1024, height: 640 }, serviceWorkers: 'block' });
  const page = await context.newPage();
  const errors = [];
  page.on('pageerror', (error) => errors.push(error));
  page.on('dialog', (question) => question.accept());
  page.errors = errors;
  await page.goto(address);
  await page.locator('#loginDialog[open]').waitFor();
  await page.fill('#loginName', name);
  await page.fill('#loginPassword', users[name][1]);
  await page.click('#loginSubmit');
  await syncState(page, 'online', 0);
  return page;
}

// Offline: every call of the page to the server fails as a lost network does.
async function offline(page) {
  await page.context().route('**/api/**', (route) => route.abort('internetdisconnected'));
}
async function online(page) {
  await page.context().unrouteAll();
  await page.evaluate(() => window.dispatchEvent(new Event('online')));
}

async function newObject(page, number, name) {
  await openObjects(page);
  await page.click('#objectNew');
  await page.fill('#objectNumber', number);
  await page.fill('#objectName', name);
  await page.click('#objectSave');
  await page.waitForFunction((title) => document.title.startsWith(title), `${number} ${name}.qvx`);
  await page.click('#objectsClose');
}

async function write(page) {
  await page.getByRole('button', { name: 'Записать', exact: true }).click();
  const message = page.locator('#message[open]');
  await message.waitFor();
  assert.equal(await message.locator('h2').textContent(), 'Данные успешно отправлены');
  await message.getByRole('button', { name: 'OK' }).click();
}

test('writes journaled offline wait, and reach the server once when it is back', { skip }, async () => {
  const page = await loggedIn('ivan');
  await newObject(page, '17', 'Иванов');
  await write(page);
  await serverHolds('17', (object) => object.journal.length === 1);

  await offline(page);
  await write(page);
  assert.equal(await syncState(page, 'offline', 1), 'нет связи с сервером, ждут отправки: 1');
  await write(page);
  await syncState(page, 'offline', 2);

  await online(page);
  assert.equal(await syncState(page, 'online', 0), 'в сети');
  const held = await serverHolds('17', (object) => object.journal.length >= 3);
  const ids = held.journal.map((entry) => entry.id);
  assert.equal(ids.length, 3);
  assert.equal(new Set(ids).size, 3);
  assert.equal(held.card.name, 'Иванов');

  // A sync repeated adds nothing twice.
  await page.evaluate(() => window.dispatchEvent(new Event('online')));
  await syncState(page, 'online', 0);
  assert.equal((await serverObject('17')).journal.length, 3);

  // The answer lost on its way back: the server holds the entry, the page
  // does not know it and sends it again, which adds nothing.
  await page.context().route('**/api/sync', async (route) => {
    await route.fetch();
    await route.abort('connectionreset');
  });
  await write(page);
  await syncState(page, 'offline', 1);
  await serverHolds('17', (object) => object.journal.length === 4);
  await online(page);
  await syncState(page, 'online', 0);
  const last = await serverObject('17');
  assert.equal(last.journal.length, 4);
  assert.equal(new Set(last.journal.map((entry) => entry.id)).size, 4);
  assert.deepEqual(page.errors, []);
});

test('a card edited in two places is shown both ways, and the installer keeps his', { skip }, async () => {
  const petr = await loggedIn('petr');
  await newObject(petr, '20', 'Петров');
  await serverHolds('20', () => true);
  const olga = await loggedIn('olga');
  await openObjects(olga);
  await olga.fill('#objectSearch', 'Петров');
  await olga.waitForFunction(() => document.querySelectorAll('#objectList li').length === 1);

  await offline(petr);
  await offline(olga);
  await openObjects(petr);
  for (const [page, name] of [[petr, 'Петров (дача)'], [olga, 'Петров <i>гараж</i>']]) {
    await page.click('#objectList li button');
    await page.waitForFunction(() => document.querySelector('#objectNumber').value === '20');
    await page.fill('#objectName', name);
    await page.click('#objectSave');
    await syncState(page, 'offline', 1);
  }
  await online(petr);
  await syncState(petr, 'online', 0);
  await serverHolds('20', (object) => object.card.name === 'Петров (дача)');
  await online(olga);
  assert.equal(await syncState(olga, 'online', 0), 'в сети, конфликтов: 1');

  await olga.click('#objectsClose');
  await openObjects(olga);
  await olga.locator('#conflicts:not([hidden]) table.conflict').waitFor();
  const rows = await olga.$$eval('table.conflict tr', (lines) => lines.map((line) => [...line.cells].map((cell) => cell.textContent)));
  assert.deepEqual(rows.find((row) => row[0] === 'Заказчик'), ['Заказчик', 'Петров <i>гараж</i>', 'Петров (дача)']);
  assert.equal(await olga.locator('table.conflict i').count(), 0);
  assert.equal((await serverObject('20')).card.name, 'Петров (дача)');  // nothing overwritten

  await olga.getByRole('button', { name: 'Оставить мою' }).click();
  await olga.waitForFunction(() => document.querySelector('#conflicts').hidden);
  await serverHolds('20', (object) => object.card.name === 'Петров <i>гараж</i>');
  await syncState(olga, 'online', 0);
  // The other installer gets the card kept at his next sync.
  await petr.evaluate(() => window.dispatchEvent(new Event('online')));
  await petr.waitForFunction(() => [...document.querySelectorAll('#objectList li')].some((item) => item.textContent.includes('гараж')));
  assert.deepEqual([...petr.errors, ...olga.errors], []);
});

test('a card change beyond the installer role holds no journal entry back', { skip }, async () => {
  const page = await loggedIn('ivan');
  await newObject(page, '31', 'Кузнецов');
  await serverHolds('31', () => true);
  await openObjects(page);
  await page.fill('#objectName', 'Кузнецов А. А.');
  await page.click('#objectSave');
  await page.click('#objectsClose');
  await write(page);
  const held = await serverHolds('31', (object) => object.journal.length === 1);
  assert.equal(held.card.name, 'Кузнецов');
  assert.match(await syncState(page, 'waiting', 1), /^ждут отправки: 1 \(недостаточно прав: .+\)$/);
  assert.deepEqual(page.errors, []);
});
