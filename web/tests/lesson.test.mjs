// The help's "Unterrichtsablauf" done as written, step by step, on a
// 1920 x 1080 projector: at each step the page shows what the step says one
// sees (the views change as described, readouts and curves name the same
// error, the clicked minimum lowers it, the Delta mismatch is explained at
// level 6, "Original" clears up).
import { after, before, describe, it } from 'node:test';
import assert from 'node:assert/strict';
import path from 'node:path';
import { assertClean, canvasPixels, countColour, launch, loadPage, openPage, serve } from './browser.mjs';

const PAGE_DIR = path.resolve(process.env.VELTRA_PAGE_DIR ?? 'build/web/page');

let server, origin, browser, page, foreign, errors;

before(async () => {
  ({ server, origin } = await serve(PAGE_DIR));
  browser = await launch(['--lang=de-DE'], { LANG: 'de_DE.UTF-8' });
  ({ page, foreign, errors } = await openPage(browser, origin, { width: 1920, height: 1080 }));
  await loadPage(page, origin);
});

after(async () => {
  await browser?.close();
  server?.close();
});

const text = (id) => page.$eval(`#${id}`, (e) => e.textContent);
// As a hand moves the control: its value, then the events the page listens to.
const move = (id, value) => page.$eval(`#${id}`, (e, v) => {
  e.value = String(v);
  e.dispatchEvent(new Event('input'));
  e.dispatchEvent(new Event('change'));
}, value);
const drawn = () => page.evaluate(() => new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r))));
const curvesReady = () => page.waitForFunction(() => document.getElementById('grpKurven').dataset.state === 'ready'
                                                 && window.veltraCurves, { timeout: 120000 });
const rms = async () => Number((await text('labFehler')).match(/RMS = ([0-9.e+-]+)/)[1]);
// The readouts write three significant digits.
const threeDigits = (v) => Number(v.toPrecision(3));

// Pixels that are not the view's background (its top left corner).
function drawnPixels(img) {
  let n = 0;
  for (let i = 0; i < img.data.length; i += 4) {
    const d = Math.abs(img.data[i] - img.data[0]) + Math.abs(img.data[i + 1] - img.data[1])
            + Math.abs(img.data[i + 2] - img.data[2]);
    if (d > 30) ++n;
  }
  return n;
}
function changedPixels(a, b) {
  let n = 0;
  for (let i = 0; i < a.data.length; i += 4) {
    if (Math.abs(a.data[i] - b.data[i]) + Math.abs(a.data[i + 1] - b.data[i + 1])
        + Math.abs(a.data[i + 2] - b.data[i + 2]) > 30) ++n;
  }
  return n;
}

