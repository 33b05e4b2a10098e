// The page's saving, opening and closing where they can go wrong: a save
// that is not known to be written, files too large or unreadable, several
// files launched at once, and a page closed while a frame is sent.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import {
  address, defaultLine, downloadStarted, editedPage, expectMessage, openPage, pageReady, tab, useBrowser,
} from './browser.mjs';
import { ch340, pageWithPorts } from './fake_ports.mjs';

useBrowser();

// Whether the command buttons come back: a command gives them back a turn
// after its message closes.
const commandsEnabled = (page) => page.waitForFunction(() => [...document.querySelectorAll('aside button')]
  .every((b) => !b.disabled), null, { timeout: 10_000 }).then(() => true, () => false);

// A save picker that does what window.pickerRow says: `cancel`, or fail
// the write or the close, else keep the bytes in pickerRow.written.
function installPicker() {
  window.showSaveFilePicker = async () => {
    const row = window.pickerRow;
    if (row.cancel) throw new DOMException('The user aborted a request.', 'AbortError');
    const parts = [];
    return {
      name: row.name,
      async createWritable() {
        return {
          async write(bytes) {
            if (row.fail === 'write') throw new DOMException('Not allowed.', 'NoModificationAllowedError');
            parts.push(...bytes);
          },
          async close() {
            if (row.fail === 'close') throw new DOMException('The disk is full.', 'QuotaExceededError');
            row.written = String.fromCharCode(...parts);
          },
          async abort() { row.aborted = true; },
        };
      },
    };
  };
}

// Whether closing the page asks first; the page is closed either way.
async function leavingAsks(page) {
  let asked = false;
  page.on('dialog', (question) => { asked = question.type() === 'beforeunload'; question.accept(); });
  const closed = page.waitForEvent('close');
  await page.close({ runBeforeUnload: true });
  await closed;
  return asked;
}

const edited = defaultLine.replace(':111111:111111:', ':311111:111111:');

test('"Сохранить" says the file is saved and drops the mark only once it is known to be written', async () => {
  const rows = [
    { name: 'the picker writes it', picker: { name: 'дача.qvx' },
      message: ['Сохранение', 'Файл успешно сохранен'], title: 'дача.qvx — Quorvex', written: edited },
    { name: 'the picker cannot write', picker: { name: 'дача.qvx', fail: 'write' },
      message: ['Ошибка', 'Ошибка сохранения файла'], title: 'дом.qvx * — Quorvex', aborted: true },
    { name: 'the disk is full on close', picker: { name: 'дача.qvx', fail: 'close' },
      message: ['Ошибка', 'Ошибка сохранения файла'], title: 'дом.qvx * — Quorvex', aborted: true },
    { name: 'the picker is cancelled', picker: { cancel: true }, title: 'дом.qvx * — Quorvex' },
    { name: 'a download, which may yet be blocked', download: true,
      message: ['Сохранение', downloadStarted('дом.qvx')], title: 'дом.qvx * — Quorvex' },
    { name: 'the browser refuses the download',
      prepare: () => { URL.createObjectURL = () => { throw new DOMException('Blocked.', 'SecurityError'); }; },
      message: ['Ошибка', 'Ошибка сохранения файла'], title: 'дом.qvx * — Quorvex' },
  ];
  for (const row of rows) {
    const page = await editedPage(async (p) => {
      if (row.picker) await p.addInitScript(installPicker);
      if (row.prepare) await p.addInitScript(row.prepare);
    });
    if (row.picker) await page.evaluate((picker) => { window.pickerRow = picker; }, row.picker);
    const download = row.download ? page.waitForEvent('download') : null;
    await page.getByRole('button', { name: 'Сохранить' }).click();
    if (download) assert.equal((await download).suggestedFilename(), 'дом.qvx', row.name);
    if (row.message) await expectMessage(page, ...row.message);
    await page.waitForFunction(() => !document.querySelector('#N3').disabled);
    assert.equal(await page.title(), row.title, row.name);
    const picked = await page.evaluate(() => window.pickerRow ?? {});
    assert.equal(picked.written, row.written, row.name);
    assert.equal(picked.aborted, row.aborted, row.name);
    assert.deepEqual(page.errors, [], row.name);
    assert.equal(await leavingAsks(page), row.title.includes(' *'), row.name);
  }
});

