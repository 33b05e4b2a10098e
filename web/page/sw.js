// Keeps every file of the page, so that after the first visit the page starts
// and works with no network. page_files.js, written by the build, names the
// files with their hashes and a version drawn from them. A new version
// installs beside the old one and waits: it takes over when the page asks
// for it (the user accepted the restart) or when every window of the page
// has closed, never in the middle of a command.
importScripts('page_files.js');

// Caches of this copy of the page only: another app, or another copy of this
// page under another path of the same origin, keeps its own.
const ownPrefix = `quorvex:${self.registration.scope}:`;
const cacheName = `${ownPrefix}${self.pageVersion}`;

/** @param {ArrayBuffer} buffer */
const hex = (buffer) => [...new Uint8Array(buffer)].map((b) => b.toString(16).padStart(2, '0')).join('');

// Fetches a file past the browser's HTTP cache and refuses it unless it is
// the file this version was built with (a host half way through an upload
// serves a mix of two versions).
/** @param {string} file */
async function fetchChecked(file) {
  const response = await fetch(file, { cache: 'reload' });
  if (!response.ok) throw new Error(`${file}: ${response.status}`);
  const body = await response.clone().arrayBuffer();
  if (hex(await crypto.subtle.digest('SHA-256', body)) !== self.pageFiles[file]) {
    throw new Error(`${file} is not of version ${self.pageVersion}`);
  }
  return response;
}

self.addEventListener('install', (event) => {
  event.waitUntil((async () => {
    const files = Object.keys(self.pageFiles);
    const responses = await Promise.all(files.map(fetchChecked));
    const cache = await caches.open(cacheName);
    await Promise.all(files.map((file, i) => cache.put(file, responses[i].clone())));
    await cache.put('./', responses[files.indexOf('index.html')]);
  })().catch(async (error) => {
    await caches.delete(cacheName);
    throw error;
  }));
});

// 'restart': take over now; 'version': answer on the given port with this
// version's release and the hash of its files, for the page's update bar.
self.addEventListener('message', (event) => {
  if (event.data === 'restart') self.skipWaiting();
  if (event.data === 'version') event.ports[0]?.postMessage({ release: self.pageRelease, build: self.pageVersion });
});

self.addEventListener('activate', (event) => {
  event.waitUntil((async () => {
    for (const name of await caches.keys()) {
      if (name.startsWith(ownPrefix) && name !== cacheName) await caches.delete(name);
    }
    await self.clients.claim();
  })());
});

// This version's files from its cache; anything else from the network.
self.addEventListener('fetch', (event) => {
  if (event.request.method !== 'GET') return;
  event.respondWith((async () => {
    const cache = await caches.open(cacheName);
    return (await cache.match(event.request, { ignoreSearch: true })) ?? fetch(event.request);
  })());
});
