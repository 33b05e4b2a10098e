// The page's rows of ./scripts/bench, each next to a reference of the same
// run: load to interactive against a blank page served the same way, the
// compressed sizes, and, where the page reaches quorvex-sim through Web
// Serial (inside serial_e2e.sh), the paced write and the read; and the
// batch writer on eight simulated devices against one.
//   node web/bench.mjs   (QUORVEX_PAGE; QUORVEX_E2E_* from serial_e2e.sh)
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, readdirSync, rmSync, statSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { gzipSync } from 'node:zlib';
import { chromium } from 'playwright-core';
import { serve } from './serve.mjs';
import { browserArgs } from './tests/browser.mjs';
import { grantProducts, startDevices, writeMany } from './tests/fake_devices.mjs';

const page = resolve(process.env.QUORVEX_PAGE);
const runs = Number(process.env.QUORVEX_BENCH_RUNS ?? 7);
const median = (values) => {
  const sorted = [...values].sort((a, b) => a - b);
  const middle = sorted.length >> 1;
  return sorted.length % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
};
const format = (value, unit) => `${value >= 100 ? value.toFixed(0) : value >= 10 ? value.toFixed(1) : value.toFixed(2)} ${unit}`;
const ms = (value) => format(value, 'ms');
const kb = (bytes) => format(bytes / 1024, 'KB');
const rows = [];
const row = (figure, value, reference, ratio, target = '') => rows.push({ figure, value, reference, ratio, target });

// A target is a ratio at most ('1.6') or at least ('≥ 1.00').
function printTable() {
  const lines = [['figure', 'median', 'reference', 'ratio', 'target'], ...rows.map((r) => {
    const least = r.target.startsWith('≥');
    const bound = Number(r.target.replace('≥', ''));
    let target = r.target ? (least ? r.target : `≤ ${r.target}`) : '';
    if (r.target && r.ratio !== null) target += (least ? r.ratio >= bound : r.ratio <= bound) ? '  ok' : '  MISSED';
    return [r.figure, r.value, r.reference, r.ratio === null ? 'n/a' : r.ratio.toFixed(2), target];
  })];
  const widths = lines[0].map((_, c) => Math.max(...lines.map((line) => [...line[c]].length)));
  lines.forEach((line, l) => {
    console.log(`| ${line.map((cell, c) => (c === 1 || c === 3 ? cell.padStart(widths[c]) : cell.padEnd(widths[c]))).join(' | ')} |`);
    if (l === 0) console.log(`|${widths.map((w, c) => '-'.repeat(w + 1) + (c === 1 || c === 3 ? ':|' : '-|')).join('')}`);
  });
}

function files(folder) {
  return readdirSync(folder, { withFileTypes: true, recursive: true })
    .filter((entry) => entry.isFile()).map((entry) => join(entry.parentPath ?? entry.path, entry.name));
}

function sizes() {
  const gzip = (file) => gzipSync(readFileSync(file), { level: 9 }).length;
  const raw = (file) => readFileSync(file).length;
  const module = ['quorvex.js', 'quorvex.wasm'].map((name) => join(page, name));
  const [moduleGzip, moduleRaw] = [gzip, raw].map((size) => module.map(size).reduce((a, b) => a + b, 0));
  row('module quorvex.js + quorvex.wasm, gzip', kb(moduleGzip), `the target, ${kb(100 * 1024)}`,
    moduleGzip / (100 * 1024), '1');
  row('  the same as built', kb(moduleRaw), `${module.map((file) => kb(raw(file))).join(' + ')}`, null);
  // The archive of objects loads after the page is interactive, in its worker.
  const archive = ['archive_worker.js', 'archive_values.js', 'archive.mjs', 'archive.wasm', 'sqlite/sqlite3.mjs', 'sqlite/sqlite3.wasm']
    .map((name) => join(page, name));
  const [archiveGzip, archiveRaw] = [gzip, raw].map((size) => archive.map(size).reduce((a, b) => a + b, 0));
  row('archive of objects: its worker, its rules and sqlite-wasm, gzip', kb(archiveGzip), `as built, ${kb(archiveRaw)}`,
    archiveGzip / archiveRaw);
  const all = files(page);
  const [packed, plain] = [all.map(gzip), all.map(raw)].map((list) => list.reduce((a, b) => a + b, 0));
  row(`all ${all.length} files of the page, gzip`, kb(packed), `as built, ${kb(plain)}`, packed / plain);
}

