// A command under way when the page is left. While a frame or a read runs,
// leaving asks first. A write leaves a marker in the page's storage from its
// start to its end, so that a page closed mid-frame is found out at the next
// start: the device may hold part of a frame and must be written again.
// Each window marks its own write under a lock of the same name, which the
// browser lets go when the window goes, so a live window's write is told
// from a dead one's.

const prefix = 'quorvex-write-';
const key = prefix + (self.crypto?.randomUUID?.() ?? `${Date.now()}-${Math.random()}`);
/** @type {'write' | 'read' | null} */
let underWay = null;
/** @type {(() => void) | null} lets go of this window's lock */
let ending = null;

/** @param {(storage: Storage) => void} action */
function store(action) {
  try {
    action(window.localStorage);
  } catch {
    // No storage (refused by the browser): the write goes unmarked.
  }
}

window.addEventListener('beforeunload', (event) => {
  if (underWay) event.preventDefault();
});

function unmark() {
  store((storage) => storage.removeItem(key));
  ending?.();
  ending = null;
}

// A command of `kind` ('write': a frame is being sent; 'read': the device
// is being read or awaited) starts on the port labelled `portLabel`. A
// write's marker stays until the next commandStarted() or commandEnded().
/** @param {'write' | 'read'} kind @param {string} portLabel */
export function commandStarted(kind, portLabel) {
  unmark();
  underWay = kind;
  if (kind !== 'write') return;
  const mark = () => store((storage) => storage.setItem(key, JSON.stringify({ port: portLabel })));
  if (!navigator.locks) {
    mark();
    return;
  }
  /** @type {Promise<void>} */
  const held = new Promise((resolve) => { ending = resolve; });
  navigator.locks.request(key, () => {
    if (ending) mark();
    return held;
  }).catch(() => { /* no lock granted: this write goes unmarked, as without storage */ });
}

// Every byte of the frame went out: the device holds it whole, so a page
// closed from now on cut nothing short. Leaving still asks.
export function frameSent() {
  unmark();
}

// The command has ended, whichever way.
export function commandEnded() {
  unmark();
  underWay = null;
}

// The port labels of writes that a closed window cut short, forgotten once
// told; writes of windows still open are left alone.
export async function writesCutShort() {
  let held = new Set();
  try {
    held = new Set(((await navigator.locks?.query())?.held ?? []).map((lock) => lock.name));
  } catch {
    // No locks to ask: every marker is taken as left behind.
  }
  /** @type {string[]} */
  const ports = [];
  store((storage) => {
    for (const name of Object.keys(storage)) {
      if (!name.startsWith(prefix) || held.has(name)) continue;
      // A marker not of this page's shape still tells of a write cut short,
      // on a port it cannot name.
      let port = '';
      try {
        const marker = JSON.parse(/** @type {string} */ (storage.getItem(name)));
        if (typeof marker?.port === 'string') port = marker.port;
      } catch {
        // Not JSON.
      }
      ports.push(port);
      storage.removeItem(name);
    }
  });
  return ports;
}
