// The archive of objects: sqlite-wasm with its file in the origin-private
// file system ("opfs-sahpool": synchronous, no special headers), and the
// archive's module, whose C++ rules run every statement here through
// runner(db). The page posts { id, op, args } and gets { id, result } or
// { id, failure, message }. One worker, one operation at a time: every
// change is one transaction of the rules.

import { runner as plainRunner } from './archive_runner.js';

const fileName = '/objects.sqlite';
// A settings file starts with digits; an archive with SQLite's header.
const sqliteHeader = 'SQLite format 3\0';

// sqlite-wasm's OPFS file system turns any failed write into SQLITE_IOERR
// (or SQLITE_CANTOPEN for a journal), a browser's quota refused too; the
// last refusal is kept here so that a full storage is told as full
// (SQLITE_FULL), not as a failing disk.
const sqliteFull = 13;
/** @type {unknown} */
let lastWriteFailure = null;
const handle = /** @type {any} */ (globalThis).FileSystemSyncAccessHandle;
if (handle) {
  const write = handle.prototype.write;
  handle.prototype.write = function keptFailure(/** @type {unknown[]} */ ...args) {
    try {
      return write.apply(this, args);
    } catch (error) {
      lastWriteFailure = error;
      throw error;
    }
  };
}
// A statement that failed after a write was refused for the quota (its
// data, its journal, or a journal's file of the pool) failed for that.
/** @param {number} code @returns {number} */
function codeOf(code) {
  const full = lastWriteFailure instanceof DOMException && lastWriteFailure.name === 'QuotaExceededError';
  return full ? sqliteFull : code;
}

// The executor over `db`, a quota's refusal told as a full storage.
/** @param {any} db an sqlite-wasm oo1.DB */
const runner = (db) => plainRunner(db, { beforeRun: () => { lastWriteFailure = null; }, codeOf });

/** @param {string} path */
const here = (path) => new URL(path, import.meta.url).href;

// The module's rules, apart from the storage: its words reach the page
// even where the storage is refused.
const rules = import(here('archive.mjs')).then(({ default: createArchive }) => createArchive());
const sqlite = import(here('sqlite/sqlite3.mjs')).then(({ default: init }) =>
  init({ print: () => { /* its notes are no page's business */ }, printErr: () => { /* as print */ } }));
const storage = sqlite.then(async (sqlite3) => {
  const pool = await sqlite3.installOpfsSAHPoolVfs({ name: 'quorvex-archive' });
  const db = new pool.OpfsSAHPoolDb(fileName);
  // Every page read or written past SQLite's cache is a call into the
  // origin-private file system: a merge of 100,000 entries spilled its 2 MB
  // cache on every few rows and spent most of its time there.
  db.exec('PRAGMA cache_size = -65536');
  return { sqlite3, db };
});
const opened = Promise.all([rules, storage]).then(([archive, { sqlite3, db }]) => {
  const database = runner(db);
  archive.prepare(database);
  return { archive, sqlite3, db, database };
});
// Heard of in the first operation that needs them.
for (const promise of [rules, sqlite, storage, opened]) promise.catch(() => { /* told to the caller */ });


// Another archive's bytes as a database of its own in memory, to read from.
/** @param {any} sqlite3 @param {Uint8Array} bytes */
function databaseOf(sqlite3, bytes) {
  const db = new sqlite3.oo1.DB(':memory:');
  const pointer = sqlite3.wasm.allocFromTypedArray(bytes);
  const { capi } = sqlite3;
  db.checkRc(capi.sqlite3_deserialize(db.pointer, 'main', pointer, bytes.byteLength, bytes.byteLength,
    capi.SQLITE_DESERIALIZE_FREEONCLOSE | capi.SQLITE_DESERIALIZE_RESIZEABLE));
  return db;
}

/** @param {Uint8Array} bytes */
function isArchive(bytes) {
  return new TextDecoder('latin1').decode(bytes.subarray(0, sqliteHeader.length)) === sqliteHeader;
}