test('a file far larger than a settings line is refused unread, and a file that cannot be read says so', async () => {
  const scratch = mkdtempSync(join(tmpdir(), 'quorvex-huge-'));
  try {
    const page = await editedPage();
    // Sparse files: their size without their bytes.
    for (const size of ['1100M', '2200M', '65537']) {
      const file = join(scratch, `huge-${size}.qvx`);
      execFileSync('truncate', ['-s', size, file]);
      await page.setInputFiles('#OpenDialog1', file);
      await expectMessage(page, 'Ошибка', 'Некорректный файл');
    }
    assert.equal(await page.title(), 'дом.qvx * — Quorvex');
    assert.deepEqual(page.errors, []);
    assert.equal(await commandsEnabled(page), true);
  } finally {
    rmSync(scratch, { recursive: true, force: true });
  }

  // Read errors, through files handed to the installed app.
  const page = await openPage(launchQueueStandIn);
  const rows = [
    { name: 'the file is gone', file: 'gone' },
    { name: 'its bytes cannot be read', file: 'unreadable' },
  ];
  for (const row of rows) {
    await page.evaluate((kind) => {
      const handle = kind === 'gone'
        ? { name: 'a.qvx', getFile: async () => { throw new DOMException('Gone.', 'NotFoundError'); } }
        : { name: 'a.qvx', getFile: async () => Object.assign(new File(['x'], 'a.qvx'), {
          arrayBuffer: async () => { throw new DOMException('Changed.', 'NotReadableError'); },
        }) };
      window.launchConsumer({ files: [handle] });
    }, row.file);
    await expectMessage(page, 'Ошибка', 'Ошибка открытия файла');
  }
  assert.deepEqual(page.errors, []);
});

function launchQueueStandIn(page) {
  return page.addInitScript(() => {
    Object.defineProperty(window, 'launchQueue', {
      value: { setConsumer(consumer) { window.launchConsumer = consumer; } },
    });
  });
}

test('several launched files: each gets a window, and a browser that hands over several opens the first and names the others', async () => {
  const page = await openPage(launchQueueStandIn);
  const manifest = await page.evaluate(async () => (await fetch('manifest.webmanifest')).json());
  assert.deepEqual(manifest.file_handlers.map((handler) => handler.launch_type), ['multiple-clients']);

  await page.evaluate((line) => {
    const bytes = Uint8Array.from(line, (c) => c.charCodeAt(0));
    const handle = (name) => ({ name, getFile: async () => new File([bytes], name) });
    window.launchConsumer({ files: ['дом.qvx', 'дача.qvx', 'офис.qvx'].map(handle) });
  }, defaultLine.replace('+380501234567:', '+79991234567:'));
  await expectMessage(page, 'Quorvex', 'За один раз открывается один файл: дом.qvx. Не открыты: дача.qvx, офис.qvx');
  assert.equal(await page.title(), 'дом.qvx — Quorvex');
  await tab(page, 'Список аб.');
  assert.equal(await page.inputValue('#Edit16'), '+79991234567');
});

test('a file launched while a frame is sent opens after the write, not in the middle of it', async () => {
  const page = await openPage(launchQueueStandIn);
  await page.getByRole('button', { name: 'Записать', exact: true }).click();
  // The launched file is asked for its bytes only when the page opens it.
  await page.evaluate((line) => {
    const bytes = Uint8Array.from(line, (c) => c.charCodeAt(0));
    window.launchConsumer({ files: [{ name: 'дом.qvx',
      getFile: async () => { window.launchedFileRead = true; return new File([bytes], 'дом.qvx'); } }] });
  }, defaultLine);
  // The write's message comes once its frame is out and answered, long after
  // an open taken at once would have read the file.
  await page.locator('dialog[open]').waitFor();
  assert.equal(await page.evaluate(() => window.launchedFileRead ?? false), false);
  assert.equal(await page.title(), 'Quorvex');
  assert.equal(await page.getByRole('button', { name: 'Записать', exact: true }).isDisabled(), true);
  await expectMessage(page, 'Данные успешно отправлены', 'Данные успешно отправлены');
  await page.waitForFunction(() => document.title === 'дом.qvx — Quorvex');
  assert.equal(await page.getByRole('button', { name: 'Записать', exact: true }).isEnabled(), true);
});

