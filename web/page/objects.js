// "Объекты": the installer's customers' sites kept in the archive (see
// archive.js), searched, opened into the page, and each command the page
// runs journaled under the object open. The archive's module gives every
// word and rule; this file shows them and moves the bytes.
import { Archive, ArchiveFailure } from './archive.js';
import { button, setCaptions } from './render.js';
import { entries as historyEntries } from './history.js';

const installerKey = 'quorvex-installer';
const carriedKey = 'quorvex-history-carried';

/**
 * A card as the archive gives it.
 * @typedef {{ id: string, number: string, name: string, address: string, settings: Uint8Array<ArrayBuffer> | null, version: number }} ObjectCard
 */

/**
 * @param {object} page
 * @param {ById} page.byId
 * @param {Quorvex} page.quorvex
 * @param {import('./files.js').SettingsFiles} page.files
 * @param {() => Promise<{ bytes: Uint8Array<ArrayBuffer>, name: string } | null>} page.pageFile
 * @param {(run: () => Promise<void>) => Promise<void>} page.exclusive
 * @param {(bytes: Uint8Array<ArrayBuffer>, name: string) => Promise<unknown>} page.saveBytes
 * @param {() => void} [page.changed] the archive changed: a command journaled, a card saved
 * @returns {{ journal: (entry: any) => void, archive: Archive, installer: () => string, refresh: () => void }}
 */
