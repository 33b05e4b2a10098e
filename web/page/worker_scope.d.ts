// The service worker's scope, for the type check of sw.js alone
// (tsconfig.sw.json): there `self` is a service worker's, which
// TypeScript's worker library types as any worker's; and page_files.js,
// written by the build, gives it the page's files and version.

interface WorkerGlobalScope {
  readonly registration: ServiceWorkerRegistration;
  readonly clients: Clients;
  skipWaiting(): Promise<void>;
  // page_files.js: each file of the page with its SHA-256, and their version.
  pageFiles: Record<string, string>;
  pageVersion: string;
  // The release the page belongs to; "" where the build gave none.
  pageRelease: string;
}

interface WorkerGlobalScopeEventMap {
  install: ExtendableEvent;
  activate: ExtendableEvent;
  fetch: FetchEvent;
  message: ExtendableMessageEvent;
}
