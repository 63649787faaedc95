// The page's service worker: keeps one build of the page, whole, so that it starts with no
// network, and never mixes files of two builds. The build writes its name and files in below.
'use strict';

const kBuild = '@BUILD@';
// What every start needs; the art of one density comes on top (sw.js?art=2 or ?art=4).
const kFiles = @FILES@;
const kCache = `tidewick-${kBuild}`;

// The art this worker keeps: the density the page asked for, as the build's own list names it.
async function artOf(cache) {
  const density = new URL(self.location).searchParams.get('art');
  if (!density) return [];
  const index = await (await cache.match('art/index.json')).json();
  return (index[density] ?? []).map((name) => `art/${name}`);
}

// Each file asked of the server again (never taken from the browser's HTTP cache unasked, which
// could hold another build's), and the build is kept only when every file came.
async function keep(cache, files) {
  await Promise.all(files.map(async (file) => {
    const response = await fetch(file, { cache: 'no-cache' });
    if (!response.ok) throw new Error(`${file}: ${response.status}`);
    await cache.put(file, response);
  }));
}

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(kCache).then(async (cache) => {
    await keep(cache, kFiles);
    await keep(cache, await artOf(cache));
  }));
});

// A new build takes over when the page asks it to, at a start, before any game runs.
self.addEventListener('message', (event) => {
  if (event.data === 'take over') self.skipWaiting();
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys().then((names) => Promise.all(
    names.filter((name) => name.startsWith('tidewick-') && name !== kCache)
      .map((name) => caches.delete(name)))));
});

// The build's own files come from its cache; the page itself whatever its query (a replay, a
// watched game). Anything else (a replay script beside the page) goes to the network.
self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET') return;
  const scope = new URL(self.registration.scope);
  const url = new URL(request.url);
  if (url.origin !== scope.origin || !url.pathname.startsWith(scope.pathname)) return;
  const file = url.pathname.slice(scope.pathname.length) || 'index.html';
  if (url.search && !(request.mode === 'navigate' && file === 'index.html')) return;
  event.respondWith(caches.open(kCache).then(async (cache) => (await cache.match(file)) ?? fetch(request)));
});
