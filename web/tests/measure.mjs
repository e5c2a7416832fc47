// Figures of the page in headless chromium: time from navigation to both
// views' first frame, and the time a redraw of each view takes at the start
// steps (drawn and waited for N times). With BENCH_DIR (the web build's
// benchmarks folder) also the level round-trip timing program's output in
// chromium. And the longest task on the page's thread (target: none over
// 100 ms) while an 8192 x 8192 picture, a 200 MB table and a link with a
// costly formula are read, each against the same work done on that thread
// in the same run. Prints one line per figure.
//   node web/tests/measure.mjs [PAGE_DIR] [N] [BENCH_DIR [BATCHES]]
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { launch, loadPage, openPage, png, serve } from './browser.mjs';

// The longest task on the page's thread while `work` runs in the page and
// until `done` holds there, in ms (tasks under 50 ms are not reported: 0).
async function longestTask(page, start, done) {
  await page.evaluate(() => {
    window.longest = 0;
    window.taskWatch = new PerformanceObserver((list) => {
      for (const e of list.getEntries()) window.longest = Math.max(window.longest, e.duration);
    });
    window.taskWatch.observe({ type: 'longtask' });
  });
  await start();
  await page.waitForFunction(done, { timeout: 600000, polling: 100 });
  await new Promise((r) => setTimeout(r, 300));  // the last task's entry
  return page.evaluate(() => {
    window.taskWatch.disconnect();
    return window.longest;
  });
}

// Reading files and a link's formula: the page's way (workers) against the
// same module calls on the page's thread.
async function readingFigures(browser, origin) {
  const tmp = fs.mkdtempSync(path.join(os.tmpdir(), 'veltra-measure-'));
  try {
    const picture = path.join(tmp, 'bild.png');
    fs.writeFileSync(picture, png(8192, 8192, 3000));
    const table = path.join(tmp, 'tabelle.csv');
    const line = `${Array.from({ length: 4000 }, (_, c) => (c % 97 / 97).toFixed(6)).join(' ')}\n`;
    const out = fs.openSync(table, 'w');
    for (let r = 0; r < 7000; ++r) fs.writeSync(out, line);  // 7000 x 4000 numbers, 196 MB
    fs.closeSync(out);
    const { page } = await openPage(browser, origin);
    await loadPage(page, origin);
    const choose = async (f) => {
      await page.$eval('#fileInput', (i) => { i.value = ''; });
      await (await page.$('#fileInput')).uploadFile(f);
    };
    const taken = (name) => `window.veltra.state().sourceName === '${name}'`;
    const figures = [];
    for (const [what, f, name] of [['picture 8192 x 8192', picture, 'bild.png'], ['table 196 MB', table, 'tabelle.csv']]) {
      const worker = await longestTask(page, () => choose(f), taken(name));
      await page.evaluate(() => window.veltra.takeSample());
      // The same on the page's thread: the bytes, then the module's reading.
      const own = await longestTask(page, () => page.evaluate(async (kind, fileName) => {
        const input = document.getElementById('fileInput');
        const bytes = new Uint8Array(await input.files[0].arrayBuffer());
        setTimeout(async () => {
          let s;
          if (kind === 'picture') {
            const bitmap = await createImageBitmap(new Blob([bytes]), { premultiplyAlpha: 'none', colorSpaceConversion: 'none' });
            const c = new OffscreenCanvas(bitmap.width, bitmap.height);
            c.getContext('2d').drawImage(bitmap, 0, 0);
            const rgba = new Uint8Array(c.getContext('2d').getImageData(0, 0, bitmap.width, bitmap.height).data.buffer);
            s = window.veltra.pictureSamples(rgba, bitmap.width, bitmap.height, fileName);
          } else {
            s = window.veltra.tableSamples(bytes, fileName, () => {});
          }
          window.veltra.takeSamples(s, fileName);
          window.ownDone = true;
        }, 0);
      }, what.startsWith('picture') ? 'picture' : 'table', name).then(() => {}), 'window.ownDone === true');
      await page.evaluate(() => { window.ownDone = false; window.veltra.takeSample(); });
      figures.push(`longest task while reading a ${what}: ${worker.toFixed(0)} ms in the worker, `
                   + `${own.toFixed(0)} ms on the page's thread (ratio ${(own / Math.max(worker, 50)).toFixed(0)} or more)`);
    }
    // A link with x^y^x^y… (999 characters) at 513 points, from the page's
    // start on (which has long tasks of its own: a page without the link).
    const formula = `${'x^y^'.repeat(249)}x^y`;
    const atStart = async (hash) => {
      const { page: p } = await openPage(browser, origin);
      await p.evaluateOnNewDocument(() => {
        window.tasks = [];
        new PerformanceObserver((list) => {
          for (const e of list.getEntries()) window.tasks.push(e);
        }).observe({ type: 'longtask', buffered: true });
      });
      await p.goto(`${origin}/${hash}`);
      await p.waitForFunction('window.veltraLink !== undefined', { timeout: 600000 });
      await new Promise((r) => setTimeout(r, 300));
      // The module's start, up to both views' first frame, and what follows.
      return p.evaluate(() => {
        const longest = (tasks) => Math.max(0, ...tasks.map((e) => e.duration));
        const first = window.veltraFirstFrame;
        return { p: null, start: longest(window.tasks.filter((e) => e.startTime < first)),
                 ms: longest(window.tasks.filter((e) => e.startTime >= first)) };
      }).then((r) => ({ ...r, p }));
    };
    const plain = await atStart('');
    const linked = await atStart(`#aufloesung=513&formel=${formula}`);
    const own = await longestTask(linked.p, () => linked.p.evaluate((t) => {
      setTimeout(() => { window.veltra.formulaError(t, 513); window.ownDone = true; }, 0);
    }, formula), 'window.ownDone === true');
    figures.push(`longest task after the first frame of a page with a link with a costly formula: ${linked.ms.toFixed(0)} ms `
                 + `(without the link ${plain.ms.toFixed(0)} ms; before the first frame, the module's start: `
                 + `${linked.start.toFixed(0)} ms); checking that formula once on the page's thread: ${own.toFixed(0)} ms`);
    return figures;
  } finally {
    fs.rmSync(tmp, { recursive: true, force: true });
  }
}

