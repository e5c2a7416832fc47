// The page in headless chromium, as a student uses it: both views drawn,
// the controls, keys and mouse acting through the same functions as on the
// desktop, pictures compared with the desktop's pictures of the same state.
// VELTRA_PAGE_DIR: the built page; VELTRA_DESKTOP_PICTURES: a program that
// writes the desktop's pictures of a state (see desktopPictures below).
import { after, before, describe, it } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { assertClean, canvasPixels, compare, countColour, launch, loadPage, openPage, readPpm, serve } from './browser.mjs';

const PAGE_DIR = path.resolve(process.env.VELTRA_PAGE_DIR ?? 'build/web/page');
const DESKTOP = process.env.VELTRA_DESKTOP_PICTURES;
// Mean difference per channel (0..255) allowed between a canvas and the
// desktop's picture of the same state: chromium's WebGL (SwiftShader) and
// Mesa's fixed function rasterise edges and lines a little differently
// (measured 0.03 to 0.07; a view turned one key step off gives 4 and more).
const MAX_MEAN_DIFFERENCE = 0.5;

let server, origin, browser, page, foreign, errors, initial;

before(async () => {
  ({ server, origin } = await serve(PAGE_DIR));
  browser = await launch();
  ({ page, foreign, errors } = await openPage(browser, origin));
  await loadPage(page, origin);
  initial = await page.evaluate(() => window.veltra.state());
});

after(async () => {
  await browser?.close();
  server?.close();
});

const state = () => page.evaluate(() => window.veltra.state());
const text = (id) => page.$eval(`#${id}`, (e) => e.textContent);
const pictures = async () => ({ grafik: await canvasPixels(page, 'grafik'), daten: await canvasPixels(page, 'daten') });

// The desktop's pictures (fixed-function OpenGL) after the same actions,
// written by the native program.
function desktopPictures(actions) {
  assert.ok(DESKTOP, 'VELTRA_DESKTOP_PICTURES must name the desktop_pictures program');
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'veltra-desktop-'));
  execFileSync(DESKTOP, [dir, ...actions]);
  const out = {
    grafik: readPpm(path.join(dir, 'grafik.ppm')),
    daten: readPpm(path.join(dir, 'daten.ppm')),
    analyse: JSON.parse(fs.readFileSync(path.join(dir, 'analyse.json'), 'utf8')),
  };
  fs.rmSync(dir, { recursive: true });
  return out;
}

// Everything done on the page so far, in the desktop program's words.
const history = [];
const did = (...actions) => history.push(...actions);

function expectLikeDesktop(now) {
  const actions = history;
  const desk = desktopPictures(actions);
  for (const view of ['grafik', 'daten']) {
    const { mean } = compare(now[view], desk[view]);
    console.log(`${view}: mean difference from the desktop ${mean.toFixed(3)}`);
    assert.ok(mean < MAX_MEAN_DIFFERENCE, `${view} after [${actions}]: mean difference ${mean.toFixed(3)}`);
  }
}

async function press(selector, key, times = 1) {
  await page.focus(selector);
  for (let i = 0; i < times; ++i) await page.keyboard.press(key);
}

// Centre of a canvas plus an offset, in page coordinates.
async function at(id, dx = 0, dy = 0) {
  const r = await page.$eval(`#${id}`, (c) => { const b = c.getBoundingClientRect(); return [b.x, b.y, b.width, b.height]; });
  return [r[0] + r[2] / 2 + dx, r[1] + r[3] / 2 + dy];
}

