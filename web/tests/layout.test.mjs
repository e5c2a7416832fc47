// The page on a tablet's and two laptops' screens: every control of the panel
// on the screen and free to touch, text readable, the views as large as the
// screen allows in their desktop shapes; "Vollbild" gives them the screen.
import { after, before, describe, it } from 'node:test';
import assert from 'node:assert/strict';
import path from 'node:path';
import { assertClean, launch, loadPage, openPage, serve } from './browser.mjs';

const PAGE_DIR = path.resolve(process.env.VELTRA_PAGE_DIR ?? 'build/web/page');
const SCREENS = [[1024, 768], [1366, 768], [1920, 1080]];
// The views together cover at least this share of the screen.
const MIN_VIEW_SHARE = 0.55;

let server, origin, browser;

before(async () => {
  ({ server, origin } = await serve(PAGE_DIR));
  browser = await launch();
});

after(async () => {
  await browser?.close();
  server?.close();
});

async function open(width, height) {
  const opened = await openPage(browser, origin, { width, height });
  await loadPage(opened.page, origin);
  return opened;
}

// The canvases' drawing sizes and the page's extent.
const measure = (page) => page.evaluate(() => {
  const size = (id) => { const r = document.getElementById(id).getBoundingClientRect(); return [r.width, r.height]; };
  return {
    grafik: size('grafik'), daten: size('daten'),
    bottom: document.getElementById('kontrolle').getBoundingClientRect().bottom,
    scroll: [document.documentElement.scrollWidth, document.documentElement.scrollHeight],
  };
});

// Both canvases in the desktop windows' shapes (492 x 528 and 531 x 528), to the pixel.
function assertShapes({ grafik, daten }) {
  assert.equal(grafik[1], daten[1], 'equal heights');
  assert.ok(Math.abs(grafik[0] - (492 * grafik[1]) / 528) <= 1, `function view ${grafik}`);
  assert.ok(Math.abs(daten[0] - (531 * daten[1]) / 528) <= 1, `data view ${daten}`);
}

describe('Seite auf kleinen und großen Bildschirmen', () => {
  for (const [width, height] of SCREENS) {
    it(`at ${width}x${height}: controls on screen and free, text of 12 px and more, views filling the screen`, async () => {
      const { page, foreign, errors } = await open(width, height);
      const m = await measure(page);
      assert.deepEqual(m.scroll, [width, height], 'nothing beyond the screen');

      const controls = await page.$$eval('#kontrolle button, #kontrolle input, #kontrolle select', (all) => all.map((e) => {
        const r = e.getBoundingClientRect();
        const hit = document.elementFromPoint(r.x + r.width / 2, r.y + r.height / 2);
        return { id: e.id || e.textContent, box: [r.left, r.top, r.right, r.bottom], free: hit === e };
      }));
      assert.ok(controls.length >= 6, `${controls.length} controls`);
      for (const c of controls) {
        const [l, t, r, b] = c.box;
        assert.ok(l >= 0 && t >= 0 && r <= width && b <= height, `${c.id} at ${c.box}`);
        assert.ok(c.free, `${c.id} covered by something else`);
      }

      // Every shown text, in whatever element holds it.
      const small = await page.evaluate(() => {
        const found = [];
        const walk = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT);
        for (let n = walk.nextNode(); n; n = walk.nextNode()) {
          const e = n.parentElement;
          if (!n.textContent.trim() || e.closest('dialog:not([open]), datalist') || !e.getClientRects().length) continue;
          const size = parseFloat(getComputedStyle(e).fontSize);
          if (size < 12) found.push(`${n.textContent.trim()}: ${size}px`);
        }
        for (const e of document.querySelectorAll('button, input, select')) {
          const size = parseFloat(getComputedStyle(e).fontSize);
          if (e.getClientRects().length && size < 12) found.push(`#${e.id}: ${size}px`);
        }
        return found;
      });
      assert.deepEqual(small, []);

      assertShapes(m);
      const viewsWidth = m.grafik[0] + 1 + m.daten[0];
      // Either the width or the height is used up (the panel ends at the status line).
      const statusLine = await page.$eval('#status', (e) => e.getBoundingClientRect().bottom + 4);
      assert.ok(viewsWidth >= width - 2 || statusLine >= height - 2, `views ${viewsWidth} wide, page ends at ${statusLine}`);
      const share = (m.grafik[0] * m.grafik[1] + m.daten[0] * m.daten[1]) / (width * height);
      assert.ok(share >= MIN_VIEW_SHARE, `views cover ${share.toFixed(3)} of the screen`);
      assertClean({ foreign, errors });
      await page.close();
    });
  }

  it('keeps the desktop sizes at 1100x800', async () => {
    const opened = await open(1100, 800);
    const m = await measure(opened.page);
    assert.deepEqual([...m.grafik, ...m.daten], [492, 528, 531, 528]);
    assertClean(opened);
    await opened.page.close();
  });

  it('"Vollbild" gives both views the screen; Esc gives them back their place', async () => {
    const { page, foreign, errors } = await open(1366, 768);
    const before = await measure(page);
    await page.click('#butVollbild');
    await page.waitForFunction(() => document.fullscreenElement?.id === 'views');
    await page.waitForFunction((h) => document.getElementById('daten').getBoundingClientRect().height !== h, {}, before.daten[1]);
    const full = await measure(page);
    assertShapes(full);
    const [w, h] = await page.evaluate(() => [window.innerWidth, window.innerHeight]);
    const title = await page.$eval('#grafikTitle', (e) => e.getBoundingClientRect().height);
    assert.ok(full.grafik[0] + 1 + full.daten[0] >= w - 2 || title + full.daten[1] >= h - 2,
              `views ${full.grafik} and ${full.daten} on ${w}x${h}`);
    assert.ok(full.daten[1] > before.daten[1], `${full.daten[1]} high, before ${before.daten[1]}`);
    assert.equal(await page.$eval('#butVollbildEnde', (e) => getComputedStyle(e).display), 'block');

    await page.keyboard.press('Escape');
    await page.waitForFunction(() => document.fullscreenElement === null);
    await page.waitForFunction((h) => document.getElementById('daten').getBoundingClientRect().height === h, {}, before.daten[1]);
    assert.deepEqual(await measure(page), before);
    assertClean({ foreign, errors });
    await page.close();
  });
});
