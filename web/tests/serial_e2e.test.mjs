// The page through the browser's real serial stack: Chromium, allowed by
// policy to use every port for the page's origin, writes a random settings
// file to quorvex-sim and reads it back. The frame the simulator received is
// the native `quorvex-cli frame` byte for byte, and `quorvex-cli read` on the
// same simulator agrees.
//
// Run by node --test as it is, it starts itself again inside a private mount
// namespace through serial_e2e.sh (which needs root and unshare), or says why
// it cannot and is skipped.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync, spawnSync } from 'node:child_process';
import { existsSync, mkdtempSync, readFileSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import { createRequire } from 'node:module';
import { chromium } from 'playwright-core';
import { serve } from '../serve.mjs';
import { browserArgs, defaultLine } from './browser.mjs';

const require = createRequire(import.meta.url);
const { randomLine } = require('./random_settings.cjs');
const here = fileURLToPath(new URL('.', import.meta.url));

// Why the test cannot run on this machine; empty when it can.
function whyNot() {
  if (process.getuid?.() !== 0) return 'needs root, to bind the simulator\'s terminal onto /dev/ttyS0';
  if (spawnSync('unshare', ['-m', '--propagation', 'private', 'true']).status !== 0) {
    return 'unshare -m is missing or not permitted here';
  }
  if (!existsSync('/dev/ttyS0')) return 'no /dev/ttyS0 to bind the simulator\'s terminal onto';
  if (!existsSync('/etc/chromium')) return 'no /etc/chromium to bind a policy folder into';
  for (const name of ['QUORVEX_SIM', 'QUORVEX_CLI', 'QUORVEX_PAGE']) {
    if (!process.env[name]) return `${name} is not set`;
  }
  return '';
}

// The bytes the simulator logged as received, from its one-line-per-byte log.
function receivedBytes(log) {
  return Buffer.from([...log.matchAll(/^\s*[\d.]+ in\s+0x([0-9a-f]{2})/gm)].map((m) => parseInt(m[1], 16)));
}

if (!process.env.QUORVEX_E2E_PTY) {
  const reason = whyNot();
  test('the page writes and reads quorvex-sim through Web Serial', { skip: reason || false }, () => {
    // The inner run reports on its own, not to this runner.
    const { NODE_TEST_CONTEXT, ...env } = process.env;
    const run = spawnSync('unshare', ['-m', '--propagation', 'private', 'sh', join(here, 'serial_e2e.sh')],
      { encoding: 'utf8', timeout: 300_000, env });
    assert.equal(run.status, 0, `${run.stdout}\n${run.stderr}`);
    assert.match(run.stdout, /^# pass 1$/m, run.stdout);
  });
} else {
  test('a random file goes through Web Serial byte for byte and reads back', async () => {
    const scratch = mkdtempSync(join(tmpdir(), 'quorvex-e2e-'));
    const server = await serve(resolve(process.env.QUORVEX_PAGE), 0);
    const origin = `http://localhost:${server.address().port}`;
    writeFileSync(join(process.env.QUORVEX_E2E_POLICY, 'quorvex-test.json'),
      JSON.stringify({ SerialAllowAllPortsForUrls: [origin] }));
    const browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: browserArgs });
    try {
      const quorvex = await require(resolve(process.env.QUORVEX_PAGE, 'quorvex.js'))({
        wasmBinary: readFileSync(resolve(process.env.QUORVEX_PAGE, 'quorvex.wasm')),
      });
      let seed = Date.now() % 2147483648;
      const random = () => ((seed = (seed * 1103515245 + 12345) % 2147483648) / 2147483648);
      const line = randomLine(quorvex.catalogue(), random);
      const file = join(scratch, 'random.qvx');
      writeFileSync(file, line, 'latin1');

      const context = await browser.newContext({ acceptDownloads: true });
      const page = await context.newPage();
      await page.addInitScript(() => { delete window.showSaveFilePicker; });
      await page.goto(`${origin}/`);
      await page.waitForSelector('body[data-ready=true]');
      const entries = await page.$$eval('#ComboBox1 option', (options) => options.map((o) => o.textContent));
      assert.equal(entries.length, 2, `one granted port: ${entries}`);
      assert.equal(await page.$eval('#ComboBox1', (select) => select.selectedIndex), 1, 'the port, not the simulator');
      await page.setInputFiles('#OpenDialog1', file);

      const message = async (title) => {
        const dialog = page.locator('dialog[open]');
        await dialog.waitFor({ timeout: 20_000 });
        assert.equal(await dialog.locator('h2').textContent(), title, await dialog.locator('p').textContent());
        await dialog.getByRole('button', { name: 'OK' }).click();
        await page.waitForFunction(() => !document.querySelector('dialog[open]'));
      };
      await page.getByRole('button', { name: 'Записать', exact: true }).click();
      await message('Данные успешно отправлены');
      const frame = execFileSync(process.env.QUORVEX_CLI, ['frame', file]);
      const received = receivedBytes(readFileSync(process.env.QUORVEX_E2E_LOG, 'latin1'));
      assert.equal(received.toString('latin1'), frame.subarray(0, frame.length - 1).toString('latin1'));

      // Back from the device into the defaults (from other settings the
      // sliders' coupling may move a threshold), then saved: the file again.
      await page.setInputFiles('#OpenDialog1', { name: 'd.qvx', mimeType: 'application/octet-stream',
        buffer: Buffer.from(defaultLine, 'latin1') });
      await page.getByRole('button', { name: 'Прочитать' }).click();
      await message('Данные успешно получены');
      const download = page.waitForEvent('download');
      await page.getByRole('button', { name: 'Сохранить' }).click();
      const saved = join(scratch, 'saved.qvx');
      await (await download).saveAs(saved);
      await message('Сохранение');
      assert.equal(readFileSync(saved, 'latin1'), line);
      await context.close();  // lets go of the port

      const read = join(scratch, 'read.qvx');
      execFileSync(process.env.QUORVEX_CLI, ['read', '--port', process.env.QUORVEX_E2E_PTY, '-o', read]);
      assert.equal(readFileSync(read, 'latin1'), line);
    } finally {
      await browser.close();
      server.close();
    }
  });
}
