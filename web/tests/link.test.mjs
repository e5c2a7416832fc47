// The page's state in its address: a page opened with the copied link shows
// the same pictures and labels; a link with any wrong value is not taken at
// all, and the page says which value was wrong.
import { after, before, describe, it } from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { assertClean, canvasPixels, compare, launch, openPage, serve } from './browser.mjs';

const PAGE_DIR = path.resolve(process.env.VELTRA_PAGE_DIR ?? 'build/web/page');

let server, origin, browser, fresh;
const opened = [];

before(async () => {
  ({ server, origin } = await serve(PAGE_DIR));
  browser = await launch();
  await browser.defaultBrowserContext().overridePermissions(origin, ['clipboard-read', 'clipboard-sanitized-write']);
  fresh = await look(await open(''));
});

after(async () => {
  await browser?.close();
  server?.close();
});

// A page at the given address, once it has dealt with its link.
async function open(hash) {
  const o = await openPage(browser, origin);
  opened.push(o);
  await o.page.goto(`${origin}/${hash}`);
  await o.page.waitForFunction(() => window.veltraFirstFrame !== undefined && window.veltraLink !== undefined,
                               { timeout: 30000 });
  return o.page;
}

// What a person sees: both pictures, the labels, the title and the note.
async function look(page) {
  const text = (id) => page.$eval(`#${id}`, (e) => e.textContent);
  return {
    grafik: await canvasPixels(page, 'grafik'),
    daten: await canvasPixels(page, 'daten'),
    labels: [await text('labDelta'), await text('labLevel'), await text('labaktuellesDelta'), await text('grafikTitle'),
             await text('labDeltaHinweis')],
    note: await text('status'),
  };
}

function assertSameLook(a, b) {
  assert.deepEqual(a.labels, b.labels);
  for (const view of ['grafik', 'daten']) assert.equal(compare(a[view], b[view], 0).within, 1, `${view} differs`);
}

async function press(page, selector, key, times = 1) {
  await page.focus(selector);
  for (let i = 0; i < times; ++i) await page.keyboard.press(key);
}

