// The About window: the logo and the version text, shown beside the page
// (not modal) as the window shows it; a second call brings the same one back.
//   aboutWindow(dialog, texts) fills the dialog and returns the function
//   that shows it.
/** @param {HTMLDialogElement} dialog @param {InstallerTexts} texts */
export function aboutWindow(dialog, texts) {
  // The parts index.html gives the dialog.
  const part = (/** @type {string} */ selector) => /** @type {HTMLElement} */ (dialog.querySelector(selector));
  part('h2').textContent = texts.aboutTitle;
  part('p').textContent = texts.aboutVersion;
  part('button').textContent = texts.close;
  return () => {
    if (!dialog.open) dialog.show();
    part('button').focus();
  };
}
