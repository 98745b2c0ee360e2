// The service worker that lets the page load and play offline: it keeps every file of the site
// in a cache of its own build and falls back to that cache only when the network fails.
'use strict';

// Both lines are replaced when the site is built (cmake/stamp_sw.cmake): the cache is named
// after a hash of the whole site, and FILES gives each other file of the site its SHA-256.
const CACHE = 'ormel-dev';
const FILES = {};

function hex(buffer) {
  return [...new Uint8Array(buffer)].map((b) => b.toString(16).padStart(2, '0')).join('');
}

// A file that is not byte for byte the one this worker was built with (the server moved on to
// another build while we fetched) fails the install: a cache never mixes two builds, and the
// browser tries again with the newer worker.
async function fill() {
  const cache = await caches.open(CACHE);
  await Promise.all(Object.entries(FILES).map(async ([name, sha]) => {
    const response = await fetch(name, { cache: 'no-cache' });
    const body = await response.clone().arrayBuffer();
    if (!response.ok || hex(await crypto.subtle.digest('SHA-256', body)) !== sha) {
      throw new Error(`${name} is not the file of ${CACHE}`);
    }
    await cache.put(name, response);
  }));
}

self.addEventListener('install', (event) => {
  event.waitUntil(fill().then(
    () => self.skipWaiting(),
    async (e) => {
      await caches.delete(CACHE);
      throw e;
    },
  ));
});

self.addEventListener('activate', (event) => {
  event.waitUntil((async () => {
    for (const name of await caches.keys()) {
      if (name.startsWith('ormel-') && name !== CACHE) await caches.delete(name);
    }
    await self.clients.claim();
  })());
});

// Network first, revalidating past the HTTP cache, so that a visitor online always gets the
// build on the server; the cache answers only when the network does not.
async function fromCache(request) {
  const cache = await caches.open(CACHE);
  const hit = (await cache.match(request, { ignoreSearch: true })) ||
    (request.mode === 'navigate' && (await cache.match('index.html')));
  return hit || Response.error();
}

self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET' || new URL(request.url).origin !== self.location.origin) return;
  event.respondWith(fetch(request, { cache: 'no-cache' }).catch(() => fromCache(request)));
});
