// Keeps the page's own files, so that once loaded it opens again without a
// network: all of them are stored when this worker is installed and served
// from that store first. The build writes in the list of files, each with
// the SHA-256 of its contents, and a digest of them all (the version).
//
// A version is taken only whole: should the server hold any file other than
// the one the build listed (a folder uploaded half, this file first), the
// worker is not installed and the version before keeps serving. Each copy of
// the page on an origin (/a/, /b/) keeps its own stores. A tab keeps the
// files of the version it was loaded from, its workers too, until reloaded.
const FILES = [];
const VERSION = '';

const SCOPE = self.registration.scope;
const PREFIX = `veltra ${SCOPE} `;
const STORE = `${PREFIX}${VERSION}`;
// Which version each tab and worker was loaded from; every version of this
// worker reads and writes it, so a newer one serves an older tab rightly.
const CLIENTS = `veltra clients ${SCOPE}`;

const hex = (buffer) => [...new Uint8Array(buffer)].map((b) => b.toString(16).padStart(2, '0')).join('');

// A file as the server has it now, past the browser's HTTP cache, if it is
// the one the build listed.
async function verified(url, name, digest) {
  const response = await fetch(new Request(url, { cache: 'reload' }));
  if (!response.ok) throw new Error(`${name}: ${response.status}`);
  const got = hex(await crypto.subtle.digest('SHA-256', await response.clone().arrayBuffer()));
  if (got !== digest) throw new Error(`${name} gehört nicht zu dieser Fassung`);
  return response;
}

self.addEventListener('install', (event) => {
  event.waitUntil((async () => {
    // The folder's address serves its index.html.
    const index = FILES.find(([name]) => name === 'index.html');
    const wanted = [['./', index[0], index[1]], ...FILES.map(([name, digest]) => [name, name, digest])];
    // Every file checked before any is stored; one that differs fails the install.
    const responses = await Promise.all(wanted.map(([url, name, digest]) => verified(url, name, digest)));
    const store = await caches.open(STORE);
    await Promise.all(wanted.map(([url], i) => store.put(new Request(url), responses[i])));
    await self.skipWaiting();
  })());
});

// Clients' versions: here for speed, in CLIENTS for the next worker.
const known = new Map();
const clientKey = (id) => new Request(`${SCOPE}veltra-client/${encodeURIComponent(id)}`);

async function remember(id, version) {
  if (!id || known.get(id) === version) return;
  known.set(id, version);
  await (await caches.open(CLIENTS)).put(clientKey(id), new Response(version));
}

// Workers a tab started, by their address: their own first requests tell
// their client id, which then gets the tab's version.
const starting = [];
const bare = (url) => url.split(/[?#]/)[0];

async function versionOf(id) {
  if (!id) return VERSION;
  if (known.has(id)) return known.get(id);
  const stored = await (await caches.open(CLIENTS)).match(clientKey(id));
  if (stored) {
    known.set(id, await stored.text());
    return known.get(id);
  }
  const client = await self.clients.get(id);
  const started = client && client.type !== 'window' ? starting.findIndex((s) => s.url === bare(client.url)) : -1;
  // A tab loaded before any worker controlled it has this version's files.
  const version = started >= 0 ? starting.splice(started, 1)[0].version : VERSION;
  await remember(id, version);
  return version;
}

// Stores of versions no open tab uses any more go, and their clients' entries;
// `coming` is a tab being loaded, not yet among the open ones.
async function forgetUnused(coming) {
  const open = await self.clients.matchAll({ includeUncontrolled: true, type: 'all' });
  const ids = new Set([...open.map((c) => c.id), coming]);
  const clients = await caches.open(CLIENTS);
  const used = new Set([VERSION]);
  for (const request of await clients.keys()) {
    const id = decodeURIComponent(request.url.slice(`${SCOPE}veltra-client/`.length));
    if (ids.has(id)) used.add(await (await clients.match(request)).text());
    else {
      known.delete(id);
      await clients.delete(request);
    }
  }
  const stores = (await caches.keys()).filter((k) => k.startsWith(PREFIX) && !used.has(k.slice(PREFIX.length)));
  await Promise.all(stores.map((k) => caches.delete(k)));
}

self.addEventListener('activate', (event) => {
  event.waitUntil(forgetUnused().then(() => self.clients.claim()));
});

async function answer(event) {
  const request = event.request;
  let version = VERSION;
  if (request.mode === 'navigate') {
    // A page loaded or reloaded takes the newest whole version.
    await remember(event.resultingClientId, VERSION);
    // Not waited for: the page's answer does not hang on the clearing up.
    forgetUnused(event.resultingClientId).catch(() => {});
  } else {
    version = await versionOf(event.clientId);
    if (request.destination === 'worker' || request.destination === 'sharedworker') {
      if (event.resultingClientId) await remember(event.resultingClientId, version);
      else starting.push({ url: bare(request.url), version });
    }
  }
  // The page's state may ride along in the query; the file is the same.
  const names = await caches.keys();
  const store = names.includes(`${PREFIX}${version}`) ? `${PREFIX}${version}` : STORE;
  const stored = await (await caches.open(store)).match(request, { ignoreSearch: true });
  return stored ?? fetch(request);
}

self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET' || new URL(request.url).origin !== self.location.origin) return;
  event.respondWith(answer(event));
});
