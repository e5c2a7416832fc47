// English beside German: lang=en in the link shows the page in English, the
// texts from the same catalogue as the desktop's; every text of the German
// page is in that catalogue (or names no language: numbers, "Delta: 0.4");
// the English page shows none of the catalogue's German texts and no German
// letters, keeps lang=en in its link, and fits the six screens the lesson
// is given on with nothing clipped or overlapping; a wrong lang is refused.
import { after, before, describe, it } from 'node:test';
import assert from 'node:assert/strict';
import path from 'node:path';
import { launch, loadPage, serve } from './browser.mjs';

const PAGE_DIR = path.resolve(process.env.VELTRA_PAGE_DIR ?? 'build/web/page');
const SCREENS = [[1920, 1080, 1, false], [1366, 768, 1, false], [1280, 720, 1.5, false],
                 [1024, 768, 1, true], [800, 1280, 1, true], [390, 844, 1, true]];

let server, origin, browser;

before(async () => {
  ({ server, origin } = await serve(PAGE_DIR));
  browser = await launch();
});

after(async () => {
  await browser?.close();
  server?.close();
});

async function open(where, [width, height, ratio, touch] = SCREENS[0]) {
  const page = await browser.newPage();
  const errors = [];
  page.on('pageerror', (e) => errors.push(String(e)));
  await page.setViewport({ width, height, deviceScaleFactor: ratio, hasTouch: touch });
  await loadPage(page, origin, where);
  await page.waitForFunction(() => window.veltraLink !== undefined);
  return { page, errors };
}

const frames = (page) => page.evaluate(() => new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r))));

// Every pane open, each by its control, so that their texts are on the page too.
async function openPanes(page) {
  for (const id of ['butAnalyse', 'butHilfe']) await page.click(`#${id}`);
  await page.focus('#daten');
  await page.keyboard.press('b');
  await page.waitForFunction(() => ['analyse', 'bild', 'help'].every((id) => document.getElementById(id).open));
  await frames(page);
}

// Each text node (trimmed) and title, aria-label and placeholder shown on the page.
const shownTexts = (page) => page.evaluate(() => {
  const texts = [];
  const walk = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT);
  for (let n = walk.nextNode(); n; n = walk.nextNode()) {
    const t = n.nodeValue.trim();
    if (t && !n.parentElement.closest('script, style')) texts.push(t);
  }
  for (const e of document.querySelectorAll('[title], [aria-label], [placeholder]')) {
    for (const a of ['title', 'aria-label', 'placeholder']) if (e.getAttribute(a)) texts.push(e.getAttribute(a));
  }
  return [...new Set(texts)];
});

// Texts in no language: numbers and units, the level and Delta readouts,
// names and symbols, and each language's own name in the switch.
const NEUTRAL = /^([-+−\d.,:%×|…=() e]*|(Delta|Level|aktuelles Delta|current Delta): [\d.]+|Veltra|OK|Zoom|Wavelet [123]|f\(x, y\) =|Deutsch|English|Delta|Level|dB|[xyz]|RMS)$/;

