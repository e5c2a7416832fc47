// The README's picture of the page: headless chromium at 1280 x 800 after
// loading, written to the given PNG file.
//   node web/tests/screenshot.mjs PAGE_DIR OUT.png
import path from 'node:path';
import { launch, openPage, serve } from './browser.mjs';

const [pageDir, out] = process.argv.slice(2);
const { server, origin } = await serve(path.resolve(pageDir));
const browser = await launch();
try {
  const { page } = await openPage(browser, origin, { width: 1280, height: 800 });
  await page.goto(`${origin}/`);
  await page.waitForFunction(() => window.veltraFirstFrame !== undefined, { timeout: 30000 });
  await page.screenshot({ path: out });
} finally {
  await browser.close();
  server.close();
}
