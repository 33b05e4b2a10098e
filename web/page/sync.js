// The company's server, when one serves the page: its login, and the local
// archive synced with it whenever it answers (at the start, after every
// journaled command, when the browser is back online, and on a timer while
// records wait). A page from a plain host gets no session answer and works
// on its own archive as before. The archive's rules build the request and
// apply the answer (archive_worker.js); this file only carries the texts and
// shows the state. The session's key lives in this module's memory only.
import { ArchiveFailure } from './archive.js';
import { button, setCaptions } from './render.js';

// While records wait and the server does not take them: the next try.
const retryMs = 15000;
// Batches in one round before the timer takes over.
const roundsAtMost = 50;

/**
 * @typedef {{ name: string, role: string, csrf: string }} Session
 * @typedef {{ status: number, body: any, text: string } | null} Answer null: no answer at all
 */

/**
 * One call to the server of the page's own origin; null when nothing
 * answered. A body that is no JSON is `undefined`.
 * @param {string} path
 * @param {{ method?: string, token?: string | null, body?: string }} [options]
 * @returns {Promise<Answer>}
 */
async function ask(path, { method = 'GET', token = null, body } = {}) {
  /** @type {Record<string, string>} */
  const headers = {};
  if (body !== undefined) headers['Content-Type'] = 'application/json';
  if (token) headers['X-Quorvex-Token'] = token;
  let response;
  try {
    response = await fetch(path, { method, headers, body, credentials: 'same-origin', cache: 'no-store' });
  } catch {
    return null;
  }
  const text = await response.text().catch(() => '');
  let parsed;
  try {
    parsed = text ? JSON.parse(text) : null;
  } catch {
    parsed = undefined;
  }
  return { status: response.status, body: parsed, text };
}

/**
 * The server's cause in its own words, or the status.
 * @param {NonNullable<Answer>} answer
 */
function causeOf(answer) {
  const said = answer.body && typeof answer.body.error === 'string' ? answer.body.error : '';
  return said || `HTTP ${answer.status}`;
}

/**
 * @param {object} page
 * @param {ById} page.byId
 * @param {import('./archive.js').Archive} page.archive
 * @param {() => string} page.installer
 * @param {() => void} page.changed the archive changed under the objects' dialog
 * @returns {{ sync: () => void }}
 */
