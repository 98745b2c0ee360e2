// Lets the page work offline: registers the service worker (sw.js) that keeps the site's files.
// A browser without service workers, or a page not served over https or from localhost, plays
// online only.

// Resolves to the registration, or to null where there is none; never throws or rejects.
export function registerOffline() {
  try {
    if (!('serviceWorker' in navigator)) return Promise.resolve(null);
    // After the page's own load, so that filling the cache does not slow the first visit.
    const loaded = document.readyState === 'complete'
      ? Promise.resolve()
      : new Promise((resolve) => window.addEventListener('load', resolve, { once: true }));
    return loaded
      .then(() => navigator.serviceWorker.register('sw.js', { updateViaCache: 'none' }))
      .catch((e) => {
        console.warn('ormel: this page will not work offline:', e);
        return null;
      });
  } catch (e) {
    console.warn('ormel: this page will not work offline:', e);
    return Promise.resolve(null);
  }
}