// The archive of objects in the page, on the benchmarks' large archive
// (10,000 objects, 100,000 journal entries), written natively by
// make_large_archive (QUORVEX_MAKE_ARCHIVE) and imported into the page as
// an installer brings one: the import itself, the search (input to the
// list shown), opening an object (its settings in the page and its journal
// shown), and the page's start with that archive against an empty one.
const objectCount = 10_000;
async function archiveRows(browser) {
  const folder = mkdtempSync(join(tmpdir(), 'quorvex-objects-'));
  const file = join(folder, 'objects.qvxa');
  execFileSync(process.env.QUORVEX_MAKE_ARCHIVE, [file], { stdio: 'ignore' });
  const server = await serve(page, 0);
  const url = `http://localhost:${server.address().port}/`;
  const readyAt = async (tab) => {
    await tab.goto(url);
    await tab.waitForFunction(() => !document.querySelector('#objectsOpen').hidden);
    return tab.evaluate(() => performance.getEntriesByName('quorvex-ready')[0].startTime);
  };
  const context = await browser.newContext({ serviceWorkers: 'block' });
  const tab = await context.newPage();
  // A name kept, so that the page does not ask for one.
  await tab.addInitScript(() => localStorage.setItem('quorvex-installer', 'bench'));
  const empty = [];
  for (let i = 0; i < runs; i++) empty.push(await readyAt(tab));
  await tab.click('#objectsOpen');
  await tab.waitForFunction(() => document.querySelector('#objectsDialog').dataset.listed);
  const importStart = Date.now();
  await tab.setInputFiles('#archiveImport', file);
  await tab.waitForFunction(() => !document.querySelector('#archiveNote').hidden, null, { timeout: 600_000, polling: 500 });
  const imported = Date.now() - importStart;
  const said = await tab.textContent('#archiveNote');
  if (!said.startsWith(`Импорт: новых объектов ${objectCount},`)) throw new Error(`import: ${said}`);
  row(`import of that archive into the page (${Math.round(statSync(file).size / 1e6)} MB)`, ms(imported), 'n/a', null);
  const full = [];
  for (let i = 0; i < runs; i++) full.push(await readyAt(tab));
  row(`page load to interactive, archive of ${objectCount} objects`, ms(median(full)), `empty archive, ${ms(median(empty))}`,
    median(full) / median(empty), '1.1');
  await tab.click('#objectsOpen');
  await tab.waitForFunction(() => document.querySelector('#objectsDialog').dataset.listed, null, { timeout: 60_000 });
  const searches = [];
  const opens = [];
  for (let i = 0; i < runs; i++) {
    searches.push(await tab.evaluate(async (text) => {
      const input = document.querySelector('#objectSearch');
      const list = document.querySelector('#objectList');
      const start = performance.now();
      input.value = text;
      const shown = new Promise((done) => new MutationObserver((_, observer) => { observer.disconnect(); done(); })
        .observe(list, { childList: true }));
      input.dispatchEvent(new Event('input'));
      await shown;
      return performance.now() - start;
    }, i % 2 ? `Заказчик ${(i * 997) % objectCount}` : `916 ${1_000_000 + ((i * 997) % objectCount)}`));
    opens.push(await tab.evaluate(async () => {
      const start = performance.now();
      const journal = document.querySelector('#objectJournal');
      journal.replaceChildren();
      document.title = '';
      document.querySelector('#objectList li button').click();
      await new Promise((done) => {
        const check = () => (document.title.includes('.qvx') && journal.children.length ? done() : requestAnimationFrame(check));
        check();
      });
      return performance.now() - start;
    }));
  }
  row(`search over ${objectCount} objects, to the list shown`, ms(median(searches)), 'the target, 50 ms', median(searches) / 50, '1');
  row('opening an object: settings in the page, journal shown', ms(median(opens)), 'the target, 100 ms', median(opens) / 100, '1');
  await context.close();
  server.close();
  rmSync(folder, { recursive: true, force: true });
}

// The page's marks of its start, in order; the blank page has the last only.
const stages = ['quorvex-module', 'quorvex-catalogue', 'quorvex-tabs', 'quorvex-ready'];

// Navigation start to each mark the page sets, each load in a fresh context
// (nothing cached): the median time of each mark.
async function loadTimes(browser, url) {
  const times = [];
  for (let i = 0; i < runs; i++) {
    const context = await browser.newContext({ serviceWorkers: 'block' });
    const tab = await context.newPage();
    await tab.goto(url);
    await tab.waitForFunction(() => performance.getEntriesByName('quorvex-ready').length > 0);
    times.push(await tab.evaluate((names) => Object.fromEntries(names.map((name) => [name,
      performance.getEntriesByName(name)[0]?.startTime ?? 0])), stages));
    await context.close();
  }
  return Object.fromEntries(stages.map((name) => [name, median(times.map((t) => t[name]))]));
}

