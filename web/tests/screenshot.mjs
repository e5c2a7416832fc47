// The README's pictures of the page in headless chromium: the page at
// 1366 x 768 after loading (OUT.png), and with ANALYSE.png the page at
// 1920 x 1080 with "Analyse" at level 3, 10 % kept.
//   node web/tests/screenshot.mjs PAGE_DIR OUT.png [ANALYSE.png]
import path from 'node:path';
import { launch, loadPage, openPage, serve } from './browser.mjs';

const [pageDir, out, analyse] = process.argv.slice(2);
const { server, origin } = await serve(path.resolve(pageDir));
const browser = await launch();
try {
  const open = async (width, height) => {
    const { page } = await openPage(browser, origin, { width, height });
    await loadPage(page, origin);
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
    await new Promise((r) => setTimeout(r, 300));
    await big.screenshot({ path: analyse });
  }
} finally {
  await browser.close();
  server.close();
}
