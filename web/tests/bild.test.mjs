// The window "Bild" and pictures out of the page, in headless chromium: B
// opens the four panels, the Original shows the sample's grey values, the
// Differenz follows the level, Strg+S downloads a view's PNG, Strg+C puts one
// on the clipboard, and the right-click menu saves "Bild".
import { after, before, describe, it } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { canvasPixels, decodePngIn, launch, loadPage, openPage, serve } from './browser.mjs';

const PAGE_DIR = path.resolve(process.env.VELTRA_PAGE_DIR ?? 'build/web/page');
// The panels' pictures are 190 x 190 pixels on the page (veltra.css).
const PANEL = 190;
const N = 65;  // grid points per side of the sample at the start

let server, origin, browser, page, foreign, errors, downloads;

before(async () => {
  ({ server, origin } = await serve(PAGE_DIR));
  browser = await launch();
  await browser.defaultBrowserContext().overridePermissions(origin,
    ['clipboard-read', 'clipboard-write', 'clipboard-sanitized-write']);
  ({ page, foreign, errors } = await openPage(browser, origin, { width: 1100, height: 800 }));
  downloads = fs.mkdtempSync(path.join(os.tmpdir(), 'veltra-downloads-'));
  const cdp = await page.createCDPSession();
  await cdp.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads });
  await loadPage(page, origin);
});

after(async () => {
  await browser?.close();
  server?.close();
  if (downloads) fs.rmSync(downloads, { recursive: true, force: true });
});

async function press(selector, key, modifier) {
  await page.focus(selector);
  if (modifier) await page.keyboard.down(modifier);
  await page.keyboard.press(key);
  if (modifier) await page.keyboard.up(modifier);
}

const stateChanged = () => page.evaluate(() => window.dispatchEvent(new CustomEvent('veltra-state')));
const pixel = (img, x, y) => Array.from(img.data.subarray(4 * (y * img.width + x), 4 * (y * img.width + x) + 3));
const isWhite = (p) => p.every((c) => c === 255);

// The sample at the start, worked out here: grid point (r, c) is
// 0.7 sin(7 (r - 2) / 64) sin(3 (c - 2) / 64), and pixel (px, py) of a panel
// shows grid point (px + 1, 65 - py): x to the right, y upwards.
function sampleGreys() {
  const v = [];
  for (let py = 0; py < N; ++py) {
    for (let px = 0; px < N; ++px) v.push(0.7 * Math.sin(7 * (px - 1) / 64) * Math.sin(3 * (63 - py) / 64));
  }
  const lo = Math.min(...v);
  const hi = Math.max(...v);
  return { lo, hi, grey: v.map((x) => Math.floor(Math.min(255, Math.max(0, 255 * (x - lo) / (hi - lo))) + 0.5)) };
}

// A file that chromium finished writing into the download folder.
async function downloaded(name) {
  const file = path.join(downloads, name);
  for (let i = 0; i < 100 && !fs.existsSync(file); ++i) await new Promise((r) => setTimeout(r, 100));
  assert.ok(fs.existsSync(file), `${name} was not downloaded (${fs.readdirSync(downloads)})`);
  return fs.readFileSync(file);
}

const decodePng = (bytes) => decodePngIn(page, bytes);

