// Once loaded, the page opens again without a network: its service worker
// has stored every file of the built page. And the tests' own guard: a
// request to another origin is refused and noted. Versions: two build
// outputs made here from the built page and served in turn; a version is
// taken only whole, an open tab keeps its own, and two copies of the page on
// one server each keep theirs.
import { after, before, describe, it } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { execFileSync } from 'node:child_process';
import os from 'node:os';
import { fileURLToPath } from 'node:url';
import { assertClean, canvasPixels, countColour, launch, loadPage, openPage, serve } from './browser.mjs';

const PAGE_DIR = path.resolve(process.env.VELTRA_PAGE_DIR ?? 'build/web/page');

let server, origin, browser, opened, served;

before(async () => {
  ({ server, origin } = await serve(PAGE_DIR));
  served = [];
  server.on('request', (req) => served.push(req.url));
  browser = await launch();
  opened = await openPage(browser, origin);
  await loadPage(opened.page, origin);
});

after(async () => {
  await browser?.close();
  server?.close();
});

describe('Ohne Netz', () => {
  it('stores every file of the page once the worker runs', async () => {
    const { page } = opened;
    await page.waitForFunction(() => navigator.serviceWorker.controller !== null, { timeout: 30000 });
    const stored = await page.evaluate(async () => {
      // One store of files; the other names which tab has which version.
      const names = (await caches.keys()).filter((n) => !n.startsWith('veltra clients '));
      if (names.length !== 1) return names;
      const keys = [];
      for (const r of await (await caches.open(names[0])).keys()) keys.push(new URL(r.url).pathname);
      return keys.sort();
    });
    // The worker itself is what the browser checks for a newer page, so it is not stored.
    const files = fs.readdirSync(PAGE_DIR).filter((f) => f !== 'sw.js').map((f) => `/${f}`);
    assert.deepEqual(stored, ['/', ...files].sort());
  });

  it('draws both views after a reload without a network, asking the server nothing', async () => {
    const { page } = opened;
    await page.setOfflineMode(true);
    served.length = 0;
    await page.reload();
    await page.waitForFunction(() => window.veltraFirstFrame !== undefined, { timeout: 30000 });
    const grafik = await canvasPixels(page, 'grafik');
    for (const q of [[0, 0, 0.5, 0.5], [0.5, 0, 1, 0.5], [0, 0.5, 0.5, 1], [0.5, 0.5, 1, 1]]) {
      assert.ok(countColour(grafik, 0, q) > 2000, `red in quadrant ${q}: ${countColour(grafik, 0, q)}`);
    }
    const daten = await canvasPixels(page, 'daten');
    assert.ok(countColour(daten, 1) > 20000, `green data: ${countColour(daten, 1)}`);
    assert.equal(await page.$eval('#status', (e) => e.textContent), '');
    assert.deepEqual(served, []);
    await page.setOfflineMode(false);
  });

  it('can be installed: chromium names no installability error, the icons are 192 and 512 px', async () => {
    const { page } = opened;
    const cdp = await page.createCDPSession();
    const { installabilityErrors } = await cdp.send('Page.getInstallabilityErrors');
    assert.deepEqual(installabilityErrors, []);
    const manifest = JSON.parse(fs.readFileSync(path.join(PAGE_DIR, 'manifest.webmanifest'), 'utf8'));
    assert.deepEqual([manifest.short_name, manifest.display, manifest.start_url], ['Veltra', 'standalone', './']);
    for (const icon of manifest.icons) {
      // Width and height from the PNG's header.
      const png = fs.readFileSync(path.join(PAGE_DIR, icon.src));
      assert.equal(png.toString('latin1', 12, 16), 'IHDR');
      assert.equal(`${png.readUInt32BE(16)}x${png.readUInt32BE(20)}`, icon.sizes, icon.src);
    }
    assert.deepEqual(manifest.icons.map((i) => i.sizes), ['192x192', '512x512']);
    await cdp.detach();
  });

  it('the tests refuse a request to another origin and note it', async () => {
    const { page, foreign } = opened;
    const answer = await page.evaluate(() => fetch('http://192.0.2.1/probe').then(() => 'answered', () => 'refused'));
    assert.equal(answer, 'refused');
    assert.deepEqual(foreign, ['http://192.0.2.1/probe']);
    // The browser logs the refusal as an error of the page.
    const { errors } = opened;
    for (let i = 0; i < 50 && errors.length === 0; ++i) await new Promise((r) => setTimeout(r, 100));
    assert.deepEqual(errors, ['Failed to load resource: net::ERR_BLOCKED_BY_CLIENT.Inspector']);
    foreign.length = 0;
    errors.length = 0;
  });

  it('asked nothing of another origin and reported no error', () => {
    assertClean(opened);
  });
});

