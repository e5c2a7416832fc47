// The README's pictures of the page in headless chromium: the page at
// 1366 x 768 after loading (OUT.png), and with BILD.png the page at
// 1920 x 1080 at level 3 with 10 % kept ("Analyse"), with "Bild" open.
//   node web/tests/screenshot.mjs PAGE_DIR OUT.png [BILD.png]
import path from 'node:path';
import { launch, openPage, serve } from './browser.mjs';

const [pageDir, out, analyse] = process.argv.slice(2);
const { server, origin } = await serve(path.resolve(pageDir));
const browser = await launch();
try {
  const open = async (width, height) => {
    const { page } = await openPage(browser, origin, { width, height });
    await page.goto(`${origin}/`);
    await page.waitForFunction(() => window.veltraFirstFrame !== undefined, { timeout: 30000 });
    return page;
  };
  const page = await open(1366, 768);
  await page.screenshot({ path: out });
  if (analyse) {
    const big = await open(1920, 1080);
    await big.click('#butAnalyse');
    await big.focus('#trbLevel');
    for (let i = 0; i < 3; ++i) await big.keyboard.press('ArrowLeft');
    await big.click('#butAnwenden');
    await big.waitForFunction(() => window.veltraCurves, { timeout: 60000 });
    // Chromium's software compositing leaves parts of a WebGL view blank
    // under a dialog as large as "Analyse": the picture shows "Bild" alone.
    await big.$eval('#analyse', (d) => d.close());
    await big.focus('#daten');
    await big.keyboard.press('b');
    await new Promise((r) => setTimeout(r, 300));
    await big.screenshot({ path: analyse });
  }
} finally {
  await browser.close();
  server.close();
}
