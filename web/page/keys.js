// The window's keys: Ctrl+O "Открыть", Ctrl+S "Сохранить", F1 the About
// window. They never reach the browser, whose own Ctrl+S would save the page
// itself, even while a command runs and the buttons wait.
//   installKeys({ open, save, about }) binds them for the whole page.
/** @param {{ open(): void, save(): void, about(): void }} actions */
export function installKeys(actions) {
  window.addEventListener('keydown', (event) => {
    const plain = !event.altKey && !event.shiftKey;
    const control = (event.ctrlKey || event.metaKey) && plain;
    // By the key's place, so that a Russian layout's "щ" and "ы" work too.
    const action = control && event.code === 'KeyO' ? actions.open
      : control && event.code === 'KeyS' ? actions.save
        : event.key === 'F1' && !event.ctrlKey && plain ? actions.about : null;
    if (!action) return;
    event.preventDefault();
    event.stopPropagation();
    action();
  }, { capture: true });
}
