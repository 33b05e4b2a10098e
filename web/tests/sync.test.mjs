// The page served with the company's server behind it, in Debian's
// Chromium, where no server is built: the login, and a card edited in two
// places kept both ways until the installer takes the server's. The server
// is the stand-in of fake_server.mjs on the page's own origin; the real
// one's round is server_sync.test.mjs.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { axeSource, openPage, useBrowser, wcagViolations } from './browser.mjs';
import { FakeServer } from './fake_server.mjs';
import { openObjects, syncState } from './archive_pages.mjs';

useBrowser();

const users = { ivan: 'пароль-1', petr: 'пароль-2' };
// The page's calls go to the routes, not through a service worker's fetch.
// axe-core comes along, for the login's and the conflicts' checks.
const withServer = (server, colorScheme = 'light') => [async (opening) => {
  await opening.addInitScript({ path: axeSource });
  await server.attach(opening.context());
}, { serviceWorkers: 'block', colorScheme }];

// Waits until the stand-in server holds what `check` expects.
async function eventually(check) {
  while (!check()) await new Promise((resolve) => { setTimeout(resolve, 20); });
}

// A page of its own (its own archive) with `server` behind it, logged in.
async function loggedIn(server, name) {
  const page = await openPage(...withServer(server));
  page.on('dialog', (question) => question.accept());
  await page.locator('#loginDialog[open]').waitFor();
  await page.fill('#loginName', name);
  await page.fill('#loginPassword', users[name]);
  await page.click('#loginSubmit');
  await page.waitForFunction(() => !document.querySelector('#loginDialog').open);
  await syncState(page, 'online');
  return page;
}

for (const colorScheme of ['light', 'dark']) {
  test(`the login form and its refusal pass WCAG 2.1 A and AA (${colorScheme})`, async () => {
    const server = new FakeServer(users);
    const page = await openPage(...withServer(server, colorScheme));
    await page.locator('#loginDialog[open]').waitFor();
    assert.deepEqual(await wcagViolations(page), []);
    await page.fill('#loginName', 'ivan');
    await page.fill('#loginPassword', 'не тот');
    await page.click('#loginSubmit');
    await page.waitForFunction(() => !document.querySelector('#loginError').hidden);
    assert.deepEqual(await wcagViolations(page), []);
  });
}

test('a wrong password is said as text, and the login keeps its key out of storage', async () => {
  const server = new FakeServer(users);
  const page = await openPage(...withServer(server));
  await page.locator('#loginDialog[open]').waitFor();
  assert.equal(await page.textContent('label:has(#loginName)'), 'Имя ');
  assert.equal(await page.textContent('#loginSubmit'), 'Войти');
  await page.fill('#loginName', 'ivan');
  await page.fill('#loginPassword', 'не тот');
  await page.click('#loginSubmit');
  await page.waitForFunction(() => !document.querySelector('#loginError').hidden);
  assert.equal(await page.textContent('#loginError'), 'неверное имя или пароль <b>');
  assert.equal(await page.locator('#loginError b').count(), 0);

  await page.fill('#loginPassword', users.ivan);
  await page.click('#loginSubmit');
  assert.equal(await syncState(page, 'online'), 'в сети');
  const stored = await page.evaluate(() => JSON.stringify({ ...localStorage }) + JSON.stringify({ ...sessionStorage }));
  assert.doesNotMatch(stored, /key-/);
  assert.equal(await page.inputValue('#loginPassword'), '');

  await page.click('#logout');
  await syncState(page, 'loggedOut');
  assert.equal(await page.isVisible('#loginOpen'), true);
  assert.deepEqual(page.errors, []);
});

test('a card edited in two places is kept both ways until the installer takes one', async () => {
  const server = new FakeServer(users);
  const ivan = await loggedIn(server, 'ivan');
  await openObjects(ivan);
  await ivan.click('#objectNew');
  await ivan.fill('#objectNumber', '20');
  await ivan.fill('#objectName', 'Петров');
  await ivan.click('#objectSave');
  await eventually(() => server.cards.size === 1);

  // The second installer's page gets the card at its first sync.
  const petr = await loggedIn(server, 'petr');
  await openObjects(petr);
  await petr.waitForFunction(() => document.querySelectorAll('#objectList li').length === 1);

  // Both rename it before either syncs.
  server.offline = true;
  for (const [page, name] of [[ivan, 'Петров (дача)'], [petr, 'Петров <i>гараж</i>']]) {
    await page.click('#objectList li button');
    await page.waitForFunction(() => document.querySelector('#objectNumber').value === '20');
    await page.fill('#objectName', name);
    await page.click('#objectSave');
    await syncState(page, 'offline', 1);
  }
  server.offline = false;
  await ivan.evaluate(() => window.dispatchEvent(new Event('online')));
  await syncState(ivan, 'online', 0);
  await petr.evaluate(() => window.dispatchEvent(new Event('online')));
  assert.equal(await syncState(petr, 'online', 0), 'в сети, конфликтов: 1');

  // Shown in the objects' dialog: both cards, as text.
  await petr.click('#objectsClose');
  await openObjects(petr);
  await petr.locator('#conflicts:not([hidden]) table.conflict').waitFor();
  const rows = await petr.$$eval('table.conflict tr', (lines) => lines.map((line) => [...line.cells].map((cell) => cell.textContent)));
  assert.deepEqual(rows[0], ['', 'Моя', 'С сервера']);
  assert.deepEqual(rows.find((row) => row[0] === 'Заказчик'), ['Заказчик', 'Петров <i>гараж</i>', 'Петров (дача)']);
  assert.equal(await petr.locator('table.conflict i').count(), 0);
  assert.deepEqual(await wcagViolations(petr), []);
  assert.equal([...server.cards.values()][0].card.name, 'Петров (дача)');  // nothing overwritten there either

  await petr.getByRole('button', { name: 'Взять с сервера' }).click();
  await petr.waitForFunction(() => document.querySelector('#conflicts').hidden);
  await syncState(petr, 'online', 0);
  await petr.waitForFunction(() => document.querySelector('#objectList li').textContent.includes('Петров (дача)'));
  assert.deepEqual([...ivan.errors, ...petr.errors], []);
});
