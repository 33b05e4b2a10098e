// The About window: the logo and the version text, shown beside the page
// (not modal) as the window shows it; a second call brings the same one back.
//   aboutWindow(dialog, texts) fills the dialog and returns the function
//   that shows it.
export function aboutWindow(dialog, texts) {
  dialog.querySelector('h2').textContent = texts.aboutTitle;
  dialog.querySelector('p').textContent = texts.aboutVersion;
  dialog.querySelector('button').textContent = texts.close;
  return () => {
    if (!dialog.open) dialog.show();
    dialog.querySelector('button').focus();
  };
}
