// The page's rows of ./scripts/bench, each next to a reference of the same
// run: load to interactive against a blank page served the same way, the
// compressed sizes, and, where the page reaches quorvex-sim through Web
// Serial (inside serial_e2e.sh), the paced write and the read.
//   node web/bench.mjs   (QUORVEX_PAGE; QUORVEX_E2E_* from serial_e2e.sh)
import { mkdtempSync, readFileSync, readdirSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { gzipSync } from 'node:zlib';
import { chromium } from 'playwright-core';
import { serve } from './serve.mjs';
import { browserArgs } from './tests/browser.mjs';

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

function printTable() {
  const lines = [['figure', 'median', 'reference', 'ratio', 'target'], ...rows.map((r) => {
    let target = r.target ? `≤ ${r.target}` : '';
    if (r.target && r.ratio !== null) target += r.ratio <= Number(r.target) ? '  ok' : '  MISSED';
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
  const module = join(page, 'quorvex.js');
  row('module quorvex.js, gzip', kb(gzip(module)), `as built, ${kb(raw(module))}`, gzip(module) / raw(module));
  const all = files(page);
  const [packed, plain] = [all.map(gzip), all.map(raw)].map((list) => list.reduce((a, b) => a + b, 0));
  row(`all ${all.length} files of the page, gzip`, kb(packed), `as built, ${kb(plain)}`, packed / plain);
}

// Navigation start to the page's "quorvex-ready" mark, each load in a fresh
// context (nothing cached).
async function loadTimes(browser, url) {
  const times = [];
  for (let i = 0; i < runs; i++) {
    const context = await browser.newContext({ serviceWorkers: 'block' });
    const tab = await context.newPage();
    await tab.goto(url);
    await tab.waitForFunction(() => performance.getEntriesByName('quorvex-ready').length > 0);
    times.push(await tab.evaluate(() => performance.getEntriesByName('quorvex-ready')[0].startTime));
    await context.close();
  }
  return median(times);
}

async function load(browser) {
  const blank = mkdtempSync(join(tmpdir(), 'quorvex-blank-'));
  writeFileSync(join(blank, 'index.html'),
    '<!doctype html><title>blank</title><script>performance.mark("quorvex-ready")</script>');
  const servers = [await serve(page, 0), await serve(blank, 0)];
  const [pageMs, blankMs] = [await loadTimes(browser, `http://localhost:${servers[0].address().port}/`),
    await loadTimes(browser, `http://localhost:${servers[1].address().port}/`)];
  row('page load to interactive', ms(pageMs), `blank page, ${ms(blankMs)}`, pageMs / blankMs);
  for (const server of servers) server.close();
}

// The bytes the simulator logged as received, with their times.
function received(log) {
  return [...log.matchAll(/^\s*([\d.]+) in\s+0x[0-9a-f]{2}/gm)].map((m) => Number(m[1]));
}

async function serial(browser, origin) {
  const context = await browser.newContext();
  const tab = await context.newPage();
  await tab.goto(`${origin}/`);
  await tab.waitForSelector('body[data-ready=true]');
  await tab.waitForFunction(() => document.querySelectorAll('#ComboBox1 option').length === 2);
  await tab.selectOption('#ComboBox1', { index: 1 });
  // Clicks a command and resolves with the time to its message, from the click.
  const command = (id) => tab.evaluate((button) => new Promise((done) => {
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
  }), id);
  const writes = [];
  const smallest = [];
  let frameBytes = 0;
  const reads = [];
  for (let i = 0; i < runs; i++) {
    const before = received(readFileSync(process.env.QUORVEX_E2E_LOG, 'latin1')).length;
    const written = await command('BitBtn2');
    if (!written.succeeded) throw new Error(written.message);
    const times = received(readFileSync(process.env.QUORVEX_E2E_LOG, 'latin1')).slice(before);
    frameBytes = times.length;
    writes.push(times.at(-1) - times[0]);
    smallest.push(Math.min(...times.slice(1).map((t, k) => t - times[k])));
    const read = await command('BitBtn1');
    if (!read.succeeded) throw new Error(read.message);
    reads.push(read.took);
  }
  const pauses = frameBytes - 1;
  row(`write through Web Serial, ${frameBytes} bytes, first to last`, ms(median(writes)),
    `the frame's pauses, ${ms(pauses)}`, median(writes) / pauses, '1.25');
  row('smallest pause between bytes at the simulator', ms(Math.min(...smallest)), 'the pause, 1.00 ms',
    Math.min(...smallest));
  row('read, "A5A6" to the message', ms(median(reads)), 'reception window, 2000 ms', median(reads) / 2000);
  await context.close();
}

// The policy that lets the page use the ports is read when the browser starts.
const serialServer = await serve(page, 0);
const origin = `http://localhost:${serialServer.address().port}`;
if (process.env.QUORVEX_E2E_POLICY) {
  writeFileSync(join(process.env.QUORVEX_E2E_POLICY, 'quorvex-bench.json'),
    JSON.stringify({ SerialAllowAllPortsForUrls: [origin] }));
}
const browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: browserArgs });
try {
  sizes();
  await load(browser);
  if (process.env.QUORVEX_E2E_LOG) await serial(browser, origin);
  else row('write and read through Web Serial', 'not measured', process.env.QUORVEX_BENCH_WHY ?? 'needs serial_e2e.sh', null);
} finally {
  await browser.close();
  serialServer.close();
}
printTable();
