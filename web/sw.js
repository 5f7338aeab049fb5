// The site for offline use: a second visit, or one with the network off, plays from here.
//
// Every file of one build goes into a cache named for the build (scripts/web writes BUILD, a
// hash of the files, and FILES); a new build is a new sw.js, which fills its own cache, takes
// over, and deletes the caches of this folder's older builds. Caches belong to the whole
// origin, so the names carry this worker's scope: another site on the same host keeps its own.
"use strict";
const BUILD = "@BUILD@";
const FILES = [@FILES@];
const PREFIX = "kra " + self.registration.scope + " ";
const CACHE = PREFIX + BUILD;

self.addEventListener("install", (event) => {
  // The files were just fetched by the page: the HTTP cache answers most of these with a
  // revalidation, not a second download.
  event.waitUntil(caches.open(CACHE).then((cache) => cache.addAll(FILES)).then(() => self.skipWaiting()));
});

self.addEventListener("activate", (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names.filter((name) => name.startsWith(PREFIX) && name !== CACHE)
      .map((name) => caches.delete(name))))
    .then(() => self.clients.claim()));
});

self.addEventListener("fetch", (event) => {
  const request = event.request;
  // "Try again" asks the server itself; anything else of this build comes from the cache
  // (a page's query, ?still or ?bench, is the same page).
  if (request.method !== "GET" || request.cache === "reload") return;
  event.respondWith(caches.open(CACHE)
    .then((cache) => cache.match(request, { ignoreSearch: true }))
    .then((hit) => hit || fetch(request)));
});
