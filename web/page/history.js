// The history: every set of settings the page wrote to a device or read from
// one, kept in this browser's IndexedDB (nothing leaves the machine), the
// newest `historyLimit` entries. A browser that refuses storage gets one note,
// until storage takes an entry again (each entry tries anew: space may have
// been freed); the commands never wait on it or fail by it.
import { button, setCaptions } from './render.js';

/**
 * One kept command: when, on which port, which command, its last message's
 * line, and the settings as a .qvx file's bytes.
 * @typedef {{ id?: number, time: number, port: string, command: string, outcome: string, bytes: Uint8Array<ArrayBuffer> }} HistoryEntry
 */

const databaseName = 'quorvex-history';
const storeName = 'entries';

// The module's words of the history (its limit, the note's text), which
// setUpHistory hands over; what is recorded before then waits for them.
/** @type {(texts: ToolTexts) => void} */
let giveTexts;
/** @type {Promise<ToolTexts>} */
const toolTexts = new Promise((resolve) => { giveTexts = resolve; });
/** @type {IDBDatabase | null} */
let database = null;
let refused = false;
const note = () => /** @type {HTMLElement} */ (document.getElementById('storageNote'));

// Storage refused: the page's note says so, once.
async function refuse() {
  if (refused) return;
  refused = true;
  const { historyRefused } = await toolTexts;
  if (!refused) return;
  note().textContent = historyRefused;
  note().hidden = false;
}

// Storage took an entry again: the note goes.
function accepted() {
  refused = false;
  note().hidden = true;
}
if (!globalThis.indexedDB) refuse();

/** @returns {Promise<IDBDatabase>} */
function openDatabase() {
  return new Promise((resolve, reject) => {
    const opening = indexedDB.open(databaseName, 1);
    opening.onupgradeneeded = () => opening.result.createObjectStore(storeName, { keyPath: 'id', autoIncrement: true });
    // A connection the browser closes (its storage cleared) is opened anew next time.
    opening.onsuccess = () => {
      const opened = opening.result;
      opened.onclose = () => { if (database === opened) database = null; };
      resolve(opened);
    };
    opening.onerror = () => reject(opening.error);
    opening.onblocked = () => reject(new Error('blocked'));
  });
}

// The store in a transaction, until the transaction ends.
/**
 * @template T
 * @param {IDBTransactionMode} mode
 * @param {(store: IDBObjectStore) => T} work
 * @returns {Promise<T>}
 */
async function inStore(mode, work) {
  database ??= await openDatabase();
  const transaction = database.transaction(storeName, mode);
  const result = work(transaction.objectStore(storeName));
  await new Promise((resolve, reject) => {
    transaction.oncomplete = resolve;
    transaction.onerror = () => reject(transaction.error);
    transaction.onabort = () => reject(transaction.error ?? new Error('abort'));
  });
  return result;
}

// Keeps one entry and drops the oldest beyond the limit, in one transaction.
// The outcome is kept as the engine's codes, its words made when listed.
// Never rejects: a refusal of storage becomes the note.
/**
 * @param {object} entry
 * @param {Uint8Array | null} entry.settingsLine
 * @param {string} entry.port
 * @param {string | null} entry.command
 * @param {string} entry.outcome
 * @param {string} [entry.cause]
 * @param {boolean} [entry.frameSent]
 * @param {number} [entry.differing]
 */
export async function recordHistory({ settingsLine, port, command, outcome, cause, frameSent, differing }) {
  if (!settingsLine || !globalThis.indexedDB) return;
  const { historyLimit } = await toolTexts;
  try {
    await inStore('readwrite', (store) => {
      store.add({ time: Date.now(), port, command, outcome, cause, frameSent, differing, bytes: new Uint8Array(settingsLine) });
      const counting = store.count();
      counting.onsuccess = () => {
        let excess = counting.result - historyLimit;
        if (excess <= 0) return;
        const walking = store.openCursor();
        walking.onsuccess = () => {
          const cursor = walking.result;
          if (!cursor || excess-- <= 0) return;
          cursor.delete();
          cursor.continue();
        };
      };
    });
    accepted();
  } catch {
    refuse();
  }
}

