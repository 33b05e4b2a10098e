// "Лист настроек": the core's sheet of the page's settings in a print view.
// The sheet carries its own A4 print rules, so the browser's print dialog
// gives paper or a PDF of exactly that page.
import { setCaptions } from './render.js';

/**
 * @param {object} page
 * @param {Quorvex} page.quorvex
 * @param {ToolTexts} page.tools
 * @param {ById} page.byId
 * @param {() => Promise<{ bytes: Uint8Array, name: string, edited: boolean } | null>} page.pageFile
 * @param {() => SheetAbout} page.about the object open and the installer, for the sheet's lines
 * @returns {() => boolean} prints the sheet as "Печать" does while it is
 *   open, and says whether it was
 */
export function setUpSheet({ quorvex, tools, byId, pageFile, about }) {
  const dialog = byId('sheetDialog');
  const frame = byId('sheetFrame');
  const mask = byId('sheetMask');
  setCaptions(byId, {
    sheetButton: tools.sheet, sheetMaskLabel: tools.maskPassword, sheetPrint: tools.print, sheetClose: tools.close,
  });

  /** @type {{ bytes: Uint8Array, name: string, edited: boolean, about: SheetAbout } | null} */
  let shown = null;
  const render = () => {
    if (!shown) return;
    frame.srcdoc = quorvex.settingsSheet(shown.bytes, shown.name, mask.checked, shown.edited, shown.about);
  };
  byId('sheetButton').addEventListener('click', async () => {
    const file = await pageFile();
    shown = file && { ...file, about: about() };
    if (!shown) return;
    render();
    dialog.showModal();
  });
  mask.addEventListener('change', render);
  const print = () => frame.contentWindow?.print();
  byId('sheetPrint').addEventListener('click', print);
  byId('sheetClose').addEventListener('click', () => dialog.close());
  return () => {
    if (!dialog.open) return false;
    print();
    return true;
  };
}
