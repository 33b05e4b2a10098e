// The window's keys: Ctrl+O "Открыть", Ctrl+S "Сохранить", F1 the About
// window. They never reach the browser, whose own Ctrl+S would save the page
// itself, even while a command runs and the buttons wait. Ctrl+P prints the
// settings sheet as its "Печать" does while the sheet is open, and is the
// browser's own otherwise.
//   installKeys({ open, save, about, printSheet }) binds them for the whole
//   page; printSheet() prints the open sheet and says whether one was open.
/** @param {{ open(): void, save(): void, about(): void, printSheet(): boolean }} actions */
export function installKeys(actions) {
  window.addEventListener('keydown', (event) => {
    const plain = !event.altKey && !event.shiftKey;
    const control = (event.ctrlKey || event.metaKey) && plain;
    // By the key's place, so that a Russian layout's "щ" and "ы" work too.
    const action = control && event.code === 'KeyO' ? actions.open
      : control && event.code === 'KeyS' ? actions.save
        : event.key === 'F1' && !event.ctrlKey && plain ? actions.about : null;
    const printed = !action && control && event.code === 'KeyP' && actions.printSheet();
    if (!action && !printed) return;
    event.preventDefault();
    event.stopPropagation();
    action?.();
  }, { capture: true });
}
