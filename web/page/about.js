// The About window: the logo and the version text in a modal dialog, as the
// window's own About box is; Escape or "Закрыть" closes it, and the focus
// goes back to where it was.
//   aboutWindow(dialog, texts) fills the dialog and returns the function
//   that shows it.
/** @param {HTMLDialogElement} dialog @param {InstallerTexts} texts */
export function aboutWindow(dialog, texts) {
  // The parts index.html gives the dialog.
  const part = (/** @type {string} */ selector) => /** @type {HTMLElement} */ (dialog.querySelector(selector));
  part('h2').textContent = texts.aboutTitle;
  part('p').textContent = texts.aboutVersion;
  part('button').textContent = texts.close;
  /** @type {HTMLElement | null} */
  let returnTo = null;
  dialog.addEventListener('close', () => {
    if (returnTo?.isConnected) returnTo.focus();
    returnTo = null;
  });
  return () => {
    if (dialog.open) return;
    returnTo = /** @type {HTMLElement | null} */ (document.activeElement);
    dialog.showModal();
    part('button').focus();
  };
}