export function setUpObjects({ byId, quorvex, files, pageFile, exclusive, saveBytes, changed = () => { /* nothing follows */ } }) {
  const archive = new Archive();
  const dialog = /** @type {HTMLDialogElement} */ (byId('objectsDialog'));
  const storageState = byId('archiveStorage');
  const note = byId('archiveNote');
  /** @type {Record<string, string>} */
  let texts = {};
  /** @type {ObjectCard | null} the object the page's settings come from */
  let current = null;
  let currentFile = '';
  /** @type {ObjectCard | null} the card shown; a new one has no id yet */
  let shown = null;
  let showing = 0;

  const installerField = /** @type {HTMLInputElement} */ (byId('installerName'));
  installerField.value = localStorage.getItem(installerKey) ?? '';
  installerField.addEventListener('change', () => localStorage.setItem(installerKey, installerField.value.trim()));
  const installer = () => installerField.value.trim();

  /** @param {string} text */
  function tell(text) {
    note.textContent = text;
    note.hidden = !text;
  }

  // A failure in words: a full storage says that nothing kept was lost.
  /** @param {unknown} error @param {string} [prefix] */
  function failed(error, prefix = '') {
    if (error instanceof ArchiveFailure && error.failure === 'Full') tell(texts.full);
    else if (error instanceof ArchiveFailure && error.failure === 'Unavailable') showUnavailable(error);
    else tell(prefix + String(/** @type {Error} */ (error)?.message ?? error));
  }

  /** @param {unknown} error */
  function showUnavailable(error) {
    storageState.textContent = texts.unavailable + String(/** @type {Error} */ (error)?.message ?? error);
    storageState.dataset.state = 'unavailable';
  }

  // At the archive's first use: the browser asked to keep it, the answer shown.
  async function firstUse() {
    await carryOver().catch(() => { /* the archive's failure shows with the operation that needs it */ });
    const persisted = await archive.persist();
    if (storageState.dataset.state === 'unavailable') return;
    storageState.textContent = persisted ? texts.persisted : texts.notPersisted;
    storageState.dataset.state = persisted ? 'persisted' : 'notPersisted';
  }

  async function list() {
    const search = /** @type {HTMLInputElement} */ (byId('objectSearch')).value;
    const target = byId('objectList');
    try {
      /** @type {ObjectCard[]} */
      const cards = await archive.call('list', search);
      if (search !== /** @type {HTMLInputElement} */ (byId('objectSearch')).value) return;  // typed on since
      target.replaceChildren(...cards.map((card) => {
        const item = document.createElement('li');
        item.dataset.number = card.number;
        item.append(button(`${card.number} ${card.name}${card.address ? ` · ${card.address}` : ''}`, () => openObject(card.number)));
        return item;
      }));
      byId('objectListEmpty').textContent = cards.length ? '' : texts.noObjects;
      /** @type {ObjectCard[]} */
      const deleted = await archive.call('deleted');
      byId('deletedList').replaceChildren(...deleted.map((card) => {
        const item = document.createElement('li');
        item.dataset.number = card.number;
        item.append(`${card.number} ${card.name} `, button(texts.restore, () => restore(card)));
        return item;
      }));
    } catch (error) {
      failed(error);
    }
  }

  // The card shown, its journal below (that of "Без объекта" for none).
  /** @param {ObjectCard | null} card */
  async function show(card) {
    const mine = ++showing;
    shown = card;
    const form = byId('objectCard');
    form.hidden = !card;
    byId('objectDelete').hidden = !card?.id;
    for (const [id, key] of [['objectNumber', 'number'], ['objectName', 'name'], ['objectAddress', 'address']])
      /** @type {HTMLInputElement} */ (byId(id)).value = card ? /** @type {any} */ (card)[key] : '';
    byId('objectJournalTitle').textContent = card?.id ? `${texts.journal}: ${card.number} ${card.name}` : `${texts.journal}: ${texts.withoutObject}`;
    const target = byId('objectJournal');
    if (card && !card.id) {
      target.replaceChildren();
      return;
    }
    try {
      const entries = await archive.call('journal', card?.id ?? '');
      /** @type {string[]} */
      const lines = await archive.call('entryLines', entries);
      if (mine !== showing) return;  // another card shown since
      target.replaceChildren(...entries.map((/** @type {any} */ entry, /** @type {number} */ index) => {
        const item = document.createElement('li');
        item.textContent = lines[index];
        if (entry.settings) {
          item.append(' ', button(texts.open, async () => {
            dialog.close();
            await exclusive(() => files.open(new File([entry.settings], `${card?.number ?? ''} ${entry.at}.qvx`)));
          }));
        }
        return item;
      }).reverse());
    } catch (error) {
      failed(error);
    }
  }

  // Loads the object's settings as "Открыть" would (asking over edits);
  // from then on the page's commands journal under it.
  /** @param {string} number */
  async function openObject(number) {
    tell('');
    try {
      /** @type {ObjectCard | null} */
      const card = await archive.call('find', number);
      if (!card) return;
      await show(card);
      if (!card.settings) return;
      const name = await archive.call('fileName', card.number, card.name);
      await exclusive(() => files.open(new File([card.settings ?? new Uint8Array()], name)));
      if (files.fileName === name && !files.edited) {
        current = card;
        currentFile = name;
      }
    } catch (error) {
      failed(error);
    }
  }

  // A deleted card back in the list, as it was.
  /** @param {ObjectCard} card */
  async function restore(card) {
    tell('');
    try {
      await archive.call('change', { ...card, deleted: false }, installer());
      changed();
    } catch (error) {
      failed(error, texts.notSaved);
    }
    await list();
  }

  byId('objectDelete').addEventListener('click', async () => {
    if (!shown?.id) return;
    tell('');
    if (!window.confirm(await archive.call('deleteQuestion', shown.number, shown.name))) return;
    try {
      await archive.call('change', { ...shown, deleted: true }, installer());
      changed();
      if (current?.id === shown.id) current = null;
      await show(null);
    } catch (error) {
      failed(error, texts.notSaved);
    }
    await list();
  });

  // The object the page's settings come from: none once another file is open.
  function openObjectNow() {
    if (current && (files.fileName === currentFile || files.fileName === '')) return current;
    current = null;
    return null;
  }

  byId('objectsOpen').addEventListener('click', async () => {
    tell('');
    delete dialog.dataset.listed;
    dialog.showModal();
    if (!installer()) installerField.focus();
    // The open object's card, unless another was shown meanwhile.
    const before = showing;
    await firstUse();
    await list();
    if (showing === before) await show(openObjectNow());
    dialog.dataset.listed = 'true';
  });
  byId('objectsClose').addEventListener('click', () => dialog.close());
  byId('objectSearch').addEventListener('input', list);

  byId('objectNew').addEventListener('click', () => {
    tell('');
    show(/** @type {ObjectCard} */ ({ id: '', number: '', name: '', address: '', settings: null, version: 1 }));
    byId('objectNumber').focus();
  });

  byId('objectCard').addEventListener('submit', async (/** @type {SubmitEvent} */ event) => {
    event.preventDefault();
    if (!shown) return;
    tell('');
    const fields = {
      number: /** @type {HTMLInputElement} */ (byId('objectNumber')).value.trim(),
      name: /** @type {HTMLInputElement} */ (byId('objectName')).value.trim(),
      address: /** @type {HTMLInputElement} */ (byId('objectAddress')).value.trim(),
    };
    try {
      if (shown.id) {
        const card = await archive.call('change', { ...shown, ...fields }, installer());
        if (current?.id === card.id) current = card;
        await show(card);
      } else {
        // A new card holds the page's settings as "Сохранить" would write them.
        const file = await pageFile();
        if (!file) return;
        const card = await archive.call('create', { ...fields, settings: file.bytes }, installer());
        const name = await archive.call('fileName', card.number, card.name);
        current = card;
        currentFile = name;
        files.settingsAre('saved', name);
        await show(card);
      }
      changed();
      await list();
    } catch (error) {
      failed(error, texts.notSaved);
    }
  });

  byId('archiveExport').addEventListener('click', async () => {
    tell('');
    try {
      const bytes = await archive.call('exportArchive');
      await saveBytes(bytes, texts.archiveFileName);
    } catch (error) {
      failed(error);
    }
  });

  const importInput = /** @type {HTMLInputElement} */ (byId('archiveImport'));
  importInput.addEventListener('change', async () => {
    tell('');
    const chosen = [...(importInput.files ?? [])];
    importInput.value = '';
    try {
      const taken = await Promise.all(chosen.map(async (file) => ({ name: file.name, bytes: new Uint8Array(await file.arrayBuffer()) })));
      tell(await archive.call('importFiles', taken, installer()));
      changed();
    } catch (error) {
      failed(error);
    }
    await list();
  });

  // The words, then the button: the archive loads after the page is ready.
  // The former history goes into "Без объекта" at the archive's first use:
  // what it held before this page started, since the page journals the rest.
  const started = Date.now();
  /** @type {Promise<void> | null} */
  let carried = null;
  function carryOver() {
    carried ??= (async () => {
      if (localStorage.getItem(carriedKey)) return;
      const kept = (await historyEntries()).kept.filter((entry) => entry.time < started);
      const history = kept.map((entry) => ({
        time: entry.time, port: entry.port, command: entry.command, outcome: entry.outcome,
        cause: /** @type {any} */ (entry).cause ?? '', outcomeText: quorvex.historyOutcome(/** @type {any} */ (entry)),
        settings: entry.bytes,
      }));
      await archive.call('carryOver', history, installer());
      localStorage.setItem(carriedKey, 'true');
    })();
    carried.catch(() => { carried = null; });  // tried again at the next use
    return carried;
  }

  archive.call('texts').then((words) => {
    texts = words;
    setCaptions(byId, {
      objectsOpen: texts.objects, objectsTitle: texts.objects, objectNew: texts.newObject,
      archiveExport: texts.exportArchive, archiveImportCaption: texts.importArchive, objectsClose: texts.close,
      objectNumberCaption: texts.number, objectNameCaption: texts.name, objectAddressCaption: texts.address,
      objectSave: texts.save, installerCaption: texts.installer, objectDelete: texts.deleteObject,
      deletedObjectsCaption: texts.deletedObjects,
    });
    /** @type {HTMLInputElement} */ (byId('objectSearch')).placeholder = texts.search;
    /** @type {HTMLInputElement} */ (byId('objectSearch')).setAttribute('aria-label', texts.search);
    byId('objectsOpen').hidden = false;
    // The storage is tried at once, so that a refusal shows when the dialog opens.
    archive.call('list', '').catch((error) => { if (error instanceof ArchiveFailure && error.failure === 'Unavailable') showUnavailable(error); });
  }, () => { /* no archive: its button stays hidden */ });

  return {
    archive,
    installer,
    // The archive changed by another hand (a sync): the dialog shows it anew.
    refresh() {
      if (!dialog.open) return;
      list();
      show(shown?.id ? shown : openObjectNow());
    },
    // One command of the page, under the object open or "Без объекта".
    journal(entry) {
      const object = openObjectNow();
      const command = {
        port: entry.port, command: entry.command ?? '', outcome: entry.outcome, cause: entry.cause ?? '',
        outcomeText: quorvex.historyOutcome(entry), settings: entry.settingsLine,
      };
      firstUse().then(() => archive.call('record', object?.id ?? '', command, installer())).then(() => {
        changed();
        if (dialog.open) show(openObjectNow());
      }, (error) => {
        // Said beside the commands too: the dialog may well be closed.
        failed(error, texts.notJournaled);
        const aside = byId('storageNote');
        aside.textContent = error instanceof ArchiveFailure && error.failure === 'Full' ? texts.full
          : texts.notJournaled + String(error?.message ?? error);
        aside.hidden = false;
      });
    },
  };
}