const pageDir = path.resolve(process.argv[2] ?? process.env.VELTRA_PAGE_DIR ?? 'build/web/page');
const n = Number(process.argv[3] ?? 30);
const { server, origin } = await serve(pageDir);
const browser = await launch();
try {
  const loads = [];
  for (let run = 0; run < 5; ++run) {
    const { page } = await openPage(browser, origin);
    await loadPage(page, origin);
    loads.push(await page.evaluate(() => window.veltraFirstFrame));
    if (run < 4) await page.close();
    else {
      const frames = await page.evaluate((count) => {
        const out = {};
        for (const name of ['grafik', 'daten']) {
          const c = document.getElementById(name);
          const gl = c.getContext('webgl2');
          const px = new Uint8Array(4);
          const t0 = performance.now();
          for (let i = 0; i < count; ++i) {
            window.veltra.paint(name, c.width, c.height);
            gl.readPixels(0, 0, 1, 1, gl.RGBA, gl.UNSIGNED_BYTE, px);  // waits for the frame
          }
          out[name] = (performance.now() - t0) / count;
        }
        return out;
      }, n);
      console.log(`frame function view: ${frames.grafik.toFixed(1)} ms`);
      console.log(`frame data view: ${frames.daten.toFixed(1)} ms`);
      // Both curves of "Analyse" (202 points) at level 3: at 65 points the
      // page computes them at once, on finer grids in a worker.
      const curves = await page.evaluate(() => {
        const v = window.veltra;
        const out = {};
        v.curvesVisible(true);
        for (const points of [65, 257, 513]) {
          if (v.resolution() !== points) v.setResolution(points);
          v.levelChanged(3);
          v.curvesStateChanged();
          const t0 = performance.now();
          const job = v.curvesStart();  // at 65 points computed at once
          if (job) v.computeCurves(job.inputs, () => {});
          out[points] = performance.now() - t0;
        }
        v.curvesVisible(false);
        return out;
      });
      console.log(`curves of Analyse at level 3 (on the page's thread here), 65 points: ${curves[65].toFixed(0)} ms, `
                  + `257 points: ${curves[257].toFixed(0)} ms, 513 points: ${curves[513].toFixed(0)} ms`);
    }
  }
  loads.sort((a, b) => a - b);
  console.log(`first frame of both views after navigation: median ${loads[2].toFixed(0)} ms (of 5: ${loads.map((t) => t.toFixed(0)).join(', ')})`);

  for (const line of await readingFigures(browser, origin)) console.log(line);

  const benchDir = process.argv[4];
  if (benchDir) {
    const batches = process.argv[5] ?? '11';
    const html = `<!DOCTYPE html><script>
      var Module = { arguments: ['${batches}'], print: (t) => (window.benchLines = (window.benchLines ?? []).concat(t)),
                     onExit: () => { window.benchDone = true; } };
    </script><script src="veltra_round_trip_timing.js"></script>`;
    const bench = await serve(path.resolve(benchDir), { '/bench.html': html });
    try {
      const { page } = await openPage(browser, bench.origin);
      await page.goto(`${bench.origin}/bench.html`);
      await page.waitForFunction(() => window.benchDone === true, { timeout: 600000 });
      for (const line of await page.evaluate(() => window.benchLines)) console.log(line);
    } finally {
      bench.server.close();
    }
  }
} finally {
  await browser.close();
  server.close();
}
