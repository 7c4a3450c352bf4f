// The site's offline copy. Each build's files are kept whole in a cache of
// their own, named by their content (the build writes the name in place of
// @VALE_BUILD@, and the files in place of @VALE_FILES@); the page answers
// from it, so that once visited the game loads and plays without the network. A new build's worker fills its cache
// first and takes over when the page says (before a run starts: the page
// then reloads whole); the old build's cache goes then, never mixed with it.
const cacheName = 'vale-@VALE_BUILD@';
const files = ['./'].concat('@VALE_FILES@'.split(' '));

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(cacheName).then((cache) => cache.addAll(files.map((f) => new Request(f, {cache: 'reload'})))));
});
self.addEventListener('message', (event) => {
  if (event.data === 'take over') self.skipWaiting();
});
self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys().then((names) => Promise.all(
    names.filter((name) => name.startsWith('vale-') && name !== cacheName).map((name) => caches.delete(name)))));
});
// The site's files from this build's cache (whatever the query: ?fixedclock
// and the like are the page's own), anything else from the network.
self.addEventListener('fetch', (event) => {
  if (event.request.method !== 'GET') return;
  event.respondWith(caches.open(cacheName)
    .then((cache) => cache.match(event.request, {ignoreSearch: true}))
    .then((kept) => kept || fetch(event.request)));
});