async function load(browser) {
  const blank = mkdtempSync(join(tmpdir(), 'quorvex-blank-'));
  writeFileSync(join(blank, 'index.html'),
    '<!doctype html><title>blank</title><script>performance.mark("quorvex-ready")</script>');
  const servers = [await serve(page, 0), await serve(blank, 0)];
  const [pageMs, blankMs] = [await loadTimes(browser, `http://localhost:${servers[0].address().port}/`),
    await loadTimes(browser, `http://localhost:${servers[1].address().port}/`)];
  const [ready, blankReady] = [pageMs['quorvex-ready'], blankMs['quorvex-ready']];
  row('page load to interactive', ms(ready), `blank page, ${ms(blankReady)}`, ready / blankReady, '3');
  const parts = ['to the module ready (fetch, compile, start)', 'catalogue and texts through embind',
    'tabs built and filled', 'the rest (ports, handlers)'];
  stages.forEach((name, i) => {
    const took = pageMs[name] - (i ? pageMs[stages[i - 1]] : 0);
    row(`  ${parts[i]}`, ms(took), 'of the load', took / ready);
  });
  for (const server of servers) server.close();
}

// The bytes the simulator logged as received, with their times.
function received(log) {
  return [...log.matchAll(/^\s*([\d.]+) in\s+0x([0-9a-f]{2})/gm)]
    .map((m) => ({ at: Number(m[1]), byte: parseInt(m[2], 16) }));
}
const receivedSoFar = () => received(readFileSync(process.env.QUORVEX_E2E_LOG, 'latin1'));

// First to last byte of a frame at the simulator, and the gaps between.
function frameTimes(arrivals) {
  const times = arrivals.map((arrival) => arrival.at);
  return { took: times.at(-1) - times[0], gaps: times.slice(1).map((t, k) => t - times[k]) };
}

// The same frame by the pacing alone, in a page of the same origin: per
// byte write, close, the pause from the drain, a fresh writer, with no
// engine, no progress and no page around it. What Chromium's drain costs by
// itself, as the floor of the page's own frame.
async function bareFrames(browser, origin, frame) {
  const context = await browser.newContext();
  const tab = await context.newPage();
  await tab.goto(`${origin}/`);
  await tab.waitForSelector('body[data-ready=true]');
  const took = [];
  for (let i = 0; i < Math.min(runs, 3); i++) {
    const before = receivedSoFar().length;
    await tab.evaluate(async (bytes) => {
      const nextTurn = () => new Promise((resolve) => {
        const channel = new MessageChannel();
        channel.port1.onmessage = resolve;
        channel.port2.postMessage(0);
      });
      const [port] = await navigator.serial.getPorts();
      await port.open({ baudRate: 57600 });
      let writer = port.writable.getWriter();
      for (const byte of bytes) {
        await Promise.all([writer.write(Uint8Array.of(byte)), writer.close()]);
        const drained = performance.now();
        writer.releaseLock();
        writer = port.writable.getWriter();
        while (performance.now() < drained + 1) await nextTurn();
      }
      writer.releaseLock();
      await port.close();
    }, frame);
    took.push(frameTimes(receivedSoFar().slice(before)).took);
    await tab.waitForTimeout(4000);  // the device records the frame meanwhile
  }
  await context.close();
  return median(took);
}

