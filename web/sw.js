// Keeps the page's own files, so that once loaded it opens again without a
// network: all of them are stored when this worker is installed and served
// from that store first. The build writes in the list of files and a digest
// of their contents; a changed page thus brings a new worker, whose store
// replaces the old one.
const FILES = [];
const VERSION = '';
const STORE = `veltra-${VERSION}`;

self.addEventListener('install', (event) => {
  // Past the browser's HTTP cache, so the store holds this version's files.
  const requests = ['./', ...FILES].map((f) => new Request(f, { cache: 'reload' }));
  event.waitUntil(caches.open(STORE).then((store) => store.addAll(requests)).then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
    .then((keys) => Promise.all(keys.filter((k) => k.startsWith('veltra-') && k !== STORE).map((k) => caches.delete(k))))
    .then(() => self.clients.claim()));
});

self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET' || new URL(request.url).origin !== self.location.origin) return;
  // The page's state may ride along in the query; the file is the same.
  event.respondWith(caches.open(STORE)
    .then((store) => store.match(request, { ignoreSearch: true }))
    .then((stored) => stored ?? fetch(request)));
});