// Two build outputs of the page: the built one with a mark in index.html,
// veltra.js and curves_worker.js (whose worker then says which version it
// and the module it fetches are), and sw.js written by the build's script.
const SOURCE = fileURLToPath(new URL('../..', import.meta.url));
function buildOutput(dir, n) {
  fs.mkdirSync(dir, { recursive: true });
  for (const f of fs.readdirSync(PAGE_DIR)) fs.copyFileSync(path.join(PAGE_DIR, f), path.join(dir, f));
  fs.appendFileSync(path.join(dir, 'index.html'), `<!-- Fassung ${n} -->\n`);
  fs.appendFileSync(path.join(dir, 'veltra.js'), `// Fassung ${n}\n`);
  fs.appendFileSync(path.join(dir, 'curves_worker.js'),
                    `fetch('./veltra.js').then((r) => r.text()).then((t) => self.postMessage({ fassung: ${n}, `
                    + `modul: t.endsWith('// Fassung ${n}\\n') }));\n`);
  const listed = [...fs.readFileSync(path.join(PAGE_DIR, 'sw.js'), 'utf8').matchAll(/\['([^']+)', '[0-9a-f]{64}'\]/g)]
    .map((m) => m[1]);
  execFileSync('cmake', [`-DTEMPLATE=${path.join(SOURCE, 'web/sw.js')}`, `-DOUTPUT=${path.join(dir, 'sw.js')}`,
                         `-DPAGE_DIR=${dir}`, `-DFILES=${listed.join(',')}`,
                         '-P', path.join(SOURCE, 'src/web/service_worker.cmake')]);
  return dir;
}

// What a tab shows and which version its worker files are.
const fassung = (page) => page.evaluate(() => new XMLSerializer().serializeToString(document).match(/Fassung (\d)/)?.[1]);
const workerFassung = (page) => page.evaluate(() => new Promise((resolve) => {
  const w = new Worker(new URL('curves_worker.js', location.href), { type: 'module' });
  w.onmessage = (e) => {
    if (e.data.fassung === undefined) return;
    w.terminate();
    resolve(e.data);
  };
}));
// The worker versions this page's origin has stored, of its scope.
const stores = (page) => page.evaluate(() => caches.keys().then((k) => k.filter((n) => !n.startsWith('veltra clients ')).sort()));
// Until the registration has nothing installing.
async function settled(page) {
  await page.evaluate(async () => {
    const reg = await navigator.serviceWorker.getRegistration();
    await reg.update().catch(() => {});
    // A version installed goes on to take over at once.
    for (let i = 0; i < 600 && (reg.installing || reg.waiting || reg.active?.state !== 'activated'); ++i) {
      await new Promise((r) => setTimeout(r, 50));
    }
  });
}

describe('Fassungen', () => {
  let tmp, v1, v2, server2, origin2, browser2, browser3;
  let serving = () => null;  // the folder each path comes from
  const tabs = [];

  before(async () => {
    tmp = fs.mkdtempSync(path.join(os.tmpdir(), 'veltra-fassungen-'));
    v1 = buildOutput(path.join(tmp, 'v1'), 1);
    v2 = buildOutput(path.join(tmp, 'v2'), 2);
    ({ server: server2, origin: origin2 } = await serve((p) => serving(p)));
    browser2 = await launch();
  });

  after(async () => {
    await browser2?.close();
    await browser3?.close();
    server2?.close();
    if (tmp) fs.rmSync(tmp, { recursive: true, force: true });
  });

  // A tab at `where`, once the page's own worker (not another scope's) controls it.
  async function tab(where, b = browser2) {
    const o = await openPage(b, origin2);
    tabs.push(o);
    await loadPage(o.page, origin2, where);
    await o.page.waitForFunction(() => navigator.serviceWorker.controller?.scriptURL === new URL('sw.js', location.href).href,
                                 { timeout: 30000 });
    return o.page;
  }

  it('takes a new version only whole: a new sw.js over old files leaves the old one serving', async () => {
    serving = () => v1;
    const page = await tab('/');
    await settled(page);
    assert.equal(await fassung(page), '1');
    const before = await stores(page);
    assert.equal(before.length, 1);

    // Only the worker replaced, as an upload in name order leaves it.
    serving = (p) => (p.endsWith('/sw.js') ? v2 : v1);
    for (let i = 0; i < 3; ++i) {
      await page.reload();
      await page.waitForFunction(() => window.veltraFirstFrame !== undefined, { timeout: 30000 });
      await settled(page);
      assert.equal(await fassung(page), '1');
      assert.deepEqual(await workerFassung(page), { fassung: 1, modul: true });
      assert.deepEqual(await stores(page), before);
    }
    const other = await tab('/');
    await settled(other);
    assert.equal(await fassung(other), '1');
    assert.deepEqual(await workerFassung(other), { fassung: 1, modul: true });

    // The rest of the upload arrives: the next load takes the new version.
    serving = () => v2;
    await other.reload();
    await settled(other);
    await other.reload();
    await other.waitForFunction(() => window.veltraFirstFrame !== undefined, { timeout: 30000 });
    assert.equal(await fassung(other), '2');
    assert.deepEqual(await workerFassung(other), { fassung: 2, modul: true });

    // The first tab, still open, keeps its version, its workers too, and
    // computes the curves with them; reloaded, it has the new one.
    await page.bringToFront();
    assert.equal(await fassung(page), '1');
    assert.deepEqual(await workerFassung(page), { fassung: 1, modul: true });
    await page.click('#butAnalyse');
    await page.select('#cmbAufloesung', '129');
    await page.focus('#trbLevel');
    await page.keyboard.press('ArrowLeft');
    await page.waitForFunction(() => window.veltraCurves, { timeout: 120000 });
    await page.reload();
    await page.waitForFunction(() => window.veltraFirstFrame !== undefined, { timeout: 30000 });
    assert.equal(await fassung(page), '2');
    assert.deepEqual(await workerFassung(page), { fassung: 2, modul: true });
  });

  it('keeps copies at /a/ and /b/ of one server apart: both open without a network', async () => {
    // Another version in each: neither may take the other's store.
    serving = (p) => ({ a: v1, b: v2 }[p.match(/^\/([ab])\/[^/]+$/)?.[1]] ?? null);
    // A browser of its own: no worker of the whole origin from before.
    browser3 = await launch();
    const a = await tab('/a/', browser3);
    await settled(a);
    const b = await tab('/b/', browser3);
    await settled(b);
    const names = await stores(a);
    assert.equal(names.filter((n) => n.startsWith(`veltra ${origin2}/a/ `)).length, 1, names.join(' | '));
    assert.equal(names.filter((n) => n.startsWith(`veltra ${origin2}/b/ `)).length, 1, names.join(' | '));
    for (const [page, n] of [[a, '1'], [b, '2'], [a, '1']]) {
      await page.bringToFront();  // a tab behind another draws no frame
      await page.setOfflineMode(true);
      await page.reload();
      await page.waitForFunction(() => window.veltraFirstFrame !== undefined, { timeout: 30000 });
      assert.equal(await fassung(page), n);
      assert.deepEqual(await workerFassung(page), { fassung: Number(n), modul: true });
      const daten = await canvasPixels(page, 'daten');
      assert.ok(countColour(daten, 1) > 20000, `green data: ${countColour(daten, 1)}`);
      await page.setOfflineMode(false);
    }
  });

  it('asked nothing of another origin and reported no error', () => {
    for (const o of tabs) assertClean(o);
  });
});
