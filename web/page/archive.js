// The page's side of the archive of objects: its worker (archive_worker.js,
// sqlite-wasm and the archive's rules) started after the page is
// interactive, each operation a message answered in turn; and the browser
// asked, at the archive's first use, to keep its storage for good.

/** An operation the archive refused or could not do: `failure` names why ('Full', 'Refused', 'Unavailable', ...). */
export class ArchiveFailure extends Error {
  /** @param {string} failure @param {string} message */
  constructor(failure, message) {
    super(message);
    this.failure = failure;
  }
}

export class Archive {
  constructor() {
    this.worker = new Worker(new URL('archive_worker.js', import.meta.url), { type: 'module' });
    /** @type {Map<number, { resolve: (value: any) => void, reject: (error: unknown) => void }>} */
    this.waiting = new Map();
    this.next = 1;
    this.worker.addEventListener('message', (event) => {
      const { id, result, failure, message } = event.data;
      const waiter = this.waiting.get(id);
      this.waiting.delete(id);
      if (failure) waiter?.reject(new ArchiveFailure(failure, message));
      else waiter?.resolve(result);
    });
    // A worker that cannot start fails every operation alike.
    this.worker.addEventListener('error', (event) => {
      for (const waiter of this.waiting.values()) waiter.reject(new ArchiveFailure('Unavailable', event.message || 'archive_worker.js'));
      this.waiting.clear();
    });
    /** @type {Promise<boolean> | null} */
    this.persisted = null;
  }

  /**
   * @param {string} op
   * @param {...unknown} args
   * @returns {Promise<any>}
   */
  call(op, ...args) {
    const id = this.next++;
    return new Promise((resolve, reject) => {
      this.waiting.set(id, { resolve, reject });
      this.worker.postMessage({ id, op, args });
    });
  }

  // Whether the browser keeps the archive for good: asked once, at first use.
  /** @returns {Promise<boolean>} */
  persist() {
    this.persisted ??= (async () => {
      try {
        if (await navigator.storage?.persisted?.()) return true;
        return Boolean(await navigator.storage?.persist?.());
      } catch {
        return false;
      }
    })();
    return this.persisted;
  }
}
