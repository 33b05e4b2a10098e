// Screenshots of every tab of the page at the sizes an installer's laptop
// has: 1366 x 768 at 100 % and 150 % zoom, and a window 800 px wide.
//   QUORVEX_PAGE=build-web/page node web/tests/screens.mjs [FOLDER]
// FOLDER defaults to docs/screens/web; files are SIZE-tab-NN.png.
import { mkdirSync } from 'node:fs';
import { join, resolve } from 'node:path';
import { chromium } from 'playwright-core';
import { serve } from '../serve.mjs';
import { browserArgs } from './browser.mjs';

export const sizes = [
  { name: '1366x768', width: 1366, height: 768, scale: 1 },
  { name: '1366x768-150', width: 1366 / 1.5, height: 768 / 1.5, scale: 1.5 },
  { name: '800x600', width: 800, height: 600, scale: 1 },
];

const folder = resolve(process.argv[2] ?? 'docs/screens/web');
mkdirSync(folder, { recursive: true });
const server = await serve(resolve(process.env.QUORVEX_PAGE), 0);
const browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: browserArgs });
try {
  for (const size of sizes) {
    const context = await browser.newContext({
      viewport: { width: Math.round(size.width), height: Math.round(size.height) },
      deviceScaleFactor: size.scale,
      colorScheme: process.env.QUORVEX_DARK ? 'dark' : 'light',
    });
    const page = await context.newPage();
    await page.goto(`http://localhost:${server.address().port}/`);
    await page.waitForSelector('body[data-ready=true]');
    const tabs = page.getByRole('tab');
    for (let i = 0; i < await tabs.count(); i += 1) {
      await tabs.nth(i).click();
      await page.mouse.move(0, 0);
      const file = join(folder, `${size.name}-tab-${String(i + 1).padStart(2, '0')}.png`);
      await page.screenshot({ path: file, fullPage: true });
    }
    await context.close();
  }
} finally {
  await browser.close();
  server.close();
}
