// Shows why the page cannot start when its module does not: a file of the
// page missing, cut short or broken, or the page opened from a folder
// (file://), where the browser runs no module script. Its words are in the
// page itself, since the module that holds every other text is what failed.
// A classic script, so that it runs wherever the page is opened from.
(() => {
  /** @param {unknown} cause */
  function failed(cause) {
    const box = /** @type {HTMLElement} */ (document.getElementById('loadFailure'));
    const folder = location.protocol === 'file:';
    for (const text of /** @type {NodeListOf<HTMLElement>} */ (box.querySelectorAll('[data-cause]'))) {
      text.hidden = text.dataset.cause !== (folder ? 'folder' : 'module');
    }
    /** @type {HTMLElement} */ (document.getElementById('loadFailureCause')).textContent =
      cause ? String(/** @type {{ message?: string }} */ (cause).message ?? cause) : '';
    box.hidden = false;
    document.body.dataset.failed = 'true';
  }
  window.quorvexFailed = failed;
  // A script of the page that did not load reports on its element only,
  // which a listener of the window hears while the event is captured.
  window.addEventListener('error', (event) => {
    if (event.target instanceof HTMLScriptElement) {
      const name = event.target.src.split('/').pop();
      if (document.readyState === 'loading') document.addEventListener('DOMContentLoaded', () => failed(name));
      else failed(name);
    }
  }, true);
})();