describe('Englisch neben Deutsch', () => {
  it('has every text of the German page, panes open, in the catalogue', async () => {
    const { page, errors } = await open('/');
    await openPanes(page);
    const catalogue = new Map(await page.evaluate(() => window.veltra.catalogue()));
    // A text with placeholders stands for every text made from it.
    const escape = (t) => t.replace(/[.*+?^${}()|[\]\\]/g, '\\$&');
    const templates = [...catalogue.keys()].filter((t) => /%\d/.test(t))
      .map((t) => new RegExp(`^${escape(t).replace(/%\d/g, '.+')}$`, 's'));
    // The help comes whole from the module; only its pieces are text nodes here.
    const whole = [...catalogue.keys()].join('\n');
    const missing = (await shownTexts(page)).filter((t) => !catalogue.has(t) && !NEUTRAL.test(t) &&
                                                          !templates.some((r) => r.test(t)) && !whole.includes(t));
    assert.deepEqual(missing, []);
    assert.equal(await page.evaluate(() => document.documentElement.lang), 'de');
    assert.deepEqual(errors, []);
    await page.close();
  });

  it('shows the English page for lang=en: no German text of the catalogue, no German letters, lang=en kept', async () => {
    const { page, errors } = await open('/#lang=en&level=4');
    assert.equal(await page.evaluate(() => window.veltraLink), 'übernommen');
    assert.equal(await page.$eval('#labLevel', (e) => e.textContent), 'Level: 4');
    await openPanes(page);
    const catalogue = await page.evaluate(() => window.veltra.catalogue());
    const german = new Set(catalogue.filter(([de, en]) => de !== en).map(([de]) => de));
    const texts = await shownTexts(page);
    assert.deepEqual(texts.filter((t) => german.has(t)), []);
    assert.deepEqual(texts.filter((t) => /[äöüÄÖÜß„]/.test(t)), []);
    assert.equal(await page.$eval('#butBerechne', (e) => e.textContent), 'Compute!');
    assert.equal(await page.$eval('#butEnglish', (e) => e.getAttribute('aria-pressed')), 'true');
    assert.equal(await page.evaluate(() => document.documentElement.lang), 'en');
    // The link it writes keeps the language with the rest.
    await page.click('#cbxZoom');
    await page.waitForFunction(() => location.hash.includes('zoom=0'));
    const hash = await page.evaluate(() => location.hash);
    assert.match(hash, /(^#|&)lang=en(&|$)/);
    assert.match(hash, /(^#|&)level=4(&|$)/);
    assert.deepEqual(errors, []);

    // "Deutsch" opens the page again in German with the same state.
    await Promise.all([page.waitForNavigation(), page.click('#butDeutsch')]);
    await page.waitForFunction(() => window.veltraLink !== undefined && window.veltraFirstFrame !== undefined);
    assert.equal(await page.$eval('#butBerechne', (e) => e.textContent), 'Berechne!');
    assert.equal(await page.$eval('#labLevel', (e) => e.textContent), 'Level: 4');
    assert.equal(await page.$eval('#cbxZoom', (e) => e.checked), false);
    assert.doesNotMatch(await page.evaluate(() => location.hash), /lang=/);
    await page.close();
  });

  it('refuses a wrong lang with the rest of the link, in German', async () => {
    for (const wrong of ['fr', 'EN', '']) {
      const { page } = await open(`/#lang=${wrong}&level=4`);
      assert.equal(await page.evaluate(() => window.veltraLink), 'abgelehnt', wrong);
      assert.equal(await page.$eval('#status', (e) => e.textContent),
                   'Sprache im Link ungültig; der Link wurde nicht übernommen.', wrong);
      assert.equal(await page.$eval('#labLevel', (e) => e.textContent), 'Level: 6');
      assert.equal(await page.$eval('#butBerechne', (e) => e.textContent), 'Berechne!');
      await page.close();
    }
  });

  it('fits English on the six screens: no text clipped, no panel controls overlapping', async () => {
    const { page } = await open('/#lang=en', SCREENS[0]);
    const problems = [];
    for (const screen of SCREENS) {
      const [width, height, ratio, touch] = screen;
      await page.setViewport({ width, height, deviceScaleFactor: ratio, hasTouch: touch });
      for (const panes of [false, true]) {
        if (panes) await openPanes(page);
        await frames(page);
        const seen = await page.evaluate(() => {
          const out = [];
          const shown = (e) => e.getClientRects().length > 0 && getComputedStyle(e).visibility !== 'hidden';
          const named = (e) => e.id || e.textContent.trim().slice(0, 24);
          if (document.documentElement.scrollWidth > document.documentElement.clientWidth) out.push('scrolls sideways');
          // A caption wider than its control is cut off or runs over its neighbour.
          // (The views' headings end in an ellipsis when a view is narrower than its name, in
          // either language: the German names are the longer ones.)
          const captions = document.querySelectorAll(
            '#kontrolle button, #kontrolle label, #kontrolle span, dialog[open] button, dialog[open] label, dialog[open] legend, dialog[open] h3, dialog[open] th, dialog[open] figcaption');
          for (const e of captions) {
            if (shown(e) && e.scrollWidth > e.clientWidth + 1 && getComputedStyle(e).display !== 'inline') {
              out.push(`${named(e)} clipped: ${e.scrollWidth} > ${e.clientWidth}`);
            }
          }
          // The panel's controls with their captions: none on another.
          const parts = [...document.querySelectorAll('#kontrolle button, #kontrolle select, #kontrolle input[type=range], #kontrolle label, #kontrolle .group, #kontrolle #labaktuellesDelta')]
            .filter((e) => shown(e) && !e.querySelector('button'));
          for (let i = 0; i < parts.length; ++i) {
            for (let j = i + 1; j < parts.length; ++j) {
              const a = parts[i].getBoundingClientRect();
              const b = parts[j].getBoundingClientRect();
              if (parts[i].contains(parts[j]) || parts[j].contains(parts[i])) continue;
              if (a.left < b.right - 0.5 && b.left < a.right - 0.5 && a.top < b.bottom - 0.5 && b.top < a.bottom - 0.5) {
                out.push(`${named(parts[i])} over ${named(parts[j])}`);
              }
            }
          }
          return out;
        });
        problems.push(...seen.map((p) => `${width}x${height}@${ratio}${panes ? ' with panes' : ''}: ${p}`));
      }
      for (const id of ['analyse', 'bild', 'help']) {
        await page.evaluate((d) => document.getElementById(d).open && document.querySelector(`#${d} .paneTitle button`).click(), id);
      }
    }
    assert.deepEqual(problems, []);
    await page.close();
  });
});
