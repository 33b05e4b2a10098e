// The offer to restart into a new version of the page. The service worker
// keeps a new version waiting beside the running one; the bar offers the
// switch only while no command runs and no port is open, since a reload would
// cut a transfer short.
//   watchUpdates(bar, texts, canRestart) registers the worker and returns a
//   function to call whenever canRestart() may have changed.
/** @param {HTMLElement} bar @param {InstallerTexts} texts @param {() => boolean} canRestart @returns {() => void} */
export function watchUpdates(bar, texts, canRestart) {
  const container = navigator.serviceWorker;
  if (!container) return () => { /* no worker: no new versions to offer */ };
  /** @type {ServiceWorkerRegistration | null} */
  let registration = null;
  const offer = () => {
    bar.hidden = !(registration?.waiting && container.controller && canRestart());
  };
  /** @type {HTMLSpanElement} */ (bar.querySelector('span')).textContent = texts.updateReady;
  const button = /** @type {HTMLButtonElement} */ (bar.querySelector('button'));
  button.textContent = texts.updateRestart;
  button.addEventListener('click', () => {
    if (!registration?.waiting || !canRestart()) return offer();
    container.addEventListener('controllerchange', () => window.location.reload(), { once: true });
    registration.waiting.postMessage('restart');
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
