// Once loaded, the page works offline: a service worker keeps its files.
// Only where the page came from a web server; a worker needs http(s).
export function wireOffline() {
  if (!/^https?:$/.test(location.protocol) || !('serviceWorker' in navigator)) return;
  navigator.serviceWorker.register('sw.js').catch((e) => {
    console.warn(`Veltra bleibt ohne Netz nicht verfügbar: ${e.message ?? e}`);
  });
}
