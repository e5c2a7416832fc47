// The page with its panes on six screens, as a lecturer and students use it:
// whatever pane is open ("Analyse", "Bild", "Hilfe"), every view and every
// panel control is free at its centre, each pane lies wholly on the screen
// with its close control, nothing scrolls sideways and the views get the
// rest; on a touch screen every control is 44 x 44 CSS px to tap;
// "Präsentation" makes the text, the curves and Bild's panels large; the link
// carries both; hovering a curve shows its nearest point; no warnings or
// errors while panes open and close.
import { after, before, describe, it } from 'node:test';
import assert from 'node:assert/strict';
import path from 'node:path';
import { launch, loadPage, serve } from './browser.mjs';

const PAGE_DIR = path.resolve(process.env.VELTRA_PAGE_DIR ?? 'build/web/page');
// [width, height, device pixel ratio]: the last mouse screen is 1920 x 1080 at browser zoom 150 %.
const MOUSE = [[1920, 1080, 1], [1366, 768, 1], [1280, 720, 1.5]];
const TOUCH = [[1024, 768, 1], [800, 1280, 1], [390, 844, 1]];
// Opening and closing in this order shows each pane alone and with the others.
const STEPS = [
  ['open', 'analyse'], ['open', 'bild'], ['open', 'help'], ['close', 'analyse'], ['close', 'bild'],
  ['close', 'help'], ['open', 'bild'], ['close', 'bild'],
];

// SwiftShader's note that it reads a view's preserved drawing buffer back
// for the software compositor: twice at most for each view's context, from
// this headless set-up, not from the page's scripts.
const SOFTWARE_GL = /^\[\.WebGL-[0-9a-fx]+\]GL Driver Message \(OpenGL, Performance, [A-Z_]+, High\): GPU stall due to ReadPixels/;

let server, origin, browser;
const messages = [];  // every warning and error any page reported

before(async () => {
  ({ server, origin } = await serve(PAGE_DIR));
  browser = await launch();
  await browser.defaultBrowserContext().overridePermissions(origin, ['clipboard-read', 'clipboard-sanitized-write']);
});

after(async () => {
  await browser?.close();
  server?.close();
});

async function open([width, height, ratio], { touch = false, where = '/' } = {}) {
  const page = await browser.newPage();
  // Chromium reports a ResizeObserver loop only as an error event on the window.
  await page.evaluateOnNewDocument(() => window.addEventListener('error', (e) => console.error(e.message)));
  let loaded = false;
  page.on('console', (m) => {
    if (!loaded || !['warn', 'warning', 'error'].includes(m.type()) || SOFTWARE_GL.test(m.text())) return;
    messages.push(`${m.type()}: ${m.text()}`);
  });
  page.on('pageerror', (e) => messages.push(String(e)));
  await page.setViewport({ width, height, deviceScaleFactor: ratio, hasTouch: touch });
  await loadPage(page, origin, where);
  // From here on, while panes open and close (software WebGL warns of its
  // read-backs while the views first draw).
  loaded = true;
  return page;
}

const frames = (page) => page.evaluate(() => new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r))));

async function step(page, [what, pane]) {
  if (what === 'open') {
    // By the controls a person uses: the panel's buttons, B on a view for "Bild".
    if (pane === 'bild') {
      await page.focus('#daten');
      await page.keyboard.press('b');
    } else {
      await page.click(pane === 'analyse' ? '#butAnalyse' : '#butHilfe');
    }
  } else {
    await page.click(`#${pane} .paneTitle button`);
  }
  await frames(page);
  assert.equal(await page.$eval(`#${pane}`, (d) => d.open), what === 'open', `${pane} ${what}`);
}

