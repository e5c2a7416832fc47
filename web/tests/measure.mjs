// Figures of the page in headless chromium: time from navigation to both
// views' first frame, and the time a redraw of each view takes at the start
// steps (drawn and waited for N times). With BENCH_DIR (the web build's
// benchmarks folder) also the level round-trip timing program's output in
// chromium. Prints one line per figure.
//   node web/tests/measure.mjs [PAGE_DIR] [N] [BENCH_DIR [BATCHES]]
import path from 'node:path';
import { launch, loadPage, openPage, serve } from './browser.mjs';

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
        for (const points of [65, 257]) {
          if (v.resolution() !== points) v.setResolution(points);
          v.levelChanged(3);
          const t0 = performance.now();
          v.computeCurves(v.curveInputs(10), () => {});
          out[points] = performance.now() - t0;
        }
        return out;
      });
      console.log(`curves of Analyse at level 3, 65 points: ${curves[65].toFixed(0)} ms, 257 points: ${curves[257].toFixed(0)} ms`);
    }
  }
  loads.sort((a, b) => a - b);
  console.log(`first frame of both views after navigation: median ${loads[2].toFixed(0)} ms (of 5: ${loads.map((t) => t.toFixed(0)).join(', ')})`);

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