describe('Veltra im Browser', () => {
  it('draws four red functions and the green data surface, as the desktop does', async () => {
    const p = await pictures();
    assert.deepEqual([p.grafik.width, p.grafik.height, p.daten.width, p.daten.height], [492, 528, 531, 528]);
    // One function in each quadrant of the function view.
    for (const q of [[0, 0, 0.5, 0.5], [0.5, 0, 1, 0.5], [0, 0.5, 0.5, 1], [0.5, 0.5, 1, 1]]) {
      assert.ok(countColour(p.grafik, 0, q) > 2000, `red in quadrant ${q}: ${countColour(p.grafik, 0, q)}`);
    }
    assert.ok(countColour(p.daten, 1) > 20000, `green data: ${countColour(p.daten, 1)}`);
    assert.equal(countColour(p.daten, 0) + countColour(p.daten, 2), 0);
    assert.deepEqual([await text('labDelta'), await text('labLevel'), await text('labaktuellesDelta')],
                     ['Delta: 0.4', 'Level: 6', 'aktuelles Delta: 0.4']);
    assert.equal(await text('grafikTitle'), 'Skalierungsfunktion und Wavelets');
    expectLikeDesktop(p);
  });

  it('follows the Delta scroll bar, Berechne! and the level track bar down to the level-2 layout', async () => {
    const before = await pictures();
    await press('#scrDelta', 'ArrowRight', 15);
    assert.equal(await text('labDelta'), 'Delta: 0.55');
    // The desktop's window caption changes here; the page's heading keeps the view's name.
    assert.equal(await text('grafikTitle'), 'Skalierungsfunktion und Wavelets');
    const s = await state();
    assert.equal(s.delta, 0.55);
    assert.equal(s.currentDelta, 0.4);
    const turned = await pictures();
    assert.ok(compare(turned.grafik, before.grafik).mean > 0.5, 'function view redrawn for the new Delta');
    assert.equal(compare(turned.daten, before.daten).mean, 0, 'data view untouched by the scroll bar');

    await page.click('#butBerechne');
    assert.equal(await text('labaktuellesDelta'), 'aktuelles Delta: 0.55');
    await page.click('#cbxOnlyData');
    await press('#trbLevel', 'ArrowLeft', 4);
    did('delta', '55', 'compute', 'onlyData', '0', 'level', '2');
    assert.equal(await text('labLevel'), 'Level: 2');
    assert.equal((await state()).chosenLevel, 2);
    const layout = await pictures();
    // Red and blue detail blocks, the small green approximation in their corner
    // (the desktop shows 21469, 869 and 8631 such pixels).
    const counts = [0, 1, 2].map((c) => countColour(layout.daten, c));
    assert.ok(counts[0] > 15000 && counts[1] > 500 && counts[2] > 6000, `red, green, blue: ${counts}`);
    expectLikeDesktop(layout);

    // Back up to 6 and to the start view, for the tests below.
    await press('#trbLevel', 'ArrowRight', 4);
    await page.click('#cbxOnlyData');
    await press('#scrDelta', 'ArrowLeft', 15);
    await page.click('#butBerechne');
    did('level', '6', 'onlyData', '1', 'delta', '40', 'compute');
    assert.deepEqual([await text('labDelta'), await text('labLevel'), await text('labaktuellesDelta')],
                     ['Delta: 0.4', 'Level: 6', 'aktuelles Delta: 0.4']);
  });

  it('turns and moves the views with R, T, the arrows and Shift', async () => {
    const start = await state();
    await press('#grafik', 'ArrowRight');           // rotate mode: gamma of all four, function view only
    await page.keyboard.down('Shift');
    await page.keyboard.press('ArrowDown');       // Shift+Down: beta
    await page.keyboard.up('Shift');
    await press('#daten', 't');
    await page.keyboard.press('ArrowUp');         // translate mode: nearer
    await page.keyboard.down('Shift');
    await page.keyboard.press('ArrowUp');         // Shift+Up: up
    await page.keyboard.up('Shift');
    const s = await state();
    for (let f = 0; f < 4; ++f) {
      const [a, b, g] = start.functionOrientation[f];
      assert.deepEqual(s.functionOrientation[f], [a, b + 5, g + 5], `function ${f}`);
    }
    assert.equal(s.navMode, 'T');
    assert.equal(s.DPosZ, start.DPosZ + 0.1);
    assert.equal(s.DPosY, start.DPosY + 0.1);
    assert.deepEqual([s.Dalpha, s.Dbeta, s.Dgamma], [start.Dalpha, start.Dbeta, start.Dgamma]);
    did('key', 'grafik', '39', '0', 'key', 'grafik', '40', '1', 'key', 'daten', '84', '0', 'key', 'daten', '38', '0',
        'key', 'daten', '38', '1');
    expectLikeDesktop(await pictures());
    await press('#daten', 'r');
    did('key', 'daten', '82', '0');
    assert.equal((await state()).navMode, 'R');
  });

  it('turns with the left drag, moves with the right drag and the wheel, resets with a double click', async () => {
    const start = await state();
    const [x, y] = await at('daten');
    await page.mouse.move(x, y);
    await page.mouse.down({ button: 'left' });
    await page.mouse.move(x + 30, y, { steps: 3 });
    await page.mouse.up({ button: 'left' });
    let s = await state();
    assert.equal(s.Dgamma, start.Dgamma + 15);  // 10 px a rotation step of 5 degrees

    await page.mouse.down({ button: 'right' });
    await page.mouse.move(x + 30 + 40, y - 20, { steps: 4 });
    await page.mouse.up({ button: 'right' });
    s = await state();
    assert.ok(Math.abs(s.DPosX - (start.DPosX + 0.2)) < 1e-12, `DPosX ${s.DPosX}`);
    assert.ok(Math.abs(s.DPosY - (start.DPosY + 0.1)) < 1e-12, `DPosY ${s.DPosY}`);

    await page.mouse.wheel({ deltaY: -100 });   // one notch forward: nearer
    s = await state();
    assert.ok(Math.abs(s.DPosZ - (start.DPosZ + 0.1)) < 1e-12, `DPosZ ${s.DPosZ}`);
    did('drag', 'daten', '30', '0', '0', 'move', 'daten', '40', '-20', 'wheel', 'daten', '1');
    expectLikeDesktop(await pictures());

    // The double click puts the data view where it was after loading.
    await page.mouse.click(x, y, { count: 2 });
    s = await state();
    assert.deepEqual([s.Dalpha, s.Dbeta, s.Dgamma, s.DPosX, s.DPosY, s.DPosZ],
                     [initial.Dalpha, initial.Dbeta, initial.Dgamma, initial.DPosX, initial.DPosY, initial.DPosZ]);
    assert.notDeepEqual([start.DPosY, start.DPosZ], [initial.DPosY, initial.DPosZ]);  // the keys had moved it
  });

  it('draws tables and a terrain far from 0 whole, says their scale and keeps the readouts in their units', async () => {
    // The data view is where it was after loading (the double click above);
    // each file is replayed on the desktop from the start.
    const tmp = fs.mkdtempSync(path.join(os.tmpdir(), 'veltra-scale-'));
    const terrain = Array.from({ length: 65 }, (_, i) => Array.from({ length: 65 }, (_, k) => String(1500 + 500 * (i / 64) * (k / 64))).join(' '));
    const spike = Array.from({ length: 5 }, (_, r) => (r === 2 ? '0 0 1e6 0 0' : '0 0 0 0 0'));
    // Heights x 0.7 / span from the least: 0.5 .. 3.5 and 1 .. 4 at 0.7 / 3,
    // 1500 .. 2000 at 0.7 / 500; the spike at 0.7 / 1e6, the constant only shifted.
    const cases = [
      ['halbe.txt', '0,5\t1,5\n2,5\t3,5\n', 'Daten (Höhen x 0.233, ab 0.5)'],
      ['ganze.txt', '1 2\r3 4\r', 'Daten (Höhen x 0.233, ab 1)'],
      ['gelaende.txt', `${terrain.join('\n')}\n`, 'Daten (Höhen x 0.0014, ab 1500)'],
      ['spitze.txt', `${spike.join('\n')}\n`, 'Daten (Höhen x 7e-7)'],
      ['konstant.txt', '1500 1500\n1500 1500\n', 'Daten (Höhen ab 1500)'],
    ];
    // Only white at the picture's edge: the surface lies wholly inside the view.
    const whollyInside = (img) => {
      const white = (x, y) => [0, 1, 2].every((c) => img.data[4 * (y * img.width + x) + c] > 245);
      for (let x = 0; x < img.width; ++x) if (!white(x, 0) || !white(x, img.height - 1)) return false;
      for (let y = 0; y < img.height; ++y) if (!white(0, y) || !white(img.width - 1, y)) return false;
      return true;
    };
    let terrainEnergy = null;
    const energy = () => page.$$eval('#tblEnergie tbody tr', (rows) => rows.map((r) => [...r.cells].map((c) => c.textContent)));
    for (const [name, bytes, caption] of cases) {
      const file = path.join(tmp, name);
      fs.writeFileSync(file, bytes);
      await page.evaluate((n, t) => {
        const dt = new DataTransfer();
        dt.items.add(new File([t], n, { type: 'text/plain' }));
        window.dispatchEvent(new DragEvent('drop', { dataTransfer: dt, cancelable: true }));
      }, name, bytes);
      await page.waitForFunction((n) => window.veltra.state().sourceName === n, {}, name);
      assert.equal(await text('datenTitle'), caption, name);
      const steps = [[], ['level', '2'], ['level', '2', 'onlyData', '0']];
      for (const [k, step] of steps.entries()) {
        if (k === 1) await press('#trbLevel', 'ArrowLeft', 4);
        if (k === 2) await page.click('#cbxOnlyData');
        const daten = await canvasPixels(page, 'daten');
        assert.ok(whollyInside(daten), `${name} ${step}: the surface leaves the view`);
        assert.ok(countColour(daten, k === 2 ? 0 : 1) > 1000, `${name} ${step}: surface drawn`);
        assert.match(await text('datenTitle'), /^Daten \(Höhen (x [0-9.e+-]+)?(, )?(ab [0-9.e+-]+)?\)$/);
        if (name === 'gelaende.txt' && k === 0) {
          terrainEnergy = await energy();
          const [factor, offset] = (await state()).datenScale;
          assert.ok(Math.abs(factor - 0.0014) < 1e-15 && offset === 1500, `scale ${factor}, ${offset}`);
        }
        if (k < 2) continue;
        // The layout as the desktop draws it (one run of the desktop per file: suite time).
        const desk = desktopPictures(['table', file, ...step]);
        const { mean } = compare(daten, desk.daten);
        assert.ok(mean < MAX_MEAN_DIFFERENCE, `${name} ${step}: mean difference ${mean.toFixed(3)} from the desktop`);
        assert.equal(await text('datenTitle'), desk.analyse.datenTitel, `${name} ${step}`);
        assert.deepEqual(await energy(), desk.analyse.energie, `${name} ${step}: energies in the file's units`);
      }
      await page.click('#cbxOnlyData');
      await press('#trbLevel', 'ArrowRight', 4);
    }
    // The terrain's energy at level 6 is the sum of the squares of its heights, in m².
    let sum = 0;
    for (let i = 0; i <= 64; ++i) for (let k = 0; k <= 64; ++k) sum += (1500 + 500 * (i / 64) * (k / 64)) ** 2;
    assert.deepEqual(terrainEnergy, [['100 %', 'Approximation, Level 6', sum.toPrecision(3)]]);
    fs.rmSync(tmp, { recursive: true });
  });

  it('asked nothing of another origin and reported no error', () => {
    assertClean({ foreign, errors });
  });
});