// A page of the same browser profile (same storage) as `page`.
async function sameProfilePage(page) {
  const next = await page.context().newPage();
  await next.goto(address);
  return next;
}

test('leaving mid-frame or mid-read asks; a write cut short is told once at the next start', async () => {
  // A frame that takes minutes: the window is closed in the middle of it.
  const page = await pageWithPorts([ch340], {}, { slowWritesMs: 500 });
  await page.selectOption('#ComboBox1', { index: 1 });
  await page.getByRole('button', { name: 'Записать', exact: true }).click();
  await page.waitForFunction(() => window.fakeSerial.granted[0].writes.length >= 3);

  // Another window meanwhile: the write is still live, nothing to tell.
  const other = await pageReady(await sameProfilePage(page));
  assert.equal(await other.locator('dialog[open]').count(), 0);
  assert.equal(await leavingAsks(other), false);

  assert.equal(await leavingAsks(page), true);
  const next = await sameProfilePage(page);
  await expectMessage(next, 'Quorvex', 'Последняя запись в устройство прервана: страница была закрыта до '
    + 'конца кадра (порт: CH340 (1A86:7523)). Устройство могло принять настройки не полностью, '
    + 'запишите их ещё раз.');
  await pageReady(next);

  // A read under way asks too, but leaves nothing to tell.
  await next.getByRole('button', { name: 'Прочитать' }).click();
  await next.waitForSelector('#readCountdown:not([hidden])');
  assert.equal(await leavingAsks(next), true);
  const last = await pageReady(await sameProfilePage(page));
  assert.equal(await last.locator('dialog[open]').count(), 0);

  // A frame sent whole leaves no marker, even while its message is still
  // shown (the port used last and the installer's name are kept on purpose).
  await last.getByRole('button', { name: 'Записать', exact: true }).click();
  await last.locator('dialog[open]').waitFor();
  const stored = await last.evaluate(() => Object.keys(localStorage));
  assert.deepEqual(stored.filter((name) => name.startsWith('quorvex-write')), []);
  // Once it ended (the commands are back a turn after the message), with no
  // edits, leaving asks nothing.
  await expectMessage(last, 'Данные успешно отправлены', 'Данные успешно отправлены');
  await last.waitForSelector('#BitBtn2:not([disabled])');
  assert.equal(await leavingAsks(last), false);
});

test('write markers not of the page\'s shape are still told, without a port, and the page starts', async () => {
  const page = await openPage();
  await page.evaluate(() => {
    localStorage.setItem('quorvex-write-number', JSON.stringify({ port: 5 }));
    localStorage.setItem('quorvex-write-null', 'null');
    localStorage.setItem('quorvex-write-cut', '{"port":');
    localStorage.setItem('quorvex-write-good', JSON.stringify({ port: 'COM3' }));
  });
  const next = await page.context().newPage();
  // Each message box's text as it is shown: they follow one another at once.
  await next.addInitScript(() => {
    window.told = [];
    const show = HTMLDialogElement.prototype.showModal;
    HTMLDialogElement.prototype.showModal = function showModal() {
      if (this.id === 'message') window.told.push(document.getElementById('messageText').textContent);
      return show.call(this);
    };
  });
  const ready = pageReady(next);
  await next.goto(address);
  for (let i = 0; i < 4; i++) {
    await next.waitForFunction((n) => window.told.length > n && document.querySelector('#message').open, i);
    await next.locator('#message').getByRole('button', { name: 'OK' }).click();
  }
  await ready;
  const ports = await next.evaluate(() => window.told.map((text) => /\(порт: (.*?)\)/.exec(text)?.[1]));
  assert.deepEqual(ports.sort(), ['', '', '', 'COM3']);
  assert.deepEqual(await next.evaluate(() => Object.keys(localStorage).filter((name) => name.startsWith('quorvex-write-'))), []);
  assert.deepEqual(next.errors, []);
});