// Whether a stored record has the shape recordHistory() gives it; one that
// has not (damaged, or another version's) would break the list or its buttons.
/** @param {unknown} record @returns {record is HistoryEntry} */
function wellFormed(record) {
  if (typeof record !== 'object' || record === null) return false;
  const { time, port, command, outcome, bytes, cause, frameSent, differing } = /** @type {Record<string, unknown>} */ (record);
  /** @param {unknown} value @param {string} type */
  const optional = (value, type) => value === undefined || typeof value === type;
  return typeof time === 'number' && Number.isFinite(time) && typeof port === 'string' && typeof command === 'string'
    && typeof outcome === 'string' && bytes instanceof Uint8Array
    && optional(cause, 'string') && optional(frameSent, 'boolean') && optional(differing, 'number');
}

// Every well-formed entry, newest first, and how many were not; none when
// storage is refused.
/** @returns {Promise<{ kept: HistoryEntry[], skipped: number }>} */
export async function entries() {
  if (!globalThis.indexedDB) return { kept: [], skipped: 0 };
  try {
    const all = /** @type {unknown[]} */ ((await inStore('readonly', (store) => store.getAll())).result);
    const kept = all.filter(wellFormed).reverse();
    return { kept, skipped: all.length - kept.length };
  } catch {
    refuse();
    return { kept: [], skipped: 0 };
  }
}

/**
 * @param {object} page
 * @param {Quorvex} page.quorvex
 * @param {ToolTexts} page.tools
 * @param {ById} page.byId
 * @param {(bytes: Uint8Array<ArrayBuffer>, name: string, source: string) => Promise<unknown>} page.openBytes
 * @param {(bytes: Uint8Array<ArrayBuffer>, name: string) => Promise<unknown>} page.saveBytes
 * @param {(entry: HistoryEntry) => Promise<unknown>} page.compare
 */
export function setUpHistory({ quorvex, tools, byId, openBytes, saveBytes, compare }) {
  giveTexts(tools);
  const dialog = byId('historyDialog');
  setCaptions(byId, { historyButton: tools.history, historyTitle: tools.history, historyClose: tools.close });

  async function list() {
    const table = byId('historyTable');
    table.replaceChildren();
    const { kept, skipped } = await entries();
    byId('historyEmpty').textContent = skipped ? quorvex.historySkipped(skipped)
      : kept.length ? '' : (refused ? tools.historyRefused : tools.historyEmpty);
    table.hidden = kept.length === 0;
    const head = table.createTHead().insertRow();
    for (const text of [tools.historyTimeColumn, tools.historyPortColumn, tools.historyCommandColumn, tools.historyOutcomeColumn, '']) {
      const cell = document.createElement('th');
      cell.textContent = text;
      head.append(cell);
    }
    const body = table.createTBody();
    for (const entry of kept) {
      const row = body.insertRow();
      for (const text of [quorvex.localTime(entry.time), entry.port, tools.commands[entry.command] ?? entry.command, quorvex.historyOutcome(entry)])
        row.insertCell().textContent = text;
      const name = quorvex.historyFileName(entry.port, entry.time);
      row.insertCell().append(
        button(tools.historyOpen, async () => {
          dialog.close();
          await openBytes(entry.bytes, name, quorvex.historySource(entry.command, entry.port, entry.time));
        }),
        button(tools.historySave, () => saveBytes(entry.bytes, name)),
        button(tools.historyCompare, () => compare(entry)),
      );
    }
  }

  byId('historyButton').addEventListener('click', async () => {
    await list();
    dialog.showModal();
  });
  byId('historyClose').addEventListener('click', () => dialog.close());
}
