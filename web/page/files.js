// "Открыть" and "Сохранить" of the page, and the .qvx files the installed app
// is started with; the open file's name in the title, with " *" after edits
// not yet saved. The module reads and writes the settings line; this file
// moves its bytes between the module and the browser's files.

/** @typedef {FileTexts & Pick<Quorvex, 'downloadStarted' | 'notOpened' | 'writeCutShort'>} PageFileTexts */
/** @typedef {(message: QuorvexMessage) => Promise<unknown>} ShowMessage */

export class SettingsFiles {
  // `model` is the module's settings model, `texts` its page texts and
  // `fileTexts` its texts about files (with the module's functions that word
  // downloadStarted(name) and notOpened(first, others)); `showMessage` shows a message box and
  // resolves when it is closed; `refresh()` shows the settings in the controls.
  /**
   * @param {object} page
   * @param {QuorvexModel} page.model
   * @param {PageTexts} page.texts
   * @param {PageFileTexts} page.fileTexts
   * @param {ShowMessage} page.showMessage
   * @param {() => void} page.refresh
   */
  constructor({ model, texts, fileTexts, showMessage, refresh }) {
    this.model = model;
    this.texts = texts;
    this.fileTexts = fileTexts;
    this.showMessage = showMessage;
    this.refresh = refresh;
    this.fileName = '';
    this.source = '';  // where settings with no file came from: the device read
    this.edited = false;
    window.addEventListener('beforeunload', (event) => {
      if (this.edited) event.preventDefault();
    });
  }

  // Starts taking "Открыть", "Сохранить" and launched files, each run by
  // `exclusive(run)` while the other commands wait.
  /**
   * @param {object} controls
   * @param {(run: () => Promise<void>) => Promise<void>} controls.exclusive
   * @param {HTMLInputElement} controls.openDialog
   * @param {HTMLElement} controls.openButton
   * @param {HTMLElement} controls.saveButton
   */
  listen({ exclusive, openDialog, openButton, saveButton }) {
    openButton.addEventListener('click', () => openDialog.click());
    openDialog.addEventListener('change', () => exclusive(async () => {
      const file = openDialog.files?.[0];
      openDialog.value = '';
      if (file) await this.open(file);
    }));
    if (window.launchQueue) {
      window.launchQueue.setConsumer((launch) => {
        if (launch.files?.length) exclusive(() => this.openLaunched(launch.files));
      });
    }
    saveButton.addEventListener('click', () => exclusive(() => this.save()));
  }

  // The settings were edited ('edited') or match file `name` ('saved').
  /** @param {'edited' | 'saved'} state @param {string} [name] */
  settingsAre(state, name = this.fileName) {
    this.edited = state === 'edited';
    this.fileName = name;
    if (name) this.source = '';
    const shown = this.fileName || this.source;
    document.title = `${shown ? `${shown}${this.edited ? ' *' : ''} — ` : ''}Quorvex`;
  }

  // The settings were read from a device, as `source` says in the title
  // until a file is opened or saved; they are unsaved edits meanwhile.
  /** @param {string} source */
  readFrom(source) {
    this.source = source;
    this.settingsAre('edited', '');
  }

  // A chosen file's bytes, or null once the page has said why not, for
  // "Открыть" and for "Сравнить" alike. A file far larger than a settings
  // line is refused unread: reading it whole could exhaust memory. Between
  // the two, `proceed()` may still decline, and nothing is said.
  /** @param {File} file @param {() => boolean} [proceed] @returns {Promise<Uint8Array<ArrayBuffer> | null>} */
  async readChosen(file, proceed = () => true) {
    if (file.size > this.fileTexts.maxFileBytes) {
      await this.showMessage(this.fileTexts.tooLarge);
      return null;
    }
    if (!proceed()) return null;
    try {
      return new Uint8Array(await file.arrayBuffer());
    } catch {
      // Gone, changed or locked since it was chosen.
      await this.showMessage(this.fileTexts.unreadable);
      return null;
    }
  }

  // "Открыть" with a chosen or a double-clicked file; with `source`, the
  // file's bytes were kept elsewhere (a history entry): the title then says
  // `source`, and the settings count as unsaved edits, as after a read.
  /** @param {File} file @param {string} [source] */
  async open(file, source = '') {
    const bytes = await this.readChosen(file, () => !this.edited || window.confirm(this.texts.unsavedEdits));
    if (!bytes) return;
    const refusal = this.model.open(bytes);
    this.refresh();
    if (refusal) await this.showMessage(refusal);
    else if (source) this.readFrom(source);
    else this.settingsAre('saved', file.name);
  }

  // The files the installed app was started with (file handles). The
  // manifest asks for a window per file; a browser that still hands over
  // several gets the first opened and the others named as not opened.
  /** @param {readonly FileSystemFileHandle[]} handles */
  async openLaunched(handles) {
    const [first, ...others] = handles;
    let file;
    try {
      file = await first.getFile();
    } catch {
      await this.showMessage(this.fileTexts.unreadable);
    }
    if (file) await this.open(file);
    if (others.length === 0) return;
    await this.showMessage(this.fileTexts.notOpened(first.name, others.map((handle) => handle.name)));
  }

  // "Сохранить". The file is known to be written only through the save
  // picker; a download may still be blocked or fail, so the edits stay
  // marked as unsaved and the page says only that the download started.
  async save() {
    const saved = this.model.save();
    if (!saved.bytes) {
      for (const message of saved.messages) await this.showMessage(message);
      return;
    }
    let written;
    try {
      written = await this.write(saved.bytes);
    } catch {
      await this.showMessage(this.texts.saveFailed);
      return;
    }
    if (written.downloading) {
      await this.showMessage(this.fileTexts.downloadStarted(written.downloading));
    } else if (written.name) {
      this.settingsAre('saved', written.name);
      for (const message of saved.messages) await this.showMessage(message);
    }
  }

  // Writes the file's bytes where the user chooses, offered as `suggested`: { name } once written,
  // { downloading: name } when handed to the browser as a download, {} when
  // the user cancelled. Rejects when the bytes could not be written; a
  // replaced file then keeps its earlier content.
  /**
   * @param {Uint8Array<ArrayBuffer>} bytes
   * @param {string} [suggested]
   * @returns {Promise<{ name?: string, downloading?: string }>}
   */
  async write(bytes, suggested = this.fileName || 'settings.qvx') {
    if (window.showSaveFilePicker) {
      let handle;
      try {
        handle = await window.showSaveFilePicker({
          suggestedName: suggested,
          types: [{ description: '*.qvx', accept: { 'application/octet-stream': ['.qvx'] } }],
        });
      } catch (error) {
        if (/** @type {Error} */ (error).name === 'AbortError') return {};
        throw error;
      }
      const writable = await handle.createWritable();
      try {
        await writable.write(bytes);
        await writable.close();
      } catch (error) {
        // The file is replaced only on close: dropping the rest keeps the old one.
        await writable.abort().catch(() => { /* the write's own failure is the one to tell */ });
        throw error;
      }
      return { name: handle.name };
    }
    const link = document.createElement('a');
    link.href = URL.createObjectURL(new Blob([bytes], { type: 'application/octet-stream' }));
    link.download = suggested;
    link.click();
    setTimeout(() => URL.revokeObjectURL(link.href), 0);
    return { downloading: link.download };
  }
}
