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
  note().dataset.from = 'history';
  note().hidden = false;
}

// Storage took an entry again: the history's note goes (not the archive's,
// which says the same of its own storage).
function accepted() {
  refused = false;
  if (note().dataset.from === 'history') note().hidden = true;
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
 * What the page does with settings a command kept.
 * @typedef {object} KeptActions
 * @property {Quorvex} quorvex
 * @property {ToolTexts} tools
 * @property {(bytes: Uint8Array<ArrayBuffer>, name: string, source: string) => Promise<unknown>} openBytes
 * @property {(bytes: Uint8Array<ArrayBuffer>, name: string) => Promise<unknown>} saveBytes
 * @property {(kept: KeptSettings) => Promise<unknown>} compare
 */
/**
 * Settings a command kept: its bytes, the command (the page's code or the
 * journal's word), the port and the time in milliseconds since 1970.
 * @typedef {{ bytes: Uint8Array<ArrayBuffer>, command: string, port: string, time: number }} KeptSettings
 */

/**
 * "Открыть", "Сохранить" and "Сравнить" for settings a command kept, in the
 * history and in an object's journal alike: opened as "Открыть" opens a file
 * (`beforeOpen` closes the list first), saved as PORT-YYYYMMDD-HHMMSS.qvx
 * byte for byte, compared with the page's settings.
 * @param {KeptActions} actions
 * @param {KeptSettings} kept
 * @param {() => void} beforeOpen
 * @returns {HTMLButtonElement[]}
 */
export function keptButtons({ quorvex, tools, openBytes, saveBytes, compare }, kept, beforeOpen) {
  const name = quorvex.historyFileName(kept.port, kept.time);
  return [
    button(tools.historyOpen, async () => {
      beforeOpen();
      await openBytes(kept.bytes, name, quorvex.historySource(kept.command, kept.port, kept.time));
    }),
    button(tools.historySave, () => saveBytes(kept.bytes, name)),
    button(tools.historyCompare, () => compare(kept)),
  ];
}

/**
 * @param {object} page
 * @param {Quorvex} page.quorvex
 * @param {ToolTexts} page.tools
 * @param {ById} page.byId
 * @param {KeptActions['openBytes']} page.openBytes
 * @param {KeptActions['saveBytes']} page.saveBytes
 * @param {KeptActions['compare']} page.compare
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
      row.insertCell().append(...keptButtons({ quorvex, tools, openBytes, saveBytes, compare }, entry, () => dialog.close()));
    }
  }

  byId('historyButton').addEventListener('click', async () => {
    await list();
    dialog.showModal();
  });
  byId('historyClose').addEventListener('click', () => dialog.close());
}
