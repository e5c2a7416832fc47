// Fingers on the data view, sent as touch events through the DevTools
// protocol: they must act exactly as the mouse's drags and wheel do.
import { after, before, describe, it } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { assertClean, canvasPixels, compare, launch, loadPage, openPage, readPpm, serve } from './browser.mjs';

const PAGE_DIR = path.resolve(process.env.VELTRA_PAGE_DIR ?? 'build/web/page');
const DESKTOP = process.env.VELTRA_DESKTOP_PICTURES;

let server, origin, browser, page, foreign, errors, cdp, centre, initial;

before(async () => {
  ({ server, origin } = await serve(PAGE_DIR));
  browser = await launch();
  ({ page, foreign, errors } = await openPage(browser, origin));
  await loadPage(page, origin);
  initial = await page.evaluate(() => window.veltra.state());
  cdp = await page.target().createCDPSession();
  const r = await page.$eval('#daten', (c) => { const b = c.getBoundingClientRect(); return [b.x, b.y, b.width, b.height]; });
  centre = [r[0] + r[2] / 2, r[1] + r[3] / 2];
});

after(async () => {
  await browser?.close();
  server?.close();
});

const state = () => page.evaluate(() => window.veltra.state());
const near = (a, b) => Math.abs(a - b) < 1e-12;

// The fingers now on the glass, each [dx, dy] from the data view's centre;
// the protocol works out which of them went down, moved or came up.
async function fingers(type, points) {
  await cdp.send('Input.dispatchTouchEvent', {
    type,
    touchPoints: points.map(([dx, dy], id) => ({ x: centre[0] + dx, y: centre[1] + dy, id })),
  });
}
// Each finger from its start by `by` in `steps` equal moves.
async function slide(start, by, steps) {
  for (let k = 1; k <= steps; ++k) {
    await fingers('touchMove', start.map(([x, y], i) => [x + (by[i][0] * k) / steps, y + (by[i][1] * k) / steps]));
  }
}

describe('Finger auf den Ansichten', () => {
  it('one finger turns as the left drag does: 30 px right, Dgamma +15', async () => {
    const s0 = await state();
    await fingers('touchStart', [[0, 0]]);
    await slide([[0, 0]], [[30, 0]], 3);
    await fingers('touchEnd', []);
    const s = await state();
    assert.deepEqual([s.Dalpha, s.Dbeta, s.Dgamma], [s0.Dalpha, s0.Dbeta, s0.Dgamma + 15]);
    assert.deepEqual([s.DPosX, s.DPosY, s.DPosZ], [s0.DPosX, s0.DPosY, s0.DPosZ]);
  });

  it('two fingers spread by 40 px come nearer by two wheel notches, without turning or moving', async () => {
    const s0 = await state();
    await fingers('touchStart', [[-20, 0], [20, 0]]);
    await slide([[-20, 0], [20, 0]], [[-20, 0], [20, 0]], 2);
    await fingers('touchEnd', []);
    const s = await state();
    assert.ok(near(s.DPosZ, s0.DPosZ + 0.2), `DPosZ ${s.DPosZ} from ${s0.DPosZ}`);  // a notch is 0.1 nearer
    assert.deepEqual([s.Dgamma, s.DPosX, s.DPosY], [s0.Dgamma, s0.DPosX, s0.DPosY]);
  });

  it('two fingers dragged by (40, -20) move the view as the right drag does', async () => {
    const s0 = await state();
    await fingers('touchStart', [[-20, 0], [20, 0]]);
    await slide([[-20, 0], [20, 0]], [[40, -20], [40, -20]], 4);
    // The finger left behind turns nothing.
    await fingers('touchEnd', [[60, -20]]);
    await fingers('touchMove', [[90, -20]]);
    await fingers('touchEnd', []);
    const s = await state();
    assert.ok(near(s.DPosX, s0.DPosX + 0.2), `DPosX ${s.DPosX} from ${s0.DPosX}`);
    assert.ok(near(s.DPosY, s0.DPosY + 0.1), `DPosY ${s.DPosY} from ${s0.DPosY}`);
    assert.deepEqual([s.Dalpha, s.Dbeta, s.Dgamma, s.DPosZ], [s0.Dalpha, s0.Dbeta, s0.Dgamma, s0.DPosZ]);
  });

  it('shows the data view as the desktop does after the same turn, wheel and move', () => {
    assert.ok(DESKTOP, 'VELTRA_DESKTOP_PICTURES must name the desktop_pictures program');
    const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'veltra-desktop-'));
    execFileSync(DESKTOP, [dir, 'drag', 'daten', '30', '0', '0', 'wheel', 'daten', '2', 'move', 'daten', '40', '-20']);
    const desk = readPpm(path.join(dir, 'daten.ppm'));
    fs.rmSync(dir, { recursive: true });
    return canvasPixels(page, 'daten').then((now) => {
      const { mean } = compare(now, desk);
      assert.ok(mean < 0.5, `mean difference from the desktop ${mean.toFixed(3)}`);
    });
  });

  it('puts the view back on a double tap, as on a double click', async () => {
    const s0 = await state();
    for (let i = 0; i < 2; ++i) {
      await fingers('touchStart', [[0, 0]]);
      await fingers('touchEnd', []);
    }
    await page.waitForFunction((g) => window.veltra.state().Dgamma !== g, {}, s0.Dgamma);
    const s = await state();
    assert.deepEqual([s.Dalpha, s.Dbeta, s.Dgamma, s.DPosX, s.DPosY, s.DPosZ],
                     [initial.Dalpha, initial.Dbeta, initial.Dgamma, initial.DPosX, initial.DPosY, initial.DPosZ]);
  });

  it('asked nothing of another origin and reported no error', () => {
    assertClean({ foreign, errors });
  });
});