// Everything this file checks on one screen state, measured in the page.
const inspect = (page) => page.evaluate(() => {
  const $ = (id) => document.getElementById(id);
  const W = document.documentElement.clientWidth;
  const H = window.innerHeight;
  const present = document.body.classList.contains('praesentation');
  const coarse = window.matchMedia('(pointer: coarse)').matches;
  const problems = [];
  const box = (e) => e.getBoundingClientRect();
  const shown = (e) => e.getClientRects().length > 0;
  const name = (e) => (e ? e.id || e.getAttribute('aria-label') || e.textContent.trim().slice(0, 20) || e.tagName : 'nothing');
  const onScreen = (r) => r.left >= -0.5 && r.top >= -0.5 && r.right <= W + 0.5 && r.bottom <= H + 0.5;
  // What is hit at the centre of `target` (a check box counts with its label).
  const freeAt = (e, target) => {
    const r = box(target);
    const hit = document.elementFromPoint(r.left + r.width / 2, r.top + r.height / 2);
    return hit && (target.contains(hit) || e.contains(hit)) ? null : name(hit);
  };
  const tapTarget = (e) => (e.type === 'checkbox' || e.type === 'radio' ? e.closest('label') ?? e : e);
  if (document.documentElement.scrollWidth > W) problems.push(`scrolls sideways: ${document.documentElement.scrollWidth} > ${W}`);

  const panes = [...document.querySelectorAll('#panes > dialog[open]')];
  const fixedParts = [$('grafik'), $('daten'), ...$('kontrolle').querySelectorAll('button, input, select')].filter(shown);
  for (const e of fixedParts) {
    const t = tapTarget(e);
    if (!onScreen(box(t))) problems.push(`${name(e)} off the screen`);
    else if (freeAt(e, t)) problems.push(`${name(e)} covered by ${freeAt(e, t)}`);
    for (const p of panes) {
      const a = box(t);
      const b = box(p);
      if (a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom) problems.push(`${p.id} over ${name(e)}`);
    }
  }
  for (const p of panes) {
    if (!onScreen(box(p))) problems.push(`${p.id} not wholly on the screen: ${JSON.stringify(box(p))}`);
    // No pane behind another.
    for (const q of panes) {
      const a = box(p);
      const b = box(q);
      if (p !== q && a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom) problems.push(`${p.id} and ${q.id} overlap`);
    }
    const close = p.querySelector('.paneTitle button');
    if (!onScreen(box(close)) || freeAt(close, close)) problems.push(`${p.id}'s close control not free`);
  }
  // Sizes: text 12 px (20 px in "Präsentation"), on touch every control 44 x 44.
  const minText = present ? 20 : 12;
  const walk = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT);
  for (let n = walk.nextNode(); n; n = walk.nextNode()) {
    const e = n.parentElement;
    if (!n.textContent.trim() || e.closest('dialog:not([open]), datalist, option') || !shown(e)) continue;
    const size = parseFloat(getComputedStyle(e).fontSize);
    if (size < minText) problems.push(`text "${n.textContent.trim().slice(0, 30)}" ${size}px`);
  }
  const controls = [...$('kontrolle').querySelectorAll('button, input, select'),
                    ...panes.flatMap((p) => [...p.querySelectorAll('button, input, select')])].filter(shown);
  for (const e of controls) {
    const size = parseFloat(getComputedStyle(e).fontSize);
    if (e.type !== 'range' && e.type !== 'checkbox' && e.type !== 'radio' && size < minText) problems.push(`${name(e)} ${size}px`);
    const r = box(tapTarget(e));
    if (coarse && (r.width < 44 - 0.01 || r.height < 44 - 0.01)) problems.push(`${name(e)} ${r.width.toFixed(1)} x ${r.height.toFixed(1)} to tap`);
  }
  // The views get the rest of the desk: 8 % larger (below that they keep
  // the desktop's size) they would overflow its width or its height.
  const desk = box($('desk'));
  const views = box($('views'));
  const rest = views.width * 1.08 >= desk.width - 3 || box($('status')).bottom + 0.08 * views.height >= desk.bottom - 8;
  if (!rest) problems.push(`views ${views.width} x ${views.height} in a desk of ${desk.width} x ${desk.height}`);
  return {
    problems, coarse,
    stacked: box($('daten')).top > box($('grafik')).bottom - 1,
    views: [box($('grafik')).width, box($('grafik')).height, box($('daten')).width, box($('daten')).height],
  };
});

