// Once loaded, the page opens again without a network: its service worker
// has stored every file of the built page. And the tests' own guard: a
// request to another origin is refused and noted.
import { after, before, describe, it } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
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
      const keys = [];
      for (const name of await caches.keys()) {
        for (const r of await (await caches.open(name)).keys()) keys.push(new URL(r.url).pathname);
      }
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