describe('Link', () => {
  it('carries Delta, aktuelles Delta, level and both views to a new page, which then looks the same', async () => {
    const page = await open('');
    await press(page, '#scrDelta', 'ArrowRight', 15);  // 0.55
    await page.click('#butBerechne');
    await press(page, '#scrDelta', 'ArrowRight', 5);   // 0.6, not in force
    await press(page, '#trbLevel', 'ArrowLeft', 2);     // level 4
    await press(page, '#grafik', 'ArrowRight', 3);      // the four functions turned
    await press(page, '#daten', 't');
    await press(page, '#daten', 'ArrowUp', 2);          // the data view nearer
    const r = await page.$eval('#daten', (c) => { const b = c.getBoundingClientRect(); return [b.x + b.width / 2, b.y + b.height / 2]; });
    await page.mouse.move(...r);
    await page.mouse.down();
    await page.mouse.move(r[0] + 37, r[1] - 13, { steps: 3 });  // turned by fractions of a step
    await page.mouse.up();
    await page.click('#cbxOnlyData');
    await page.click('#cbxDrahtgitter');

    await page.click('#butLink');
    await page.waitForFunction(() => document.getElementById('status').textContent !== '');
    assert.equal(await page.$eval('#status', (e) => e.textContent), 'Link kopiert.');
    const link = await page.evaluate(() => navigator.clipboard.readText());
    assert.equal(link, await page.evaluate(() => location.href));
    const hash = new URL(link).hash;
    const params = Object.fromEntries(new URLSearchParams(hash.slice(1)));
    assert.deepEqual([params.aktuell, params.level, params.delta, params.nurDaten, params.drahtgitter, params.zoom],
                     ['0.55', '4', '0.6', '0', '1', undefined]);
    assert.equal(params.aufloesung, undefined);  // as on a fresh page: left out

    const there = await open(hash);
    assert.equal(await there.evaluate(() => window.veltraLink), 'übernommen');
    const a = await look(page);
    const b = await look(there);
    assert.deepEqual(b.labels, ['Delta: 0.6', 'Level: 4', 'aktuelles Delta: 0.55', a.labels[3], '']);
    assertSameLook(a, b);
    const [sa, sb] = await Promise.all([page, there].map((p) => p.evaluate(() => window.veltra.state())));
    assert.deepEqual({ ...sb, navMode: 0 }, { ...sa, navMode: 0 });  // the key mode is no part of a link
    assert.equal(b.note, '');
    assert.equal(await there.evaluate(() => location.hash), hash);
  });

  it('carries resolution, formula, the share kept at its level and the selection', async () => {
    const page = await open('');
    await page.click('#butAnalyse');
    await page.select('#cmbAufloesung', '129');
    await page.$eval('#txtFormel', (e) => { e.value = 'sin(5*x)*cos(4*y)+0.3*x'; });
    await page.click('#butUebernehmen');
    await press(page, '#trbLevel', 'ArrowLeft', 4);   // level 3 of 7
    await page.$eval('#spnAnteil', (e) => { e.value = '7.5'; e.dispatchEvent(new Event('change')); });
    await page.click('#butAnwenden');
    await press(page, '#trbLevel', 'ArrowRight', 2);  // back up to 5: the kept share synthesised
    await page.$eval('#analyse', (d) => d.close());
    await page.select('#cmbSelect', '3');
    await page.waitForFunction(() => window.veltra.state().closeUp);
    await page.waitForFunction(() => new Promise((r) => {
      const a = JSON.stringify(window.veltra.state());
      setTimeout(() => r(JSON.stringify(window.veltra.state()) === a), 400);
    }));
    await press(page, '#grafik', 'ArrowLeft', 2);

    await page.click('#butLink');
    const link = await page.evaluate(() => navigator.clipboard.readText());
    const params = Object.fromEntries(new URLSearchParams(new URL(link).hash.slice(1)));
    assert.deepEqual([params.aufloesung, params.formel, params.level, params.anteil, params.anteilLevel, params.auswahl],
                     ['129', 'sin(5*x)*cos(4*y)+0.3*x', '5', '7.5', '3', '3']);
    const there = await open(new URL(link).hash);
    assert.equal(await there.evaluate(() => window.veltraLink), 'übernommen');
    assertSameLook(await look(page), await look(there));
    const [sa, sb] = await Promise.all([page, there].map((p) => p.evaluate(() => window.veltra.state())));
    assert.deepEqual(sb, sa);
  });

  it('carries the Delta the details were analysed with when Berechne! came below the top level', async () => {
    const page = await open('');
    await press(page, '#trbLevel', 'ArrowLeft', 2);   // level 4, details with 0.4
    await press(page, '#scrDelta', 'ArrowRight', 10);
    await page.click('#butBerechne');                 // tables with 0.5, details kept
    const hint = await page.$eval('#labDeltaHinweis', (e) => e.textContent);
    assert.notEqual(hint, '');
    await page.click('#butLink');
    const hash = new URL(await page.evaluate(() => navigator.clipboard.readText())).hash;
    assert.equal(new URLSearchParams(hash.slice(1)).get('analysiert'), '0.4');
    const there = await open(hash);
    assert.equal(await there.$eval('#labDeltaHinweis', (e) => e.textContent), hint);
    assertSameLook(await look(page), await look(there));

    // Details of level 5 with 0.4 and of level 4 with 0.5, tables with 0.6: no link says that.
    await page.bringToFront();  // a tab behind another takes no input
    await press(page, '#trbLevel', 'ArrowRight');
    await press(page, '#scrDelta', 'ArrowLeft', 10);
    await page.click('#butBerechne');
    await press(page, '#scrDelta', 'ArrowRight', 10);
    await page.click('#butBerechne');
    await press(page, '#trbLevel', 'ArrowLeft');
    await press(page, '#scrDelta', 'ArrowRight', 10);
    await page.click('#butBerechne');
    await page.click('#butLink');
    assert.equal(await page.$eval('#status', (e) => e.textContent),
                 'Die Details wurden mit mehreren Delta-Werten analysiert; das kann ein Link nicht wiedergeben. '
                 + 'Der Link wurde nicht kopiert.');
    await page.waitForFunction(() => location.hash === '');
  });

  it('says a loaded file cannot travel in a link, and copies nothing', async () => {
    const page = await open('');
    await press(page, '#trbLevel', 'ArrowLeft');
    await page.click('#butLink');
    assert.equal(await page.$eval('#status', (e) => e.textContent), 'Link kopiert.');
    const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'veltra-link-'));
    const table = path.join(dir, 'werte.csv');
    fs.writeFileSync(table, Array.from({ length: 9 }, (_, r) => Array.from({ length: 9 }, (_, c) => r * c).join(';')).join('\n'));
    await (await page.$('#fileInput')).uploadFile(table);
    await page.waitForFunction(() => window.veltra.state().sourceKind === 'File');
    fs.rmSync(dir, { recursive: true });
    await page.evaluate(() => navigator.clipboard.writeText('vorher'));
    await page.click('#butLink');
    assert.equal(await page.$eval('#status', (e) => e.textContent),
                 'Eine geladene Datei kann nicht in einen Link. Der Link wurde nicht kopiert.');
    assert.equal(await page.evaluate(() => navigator.clipboard.readText()), 'vorher');
    await page.waitForFunction(() => location.hash === '');
  });

  // Level 2 and 6 (the top at 65 points) and Delta 0 and 1 are the limits;
  // one past any of them, or any other wrong value, and nothing is taken.
  const REFUSED = [
    ['#level=99&delta=0.55', 'Level'],
    ['#level=7&delta=0.55', 'Level'],
    ['#level=1', 'Level'],
    ['#delta=1.01&level=3', 'Delta'],
    ['#delta=0.555', 'Delta'],
    ['#aktuell=-0.01', 'aktuelles Delta'],
    ['#daten=1,2,3,4,5', 'Lage der Daten'],
    ['#grafik=1,2,3,4,5,6,7,8,9,10,11,12,13,14,Infinity&level=4', 'Lage der Funktionen'],
    ['#aufloesung=100', 'Auflösung'],
    ['#level=x&delta=2', 'Level, Delta'],
    ['#aufloesung=513&level=10', 'Level'],
    ['#anteil=10&level=4', 'Anteil'],
    ['#anteil=100.1&anteilLevel=3&level=4', 'Anteil'],
    ['#anteil=10&anteilLevel=6', 'Level des Anteils'],
    ['#analysiert=0.5&delta=0.5', 'analysiertes Delta'],
    ['#auswahl=5', 'Auswahl'],
    ['#drahtgitter=true', 'Drahtgitter'],
    // A pane not known, or named twice, and a switch other than 0 or 1.
    ['#fenster=analyse,kaffee&praesentation=2&level=4', 'Fenster, Präsentation'],
    ['#fenster=analyse,analyse', 'Fenster'],
    // Places keys and mouse cannot reach: a camera past the far plane, an
    // angle past a million degrees (one step of a double past each).
    ['#daten=0,0,0,0,0,1e308', 'Lage der Daten'],
    ['#daten=0,0,0,0,0,-20.000000000000004', 'Lage der Daten'],
    ['#daten=1000000.0000000001,0,0,0,0.2,-1.8', 'Lage der Daten'],
    ['#grafik=0,0,0,0,0,0,0,0,0,0,0,-1000000.0000000001,-0.1,0.2,-4.7', 'Lage der Funktionen'],
    ['#grafik=0,0,0,0,0,0,0,0,0,0,0,0,20.000000000000004,0.2,-4.7', 'Lage der Funktionen'],
  ];
  for (const [hash, names] of REFUSED) {
    it(`takes nothing of ${hash} and says so`, async () => {
      const page = await open(hash);
      assert.equal(await page.evaluate(() => window.veltraLink), 'abgelehnt');
      const seen = await look(page);
      assert.equal(seen.note, `${names} im Link ungültig; der Link wurde nicht übernommen.`);
      assertSameLook(seen, fresh);
      assert.equal(await page.evaluate(() => location.hash), '');
      await page.close();
    });
  }

  // Refused whole, the note naming why: a formula's reason as the module
  // gives it, a key given twice, keys no link has.
  const NOTED = [
    ['#formel=sin(x&level=4',
     'Formel im Link ungültig; der Link wurde nicht übernommen. Die Formel hat bei Zeichen 5 einen Fehler: es fehlt eine schließende Klammer.'],
    ['#formel=1/(x-x)',
     'Formel im Link ungültig; der Link wurde nicht übernommen. Die Formel hat bei x = 0, y = 0 (Gitterpunkt 1, 1) keinen endlichen Wert.'],
    ['#level=3&delta=0.5&level=3', 'Level im Link mehrfach angegeben; der Link wurde nicht übernommen.'],
    ['#levle=3&delta=0.5&x%2By=1', 'im Link unbekannt: „levle“, „x+y“; der Link wurde nicht übernommen.'],
    ['#delta=2&delta=0.5&zoom=1&farbe=rot',
     'Delta im Link mehrfach angegeben; im Link unbekannt: „farbe“; der Link wurde nicht übernommen.'],
    ['#level=1&auswahl=1&auswahl=2', 'Level im Link ungültig; Auswahl im Link mehrfach angegeben; der Link wurde nicht übernommen.'],
  ];
  for (const [hash, note] of NOTED) {
    it(`takes nothing of ${hash} and says why`, async () => {
      const page = await open(hash);
      assert.equal(await page.evaluate(() => window.veltraLink), 'abgelehnt');
      const seen = await look(page);
      assert.equal(seen.note, note);
      assertSameLook(seen, fresh);
      await page.close();
    });
  }

  it('reads a + in a link as a plus, and writes a space so that it reads back as one', async () => {
    const page = await open('#formel=sin(3*x)+cos(2*y)');
    assert.equal(await page.evaluate(() => window.veltraLink), 'übernommen');
    assert.equal((await page.evaluate(() => window.veltra.state())).sourceName, 'sin(3*x)+cos(2*y)');
    await page.click('#butAnalyse');
    await page.$eval('#txtFormel', (e) => { e.value = 'x + y * 0.5'; });
    await page.click('#butUebernehmen');
    await page.click('#butLink');
    const hash = new URL(await page.evaluate(() => navigator.clipboard.readText())).hash;
    // The open "Analyse" pane travels too.
    assert.equal(hash, '#formel=x%20%2B%20y%20*%200.5&fenster=analyse');
    const there = await open(hash);
    assert.equal(await there.evaluate(() => window.veltraLink), 'übernommen');
    assert.equal((await there.evaluate(() => window.veltra.state())).sourceName, 'x + y * 0.5');
    await page.close();
    await there.close();
  });

  // x^y^x^y… of 999 characters at 513 points: seconds of evaluation.
  const COSTLY = `${'x^y^'.repeat(249)}x^y`;

  it('evaluates a costly formula in a link once, in a worker, saying how far it got, while the page answers', async () => {
    assert.equal(COSTLY.length, 999);
    const o = await openPage(browser, origin);
    opened.push(o);
    const { page } = o;
    await page.goto(`${origin}/#aufloesung=513&formel=${COSTLY}`);
    await page.waitForFunction(() => /^Die Formel im Link wird geprüft … \d+ %$/.test(document.getElementById('status').textContent),
                               { timeout: 60000 });
    // Keys reach the data view meanwhile.
    const moved = await page.evaluate(() => {
      const z = window.veltra.state().DPosZ;
      window.veltra.keyDown('daten', 84, false);
      window.veltra.keyDown('daten', 38, false);
      return [window.veltra.state().DPosZ - z, window.veltraLink === undefined];
    });
    assert.ok(Math.abs(moved[0] - 0.1) < 1e-12, `moved by ${moved[0]}`);
    assert.equal(moved[1], true, 'the link is still being dealt with');
    await page.waitForFunction(() => window.veltraLink !== undefined, { timeout: 300000 });
    assert.equal(await page.evaluate(() => window.veltraLink), 'übernommen');
    const s = await page.evaluate(() => window.veltra.state());
    assert.deepEqual([s.sourceKind, s.sourceName, s.resolution], ['Formula', COSTLY, 513]);
    assert.equal(await page.$eval('#status', (e) => e.textContent), '');
    assert.equal(await page.$eval('#rbFormel', (r) => r.checked), true);
    await page.close();
  });

  it('refuses a costly formula with a wrong level by the level alone', async () => {
    const page = await open(`#aufloesung=513&formel=${COSTLY}&level=99`);
    assert.equal(await page.evaluate(() => window.veltraLink), 'abgelehnt');
    assert.equal(await page.$eval('#status', (e) => e.textContent),
                 'Level im Link ungültig; der Link wurde nicht übernommen.');
    assert.equal((await page.evaluate(() => window.veltra.state())).sourceKind, 'Sample');
    await page.close();
  });

  it('takes places at the very reach of keys and mouse', async () => {
    const daten = [1000000, -1000000, 0.5, 20, -20, -20];
    const grafik = [-1000000, 0, 0, 0, 1000000, 0, 0, 0, 0, 0, 0, 1000000, -20, 20, 20];
    const page = await open(`#daten=${daten.join(',')}&grafik=${grafik.join(',')}`);
    assert.equal(await page.evaluate(() => window.veltraLink), 'übernommen');
    const s = await page.evaluate(() => window.veltra.state());
    assert.deepEqual([s.Dalpha, s.Dbeta, s.Dgamma, s.DPosX, s.DPosY, s.DPosZ], daten);
    assert.deepEqual([...s.functionOrientation.flat(), s.GPosX, s.GPosY, s.GPosZ], grafik);
    await page.close();
  });

  it('takes the limits themselves', async () => {
    for (const [hash, labels] of [['#level=2&delta=0&aktuell=1', ['Delta: 0', 'Level: 2', 'aktuelles Delta: 1']],
                                  ['#level=6&delta=1&aktuell=0', ['Delta: 1', 'Level: 6', 'aktuelles Delta: 0']],
                                  ['#aufloesung=513&level=9', ['Delta: 0.4', 'Level: 9', 'aktuelles Delta: 0.4']],
                                  ['#anteil=100&anteilLevel=5&level=5', ['Delta: 0.4', 'Level: 5', 'aktuelles Delta: 0.4']]]) {
      const page = await open(hash);
      assert.equal(await page.evaluate(() => window.veltraLink), 'übernommen', hash);
      assert.deepEqual((await look(page)).labels.slice(0, 3), labels);
      await page.close();
    }
  });

  it('asked nothing of another origin and reported no error', () => {
    for (const o of opened) assertClean(o);
  });
});
