// The page as an installed app: it starts and writes with no network after
// one visit, its manifest names what the browser installs, and a .qvx file
// the app is started with opens as through "Открыть".
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { defaultLine, expectMessage, openPage, pageReady, tab, useBrowser, address } from './browser.mjs';

useBrowser();

test('after one visit the page starts and writes to the simulator with the network cut', async () => {
  const page = await openPage();
  await page.waitForFunction(() => navigator.serviceWorker.controller !== null);
  const context = page.context();
  await context.setOffline(true);
  await context.route('**/*', (route) => route.abort());
  const ready = pageReady(page);
  await page.reload();
  await ready;
  assert.deepEqual(page.errors, []);
  await tab(page, 'Список аб.');
  await page.fill('#Edit30', '8081');
  await page.getByRole('button', { name: 'Записать', exact: true }).click();
  await expectMessage(page, 'Данные успешно отправлены', 'Данные успешно отправлены');
  await page.fill('#Edit30', '1');
  page.on('dialog', (question) => question.accept());  // read over the edit
  await page.getByRole('button', { name: 'Прочитать' }).click();
  await expectMessage(page, 'Данные успешно получены', 'Данные успешно получены');
  assert.equal(await page.inputValue('#Edit30'), '8081');
});

test('the manifest installs "Quorvex" standalone with its icons and opens .qvx files', async () => {
  const page = await openPage();
  const manifest = await page.evaluate(async () => (await fetch('manifest.webmanifest')).json());
  assert.equal(manifest.name, 'Quorvex');
  assert.equal(manifest.display, 'standalone');
  assert.deepEqual(manifest.file_handlers.flatMap((handler) => Object.values(handler.accept).flat()), ['.qvx']);
  for (const icon of manifest.icons) {
    const response = await page.request.get(new URL(icon.src, address).href);
    assert.equal(response.ok(), true, icon.src);
    assert.equal(response.headers()['content-type'], icon.type);
  }
});

test('a .qvx file the app is started with opens as through "Открыть", and a bad one is refused', async () => {
  const page = await openPage((p) => p.addInitScript(() => {
    Object.defineProperty(window, 'launchQueue', {
      value: { setConsumer(consumer) { window.launchConsumer = consumer; } },
    });
  }));
  const launch = (text) => page.evaluate((line) => {
    const bytes = Uint8Array.from(line, (c) => c.charCodeAt(0));
    window.launchConsumer({ files: [{ getFile: async () => new File([bytes], 'dom.qvx') }] });
  }, text);
  await launch(defaultLine.replace('+380501234567:', '+79991234567:'));
  await tab(page, 'Список аб.');
  await page.waitForFunction(() => document.querySelector('#Edit16').value === '+79991234567');
  await launch(':#' + defaultLine);
  await expectMessage(page, 'Ошибка', 'Некорректный файл');
  assert.equal(await page.inputValue('#Edit16'), '+79991234567');
});
