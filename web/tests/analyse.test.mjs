// The page's panel dialogs and "Analyse" in a German-language chromium, as
// a lecturer uses them: numbers as on the desktop (points, not commas), the
// settings' refusals, the animated "Auswahl", and a table file's readouts and
// curve points equal to the desktop's bit for bit for the same bytes; refused
// files change nothing; a picture dropped on the page is taken.
import { after, before, describe, it } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync, spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { assertClean, canvasPixels, launch, loadPage, openPage, screenPixels, serve } from './browser.mjs';

const PAGE_DIR = path.resolve(process.env.VELTRA_PAGE_DIR ?? 'build/web/page');
const DESKTOP = process.env.VELTRA_DESKTOP_PICTURES;

let server, origin, browser, page, foreign, errors, tmp;

before(async () => {
  ({ server, origin } = await serve(PAGE_DIR));
  browser = await launch(['--lang=de-DE', '--accept-lang=de-DE'], { LANG: 'de_DE.UTF-8', LANGUAGE: 'de' });
  ({ page, foreign, errors } = await openPage(browser, origin, { width: 1366, height: 768 }));
  await loadPage(page, origin);
  tmp = fs.mkdtempSync(path.join(os.tmpdir(), 'veltra-analyse-'));
});

after(async () => {
  await browser?.close();
  server?.close();
  if (tmp) fs.rmSync(tmp, { recursive: true, force: true });
});

const state = () => page.evaluate(() => window.veltra.state());
const text = (id) => page.$eval(`#${id}`, (e) => e.textContent);
const messageShown = () => page.$eval('#message', (d) => (d.open ? d.querySelector('#messageText').textContent : null));
async function closeMessage() {
  await page.$eval('#message', (d) => d.close());
}

// The desktop program after the same actions: its readouts and curves.
function desktop(actions) {
  assert.ok(DESKTOP, 'VELTRA_DESKTOP_PICTURES must name the desktop_pictures program');
  const dir = fs.mkdtempSync(path.join(tmp, 'desk-'));
  execFileSync(DESKTOP, [dir, ...actions]);
  return { analyse: JSON.parse(fs.readFileSync(path.join(dir, 'analyse.json'), 'utf8')) };
}

// What the desktop says when it refuses these actions (its message on stderr).
function desktopRefusal(actions) {
  const dir = fs.mkdtempSync(path.join(tmp, 'desk-'));
  const r = spawnSync(DESKTOP, [dir, ...actions], { encoding: 'utf8' });
  assert.notEqual(r.status, 0, 'the desktop refuses too');
  return r.stderr.trim();
}

async function upload(file) {
  const input = await page.$('#fileInput');
  await input.uploadFile(file);
}

