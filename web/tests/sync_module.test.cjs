// The archive module's sync rules under node, on sqlite-wasm in memory, as
// the page's archive worker runs them: the request's text, the server's
// answer applied once, a conflict shown both ways and settled, a refused
// answer changing nothing. QUORVEX_MODULE names the page's module; the
// archive's module is beside it.
const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');

const folder = path.dirname(path.resolve(process.env.QUORVEX_MODULE));
const origin = 'https://archive.example';

// The archive's module is built for a worker: under node it is given the
// worker's globals and its code, which it cannot fetch.
async function load() {
  Object.assign(globalThis, { self: globalThis, importScripts: () => { /* a worker's, unused */ } });
  globalThis.location = { href: `file://${folder}/archive.mjs` };
  const { default: createArchive } = await import(path.join(folder, 'archive.mjs'));
  const archive = await createArchive({ wasmBinary: fs.readFileSync(path.join(folder, 'archive.wasm')) });
  const { default: init } = await import('@sqlite.org/sqlite-wasm');
  const sqlite3 = await init();
  const quorvex = await require(path.resolve(process.env.QUORVEX_MODULE))({
    wasmBinary: fs.readFileSync(path.join(folder, 'quorvex.wasm')),
  });
  // The worker's executor, as the page runs it.
  const { runner } = await import(path.resolve(__dirname, '../page/archive_runner.js'));
  return { archive, sqlite3, quorvex, runner };
}
const loaded = load();


async function freshArchive() {
  const { archive, sqlite3, quorvex, runner } = await loaded;
  const database = runner(new sqlite3.oo1.DB(':memory:'));
  archive.prepare(database);
  const settings = new quorvex.Model().save().bytes;
  return { archive, database, settings };
}

// A card of the server's as its JSON.
function serverCard(number, name, version, settings) {
  return {
    id: [...Array(32)].map(() => '0123456789abcdef'[Math.floor(Math.random() * 16)]).join(''),
    number, name, address: '', phone: '', note: '', createdAt: '2026-12-01T09:00:00.000Z', createdBy: 'petr',
    changedAt: '2026-12-01T09:00:00.000Z', changedBy: 'petr', version, deleted: false, settings,
  };
}

const answer = (cursor, cards = [], entries = [], conflicts = []) => JSON.stringify({ cursor, cards, entries, conflicts });

test('what was journaled goes once, comes back once, and waits no more', async () => {
  const { archive, database, settings } = await freshArchive();
  const card = archive.create(database, { number: '17', name: 'Иванов', settings }, 'ivan');
  archive.record(database, card.id, { port: 'ttyUSB0', command: 'read', outcome: 'readSuccess', cause: '', outcomeText: 'прочитано', settings }, 'ivan');
  archive.record(database, '', { port: 'ttyUSB1', command: 'write', outcome: 'sent', cause: '', outcomeText: 'записано', settings }, 'ivan');
  assert.equal(archive.syncWaiting(database).waiting, 3);

  const request = archive.syncRequest(database, origin, true);
  const sent = JSON.parse(request);
  assert.equal(sent.cursor, 0);
  assert.deepEqual(sent.cards.map((pushed) => [pushed.card.number, pushed.base]), [['17', 0]]);
  assert.equal(sent.entries.length, 2);
  // The server answers with everything after the cursor: this page's own too.
  const echoed = answer(4, sent.cards.map((pushed) => pushed.card), sent.entries);
  for (const expected of [{ cards: 0, entries: 0, conflicts: 0, sent: 3, more: false }, { cards: 0, entries: 0, conflicts: 0, sent: 3, more: false }])
    assert.deepEqual({ ...archive.syncApply(database, origin, request, echoed) }, expected);
  assert.deepEqual({ ...archive.syncWaiting(database) }, { waiting: 0, conflicts: 0, origin });
  assert.equal(archive.journal(database, card.id).length, 1);
  assert.equal(JSON.parse(archive.syncRequest(database, origin, true)).cursor, 4);
  assert.equal(archive.syncStatus(true, 0, 0), 'в сети');
  assert.equal(archive.syncStatus(true, 3, 0), 'ждут отправки: 3');
  assert.equal(archive.syncStatus(false, 3, 1), 'нет связи с сервером, ждут отправки: 3, конфликтов: 1');
});

test('a card changed here and on the server is shown both ways and settled by the installer', async () => {
  const { archive, database, settings } = await freshArchive();
  const text = new TextDecoder('latin1').decode(settings).trimEnd();
  const server = serverCard('20', 'Петров', 1, text);
  archive.syncApply(database, origin, archive.syncRequest(database, origin, true), answer(1, [server]));
  const mine = archive.find(database, '20');
  assert.equal(mine.name, 'Петров');
  const request = archive.syncRequest(database, origin, true);
  archive.change(database, { ...mine, name: 'Петров (дача)' }, 'ivan');
  const applied = archive.syncApply(database, origin, request, answer(2, [{ ...server, name: 'Петров <b>гараж</b>', version: 2 }]));
  assert.equal(applied.conflicts, 1);
  assert.equal(archive.find(database, '20').name, 'Петров (дача)');  // never overwritten

  const [conflict] = archive.conflicts(database);
  assert.equal(conflict.mine.name, 'Петров (дача)');
  assert.equal(conflict.theirs.name, 'Петров <b>гараж</b>');
  const names = conflict.rows.find((row) => row[0] === 'Заказчик');
  assert.deepEqual(names, ['Заказчик', 'Петров (дача)', 'Петров <b>гараж</b>']);
  assert.deepEqual(conflict.rows.find((row) => row[0] === 'Настройки'), ['Настройки', 'одинаковые', 'одинаковые']);
  assert.equal(archive.syncWaiting(database).conflicts, 1);

  const kept = archive.settle(database, mine.id, true, 'ivan');
  assert.equal(kept.name, 'Петров (дача)');
  const [pushed] = JSON.parse(archive.syncRequest(database, origin, true)).cards;
  assert.deepEqual([pushed.base, pushed.card.version], [2, 3]);
  assert.deepEqual(archive.conflicts(database), []);
  assert.throws(() => archive.settle(database, mine.id, false, 'ivan'), (error) => error.failure === 'Missing');
});

test('a refused answer changes nothing and keeps the cursor', async () => {
  const { archive, database, settings } = await freshArchive();
  archive.record(database, '', { port: 'ttyUSB0', command: 'read', outcome: 'readSuccess', cause: '', outcomeText: '', settings }, 'ivan');
  archive.syncApply(database, origin, archive.syncRequest(database, origin, true), answer(3));
  archive.record(database, '', { port: 'ttyUSB0', command: 'read', outcome: 'readSuccess', cause: '', outcomeText: '', settings }, 'ivan');
  const bad = serverCard('30', 'Кузнецов', 1, 'не настройки');
  for (const text of ['<html>', answer(9, [bad]), answer(-1), JSON.stringify({ cursor: 9 })]) {
    const request = archive.syncRequest(database, origin, true);
    assert.throws(() => archive.syncApply(database, origin, request, text), (error) => error.failure === 'Refused', text);
    assert.equal(archive.syncWaiting(database).waiting, 1, text);
    assert.equal(archive.find(database, '30'), null, text);
    assert.equal(JSON.parse(archive.syncRequest(database, origin, true)).cursor, 3, text);
  }
});
