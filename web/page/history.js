// The history: every set of settings the page wrote to a device or read from
// one, kept in this browser's IndexedDB (nothing leaves the machine), the
// newest `historyLimit` entries. A browser that refuses storage gets one note;
// the commands never wait on it or fail by it.
import { setCaptions } from './render.js';

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

// Storage refused: the page's note says so, once.
async function refuse() {
  if (refused) return;
  refused = true;
  const { historyRefused } = await toolTexts;
  const note = /** @type {HTMLElement} */ (document.getElementById('storageNote'));
  note.textContent = historyRefused;
  note.hidden = false;
}
if (!globalThis.indexedDB) refuse();

/** @returns {Promise<IDBDatabase>} */
function openDatabase() {
  return new Promise((resolve, reject) => {
    const opening = indexedDB.open(databaseName, 1);
    opening.onupgradeneeded = () => opening.result.createObjectStore(storeName, { keyPath: 'id', autoIncrement: true });
    opening.onsuccess = () => resolve(opening.result);
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
  if (refused || !settingsLine) return;
  const { historyLimit } = await toolTexts;
  if (refused) return;
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
  } catch {
    refuse();
  }
}

// Every entry, newest first; none when storage is refused.
/** @returns {Promise<HistoryEntry[]>} */
export async function entries() {
  if (refused) return [];
  try {
    const all = await inStore('readonly', (store) => store.getAll());
    return all.result.reverse();
  } catch {
    refuse();
    return [];
  }
}

/**
 * @param {object} page
 * @param {Quorvex} page.quorvex
 * @param {ToolTexts} page.tools
 * @param {ById} page.byId
 * @param {(bytes: Uint8Array<ArrayBuffer>, name: string) => Promise<unknown>} page.openBytes
 * @param {(bytes: Uint8Array<ArrayBuffer>, name: string) => Promise<unknown>} page.saveBytes
 * @param {(entry: HistoryEntry) => Promise<unknown>} page.compare
 */
export function setUpHistory({ quorvex, tools, byId, openBytes, saveBytes, compare }) {
  giveTexts(tools);
  const dialog = byId('historyDialog');
  setCaptions(byId, { historyButton: tools.history, historyTitle: tools.history, historyClose: tools.close });

  /** @param {string} text @param {() => void} action */
  function button(text, action) {
    const element = document.createElement('button');
    element.type = 'button';
    element.textContent = text;
    element.addEventListener('click', action);
    return element;
  }

  async function list() {
    const table = byId('historyTable');
    table.replaceChildren();
    const kept = await entries();
    byId('historyEmpty').textContent = kept.length ? '' : (refused ? tools.historyRefused : tools.historyEmpty);
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
        button(tools.historyOpen, async () => { dialog.close(); await openBytes(entry.bytes, name); }),
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
