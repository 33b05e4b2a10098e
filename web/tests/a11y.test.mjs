// axe-core on every tab of the page, in light and dark colours, with the
// message box and the About window open: no violation of WCAG 2.1 A or AA.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { axeSource, openPage, tab, useBrowser, wcagViolations as violations } from './browser.mjs';

useBrowser();

for (const colorScheme of ['light', 'dark']) {
  test(`every tab passes WCAG 2.1 A and AA (${colorScheme})`, async () => {
    const page = await openPage((p) => p.addInitScript({ path: axeSource }), { colorScheme });
    const captions = await page.$$eval('[role=tab]', (tabs) => tabs.map((t) => t.textContent));
    for (const caption of captions) {
      await tab(page, caption);
      assert.deepEqual(await violations(page), [], caption);
    }
    await page.keyboard.press('F1');
    assert.deepEqual(await violations(page), [], 'About window');
    await page.keyboard.press('Escape');
    await page.waitForFunction(() => !document.querySelector('#about').open);
    await page.getByRole('button', { name: 'Записать', exact: true }).click();
    await page.locator('dialog[open]#message').waitFor();
    assert.deepEqual(await violations(page), [], 'message box');
  });
}
