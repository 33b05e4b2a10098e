// "Открыть" and "Сохранить" of the page, and the .qvx files the installed app
// is started with; the open file's name in the title, with " *" after edits
// not yet saved. The module reads and writes the settings line; this file
// moves its bytes between the module and the browser's files.

export class SettingsFiles {
  // `model` is the module's settings model, `texts` its page texts;
  // `showMessage` shows a message box and resolves when it is closed;
  // `refresh()` shows the model's settings in the controls.
  constructor({ model, texts, showMessage, refresh }) {
    Object.assign(this, { model, texts, showMessage, refresh });
    this.fileName = '';
    this.edited = false;
    window.addEventListener('beforeunload', (event) => {
      if (this.edited) event.preventDefault();
    });
  }

  // Starts taking "Открыть", "Сохранить" and launched files, each run by
  // `exclusive(run)` while the other commands wait.
  listen({ exclusive, openDialog, openButton, saveButton }) {
    openButton.addEventListener('click', () => openDialog.click());
    openDialog.addEventListener('change', () => exclusive(async () => {
      const file = openDialog.files[0];
      openDialog.value = '';
      if (file) await this.open(file);
    }));
    if ('launchQueue' in window) {
      window.launchQueue.setConsumer((launch) => {
        if (launch.files?.length) exclusive(async () => this.open(await launch.files[0].getFile()));
      });
    }
    saveButton.addEventListener('click', () => exclusive(() => this.save()));
  }

  // The settings were edited ('edited') or match file `name` ('saved').
  settingsAre(state, name = this.fileName) {
    this.edited = state === 'edited';
    this.fileName = name;
    document.title = `${this.fileName ? `${this.fileName}${this.edited ? ' *' : ''} — ` : ''}Quorvex`;
  }

  // "Открыть" with a chosen or a double-clicked file.
  async open(file) {
    if (this.edited && !window.confirm(this.texts.unsavedEdits)) return;
    const refusal = this.model.open(new Uint8Array(await file.arrayBuffer()));
    this.refresh();
    if (refusal) await this.showMessage(refusal);
    else this.settingsAre('saved', file.name);
  }

  async save() {
    const saved = this.model.save();
    if (saved.bytes) {
      try {
        const name = await this.write(saved.bytes);
        if (!name) return;
        this.settingsAre('saved', name);
      } catch {
        await this.showMessage(this.texts.saveFailed);
        return;
      }
    }
    for (const message of saved.messages) await this.showMessage(message);
  }

  // Writes the file's bytes where the user chooses; the name written, or ''
  // when the user cancelled.
  async write(bytes) {
    if (window.showSaveFilePicker) {
      let handle;
      try {
        handle = await window.showSaveFilePicker({
          types: [{ description: '*.qvx', accept: { 'application/octet-stream': ['.qvx'] } }],
        });
      } catch (error) {
        if (error.name === 'AbortError') return '';
        throw error;
      }
      const writable = await handle.createWritable();
      await writable.write(bytes);
      await writable.close();
      return handle.name;
    }
    const link = document.createElement('a');
    link.href = URL.createObjectURL(new Blob([bytes], { type: 'application/octet-stream' }));
    link.download = this.fileName || 'settings.qvx';
    link.click();
    setTimeout(() => URL.revokeObjectURL(link.href), 0);
    return link.download;
  }
}
