// The offer to restart into a new version of the page. The service worker
// keeps a new version waiting beside the running one; the bar names it and
// offers the switch only while no command runs and no port is open, since a
// reload would cut a transfer short, and comes back whenever that may have
// changed (a command ended, a port closed or went away). "Позже" puts the
// waiting version off until the next start, or until a newer one waits.
//   watchUpdates(bar, texts, wording, canRestart) registers the worker and
//   returns a function to call whenever canRestart() may have changed;
//   wording(release, build) words the bar.
/**
 * @param {HTMLElement} bar
 * @param {InstallerTexts} texts
 * @param {Quorvex['updateReady']} wording
 * @param {() => boolean} canRestart
 * @returns {() => void}
 */
export function watchUpdates(bar, texts, wording, canRestart) {
  const container = navigator.serviceWorker;
  if (!container) return () => { /* no worker: no new versions to offer */ };
  /** @type {ServiceWorkerRegistration | null} */
  let registration = null;
  /** @type {ServiceWorker | null} */
  let postponed = null;
  /** @type {ServiceWorker | null} */
  let named = null;
  const text = /** @type {HTMLSpanElement} */ (bar.querySelector('span'));
  const offer = () => {
    const waiting = registration?.waiting ?? null;
    bar.hidden = !(waiting && waiting !== postponed && container.controller && canRestart());
    if (bar.hidden || !waiting || waiting === named) return;
    named = waiting;
    text.textContent = wording('', '');
    askVersion(waiting).then(({ release, build }) => {
      if (named === waiting) text.textContent = wording(release, build);
    });
  };
  const restart = /** @type {HTMLButtonElement} */ (bar.querySelector('#updateRestart'));
  restart.textContent = texts.updateRestart;
  restart.addEventListener('click', () => {
    if (!registration?.waiting || !canRestart()) return offer();
    container.addEventListener('controllerchange', () => window.location.reload(), { once: true });
    registration.waiting.postMessage('restart');
  });
  const later = /** @type {HTMLButtonElement} */ (bar.querySelector('#updateLater'));
  later.textContent = texts.updateLater;
  later.addEventListener('click', () => {
    postponed = registration?.waiting ?? null;
    offer();
  });
  // Past the browser's HTTP cache: a cached worker script would hide a new
  // version for up to a day.
  container.register('sw.js', { updateViaCache: 'none' }).then((registered) => {
    registration = registered;
    registration.addEventListener('updatefound', () => {
      registered.installing?.addEventListener('statechange', offer);
    });
    offer();
  }).catch(() => { /* not registered (no HTTPS, or refused): the page runs without it */ });
  return offer;
}

// The waiting worker's version: its release and the hash of its files. A
// worker of a version that does not answer leaves the bar without them.
/** @param {ServiceWorker} worker @returns {Promise<{ release: string, build: string }>} */
function askVersion(worker) {
  return new Promise((resolve) => {
    const channel = new MessageChannel();
    channel.port1.onmessage = (event) => resolve({ release: String(event.data?.release ?? ''), build: String(event.data?.build ?? '') });
    worker.postMessage('version', [channel.port2]);
  });
}
