// Registers the site's service worker. On a host that sends no isolation
// headers the first load is not cross-origin isolated; once the worker controls
// the page (it adds the headers), one reload makes it so.
(function () {
  'use strict';
  const kReloaded = 'jostlepad-isolation-reload';
  if (!('serviceWorker' in navigator) || !window.isSecureContext) return;
  if (window.crossOriginIsolated) sessionStorage.removeItem(kReloaded);

  function register() {
    navigator.serviceWorker.register('sw.js').then(() => {
      if (window.crossOriginIsolated) return;
      // Once only: a worker that cannot help must not reload the page for ever.
      const reload = () => {
        if (sessionStorage.getItem(kReloaded)) return;
        sessionStorage.setItem(kReloaded, '1');
        location.reload();
      };
      if (navigator.serviceWorker.controller) reload();
      else navigator.serviceWorker.addEventListener('controllerchange', reload);
    }).catch((e) => console.warn('service worker not registered:', e));
  }

  // Registered once the program is up: the worker then copies the files from
  // the browser's cache instead of loading them a second time. Not isolated,
  // the program cannot start, so there is nothing to wait for.
  window.addEventListener('load', () => {
    const started = window.crossOriginIsolated && window.jostlepad && window.jostlepad.ready;
    Promise.resolve(started).catch(() => {}).then(register);
  });
})();
