// "Сравнить": the page's settings against the defaults, another .qvx file or
// the device on the chosen port, as a table of only the settings that
// differ. The comparison and every word of it come from the core.
// `readDevice()` resolves with {port, settingsLine} of the device read, or
// null once the read's failure was shown.
import { setCaptions } from './render.js';

/**
 * @param {object} page
 * @param {Quorvex} page.quorvex
 * @param {ToolTexts} page.tools
 * @param {ById} page.byId
 * @param {() => Promise<{ bytes: Uint8Array, name: string } | null>} page.pageFile
 * @param {() => Promise<{ port: string, settingsLine: Uint8Array } | null>} page.readDevice
 * @param {(run: () => Promise<void>) => Promise<void>} page.exclusive
 * @param {(message: QuorvexMessage) => Promise<unknown>} page.showMessage
 * @param {(file: File) => Promise<Uint8Array | null>} page.readFile a chosen file's bytes, as "Открыть" reads
 *   them; null once its refusal was shown
 */
export function setUpCompare({ quorvex, tools, byId, pageFile, readDevice, exclusive, showMessage, readFile }) {
  const dialog = byId('compareDialog');
  const fileInput = byId('compareFileInput');
  setCaptions(byId, {
    compareButton: tools.compare, compareTitle: tools.compare, compareDefaults: tools.compareDefaults,
    compareFile: tools.compareFile, compareDevice: tools.compareDevice, compareClose: tools.close,
  });

  /** @param {HTMLTableRowElement} row @param {'th' | 'td'} tag @param {string} text */
  function cell(row, tag, text) {
    const element = document.createElement(tag);
    element.textContent = text;
    row.append(element);
  }

  /** @param {Comparison} comparison */
  async function show(comparison) {
    if (comparison.refusal) {
      await showMessage(comparison.refusal);
      return;
    }
    byId('compareSummary').textContent = comparison.summary;
    const table = byId('compareTable');
    table.replaceChildren();
    table.hidden = comparison.rows.length === 0;
    const head = table.createTHead().insertRow();
    for (const text of [tools.tabColumn, tools.captionColumn, comparison.pageSide, comparison.otherSide])
      cell(head, 'th', text);
    const body = table.createTBody();
    for (const difference of comparison.rows) {
      const row = body.insertRow();
      for (const text of [difference.tab, difference.caption, difference.page, difference.other])
        cell(row, 'td', text);
    }
    if (!dialog.open) dialog.showModal();
  }

  // Runs `compare(pageBytes)` on the page's settings unless they are refused.
  /** @param {(page: Uint8Array) => Promise<Comparison>} compare */
  async function compareWith(compare) {
    const page = await pageFile();
    if (page) await show(await compare(page.bytes));
  }

  function open() {
    byId('compareSummary').textContent = '';
    byId('compareTable').hidden = true;
    dialog.showModal();
  }

  byId('compareButton').addEventListener('click', open);
  byId('compareClose').addEventListener('click', () => dialog.close());
  byId('compareDefaults').addEventListener('click',
    () => compareWith(async (page) => quorvex.compareWithDefaults(page)));
  byId('compareFile').addEventListener('click', () => fileInput.click());
  fileInput.addEventListener('change', async () => {
    const file = fileInput.files?.[0];
    fileInput.value = '';
    if (!file) return;
    const bytes = await readFile(file);
    if (bytes) await compareWith(async (page) => quorvex.compareWithFile(page, bytes, file.name));
  });
  // Read only: nothing is written to the device, and the page keeps its
  // settings; a read that fails has shown its own message.
  byId('compareDevice').addEventListener('click', () => exclusive(async () => {
    const page = await pageFile();
    if (!page) return;
    const device = await readDevice();
    if (device) await show(quorvex.compareWithDevice(page.bytes, device.settingsLine, device.port));
  }));

  return { compareWith, show };
}