export function setUpSync({ byId, archive, installer, changed }) {
  const bar = byId('syncBar');
  const status = byId('syncStatus');
  const loginDialog = /** @type {HTMLDialogElement} */ (byId('loginDialog'));
  const loginError = byId('loginError');
  /** @type {Record<string, string>} */
  let texts = {};
  /** @type {string | null} the session's key, never stored */
  let token = null;
  let serverKnown = false;
  let reachable = true;
  let refusal = '';
  /** @type {Promise<void> | null} */
  let running = null;
  let again = false;
  let timer = 0;

  // "в сети", "нет связи с сервером" or "ждут отправки: N", after the rules.
  async function showState() {
    if (!token) {
      clearTimeout(timer);
      status.textContent = reachable ? texts.loggedOut : await archive.call('syncStatus', false, 0, 0);
      status.dataset.state = reachable ? 'loggedOut' : 'offline';
      // A server known but silent is asked again for its session.
      if (!reachable) timer = window.setTimeout(connect, retryMs);
    } else {
      const { waiting, conflicts } = await archive.call('syncWaiting');
      status.textContent = await archive.call('syncStatus', reachable, waiting, conflicts) + (refusal ? ` (${refusal})` : '');
      status.dataset.state = !reachable ? 'offline' : waiting > 0 ? 'waiting' : 'online';
      status.dataset.waiting = String(waiting);
      clearTimeout(timer);
      if (waiting > 0) timer = window.setTimeout(sync, retryMs);
    }
    byId('loginOpen').hidden = Boolean(token);
    byId('logout').hidden = !token;
    bar.hidden = false;
  }

  // Batches until nothing waits, the server is gone, or it refuses. A
  // refused card (a role's limit, say) holds no journal back: the entries
  // go on alone.
  async function rounds() {
    let cards = true;
    for (let round = 0; round < roundsAtMost && token; ++round) {
      const request = await archive.call('syncRequest', location.origin, cards);
      const answer = await ask('/api/sync', { method: 'POST', token, body: request });
      // A proxy's 502/503/504 in front of a stopped server is no answer either.
      if (!answer || answer.status >= 500) {
        reachable = false;
        refusal = answer ? causeOf(answer) : '';
        return;
      }
      reachable = true;
      if (answer.status === 401) {
        token = null;
        openLogin();
        return;
      }
      if (answer.status !== 200) {
        refusal = causeOf(answer);
        if (!cards) return;
        cards = false;
        continue;
      }
      const applied = await archive.call('syncApply', location.origin, request, answer.text);
      if (cards) refusal = '';
      if (applied.cards || applied.entries || applied.conflicts) changed();
      const { waiting } = await archive.call('syncWaiting');
      // Nothing left, or nothing more that goes: the next would be the same.
      if (waiting === 0 || applied.sent === 0) return;
    }
  }

  // One sync at a time; a call during one runs another after it.
  function sync() {
    if (!token) return;
    if (running) {
      again = true;
      return;
    }
    running = (async () => {
      do {
        again = false;
        try {
          await rounds();
        } catch (error) {
          // The answer refused by the rules, or the archive unavailable: said, nothing taken.
          refusal = error instanceof ArchiveFailure ? error.message : String(error);
        }
      } while (again && token);
      await showState().catch(() => { /* the archive's own failure shows in its dialog */ });
      await showConflicts();
    })().finally(() => { running = null; });
  }

  function openLogin() {
    loginError.hidden = true;
    if (!loginDialog.open) loginDialog.showModal();
    /** @type {HTMLInputElement} */ (byId('loginName')).focus();
    showState().catch(() => { /* as in sync */ });
  }

  /** @param {Session} session */
  function loggedIn(session) {
    token = session.csrf;
    serverKnown = true;
    reachable = true;
    sync();
  }

  byId('loginForm').addEventListener('submit', async (event) => {
    event.preventDefault();
    const nameField = /** @type {HTMLInputElement} */ (byId('loginName'));
    const passwordField = /** @type {HTMLInputElement} */ (byId('loginPassword'));
    if (!nameField.value || !passwordField.value) {
      loginError.textContent = texts.loginNeeded;
      loginError.hidden = false;
      return;
    }
    const answer = await ask('/api/login', {
      method: 'POST', body: JSON.stringify({ name: nameField.value, password: passwordField.value }),
    });
    if (answer?.status === 200 && typeof answer.body?.csrf === 'string') {
      passwordField.value = '';
      loginDialog.close();
      loggedIn(answer.body);
      return;
    }
    loginError.textContent = answer ? causeOf(answer) : texts.unreachable;
    loginError.hidden = false;
  });
  byId('loginLater').addEventListener('click', () => loginDialog.close());
  byId('loginOpen').addEventListener('click', openLogin);
  byId('logout').addEventListener('click', async () => {
    const was = token;
    token = null;
    clearTimeout(timer);
    await ask('/api/logout', { method: 'POST', token: was });
    await showState();
  });
  window.addEventListener('online', () => { if (token) sync(); else if (serverKnown) connect(); });

  // Both cards side by side, and the installer's two choices.
  async function showConflicts() {
    /** @type {{ mine: { id: string }, rows: string[][] }[]} */
    let conflicts;
    try {
      conflicts = serverKnown ? await archive.call('conflicts') : [];
    } catch {
      return;  // the archive's failure shows in its dialog
    }
    byId('conflicts').hidden = conflicts.length === 0;
    byId('conflictList').replaceChildren(...conflicts.map((conflict) => {
      const table = document.createElement('table');
      table.className = 'listing conflict';
      table.dataset.id = conflict.mine.id;
      const head = table.createTHead().insertRow();
      for (const text of ['', texts.mine, texts.theirs]) {
        const cell = document.createElement('th');
        cell.textContent = text;
        head.append(cell);
      }
      const body = table.createTBody();
      for (const row of conflict.rows) {
        const line = body.insertRow();
        for (const text of row) line.insertCell().textContent = text;
        if (row[1] !== row[2]) line.className = 'differs';
      }
      const settle = (/** @type {boolean} */ keepMine) => async () => {
        try {
          await archive.call('settle', conflict.mine.id, keepMine, installer());
          changed();
          sync();
        } catch (error) {
          byId('archiveNote').textContent = String(/** @type {Error} */ (error)?.message ?? error);
          byId('archiveNote').hidden = false;
        }
        await showConflicts();
      };
      const choices = document.createElement('div');
      choices.className = 'bar';
      choices.append(button(texts.keepMine, settle(true)), button(texts.takeTheirs, settle(false)));
      const item = document.createElement('div');
      item.append(table, choices);
      return item;
    }));
  }
  byId('objectsOpen').addEventListener('click', () => { showConflicts(); });

  // The session, asked at the start and again while a known server is silent.
  async function connect() {
    const session = await ask('/api/session');
    if (!session || session.body === undefined || session.status >= 500) {
      if (!serverKnown) return;  // no server behind this page: it stays as it is
      reachable = false;
      await showState();
      return;
    }
    reachable = true;
    if (session.status === 200 && typeof session.body?.csrf === 'string') {
      loggedIn(session.body);
    } else if (session.status === 401) {
      serverKnown = true;
      openLogin();
    }
    // Any other answer (404 and the like): no server behind this page.
  }

  (async () => {
    const [words, known] = await Promise.all([
      archive.call('syncTexts'), archive.call('syncWaiting').catch(() => ({ origin: '' })),
    ]);
    texts = words;
    setCaptions(byId, {
      loginTitle: texts.loginTitle, loginNameCaption: texts.loginName, loginPasswordCaption: texts.loginPassword,
      loginSubmit: texts.loginSubmit, loginLater: texts.loginLater, loginOpen: texts.loginOpen, logout: texts.logout,
      conflictsTitle: texts.conflicts,
    });
    // Synced with this origin before: a silent server is one out of reach.
    serverKnown = known.origin === location.origin;
    await connect();
  })().catch(() => { /* no archive, no sync: the page works as before */ });

  return { sync };
}
