// Keeps the whole site in a cache of its own build, so the sound box starts
// with no network, and adds the isolation headers a plain static host cannot
// send (the program's threads need shared memory). install.sh fills in the
// build's version and file list.
'use strict';
const kVersion = '@VERSION@';
const kFiles = '@FILES@';
const kPrefix = 'jostlepad-';
const kCache = kPrefix + kVersion;

self.addEventListener('install', (event) => {
  event.waitUntil((async () => {
    const cache = await caches.open(kCache);
    // Revalidated: a file of the last build must not slip in from the HTTP
    // cache, and one the page has just loaded costs only a 304.
    await cache.addAll(kFiles.map((f) => new Request(f, { cache: 'no-cache' })));
    await self.skipWaiting();
  })());
});

self.addEventListener('activate', (event) => {
  event.waitUntil((async () => {
    for (const name of await caches.keys()) {
      if (name.startsWith(kPrefix) && name !== kCache) await caches.delete(name);
    }
    await self.clients.claim();
  })());
});

function isolated(response) {
  if (!response || response.status === 0 || response.type === 'opaque' || response.type === 'opaqueredirect') {
    return response;
  }
  const headers = new Headers(response.headers);
  headers.set('Cross-Origin-Opener-Policy', 'same-origin');
  headers.set('Cross-Origin-Embedder-Policy', 'require-corp');
  headers.set('Cross-Origin-Resource-Policy', 'same-origin');
  return new Response(response.body, { status: response.status, statusText: response.statusText, headers });
}

self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET' || new URL(request.url).origin !== self.location.origin) return;
  event.respondWith((async () => {
    const cache = await caches.open(kCache);
    // The page's options (?trace, ?app=...) do not change what is loaded.
    const kept = await cache.match(request, { ignoreSearch: request.mode === 'navigate' });
    if (kept) return isolated(kept);
    return isolated(await fetch(request));
  })());
});
