// The README's pictures of the page in headless chromium: the page at
// 1366 x 768 after loading (OUT.png); with ANALYSE.png the page at
// 1920 x 1080 with "Analyse" at level 3, 10 % kept; with SCREENS (a file name
// prefix) one picture per screen the page is tested on, each with panes open
// at level 3: SCREENS-1920x1080.png ("Präsentation", Analyse),
// SCREENS-1366x768.png (Analyse and Bild), SCREENS-1920x1080-zoom150.png
// (Hilfe), SCREENS-1024x768-touch.png (Analyse), SCREENS-800x1280-touch.png
// (Bild), SCREENS-390x844-touch.png (Analyse).
//   node web/tests/screenshot.mjs PAGE_DIR OUT.png [ANALYSE.png [SCREENS]]
import path from 'node:path';
import { launch, loadPage, openPage, serve } from './browser.mjs';

const [pageDir, out, analyse, screens] = process.argv.slice(2);
const { server, origin } = await serve(path.resolve(pageDir));
const browser = await launch();

const settle = (page) => page.evaluate(() => new Promise((r) => setTimeout(() => requestAnimationFrame(() => requestAnimationFrame(r)), 300)));

async function level3(page) {
  await page.focus('#trbLevel');
  for (let i = 0; i < 3; ++i) await page.keyboard.press('ArrowLeft');
}

try {
  const open = async (width, height, { ratio = 1, touch = false } = {}) => {
    const { page } = await openPage(browser, origin, { width, height });
    await page.setViewport({ width, height, deviceScaleFactor: ratio, hasTouch: touch });
    await loadPage(page, origin);
    return page;
  };
  const page = await open(1366, 768);
  await page.screenshot({ path: out });
  if (analyse) {
    const big = await open(1920, 1080);
    await big.click('#butAnalyse');
    await level3(big);
    await big.click('#butAnwenden');
    await big.waitForFunction(() => window.veltraCurves, { timeout: 60000 });
    await settle(big);
    await big.screenshot({ path: analyse });
  }
  if (screens) {
    const shots = [
      ['1920x1080', [1920, 1080], {}, ['praesentation', 'analyse']],
      ['1366x768', [1366, 768], {}, ['analyse', 'bild']],
      ['1920x1080-zoom150', [1280, 720], { ratio: 1.5 }, ['hilfe']],
      ['1024x768-touch', [1024, 768], { touch: true }, ['analyse']],
      ['800x1280-touch', [800, 1280], { touch: true }, ['bild']],
      ['390x844-touch', [390, 844], { touch: true }, ['analyse']],
    ];
    for (const [name, [w, h], how, panes] of shots) {
      const p = await open(w, h, how);
      await level3(p);
      const buttons = { praesentation: '#cbxPraesentation', analyse: '#butAnalyse', bild: '#butBild', hilfe: '#butHilfe' };
      for (const pane of panes) await p.$eval(buttons[pane], (b) => b.click());
      if (panes.includes('analyse')) await p.waitForFunction(() => window.veltraCurves, { timeout: 60000 });
      await settle(p);
      await p.screenshot({ path: `${screens}-${name}.png` });
      await p.close();
    }
  }
} finally {
  await browser.close();
  server.close();
}