describe('Panel und Analyse im Browser (de-DE)', () => {
  it('runs in German and shows the panel numbers with a point, like the desktop', async () => {
    assert.equal(await page.evaluate(() => navigator.language), 'de-DE');
    assert.deepEqual([await text('labDelta'), await text('labaktuellesDelta')], ['Delta: 0.4', 'aktuelles Delta: 0.4']);
    await page.click('#butAbout');
    const about = await page.$eval('#about', (d) => [d.open, d.textContent.replace(/\s+/g, ' ')]);
    assert.equal(about[0], true);
    assert.match(about[1], /Veltra Dient der Veranschaulichung einer zweidimensionalen ?Multiskalenanalyse mit BLaC-Wavelets\. Entwickelt vom Veltra-Team\. Freie Software zum Lernen und Lehren\./);
    await page.keyboard.press('Escape');
    assert.equal(await page.$eval('#about', (d) => d.open), false);
    await page.keyboard.press('F1');
    assert.match(await page.$eval('#help', (d) => (d.open ? d.textContent : '')), /Tasten und Maus in den Fenstern/);
    await page.keyboard.press('Escape');
  });

  it('refuses settings one past their limit with the desktop message and takes them at the limit', async () => {
    await page.click('#butPrefs');
    assert.deepEqual(await page.$$eval('#prefs input', (f) => f.map((i) => i.value)), ['0.03', '0.1', '0.02', '5', '10']);
    const setField = async (id, value) => page.$eval(`#${id}`, (e, v) => { e.value = v; }, value);
    await setField('txtSteps', '101');
    await page.click('#butOK');
    assert.equal(await messageShown(), 'Ungültige Anzahl Zwischenschritte: bitte eine ganze Zahl von 1 bis 100 eingeben.');
    await closeMessage();
    assert.equal(await page.$eval('#prefs', (d) => d.open), true, 'the dialog stays open');
    assert.equal((await state()).transitionSteps, 10, 'nothing taken over');
    await setField('txtSteps', '12');
    await page.focus('#txtSteps');
    await page.keyboard.press('Enter');  // Return means OK
    assert.equal(await page.$eval('#prefs', (d) => d.open), false);
    assert.equal((await state()).transitionSteps, 12);
  });

  it('animates Auswahl frame by frame: 12 steps after the settings, then the close-up', async () => {
    const from = (await state()).functionOrientation[2];
    // Every browser frame's state of wavelet 2 until the close-up.
    const seen = page.evaluate(() => new Promise((resolve) => {
      const frames = [];
      const look = () => {
        const s = window.veltra.state();
        frames.push({ o: s.functionOrientation[2], closeUp: s.closeUp });
        if (s.closeUp || frames.length > 200) resolve(frames);
        else requestAnimationFrame(look);
      };
      requestAnimationFrame(look);
    }));
    await page.select('#cmbSelect', '3');
    const frames = await seen;
    const beta = [...new Set(frames.filter((f) => !f.closeUp).map((f) => f.o[1]))];
    // Start, 12 intermediate positions (the last of them at the target).
    assert.ok(beta.length >= 12, `distinct frames ${beta.length}`);
    const to = [-67, 4, -20];
    for (let k = 1; k < beta.length; ++k) {
      const step = (to[1] - from[1]) / 12;
      assert.ok(Math.abs((beta[k] - beta[k - 1]) / step - Math.round((beta[k] - beta[k - 1]) / step)) < 1e-9);
    }
    const s = await state();
    assert.deepEqual([s.closeUp, s.selectedFunction], [true, 2]);
    assert.deepEqual(s.functionOrientation[2].map((v) => Math.round(v * 1e9) / 1e9), to);
    // Back to all functions for what follows.
    await page.select('#cmbSelect', '0');
    await page.waitForFunction(() => !window.veltra.state().closeUp && window.veltra.state().selectedFunction === 4);
  });

  it('takes a formula as the desktop does and refuses a broken one with its message', async () => {
    await page.click('#butAnalyse');
    const formula = async (f) => {
      await page.$eval('#txtFormel', (e, v) => { e.value = v; }, f);
      await page.click('#butUebernehmen');
    };
    await formula('sin(x');
    assert.equal(await messageShown(), desktopRefusal(['formula', 'sin(x']));
    await closeMessage();
    assert.equal((await state()).sourceKind, 'Sample', 'nothing taken');
    assert.equal(await page.$eval('#rbBeispiel', (r) => r.checked), true);
    await formula('x*y+0.1*cos(9*x)');
    const s = await state();
    assert.deepEqual([s.sourceKind, s.sourceName, s.chosenLevel], ['Formula', 'x*y+0.1*cos(9*x)', 6]);
    assert.equal(await text('labQuelle'), 'In Kraft: f(x, y) = x*y+0.1*cos(9*x)');
    const desk = desktop(['formula', 'x*y+0.1*cos(9*x)']);
    assert.deepEqual(await page.$$eval('#tblEnergie tbody tr', (rows) => rows.map((r) => [...r.cells].map((c) => c.textContent))),
                     desk.analyse.energie);
    assert.equal(await text('labFehler'), desk.analyse.fehler);
  });

  it('gives the desktop readouts and curve points bit for bit for the same table bytes at 129 points', async () => {
    // 40 rows along x, 31 columns along y, decimal commas with semicolons.
    const lines = [];
    for (let r = 0; r < 40; ++r) {
      const row = [];
      for (let c = 0; c < 31; ++c) row.push((Math.sin(r / 5) * Math.cos(c / 7) + ((r * c) % 5) / 50).toFixed(4).replace('.', ','));
      lines.push(row.join(';'));
    }
    const table = path.join(tmp, 'messung.csv');
    fs.writeFileSync(table, `# Messwerte\n${lines.join('\n')}\n`);

    await upload(table);
    await page.waitForFunction(() => window.veltra.state().sourceKind === 'File');
    assert.equal(await text('labQuelle'), 'In Kraft: die Datei „messung.csv“.');
    await page.select('#cmbAufloesung', '129');
    assert.deepEqual(await page.$eval('#trbLevel', (t) => [t.min, t.max, t.value]), ['2', '7', '7']);
    assert.equal(await text('labLevel'), 'Level: 7');
    await page.focus('#trbLevel');
    for (let i = 0; i < 4; ++i) await page.keyboard.press('ArrowLeft');
    await page.$eval('#spnAnteil', (e) => { e.value = '5.5'; e.dispatchEvent(new Event('change')); });
    // The scroll bar's Delta apart from the data's: the hollow marker stands elsewhere.
    await page.focus('#scrDelta');
    for (let i = 0; i < 5; ++i) await page.keyboard.press('ArrowRight');
    assert.equal(await text('labDelta'), 'Delta: 0.45');
    await page.click('#butAnwenden');
    // On 129 points the curves come from the worker, with progress.
    await page.waitForFunction(() => window.veltraCurves, { timeout: 120000 });
    const desk = desktop(['table', table, 'resolution', '129', 'level', '3', 'share', '5.5', 'delta', '45', 'compress']);
    assert.notDeepEqual(desk.analyse.overDelta.marker, desk.analyse.overDelta.pending);
    const shown = {
      behalten: await text('labBehalten'),
      gezeigt: await text('labGezeigt'),
      fehler: await text('labFehler'),
      quelle: await text('labQuelle'),
      energie: await page.$$eval('#tblEnergie tbody tr', (rows) => rows.map((r) => [...r.cells].map((c) => c.textContent))),
    };
    for (const key of Object.keys(shown)) assert.deepEqual(shown[key], desk.analyse[key], key);
    assert.equal(shown.gezeigt, 'Gezeigt: 5.5 % behalten (Level 3)');
    const curves = await page.evaluate(() => window.veltraCurves);
    for (const c of ['overDelta', 'overShare']) {
      assert.equal(curves[c].y.length, 101);
      assert.deepEqual(curves[c], desk.analyse[c], c);  // doubles through JSON with 17 digits: bit for bit
    }
    assert.equal(await text('labMinimum'), desk.analyse.minimum);
    // The charts draw them: the blue line, and the red filled marker where the
    // data's Delta is (0.4, two fifths across the plot), the ring at 0.45.
    const drawn = await page.$eval('#chtDelta canvas', (c) => {
      const { data, width, height } = c.getContext('2d').getImageData(0, 0, c.width, c.height);
      let blue = 0;
      const redColumns = [];
      for (let y = 0; y < height; ++y) {
        for (let x = 0; x < width; ++x) {
          const [r, g, b] = data.subarray(4 * (y * width + x), 4 * (y * width + x) + 3);
          if (b > 120 && r < 80) ++blue;
          if (r > 150 && g < 60 && b < 60) redColumns.push(x);
        }
      }
      return { blue, redColumns, width };
    });
    assert.ok(drawn.blue > 200, `line pixels ${drawn.blue}`);
    assert.ok(drawn.redColumns.length > 40, `marker pixels ${drawn.redColumns.length}`);
    const plot = await page.$eval('#chtDelta .u-over', (o) => {
      const r = o.getBoundingClientRect();
      const c = o.parentElement.querySelector('canvas').getBoundingClientRect();
      return { left: r.left - c.left, width: r.width, scale: o.parentElement.querySelector('canvas').width / c.width };
    });
    const mid = drawn.redColumns.reduce((a, b) => a + b, 0) / drawn.redColumns.length / plot.scale;
    const expected = plot.left + 0.425 * plot.width;  // between the marker at 0.4 and the ring at 0.45
    assert.ok(Math.abs(mid - expected) < 0.03 * plot.width, `markers at ${mid.toFixed(1)} px, expected near ${expected.toFixed(1)}`);
  });

  it('refuses a broken table and a broken picture with the desktop message and changes nothing', async () => {
    const before = await state();
    const bad = path.join(tmp, 'kaputt.csv');
    fs.writeFileSync(bad, '1 2 3\n4 x 6\n');
    await upload(bad);
    await page.waitForFunction(() => document.getElementById('message').open);
    assert.equal(await messageShown(), desktopRefusal(['table', bad]));
    await closeMessage();
    const png = path.join(tmp, 'kaputt.png');
    fs.writeFileSync(png, Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 1, 2, 3]));
    await upload(png);
    await page.waitForFunction(() => document.getElementById('message').open);
    assert.equal(await messageShown(),
                 'Das Bild „kaputt.png“ lässt sich nicht lesen. Die Bilddaten sind fehlerhaft oder unvollständig.');
    await closeMessage();
    const after = await state();
    assert.deepEqual([after.sourceName, after.resolution, after.chosenLevel, after.compressedPercent],
                     [before.sourceName, before.resolution, before.chosenLevel, before.compressedPercent]);
    assert.equal(await page.$eval('#rbDatei', (r) => r.checked), true);
  });

  it('takes a picture dropped on the page: grey 51 everywhere is 0.14 high', async () => {
    await page.evaluate(async () => {
      const c = new OffscreenCanvas(8, 6);
      const g = c.getContext('2d');
      g.fillStyle = 'rgb(51, 51, 51)';
      g.fillRect(0, 0, 8, 6);
      const blob = await c.convertToBlob({ type: 'image/png' });
      const dt = new DataTransfer();
      dt.items.add(new File([blob], 'grau.png', { type: 'image/png' }));
      window.dispatchEvent(new DragEvent('drop', { dataTransfer: dt, cancelable: true }));
    });
    await page.waitForFunction(() => window.veltra.state().sourceName === 'grau.png');
    const s = await state();
    assert.deepEqual([s.sourceKind, s.resolution, s.chosenLevel], ['File', 129, 7]);
    // 129 x 129 points of 51 / 255 * 0.7 = 0.14: energy 16641 * 0.0196 = 326.16.
    assert.deepEqual(await page.$$eval('#tblEnergie tbody tr', (rows) => rows.map((r) => [...r.cells].map((c) => c.textContent))),
                     [['100 %', 'Approximation, Level 7', '326']]);
    assert.match(await text('labBehalten'), /^Auf Level 7 gibt es nichts wegzulassen/);
    assert.equal(await page.$eval('#grpKurven', (g) => g.dataset.state), 'empty');
  });

  it('shows the whole data view on the screen beside a large open Analyse, as its canvas holds it', async () => {
    // On a projector Analyse takes its own part of the screen; the view
    // beside it must reach the screen whole (Chromium once left parts of a
    // view blank under a window floating over it).
    const opened = await openPage(browser, origin, { width: 1920, height: 1080 });
    const big = opened.page;
    await loadPage(big, origin);
    await big.click('#butAnalyse');
    await big.evaluate(() => new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r))));
    const { c, d } = await big.evaluate(() => ({
      c: document.getElementById('daten').getBoundingClientRect().toJSON(),
      d: document.getElementById('analyse').getBoundingClientRect().toJSON(),
    }));
    assert.ok(d.left >= c.right, `Analyse from ${d.left}, the view up to ${c.right}`);
    const screen = await screenPixels(big);
    const canvas = await canvasPixels(big, 'daten');
    let sum = 0;
    let n = 0;
    for (let y = Math.ceil(c.top) + 1; y < Math.floor(c.bottom) - 1; ++y) {
      for (let x = Math.ceil(c.left) + 1; x < Math.floor(c.right) - 1; ++x) {
        const s = 4 * (y * screen.width + x);
        const v = 4 * ((y - Math.round(c.top)) * canvas.width + (x - Math.round(c.left)));
        for (let k = 0; k < 3; ++k) sum += Math.abs(screen.data[s + k] - canvas.data[v + k]);
        n += 3;
      }
    }
    assert.ok(n > 100000, `compared ${n / 3} pixels`);
    assert.ok(sum / n < 1, `mean difference ${(sum / n).toFixed(2)} between the screen and the canvas`);
    assertClean(opened);
    await big.close();
  });

  it('asked nothing of another origin and reported no error', () => {
    assertClean({ foreign, errors });
  });
});