async function serial(browser, origin) {
  const context = await browser.newContext();
  const tab = await context.newPage();
  // After a read the settings are the device's and not saved: the next read
  // asks first, and the bench says yes.
  tab.on('dialog', (dialog) => dialog.accept());
  await tab.goto(`${origin}/`);
  await tab.waitForSelector('body[data-ready=true]');
  await tab.waitForFunction(() => document.querySelectorAll('#ComboBox1 option').length === 2);
  await tab.selectOption('#ComboBox1', { index: 1 });
  // Clicks a command and resolves with the time to its message, from the
  // click. The buttons come back a turn after the previous message closed;
  // a click on one still disabled would start nothing.
  const command = async (id) => {
    await tab.waitForSelector(`#${id}:not([disabled])`);
    return tab.evaluate((button) => new Promise((done) => {
      const dialog = document.getElementById('message');
      const start = performance.now();
      new MutationObserver((_, observer) => {
        if (!dialog.open) return;
        observer.disconnect();
        const took = performance.now() - start;
        const title = document.getElementById('messageTitle').textContent;
        const text = document.getElementById('messageText').textContent;
        dialog.close();
        // A success repeats its text as its title; a refusal or a failure has
        // an error title instead.
        done({ took, succeeded: title === text, message: `${title}: ${text}` });
      }).observe(dialog, { attributes: true });
      document.getElementById(button).click();
      // A command that shows nothing within a bound is a fault of the page,
      // told with what the page shows, instead of a bench that never ends.
      setTimeout(() => done({
        took: performance.now() - start, succeeded: false,
        message: `${button}: no message after 30 s; open: ${[...document.querySelectorAll('dialog[open]')]
          .map((d) => `${d.id} "${d.textContent.trim().slice(0, 80)}"`).join(', ') || 'none'}; `
          + `disabled: ${[...document.querySelectorAll('button:disabled')].map((b) => b.id).join(' ')}`,
      }), 30000);
    }), id);
  };
  const writes = [];
  const smallest = [];
  let frame = [];
  const shortAt = [];  // frame:byte and the gap before it
  let allGaps = 0;
  const reads = [];
  for (let i = 0; i < runs; i++) {
    const before = receivedSoFar().length;
    const written = await command('BitBtn2');
    if (!written.succeeded) throw new Error(written.message);
    const arrivals = receivedSoFar().slice(before);
    frame = arrivals.map((arrival) => arrival.byte);
    const { took, gaps } = frameTimes(arrivals);
    writes.push(took);
    smallest.push(Math.min(...gaps));
    gaps.forEach((gap, k) => { if (gap < 1) shortAt.push(`${i + 1}:${k + 1} ${gap.toFixed(2)}`); });
    allGaps += gaps.length;
    const read = await command('BitBtn1');
    if (!read.succeeded) throw new Error(read.message);
    reads.push(read.took);
  }
  const pauses = frame.length - 1;
  row(`write through Web Serial, ${frame.length} bytes, first to last`, ms(median(writes)),
    `the frame's pauses, ${ms(pauses)}`, median(writes) / pauses, '1.6');
  row('smallest pause between bytes at the simulator', ms(Math.min(...smallest)), 'the pause, 1.00 ms',
    Math.min(...smallest), '≥ 1.00');
  row('  pauses below 1.00 ms at the simulator', String(shortAt.length), `of ${allGaps} in ${runs} frames`,
    shortAt.length / allGaps);
  if (shortAt.length) console.error(`pauses below 1.00 ms (frame:byte ms): ${shortAt.join(', ')}`);
  row('read, "A5A6" to the message', ms(median(reads)), 'reception window, 2000 ms', median(reads) / 2000);
  await context.close();
  const bare = await bareFrames(browser, origin, frame);
  row('  the same frame by the pacing alone', ms(bare), `the frame's pauses, ${ms(pauses)}`, bare / pauses);
  row('  the page\'s frame against the pacing alone', ms(median(writes)), `pacing alone, ${ms(bare)}`,
    median(writes) / bare);
}

// "Записать на несколько…" on 8 simulated devices at once against 1, each
// written, read back and compared: the ports must not wait for each other.
async function batch(browser) {
  const server = await serve(page, 0);
  const context = await browser.newContext({ serviceWorkers: 'block' });
  const tab = await context.newPage();
  await grantProducts(tab, [1, 2, 3, 4, 5, 6, 7, 8]);
  await tab.goto(`http://localhost:${server.address().port}/`);
  await tab.waitForSelector('body[data-ready=true]');
  await startDevices(tab);
  const names = [1, 2, 3, 4, 5, 6, 7, 8].map((n) => `USB 1A86:000${n}`);
  const one = [];
  const eight = [];
  for (let i = 0; i < Math.min(runs, 3); i++) {
    one.push((await writeMany(tab, names.slice(0, 1))).took);
    await tab.reload();
    await tab.waitForSelector('body[data-ready=true]');
    await startDevices(tab);
    eight.push((await writeMany(tab, names)).took);
    await tab.reload();
    await tab.waitForSelector('body[data-ready=true]');
    await startDevices(tab);
  }
  row('batch: 8 simulated ports at once, write and verify', ms(median(eight)), `1 port ${ms(median(one))}`,
    median(eight) / median(one), '1.30');
  await context.close();
  server.close();
}

// The policy that lets the page use the ports is read when the browser starts.
const serialServer = await serve(page, 0);
const origin = `http://localhost:${serialServer.address().port}`;
if (process.env.QUORVEX_E2E_POLICY) {
  writeFileSync(join(process.env.QUORVEX_E2E_POLICY, 'quorvex-bench.json'),
    JSON.stringify({ SerialAllowAllPortsForUrls: [origin] }));
}
const browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: browserArgs });
// A part that fails gets a row saying so, and the others still run.
const part = async (name, measure) => {
  try {
    await measure();
  } catch (error) {
    row(name, 'FAILED', String(error.message ?? error).split('\n')[0], null);
    process.exitCode = 1;
  }
};
try {
  sizes();
  await part('page load', () => load(browser));
  await part('batch', () => batch(browser));
  if (process.env.QUORVEX_MAKE_ARCHIVE) await part('archive of objects', () => archiveRows(browser));
  if (process.env.QUORVEX_E2E_LOG) await part('write and read through Web Serial', () => serial(browser, origin));
  else row('write and read through Web Serial', 'not measured', process.env.QUORVEX_BENCH_WHY ?? 'needs serial_e2e.sh', null);
} finally {
  await browser.close();
  serialServer.close();
}
printTable();