describe('Unterrichtsablauf, Schritt für Schritt', () => {
  let steps;
  let keptError;

  it('is the help\'s plan of seven steps', async () => {
    steps = await page.evaluate(() => {
      const html = document.createElement('div');
      html.innerHTML = window.veltra.helpHtml();
      const heading = [...html.querySelectorAll('h3')].find((h) => h.textContent.startsWith('Unterrichtsablauf'));
      return [...heading.nextElementSibling.querySelectorAll('li')].map((li) => li.textContent.replace(/\s+/g, ' '));
    });
    assert.equal(steps.length, 7);
  });

  it('1: Delta from 0 to 1 changes the functions\' shape', async () => {
    assert.match(steps[0], /^Delta von 0 bis 1 schieben/);
    await move('scrDelta', 0);
    await drawn();
    assert.equal(await text('labDelta'), 'Delta: 0');
    const box = await canvasPixels(page, 'grafik');
    await move('scrDelta', 100);
    await drawn();
    assert.equal(await text('labDelta'), 'Delta: 1');
    const hat = await canvasPixels(page, 'grafik');
    assert.ok(changedPixels(box, hat) > 0.05 * box.width * box.height, 'the function view changed');
  });

  it('2: level 2 makes the data coarser; without "Zoom" the level-2 functions are wide, those of level 6 a corner', async () => {
    assert.match(steps[1], /Level von 6 auf 2 schieben.*„Zoom“ aus/);
    const fine = await canvasPixels(page, 'daten');
    await move('trbLevel', 2);
    await drawn();
    assert.equal(await text('labLevel'), 'Level: 2');
    assert.ok(changedPixels(fine, await canvasPixels(page, 'daten')) > 0.01 * fine.width * fine.height);
    await page.click('#cbxZoom');
    await drawn();
    const wide = drawnPixels(await canvasPixels(page, 'grafik'));
    await move('trbLevel', 6);
    await drawn();
    const corner = drawnPixels(await canvasPixels(page, 'grafik'));
    assert.ok(corner > 0 && wide > 5 * corner, `level 2: ${wide} pixels drawn, level 6: ${corner}`);
    await move('trbLevel', 2);
    await drawn();
  });

  it('3: without "Zeige nur Daten" red and blue detail blocks surround the approximation', async () => {
    assert.match(steps[2], /„Zeige nur Daten“ aus: .*rote und blaue Detailblöcke/);
    const only = await canvasPixels(page, 'daten');
    await page.click('#cbxOnlyData');
    await drawn();
    const all = await canvasPixels(page, 'daten');
    for (const channel of [0, 2]) {
      assert.ok(countColour(all, channel) > 1000 && countColour(all, channel) > 20 * countColour(only, channel),
                `channel ${channel}: ${countColour(only, channel)} -> ${countColour(all, channel)}`);
    }
  });

  it('4: back at level 6 the error is not 0, and Bild shows it as "Differenz"', async () => {
    assert.match(steps[3], /„Analyse…“ öffnen, Level wieder auf 6: .*RMS-Fehler größer als 0.*„Differenz“/);
    await page.click('#butAnalyse');
    await move('trbLevel', 6);
    await drawn();
    assert.match(await text('labFehler'), /^Fehler auf Level 6: /);
    assert.ok(await rms() > 0);
    assert.equal(await text('labGezeigt'), 'Gezeigt: unkomprimiert');
    await page.click('#butBild');
    await drawn();
    assert.equal(await text('bildTitel2'), 'Differenz');
    const difference = await canvasPixels(page, 'bildPanel2');
    let tinted = 0;  // red or blue, not the white of no difference
    for (let i = 0; i < difference.data.length; i += 4) {
      const [r, g, b] = difference.data.subarray(i, i + 3);
      if (Math.max(r, g, b) - Math.min(r, g, b) > 20) ++tinted;
    }
    assert.ok(tinted > 0.05 * difference.width * difference.height, `${tinted} tinted pixels`);
    assert.notDeepEqual((await text('bildTicks2')).replace(/0/g, ''), '', 'its scale is not only 0');
  });

  it('5: at level 2 with 10 % kept, readouts and the share curve name the same error; level 6 and back keep it', async () => {
    assert.match(steps[4], /Level 2, 10 % „Anwenden“: „Kennzahlen“ und der Punkt der Kurve „Fehler über Anteil“ bei 10 %/);
    await move('trbLevel', 2);
    await move('spnAnteil', 10);
    await page.click('#butAnwenden');
    await curvesReady();
    assert.equal(await text('labGezeigt'), 'Gezeigt: 10 % behalten (Level 2)');
    const share = await page.evaluate(() => window.veltraCurves.overShare);
    const at10 = share.y[share.x.indexOf(10)];
    keptError = await rms();
    assert.equal(keptError, threeDigits(at10));
    const readout = await text('labFehler');
    await move('trbLevel', 6);
    await drawn();
    assert.equal(await text('labGezeigt'), 'Gezeigt: 10 % behalten (Level 2)');
    await move('trbLevel', 2);
    await drawn();
    assert.equal(await text('labFehler'), readout, 'exactly the kept coefficients again');
    assert.equal(await text('labGezeigt'), 'Gezeigt: 10 % behalten (Level 2)');
  });

  it('6: a click on the minimum of the Delta curve, "Berechne!" and "Anwenden" lower the error to that minimum', async () => {
    assert.match(steps[5], /Minimum anklicken \(der Delta-Schieber springt dorthin\), „Berechne!“, erneut „Anwenden“/);
    await curvesReady();
    const curve = await page.evaluate(() => window.veltraCurves.overDelta);
    let best = 0;
    for (let i = 1; i < curve.y.length; ++i) if (curve.y[i] < curve.y[best]) best = i;
    assert.match(await text('labMinimum'), new RegExp(`Delta = ${curve.x[best]} `));
    await page.$eval('#chtDelta', (e) => e.scrollIntoView());
    const plot = await page.$eval('#chtDelta .u-over', (o) => o.getBoundingClientRect().toJSON());
    await page.mouse.click(plot.left + curve.x[best] * plot.width, plot.top + plot.height / 2);
    assert.equal(await text('labDelta'), `Delta: ${curve.x[best]}`);
    await page.click('#butBerechne');
    assert.equal(await text('labaktuellesDelta'), `aktuelles Delta: ${curve.x[best]}`);
    await page.click('#butAnwenden');
    await drawn();
    assert.equal(await rms(), threeDigits(curve.y[best]));
    assert.ok(await rms() < keptError, `${await rms()} against ${keptError} before`);
  });

  it('7: another Delta "berechnet" names both Deltas and explains the larger error, at level 6 too; "Original" clears up', async () => {
    assert.match(steps[6], /ein anderes Delta „berechnen“ und hinaufgehen: .*auch auf Level 6\. „Original“ räumt auf/);
    const analysed = (await text('labaktuellesDelta')).replace('aktuelles Delta: ', '');
    const before = await rms();
    await move('scrDelta', 0);
    await page.click('#butBerechne');
    await drawn();
    const names = new RegExp(`Delta ${analysed.replace('.', '\\.')} .*Delta 0\\b`);
    assert.match(await text('labDeltaHinweis'), names);
    assert.match(await text('labFehler'), names);
    assert.ok(await rms() > 10 * before);
    for (const level of [4, 6]) {
      await move('trbLevel', level);
      await drawn();
      assert.match(await text('labFehler'), names, `level ${level}`);
    }
    assert.match(await text('labFehler'), /daher der größere Fehler/);
    await page.click('#butOriginal');
    await drawn();
    assert.equal(await text('labGezeigt'), 'Gezeigt: unkomprimiert');
    assert.equal(await text('labDeltaHinweis'), '');
    assert.doesNotMatch(await text('labFehler'), /Delta/);
    assertClean({ foreign, errors });
  });
});
