// Keeps every file of the page, so that after the first visit the page starts
// and works with no network. page_files.js, written by the build, names the
// files and a version drawn from their contents. A new version installs
// beside the old one and waits: it takes over when every window of the page
// has closed, on the next start, never in the middle of a command.
importScripts('page_files.js');

const cacheName = `quorvex-${self.pageVersion}`;

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(cacheName).then((cache) => cache.addAll(['./', ...self.pageFiles])));
});

self.addEventListener('activate', (event) => {
  event.waitUntil((async () => {
    for (const name of await caches.keys()) if (name !== cacheName) await caches.delete(name);
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