// Files taken in: archives merged, settings files each an object.
/** @param {{ name: string, bytes: Uint8Array }[]} files @param {string} installer */
async function importFiles(files, installer) {
  const { archive, sqlite3, database } = await opened;
  const counts = { added: 0, changed: 0, unchanged: 0, entries: 0 };
  /** @type {string[]} */
  const refusals = [];
  for (const { name, bytes } of files) {
    try {
      if (isArchive(bytes)) {
        const from = databaseOf(sqlite3, bytes);
        try {
          const merged = archive.merge(database, runner(from));
          counts.added += merged.cardsAdded;
          counts.changed += merged.cardsUpdated;
          counts.entries += merged.entriesAdded;
          refusals.push(...merged.renumbered.map((/** @type {string} */ line) => `${name}: ${line}`));
        } finally {
          from.close();
        }
      } else {
        const result = archive.importFile(database, name, bytes, installer);
        counts[/** @type {'added' | 'changed' | 'unchanged'} */ (result.imported)] += 1;
      }
    } catch (error) {
      if (/** @type {{ failure?: string }} */ (error).failure === 'Full') throw error;
      refusals.push(`${name}: ${/** @type {Error} */ (error).message}`);
    }
  }
  return archive.importSummary(counts.added, counts.changed, counts.unchanged, counts.entries, refusals);
}

/** @type {Record<string, (...args: any[]) => Promise<unknown>>} */
const operations = {
  texts: async () => (await rules).texts(),
  list: async (text) => { const { archive, database } = await opened; return archive.list(database, text); },
  deleted: async () => { const { archive, database } = await opened; return archive.deleted(database); },
  deleteQuestion: async (number, name) => (await rules).deleteQuestion(number, name),
  find: async (number) => { const { archive, database } = await opened; return archive.find(database, number); },
  journal: async (id) => { const { archive, database } = await opened; return archive.journal(database, id); },
  create: async (card, installer) => { const { archive, database } = await opened; return archive.create(database, card, installer); },
  change: async (card, installer) => { const { archive, database } = await opened; return archive.change(database, card, installer); },
  record: async (id, command, installer) => {
    const { archive, database } = await opened;
    return archive.record(database, id, command, installer);
  },
  carryOver: async (history, installer) => {
    const { archive, database } = await opened;
    return archive.carryOver(database, history, installer);
  },
  entryLines: async (entries) => { const archive = await rules; return entries.map((/** @type {unknown} */ entry) => archive.entryLine(entry)); },
  fileName: async (number, name) => (await rules).objectFileName(number, name),
  importFiles,
  exportArchive: async () => { const { sqlite3, db } = await opened; return sqlite3.capi.sqlite3_js_db_export(db); },
  // The sync with the company's server: texts built and applied by the rules.
  syncTexts: async () => (await rules).syncTexts(),
  syncStatus: async (reachable, waiting, conflicts) => (await rules).syncStatus(reachable, waiting, conflicts),
  syncRequest: async (origin, cards) => {
    const { archive, database } = await opened;
    return archive.syncRequest(database, origin, cards);
  },
  syncApply: async (origin, request, answer) => {
    const { archive, database } = await opened;
    return archive.syncApply(database, origin, request, answer);
  },
  syncWaiting: async () => { const { archive, database } = await opened; return archive.syncWaiting(database); },
  conflicts: async () => { const { archive, database } = await opened; return archive.conflicts(database); },
  settle: async (mineId, keepMine, installer) => {
    const { archive, database } = await opened;
    return archive.settle(database, mineId, keepMine, installer);
  },
};

// One operation after another, in the order they came.
let turn = Promise.resolve();
self.addEventListener('message', (event) => {
  const { id, op, args } = event.data;
  turn = turn.then(async () => {
    try {
      const result = await operations[op](...args);
      self.postMessage({ id, result });
    } catch (error) {
      const failure = /** @type {{ failure?: string, message?: string }} */ (error);
      self.postMessage({ id, failure: failure.failure ?? 'Unavailable', message: String(failure.message ?? error) });
    }
  });
});
