// One device behaviour, one line on every face. Each behaviour is one
// quorvex-sim run with its fault: the CLI writes and verifies all of them in
// one batch (`quorvex-cli write FILE --port A --port B ... --verify`), the
// page writes and verifies each through Chromium's real serial stack with
// "Записать на несколько…". The port's summary line must be the same on both
// faces, the port's name and the seconds aside, and of the kind the table
// expects (written and verified, or failed).
//
// Run by node --test as it is, it starts itself again inside a private mount
// namespace, where each simulator's terminal is bound onto /dev/ttyS0 in its
// turn (it needs root and unshare, as serial_e2e.test.mjs does), or says why
// it cannot and is skipped.
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync, spawn, spawnSync } from 'node:child_process';
import { existsSync, mkdirSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import { chromium } from 'playwright-core';
import { serve } from '../serve.mjs';
import { browserArgs, defaultLine } from './browser.mjs';

// The behaviours: the simulator's options, the kind of line each must give,
// and a note of the simulator's log that shows the behaviour took place.
// The line breaks mid-frame after 100 of the frame's bytes.
const answered = 'read request: answering';
const behaviours = [
  { name: 'a sound device', sim: [], kind: 'success', note: 'three long beeps' },
  { name: 'a silent device', sim: ['--silent'], kind: 'failure', note: 'read request ignored (silent)' },
  { name: 'garbage and no reply', sim: ['--garbage'], kind: 'failure', note: answered },
  { name: 'half a reply, cut before its end', sim: ['--half-reply'], kind: 'failure', note: answered },
  { name: 'SIM card not ready (A0A0)', sim: ['--not-ready'], kind: 'failure', note: answered },
  { name: 'a code field of five digits', sim: ['--faulty-field', 'code'], kind: 'failure', note: answered },
  { name: 'a port field of six digits', sim: ['--faulty-field', 'port'], kind: 'failure', note: answered },
  { name: 'vanishing mid-frame', sim: ['--hangup-after', '100'], kind: 'failure',
    note: 'hanging up after 100 bytes' },
  { name: 'a line that stops taking bytes mid-frame', sim: ['--stall-after', '100'], kind: 'failure',
    note: 'writes to the port suspended' },
];

// Why the test cannot run on this machine; empty when it can.
function whyNot() {
  if (process.getuid?.() !== 0) return 'needs root, to bind each simulator\'s terminal onto /dev/ttyS0';
  if (spawnSync('unshare', ['-m', '--propagation', 'private', 'true']).status !== 0) {
    return 'unshare -m is missing or not permitted here';
  }
  if (!existsSync('/dev/ttyS0')) return 'no /dev/ttyS0 to bind a simulator\'s terminal onto';
  if (!existsSync('/etc/chromium')) return 'no /etc/chromium to bind a policy folder into';
  for (const name of ['QUORVEX_SIM', 'QUORVEX_CLI', 'QUORVEX_PAGE']) {
    if (!process.env[name]) return `${name} is not set`;
  }
  return '';
}

// A line without its port in front and its seconds behind: what both faces
// must say alike.
function outcomeOf(line, port) {
  assert.ok(line.startsWith(`${port}  `), `"${line}" starts with its port ${port}`);
  const outcome = line.slice(port.length + 2).replace(/ {2}\d+,\d с$/, '');
  assert.notEqual(outcome, line.slice(port.length + 2), `"${line}" ends with its seconds`);
  return outcome;
}

// quorvex-sim with `args`, started; resolves once its terminal's path is out.
function startSim(args, log) {
  const sim = spawn(process.env.QUORVEX_SIM, [...args, '--log', log], { stdio: ['ignore', 'pipe', 'inherit'] });
  const ended = new Promise((done) => sim.once('exit', done));
  return new Promise((resolvePath, reject) => {
    let out = '';
    sim.stdout.on('data', (chunk) => {
      out += chunk;
      if (out.includes('\n')) resolvePath({ path: out.split('\n')[0], stop: () => { sim.kill('SIGTERM'); return ended; } });
    });
    sim.once('exit', (code) => reject(new Error(`quorvex-sim ${args.join(' ')} ended (${code}) before its port`)));
  });
}

// Runs a program to its end; its exit code, stdout and stderr.
function run(program, args) {
  return new Promise((done) => {
    const child = spawn(program, args, { stdio: ['ignore', 'pipe', 'pipe'] });
    let stdout = '';
    let stderr = '';
    child.stdout.on('data', (chunk) => { stdout += chunk; });
    child.stderr.on('data', (chunk) => { stderr += chunk; });
    child.once('close', (code) => done({ code, stdout, stderr }));
  });
}

if (!process.env.QUORVEX_FACES_NAMESPACE) {
  const reason = whyNot();
  test('every face gives one line for one device behaviour', { skip: reason || false }, (t) => {
    // The inner run reports on its own, not to this runner.
    const { NODE_TEST_CONTEXT, ...env } = process.env;
    const inner = spawnSync('unshare', ['-m', '--propagation', 'private', process.execPath, '--test',
      fileURLToPath(import.meta.url)], { encoding: 'utf8', timeout: 600_000, env: { ...env, QUORVEX_FACES_NAMESPACE: '1' } });
    // Each face's line of each behaviour, for whoever reads the run.
    for (const line of inner.stdout.split('\n').filter((l) => /^\s*# (cli|page): /.test(l))) t.diagnostic(line.trim().slice(2));
    assert.equal(inner.status, 0, `${inner.stdout}\n${inner.stderr}`);
    assert.match(inner.stdout, new RegExp(`^# pass ${behaviours.length}$`, 'm'), inner.stdout);
  });
} else {
  const scratch = mkdtempSync(join(tmpdir(), 'quorvex-faces-'));
  const settingsFile = join(scratch, 'settings.qvx');
  const lines = new Map(behaviours.map((b) => [b.name, {}]));  // name -> { cli, cliKind, page, pageKind }

  // The CLI: one batch over a simulator per behaviour.
  async function cliFace() {
    const sims = [];
    try {
      for (const [i, behaviour] of behaviours.entries()) {
        sims.push(await startSim(behaviour.sim, join(scratch, `cli-sim-${i}.log`)));
      }
      const ports = sims.map((sim) => sim.path);
      const { stdout, stderr } = await run(process.env.QUORVEX_CLI,
        ['write', settingsFile, ...ports.flatMap((port) => ['--port', port]), '--verify']);
      const out = stdout.split('\n');
      const failures = stderr.split('\n');
      let succeeded = 0;
      for (const [i, behaviour] of behaviours.entries()) {
        const line = out.find((l) => l.startsWith(`${ports[i]}  `));
        assert.ok(line, `the CLI's line of ${ports[i]} (${behaviour.name}):\n${stdout}\n${stderr}`);
        // A failed port is named once more on stderr.
        const failed = failures.some((l) => l.startsWith(`quorvex-cli write: ${ports[i]}: `));
        Object.assign(lines.get(behaviour.name), { cli: outcomeOf(line, ports[i]), cliKind: failed ? 'failure' : 'success' });
        if (!failed) succeeded += 1;
      }
      // The total counts as the lines do: a port that differs is no success either.
      const total = out.find((l) => /^\d+ устройств/.test(l));
      assert.match(total ?? '', new RegExp(`: ${succeeded} записано и проверено`), stdout);
    } finally {
      await Promise.all(sims.map((sim) => sim.stop()));
    }
  }

  // The page: each behaviour's simulator on /dev/ttyS0 in turn, a fresh
  // browser context for each, the port checked in the batch.
  async function pageFace() {
    const server = await serve(resolve(process.env.QUORVEX_PAGE), 0);
    const origin = `http://localhost:${server.address().port}`;
    const policies = join(scratch, 'etc');
    execFileSync('cp', ['-a', '/etc/chromium/.', policies]);
    mkdirSync(join(policies, 'policies', 'managed'), { recursive: true });
    writeFileSync(join(policies, 'policies', 'managed', 'quorvex-test.json'),
      JSON.stringify({ SerialAllowAllPortsForUrls: [origin] }));
    execFileSync('mount', ['--bind', policies, '/etc/chromium']);
    const browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: browserArgs });
    try {
      for (const [i, behaviour] of behaviours.entries()) {
        const sim = await startSim(behaviour.sim, join(scratch, `page-sim-${i}.log`));
        execFileSync('mount', ['--bind', sim.path, '/dev/ttyS0']);
        const context = await browser.newContext();
        // A behaviour the page cannot get through fails its own test only.
        try {
          const page = await context.newPage();
          await page.goto(`${origin}/`);
          await page.waitForSelector('body[data-ready=true]');
          await page.click('#batchButton');
          const labels = page.locator('#batchPorts label');
          assert.equal(await labels.count(), 2, 'the simulator of the page and the granted port');
          const port = await labels.nth(1).getAttribute('data-port');
          await labels.nth(1).locator('input').check();
          await page.click('#batchWrite');
          await page.waitForSelector('#batchResults li.total', { timeout: 60_000 });
          const [line, total] = await page.$$eval('#batchResults li', (items) => items.map((li) => li.textContent));
          Object.assign(lines.get(behaviour.name), {
            page: outcomeOf(line, port),
            pageKind: /: 1 записано и проверено/.test(total) ? 'success' : 'failure',
          });
        } catch (error) {
          lines.get(behaviour.name).pageError = error;
        } finally {
          await context.close();  // lets go of the port
          await sim.stop();
          execFileSync('umount', ['/dev/ttyS0']);
        }
      }
    } finally {
      await browser.close();
      server.close();
    }
  }

  before(async () => {
    writeFileSync(settingsFile, defaultLine, 'latin1');
    // The simulators register their ports in a folder of the test's own.
    process.env.XDG_RUNTIME_DIR = join(scratch, 'run');
    mkdirSync(process.env.XDG_RUNTIME_DIR, { mode: 0o700 });
    // Each face's fault is its behaviours' failure; the other face still runs.
    await cliFace().catch((error) => { for (const line of lines.values()) line.cliError = error; });
    await pageFace().catch((error) => { for (const line of lines.values()) line.pageError ??= error; });
  });

  after(() => rmSync(scratch, { recursive: true, force: true }));

  for (const [i, behaviour] of behaviours.entries()) {
    test(behaviour.name, (t) => {
      const { cli, cliKind, cliError, page, pageKind, pageError } = lines.get(behaviour.name);
      t.diagnostic(`cli: ${behaviour.name}: ${cli}`);
      t.diagnostic(`page: ${behaviour.name}: ${page}`);
      if (cliError) throw cliError;
      if (pageError) throw pageError;
      for (const face of ['cli', 'page']) {
        const log = readFileSync(join(scratch, `${face}-sim-${i}.log`), 'utf8');
        assert.ok(log.includes(behaviour.note), `the simulator of the ${face} logged "${behaviour.note}":\n${log}`);
      }
      assert.equal(cliKind, behaviour.kind, `the CLI's kind: ${cli}`);
      assert.equal(pageKind, behaviour.kind, `the page's kind: ${page}`);
      assert.equal(page, cli, 'the page\'s line is the CLI\'s');
    });
  }
}
