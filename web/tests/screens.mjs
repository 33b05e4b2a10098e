// Screenshots of every tab of the page at the windows installers have (see
// viewports.mjs), in light and in dark colours.
//   QUORVEX_PAGE=build-web/page node web/tests/screens.mjs [FOLDER]
// FOLDER defaults to docs/screens/web; files are SIZE-SCHEME-tab-NN.png.
import { mkdirSync } from 'node:fs';
import { join, resolve } from 'node:path';
import { chromium } from 'playwright-core';
import { serve } from '../serve.mjs';
import { browserArgs } from './browser.mjs';
import { viewports } from './viewports.mjs';

const folder = resolve(process.argv[2] ?? 'docs/screens/web');
mkdirSync(folder, { recursive: true });
const server = await serve(resolve(process.env.QUORVEX_PAGE), 0);
const browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: browserArgs });
try {
  for (const size of viewports) {
    for (const colorScheme of ['light', 'dark']) {
      const context = await browser.newContext({
        viewport: { width: size.width, height: size.height }, colorScheme, serviceWorkers: 'block',
      });
      const page = await context.newPage();
      await page.goto(`http://localhost:${server.address().port}/`);
      await page.waitForSelector('body[data-ready=true]');
      const tabs = page.getByRole('tab');
      for (let i = 0; i < await tabs.count(); i += 1) {
        await tabs.nth(i).click();
        await page.mouse.move(0, 0);
        const file = join(folder, `${size.name}-${colorScheme}-tab-${String(i + 1).padStart(2, '0')}.png`);
        await page.screenshot({ path: file });
      }
      await context.close();
    }
  }
} finally {
  await browser.close();
  server.close();
}
