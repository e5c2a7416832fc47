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
  const out = { grafik: readPpm(path.join(dir, 'grafik.ppm')), daten: readPpm(path.join(dir, 'daten.ppm')) };
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

  it('asked nothing of another origin and reported no error', () => {
    assertClean({ foreign, errors });
  });
});
