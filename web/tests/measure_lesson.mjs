// The lesson's figures at fine grids in headless chromium, with "Analyse"
// open: for 257 and 513 points, the time from a level step, a Delta move,
// "Anwenden" and opening "Analyse" (after a change made while it was closed) to the first frame after it (target: within 100 ms), the
// longest task on the page's thread from then until both curves are drawn
// (target: none over 100 ms), and the curves' time (targets: 1 s at 257, 3 s
// at 513); and a photo from choosing it to "Bild" at 5 % kept at 257 points
// (target: 3 s). With BUSY=1 a busy process runs beside it. One line per figure.
//   node web/tests/measure_lesson.mjs [PAGE_DIR] [RUNS]
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { spawn } from 'node:child_process';
import { launch, loadPage, openPage, serve } from './browser.mjs';

const pageDir = path.resolve(process.argv[2] ?? process.env.VELTRA_PAGE_DIR ?? 'build/web/page');
const runs = Number(process.argv[3] ?? 3);

// In the page: `act` runs as a hand's input would, then the time to the next
// frame, the longest task until the curves are ready and the curves' time.
function react(page, act) {
  return page.evaluate(async (source) => {
    const act = new Function(source);
    let longest = 0;
    const watch = new PerformanceObserver((list) => {
      for (const e of list.getEntries()) longest = Math.max(longest, e.duration);
    });
    watch.observe({ type: 'longtask' });
    const grp = document.getElementById('grpKurven');
    const t0 = performance.now();
    act();
    // The frame that shows the change: its callbacks, then its painting.
    const shown = await new Promise((r) => requestAnimationFrame(() => setTimeout(() => r(performance.now() - t0), 0)));
    await new Promise((r) => {
      const look = () => (grp.dataset.state === 'ready' ? r() : setTimeout(look, 5));
      look();
    });
    const curves = performance.now() - t0;
    await new Promise((r) => setTimeout(r, 200));  // the last task's entry
    watch.disconnect();
    return { shown, curves, longest };
  }, act);
}

const input = (id, value) => `{
  const e = document.getElementById('${id}');
  e.value = '${value}';
  e.dispatchEvent(new Event('input'));
  e.dispatchEvent(new Event('change'));
}`;

const median = (xs) => [...xs].sort((a, b) => a - b)[Math.floor(xs.length / 2)];
const fmt = (xs) => `median ${median(xs).toFixed(0)} ms (max ${Math.max(...xs).toFixed(0)})`;

// A photo-like grey picture of 1200 x 900 as PNG: gradients, a disc, noise.
async function photo(page, file) {
  const b64 = await page.evaluate(async () => {
    const c = new OffscreenCanvas(1200, 900);
    const g = c.getContext('2d');
    const sky = g.createLinearGradient(0, 0, 0, 900);
    sky.addColorStop(0, '#303030');
    sky.addColorStop(1, '#d8d8d8');
    g.fillStyle = sky;
    g.fillRect(0, 0, 1200, 900);
    g.fillStyle = '#fff';
    g.beginPath();
    g.arc(900, 200, 120, 0, 2 * Math.PI);
    g.fill();
    g.fillStyle = '#202020';
    g.fillRect(200, 450, 400, 350);
    const img = g.getImageData(0, 0, 1200, 900);
    let s = 12345;
    for (let i = 0; i < img.data.length; i += 4) {
      s = (s * 1103515245 + 12345) % 2147483648;
      const n = (s % 21) - 10;
      for (let k = 0; k < 3; ++k) img.data[i + k] = Math.max(0, Math.min(255, img.data[i + k] + n));
    }
    g.putImageData(img, 0, 0);
    const bytes = new Uint8Array(await (await c.convertToBlob({ type: 'image/png' })).arrayBuffer());
    let out = '';
    for (let i = 0; i < bytes.length; i += 0x8000) out += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
    return btoa(out);
  });
  fs.writeFileSync(file, Buffer.from(b64, 'base64'));
}

let busy = null;
if (process.env.BUSY === '1') busy = spawn(process.execPath, ['-e', 'for (;;) {}'], { stdio: 'ignore' });
const { server, origin } = await serve(pageDir);
const browser = await launch();
const tmp = fs.mkdtempSync(path.join(os.tmpdir(), 'veltra-lesson-'));
try {
  const { page } = await openPage(browser, origin, { width: 1920, height: 1080 });
  await loadPage(page, origin);
  await page.click('#butAnalyse');
  const settle = () => react(page, '');
  for (const points of [257, 513]) {
    await page.select('#cmbAufloesung', String(points));
    await page.waitForFunction((p) => window.veltra.resolution() === p, {}, points);
    const top = Number(await page.$eval('#trbLevel', (e) => e.max));
    await react(page, input('trbLevel', top - 3));
    await settle();
    const figures = { level: [], delta: [], apply: [], open: [] };
    for (let run = 0; run < runs; ++run) {
      figures.level.push(await react(page, input('trbLevel', run % 2 ? top - 3 : top - 4)));
      figures.delta.push(await react(page, input('scrDelta', run % 2 ? 40 : 55)));
      figures.apply.push(await react(page, "document.getElementById('butAnwenden').click()"));
      await page.$eval('#analyse', (d) => d.close());
      await page.evaluate(new Function(input('trbLevel', run % 2 ? top - 4 : top - 3)));
      figures.open.push(await react(page, "document.getElementById('butAnalyse').click()"));
    }
    for (const [what, list] of Object.entries({ 'level step': figures.level, 'Delta move': figures.delta, Anwenden: figures.apply, 'opening Analyse': figures.open })) {
      console.log(`${points} points, ${what}: shown after ${fmt(list.map((f) => f.shown))}; `
                  + `longest task until the curves ${fmt(list.map((f) => f.longest))}; `
                  + `curves after ${fmt(list.map((f) => f.curves))}`);
    }
  }

  // A photo at 257 points, from choosing it to "Bild" at 5 %.
  const file = path.join(tmp, 'foto.png');
  await photo(page, file);
  await page.select('#cmbAufloesung', '257');
  await page.waitForFunction(() => window.veltra.resolution() === 257);
  const times = [];
  for (let run = 0; run < runs; ++run) {
    await page.evaluate(() => window.veltra.takeSample());
    await page.$eval('#fileInput', (i) => { i.value = ''; });
    const t0 = await page.evaluate(() => performance.now());
    await (await page.$('#fileInput')).uploadFile(file);
    await page.waitForFunction(() => window.veltra.state().sourceName === 'foto.png', { polling: 5 });
    await page.evaluate(new Function(`${input('trbLevel', 4)}; ${input('spnAnteil', '5.0')};
      document.getElementById('butAnwenden').click(); document.getElementById('butBild').click();`));
    const t1 = await page.evaluate(() => new Promise((r) => requestAnimationFrame(() => setTimeout(() => r(performance.now()), 0))));
    times.push(t1 - t0);
    if (await page.$eval('#labGezeigt', (e) => e.textContent) !== 'Gezeigt: 5 % behalten (Level 4)') throw new Error('not compressed');
  }
  console.log(`257 points, a 1200 x 900 photo from choosing it to Bild at 5 % kept: ${fmt(times)}`);
} finally {
  await browser.close();
  server.close();
  busy?.kill();
  fs.rmSync(tmp, { recursive: true, force: true });
}