async function walkScreens(page, screens, touch, present = false) {
  for (const [width, height, ratio] of screens) {
    await page.setViewport({ width, height, deviceScaleFactor: ratio, hasTouch: touch });
    await frames(page);
    const label = `${width}x${height}@${ratio}`;
    const first = await inspect(page);
    assert.equal(first.coarse, touch, `${label}: pointer coarse`);
    assert.deepEqual(first.problems, [], `${label} without panes`);
    // (In "Präsentation" a phone's panel is so high that the views are larger side by side.)
    if (height > width && !present) assert.ok(first.stacked, `${label}: views stacked`);
    const open = new Set();
    for (const s of STEPS) {
      await step(page, s);
      if (s[0] === 'open') open.add(s[1]);
      else open.delete(s[1]);
      const seen = await inspect(page);
      assert.deepEqual(seen.problems, [], `${label} with ${[...open]}`);
      // The views shrink to make room, and stay in the desktop's shapes.
      assert.ok(Math.abs(seen.views[1] - seen.views[3]) < 1 && seen.views[0] > 40, `${label} with ${[...open]}: views ${seen.views}`);
    }
  }
}

describe('Seite mit Fenstern auf sechs Bildschirmen', () => {
  it('with the mouse at 1920x1080, 1366x768 and 1920x1080 at 150 %: nothing covered, panes on the screen', async () => {
    const page = await open(MOUSE[0]);
    await walkScreens(page, MOUSE, false);
    await page.close();
  });

  it('by touch at 1024x768, 800x1280 and 390x844 (and in "Präsentation"): the same, every control 44 x 44 px to tap', async () => {
    const page = await open(TOUCH[0], { touch: true });
    await walkScreens(page, TOUCH, true);
    // The phone in "Präsentation": the panel's 20 px text leaves the least room.
    await page.click('#cbxPraesentation');
    await walkScreens(page, [TOUCH[2]], true, true);
    await page.click('#cbxPraesentation');
    // A tap on a curve shows its nearest point, as the pointer does.
    await page.focus('#trbLevel');
    for (let i = 0; i < 3; ++i) await page.keyboard.press('ArrowLeft');
    await step(page, ['open', 'analyse']);
    await page.waitForFunction(() => window.veltraCurves);
    await page.$eval('#chtAnteil', (e) => e.scrollIntoView());
    const over = await page.$eval('#chtAnteil .u-over', (o) => o.getBoundingClientRect().toJSON());
    await page.touchscreen.tap(over.left + over.width / 2, over.top + over.height / 2);
    await frames(page);
    assert.match(await page.$eval('#chtAnteil .pointText', (e) => e.textContent), /^behaltener Anteil in % = 50 %: RMS = \d/);
    await page.close();
  });

  it('"Präsentation" at 1920x1080: text 20 px, chart numbers 18 px, large curves, Bild panels of 400 px and more', async () => {
    const page = await open([1920, 1080, 1]);
    await page.click('#cbxPraesentation');
    await frames(page);
    assert.deepEqual((await inspect(page)).problems, [], 'without panes');
    await step(page, ['open', 'analyse']);
    await page.waitForFunction(() => document.getElementById('grpKurven').dataset.state !== 'running');
    assert.deepEqual((await inspect(page)).problems, [], 'with Analyse');
    const charts = await page.evaluate(() => window.veltraUi.analyse.charts.map((c) => ({
      fonts: c.plot.axes.map((a) => [a.font[2], a.labelFont[2]]), height: c.plot.height, width: c.plot.width,
    })));
    for (const c of charts) {
      for (const [tick, title] of c.fonts) assert.ok(tick >= 18 && title >= 20, `axis fonts ${tick}, ${title}`);
      // Both curves together fill Analyse's height, bar its other lines.
      assert.ok(c.height >= 400 && c.width >= 400, `curve ${c.width} x ${c.height}`);
    }
    await step(page, ['close', 'analyse']);
    await step(page, ['open', 'bild']);
    const panels = await page.$$eval('#bild canvas.picture', (cs) => cs.map((c) => [c.clientWidth, c.clientHeight]));
    for (const [w, h] of panels) assert.ok(w >= 400 && h >= 400, `Bild panel ${w} x ${h}`);
    const seen = await inspect(page);
    assert.deepEqual(seen.problems, [], 'with Bild');
    await step(page, ['open', 'help']);
    await step(page, ['open', 'analyse']);
    assert.deepEqual((await inspect(page)).problems, [], 'with all three');
    // Off again: the desktop's sizes come back.
    await page.click('#cbxPraesentation');
    await frames(page);
    assert.equal(await page.$eval('#labDelta', (e) => getComputedStyle(e).fontSize), '12px');
    await page.close();
  });

  it('puts the open panes and "Präsentation" in the link and opens them from it, on the state the link gives', async () => {
    const page = await open([1366, 768, 1]);
    await page.focus('#trbLevel');
    for (let i = 0; i < 3; ++i) await page.keyboard.press('ArrowLeft');
    await page.click('#butHilfe');
    await page.click('#cbxPraesentation');
    await page.click('#butAnalyse');
    await page.click('#butLink');
    const link = await page.evaluate(() => navigator.clipboard.readText());
    const params = Object.fromEntries(new URLSearchParams(new URL(link).hash.slice(1)));
    assert.deepEqual([params.level, params.fenster, params.praesentation], ['3', 'analyse,hilfe', '1']);
    await page.close();

    const there = await open([1366, 768, 1], { where: '/#level=3&fenster=bild,analyse&praesentation=1' });
    await there.waitForFunction(() => window.veltraLink !== undefined);
    assert.equal(await there.evaluate(() => window.veltraLink), 'übernommen');
    const s = await there.evaluate(() => ({
      open: [...document.querySelectorAll('#panes > dialog[open]')].map((d) => d.id),
      present: document.getElementById('cbxPraesentation').checked && document.body.classList.contains('praesentation'),
      level: window.veltra.state().chosenLevel,
      hash: location.hash,
    }));
    assert.deepEqual(s, { open: ['analyse', 'bild'], present: true, level: 3, hash: '#level=3&fenster=analyse%2Cbild&praesentation=1' });
    // Bild shows the level the link gave: a difference exists below the top.
    assert.ok((await there.$$eval('#bildTicks2 span', (es) => es.length)) >= 3);
    assert.deepEqual((await inspect(there)).problems, []);
    await there.close();
  });

  it('shows the nearest point of a curve under the pointer, the crosshair on the curve, worded as on the desktop', async () => {
    const page = await open([1366, 768, 1]);
    await page.focus('#trbLevel');
    for (let i = 0; i < 3; ++i) await page.keyboard.press('ArrowLeft');
    await page.click('#butAnalyse');
    await page.waitForFunction(() => window.veltraCurves);
    await page.$eval('#chtDelta', (e) => e.scrollIntoView());
    const over = await page.$eval('#chtDelta .u-over', (o) => o.getBoundingClientRect().toJSON());
    // Near the top of the plot, far above the curve, 37 % across: Delta 0.37.
    await page.mouse.move(over.left + 0.37 * over.width, over.top + 5);
    await frames(page);
    const seen = await page.evaluate(() => {
      const c = window.veltraUi.analyse.charts[0];
      const cursor = document.querySelector('#chtDelta .u-cursor-y').style.transform;
      return { text: document.querySelector('#chtDelta .pointText').textContent, cursor, chart: c.chart };
    });
    const i = seen.chart.curve.x.findIndex((x) => Math.abs(x - 0.37) < 1e-9);
    assert.ok(i >= 0, 'a curve point at Delta 0.37');
    const y = seen.chart.curve.y[i];
    // Three significant digits, a point whatever the language.
    const digits = Math.max(0, 2 - Math.floor(Math.log10(Math.abs(y))));
    const rms = y.toFixed(digits).replace(/(\.\d*?)0+$/, '$1').replace(/\.$/, '');
    assert.equal(seen.text, `Delta = 0.37: RMS = ${rms}`);
    const { low, high } = seen.chart.linear;
    const expected = (1 - (seen.chart.drawnY[i] - low) / (high - low)) * over.height;
    const top = Number(seen.cursor.match(/translate\([^,]+,\s*([-\d.]+)px\)/)[1]);
    assert.ok(Math.abs(top - expected) <= 1, `crosshair at ${top}, the curve at ${expected.toFixed(1)}`);
    assert.ok(expected > 20, 'the curve lies away from the pointer');
    // Off the chart the values go.
    await page.mouse.move(2, 2);
    await frames(page);
    assert.equal(await page.$eval('#chtDelta .pointText', (e) => e.textContent), '');
    await page.close();
  });

  it('reported no warning and no error on any page once loaded', () => {
    assert.deepEqual(messages, []);
  });
});