describe('Bild und Bilder hinaus', () => {
  it('opens "Bild" with B on a view: four titled panels, the Koeffizienten explained', async () => {
    assert.equal(await page.$eval('#bild', (d) => d.open), false);
    await press('#daten', 'b');
    assert.equal(await page.$eval('#bild', (d) => d.open), true);
    assert.equal(await page.$eval('#bildTitle', (e) => e.textContent), 'Bild');
    assert.deepEqual(await page.$$eval('#bild figcaption', (es) => es.map((e) => e.textContent)),
      ['Original', 'Rekonstruktion', 'Differenz', 'Koeffizienten']);
    assert.equal(await page.$eval('#bildTitel3', (e) => e.title),
      'Beträge der Koeffizienten auf dem gezeigten Level, logarithmisch');
    // Not modal: the views still take keys and the state stays at the start.
    assert.equal(await page.evaluate(() => window.veltra.state().chosenLevel), 6);
  });

  it('shows the sample in the Original as crisp grey squares, with round numbers on its bar', async () => {
    const { lo, hi, grey } = sampleGreys();
    const img = await canvasPixels(page, 'bildPanel0');
    assert.deepEqual([img.width, img.height], [PANEL, PANEL]);
    // Each canvas pixel shows the grid point under it, or at a cell's edge
    // its neighbour; a smoothed enlargement would mix the two.
    let centresWrong = 0;
    let mixed = 0;
    for (let y = 0; y < PANEL; ++y) {
      for (let x = 0; x < PANEL; ++x) {
        const [r, g, b] = pixel(img, x, y);
        assert.ok(r === g && g === b, `(${x}, ${y}) is not grey`);
        const gx = Math.floor((x + 0.5) * N / PANEL);
        const gy = Math.floor((y + 0.5) * N / PANEL);
        const near = [];
        for (const dy of [-1, 0, 1]) {
          for (const dx of [-1, 0, 1]) {
            if (gx + dx >= 0 && gx + dx < N && gy + dy >= 0 && gy + dy < N) near.push(grey[(gy + dy) * N + gx + dx]);
          }
        }
        if (!near.includes(r)) ++mixed;
      }
    }
    for (let gy = 0; gy < N; ++gy) {
      for (let gx = 0; gx < N; ++gx) {
        const x = Math.floor((gx + 0.5) * PANEL / N);
        const y = Math.floor((gy + 0.5) * PANEL / N);
        if (pixel(img, x, y)[0] !== grey[gy * N + gx]) ++centresWrong;
      }
    }
    assert.equal(centresWrong, 0);
    assert.equal(mixed, 0);
    const ticks = (await page.$$eval('#bildTicks0 span', (es) => es.map((e) => e.textContent))).map(Number);
    assert.ok(ticks.length >= 3 && ticks.length <= 5, `${ticks}`);
    for (let i = 0; i < ticks.length; ++i) {
      assert.ok(ticks[i] >= lo && ticks[i] <= hi, `${ticks[i]} outside ${lo}..${hi}`);
      if (i > 0) assert.ok(ticks[i] < ticks[i - 1], 'top first');
    }
  });

  it('has no difference at the top level and one after going down to level 3, lines over the coefficients', async () => {
    const differenz = await canvasPixels(page, 'bildPanel2');
    for (let y = 0; y < PANEL; ++y) for (let x = 0; x < PANEL; ++x) assert.ok(isWhite(pixel(differenz, x, y)));
    assert.deepEqual(await page.$$eval('#bildTicks2 span', (es) => es.map((e) => e.textContent)), ['0']);
    let koeff = await canvasPixels(page, 'bildPanel3');
    let white = 0;
    for (let y = 0; y < PANEL; ++y) for (let x = 0; x < PANEL; ++x) if (isWhite(pixel(koeff, x, y))) ++white;
    assert.equal(white, 0, 'no block lines at the top level');

    for (let i = 0; i < 3; ++i) await press('#trbLevel', 'ArrowLeft');
    await stateChanged();
    assert.equal(await page.evaluate(() => window.veltra.state().chosenLevel), 3);
    const after3 = await canvasPixels(page, 'bildPanel2');
    const colours = new Set();
    for (let y = 0; y < PANEL; ++y) for (let x = 0; x < PANEL; ++x) colours.add(pixel(after3, x, y).join());
    assert.ok(colours.size > 10, `${colours.size} colours`);
    assert.ok((await page.$$eval('#bildTicks2 span', (es) => es.length)) >= 3);
    // A vertical line where each detail block of levels 3 to 5 begins, in
    // the blocks' upper rows and down to the bottom.
    koeff = await canvasPixels(page, 'bildPanel3');
    for (const j of [3, 4, 5]) {
      const x = Math.round(((1 << j) + 1) * PANEL / N);
      const from = Math.round((N - (1 << (j + 1)) - 1) * PANEL / N);
      for (let y = from; y < PANEL; ++y) assert.ok(isWhite(pixel(koeff, x, y)), `line ${j} at (${x}, ${y})`);
    }
    const original = await canvasPixels(page, 'bildPanel0');
    const x3 = Math.round(9 * PANEL / N);
    assert.ok(!isWhite(pixel(original, x3, PANEL - 1)), 'no lines over the original');
  });

  it('downloads the data view as veltra-daten.png with Strg+S, the canvas as it is', async () => {
    const shown = await canvasPixels(page, 'daten');
    await press('#daten', 's', 'Control');
    const png = await decodePng(await downloaded('veltra-daten.png'));
    assert.deepEqual([png.width, png.height], [shown.width, shown.height]);
    assert.ok(png.data.equals(shown.data), 'the file shows what the canvas shows');
  });

  it('copies the function view to the clipboard as PNG with Strg+C', async () => {
    await page.bringToFront();
    await press('#grafik', 'c', 'Control');
    const size = await page.evaluate(async () => {
      for (let i = 0; i < 50; ++i) {
        const items = await navigator.clipboard.read();
        const item = items.find((it) => it.types.includes('image/png'));
        if (item) {
          const bitmap = await createImageBitmap(await item.getType('image/png'));
          return [bitmap.width, bitmap.height];
        }
        await new Promise((r) => setTimeout(r, 100));
      }
      return null;
    });
    const canvas = await page.$eval('#grafik', (c) => [c.width, c.height]);
    assert.deepEqual(size, canvas);
    assert.equal(await page.$eval('#message', (d) => d.open), false);
  });

  it('saves "Bild" as veltra-bild.png from its right-click menu', async () => {
    const box = await page.$eval('#bildPanel1', (c) => { const r = c.getBoundingClientRect(); return [r.x + 20, r.y + 20]; });
    await page.mouse.click(box[0], box[1], { button: 'right' });
    assert.deepEqual(await page.$$eval('#bildMenu:not([hidden]) button', (es) => es.map((e) => e.textContent)),
      ['Bild kopierenStrg+C', 'Bild speichern…Strg+S']);
    await page.click('#bildMenu button[data-do=save]');
    assert.equal(await page.$eval('#bildMenu', (m) => m.hidden), true);
    const png = await decodePng(await downloaded('veltra-bild.png'));
    const size = await page.$eval('#bildPanels', (e) => [e.offsetWidth, e.offsetHeight]);
    assert.deepEqual([png.width, png.height], size);
  });

  it('opens the view menu on a right click that does not move', async () => {
    const [x, y] = await page.$eval('#grafik', (c) => { const r = c.getBoundingClientRect(); return [r.x + 100, r.y + 100]; });
    await page.mouse.click(x, y, { button: 'right' });
    assert.equal(await page.$eval('#bildMenu', (m) => m.hidden), false);
    await page.keyboard.press('Escape');
    assert.equal(await page.$eval('#bildMenu', (m) => m.hidden), true);
    assert.deepEqual(foreign, []);
    assert.deepEqual(errors, []);
  });
});
