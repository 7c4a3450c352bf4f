// The site's offline copy. Each build's files are kept whole in a cache of
// their own, named by their content (the build writes the name, the files'
// names, sizes and SHA-256 digests in place of the words in at signs); the
// page answers from it, so that once visited the game loads and plays
// without the network.
// A file is kept only as the build made it: one cut short on the way, or of
// another build (a server half way through an update), fails the install,
// and the next visit tries again from the network. A new build's worker
// fills its cache first and takes over when the page says (at the start of
// a run: the page then reloads whole); the old build's cache goes then.
const cacheName = 'vale-@VALE_BUILD@';
const names = '@VALE_FILES@'.split(' '), sizes = '@VALE_SIZES@'.split(' ').map(Number), digests = '@VALE_DIGESTS@'.split(' ');

async function whole(name) {
  const response = await fetch(new Request(name, {cache: 'reload'}));
  const bytes = await response.arrayBuffer(), i = names.indexOf(name);
  const digest = [...new Uint8Array(await crypto.subtle.digest('SHA-256', bytes))].map((b) => b.toString(16).padStart(2, '0')).join('');
  if (!response.ok || bytes.byteLength !== sizes[i] || digest !== digests[i]) {
    throw new Error(`${name}: ${response.status}, ${bytes.byteLength} of ${sizes[i]} bytes, not this build's copy`);
  }
  return new Response(bytes, {headers: response.headers});
}

self.addEventListener('install', (event) => {
  event.waitUntil((async () => {
    const files = await Promise.all(names.map(whole)), cache = await caches.open(cacheName);
    await Promise.all(names.map((name, i) => cache.put(name, files[i].clone())));
    await cache.put('./', files[names.indexOf('index.html')]);
  })().catch(async (e) => {
    await caches.delete(cacheName);
    throw e;
  }));
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
