// Files chosen on the page, made here. Pictures: a header declaring a size
// past the limits is refused at once with the desktop's message, before
// anything is decoded; a picture at the limit is decoded off the page's
// thread while the page goes on answering; of two quick choices the later
// one stays. Tables: a large one read in a worker with its progress, and
// dropped when another source is chosen meanwhile.
import { after, before, describe, it } from 'node:test';
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { assertClean, launch, loadPage, openPage, PNG_SIGNATURE as SIGNATURE, png, pngHeader as ihdr, serve } from './browser.mjs';

const PAGE_DIR = path.resolve(process.env.VELTRA_PAGE_DIR ?? 'build/web/page');
const DESKTOP = process.env.VELTRA_DESKTOP_PICTURES;

let server, origin, browser, opened, page, tmp;

before(async () => {
  ({ server, origin } = await serve(PAGE_DIR));
  browser = await launch();
  opened = await openPage(browser, origin);
  ({ page } = opened);
  await loadPage(page, origin);
  tmp = fs.mkdtempSync(path.join(os.tmpdir(), 'veltra-files-'));
});

after(async () => {
  await browser?.close();
  server?.close();
  if (tmp) fs.rmSync(tmp, { recursive: true, force: true });
});

function file(name, bytes) {
  const f = path.join(tmp, name);
  fs.writeFileSync(f, bytes);
  return f;
}

// What the desktop says when it refuses the picture (its message on stderr).
function desktopRefusal(picture) {
  assert.ok(DESKTOP, 'VELTRA_DESKTOP_PICTURES must name the desktop_pictures program');
  const dir = fs.mkdtempSync(path.join(tmp, 'desk-'));
  const r = spawnSync(DESKTOP, [dir, 'picture', picture], { encoding: 'utf8' });
  assert.notEqual(r.status, 0, 'the desktop refuses too');
  return r.stderr.trim();
}

// The desktop's readouts after taking the same file.
function desktop(actions) {
  assert.ok(DESKTOP, 'VELTRA_DESKTOP_PICTURES must name the desktop_pictures program');
  const dir = fs.mkdtempSync(path.join(tmp, 'desk-'));
  const r = spawnSync(DESKTOP, [dir, ...actions], { encoding: 'utf8' });
  assert.equal(r.status, 0, r.stderr);
  return JSON.parse(fs.readFileSync(path.join(dir, 'analyse.json'), 'utf8'));
}

const state = () => page.evaluate(() => window.veltra.state());
const messageShown = () => page.$eval('#message', (d) => (d.open ? d.querySelector('#messageText').textContent : null));

// Every 20 ms, what the page says of its source: a page whose thread is
// free runs these while a picture is read.
async function watchSource() {
  await page.evaluate(() => {
    window.seenSource = [];
    clearInterval(window.sourceWatch);
    window.sourceWatch = setInterval(() => window.seenSource.push(document.getElementById('labQuelle').textContent), 20);
  });
}
const seenSource = () => page.evaluate(() => {
  clearInterval(window.sourceWatch);
  return [...new Set(window.seenSource)];
});

// As "Datei…" does: the input emptied first, so the same file again is a new choice.
async function choose(f) {
  await page.$eval('#fileInput', (i) => { i.value = ''; });
  await (await page.$('#fileInput')).uploadFile(f);
}

async function refusedWith(f, message) {
  const before = await state();
  await watchSource();
  await choose(f);
  await page.waitForFunction(() => document.getElementById('message').open, { timeout: 60000 });
  assert.equal(await messageShown(), message);
  await page.$eval('#message', (d) => d.close());
  // Nothing was decoded: the page never said so.
  assert.ok(!(await seenSource()).some((t) => t.includes('entpackt')));
  const after = await state();
  assert.deepEqual([after.sourceKind, after.sourceName], [before.sourceKind, before.sourceName]);
}

let bigTook = 0;

describe('Bilder', () => {
  it('refuses a PNG header of 23000 x 23000 over a few KB of zeros at once, as the desktop does', async () => {
    const f = file('riesig.png', Buffer.concat([SIGNATURE, ihdr(23000, 23000), Buffer.alloc(4096)]));
    const message = 'Das Bild „riesig.png“ ist mit 23000 x 23000 Pixeln zu groß; erlaubt sind höchstens 8192 x 8192.';
    assert.equal(desktopRefusal(f), message);
    await refusedWith(f, message);
  });

  it('refuses a valid 30000 x 30000 picture by its size, not as broken data', async () => {
    const f = file('dreissigtausend.png', png(30000, 30000));
    const message = 'Das Bild „dreissigtausend.png“ ist mit 30000 x 30000 Pixeln zu groß; erlaubt sind höchstens 8192 x 8192.';
    assert.equal(desktopRefusal(f), message);
    await refusedWith(f, message);
  });

  it('refuses one past the limit in other formats too: a GIF of 8193 x 2 and a BMP of 2 x 9000', async () => {
    const gif = Buffer.concat([Buffer.from('GIF89a', 'latin1'), Buffer.from([0x01, 0x20, 0x02, 0x00]), Buffer.alloc(64)]);
    await refusedWith(file('breit.gif', gif),
                      'Das Bild „breit.gif“ ist mit 8193 x 2 Pixeln zu groß; erlaubt sind höchstens 8192 x 8192.');
    const bmp = Buffer.alloc(54 + 64);
    bmp.write('BM', 0, 'latin1');
    bmp.writeUInt32LE(40, 14);
    bmp.writeInt32LE(2, 18);
    bmp.writeInt32LE(-9000, 22);  // rows top down
    await refusedWith(file('hoch.bmp', bmp),
                      'Das Bild „hoch.bmp“ ist mit 2 x 9000 Pixeln zu groß; erlaubt sind höchstens 8192 x 8192.');
  });

  it('takes 8192 x 8192, decoded off the page thread while the page says so and answers keys', async () => {
    // Left 3 / 8 of each row white: the surface 0.7 high there, 0 elsewhere.
    const f = file('gross.png', png(8192, 8192, 3072));
    await watchSource();
    const started = Date.now();
    await choose(f);
    await page.waitForFunction(() => document.getElementById('labQuelle').textContent.includes('wird entpackt'),
                               { timeout: 60000 });
    // The data view moves while the picture is still being decoded.
    const moved = await page.evaluate(() => {
      const z = window.veltra.state().DPosZ;
      window.veltra.keyDown('daten', 84, false);
      window.veltra.keyDown('daten', 38, false);
      return [window.veltra.state().DPosZ - z, document.getElementById('labQuelle').textContent];
    });
    assert.ok(Math.abs(moved[0] - 0.1) < 1e-12, `moved by ${moved[0]}`);
    assert.equal(moved[1], 'Das Bild „gross.png“ wird entpackt …');
    await page.waitForFunction(() => window.veltra.state().sourceName === 'gross.png', { timeout: 120000 });
    bigTook = Date.now() - started;
    assert.equal(await messageShown(), null);
    assert.ok((await seenSource()).includes('Das Bild „gross.png“ wird entpackt …'));
    // The same surface as the desktop makes of the same file.
    const rows = await page.$$eval('#tblEnergie tbody tr', (r) => r.map((row) => [...row.cells].map((c) => c.textContent)));
    const desk = desktop(['picture', f]);
    assert.deepEqual(rows, desk.energie);
    assert.equal(await page.$eval('#labQuelle', (e) => e.textContent), desk.quelle);
  });

  it('of two quick choices keeps the later: a large picture, then a small one', async () => {
    await choose(file('zuerst.png', png(8192, 8192, 100)));
    await page.waitForFunction(() => document.getElementById('labQuelle').textContent.includes('zuerst.png'));
    await choose(file('danach.png', png(64, 64, 32)));
    await page.waitForFunction(() => window.veltra.state().sourceName === 'danach.png', { timeout: 60000 });
    // Longer than the large one took above: it would have come by now.
    await new Promise((r) => setTimeout(r, Math.max(2000, 1.5 * bigTook)));
    const s = await state();
    assert.deepEqual([s.sourceKind, s.sourceName], ['File', 'danach.png']);
    assert.equal(await page.$eval('#labQuelle', (e) => e.textContent), 'In Kraft: die Datei „danach.png“.');
    assert.equal(await messageShown(), null);
  });

});

// A table of about 50 MB: 3000 lines of 2000 numbers with six decimals.
function bigTable() {
  const lines = [];
  for (let r = 0; r < 3000; ++r) {
    const row = [];
    for (let c = 0; c < 2000; ++c) row.push((Math.sin(r / 300) * Math.cos(c / 200) + (r * c % 7) / 100).toFixed(6));
    lines.push(row.join(' '));
  }
  return `${lines.join('\n')}\n`;
}

let tableTook = 0;

describe('Tabellen', () => {
  let table;
  before(() => {
    table = file('gross.csv', bigTable());
    assert.ok(fs.statSync(table).size > 50e6, `${fs.statSync(table).size} bytes`);
  });

  it('reads a 50 MB table in a worker, saying how far it got, the surface as the desktop makes it', async () => {
    await watchSource();
    const started = Date.now();
    await choose(table);
    await page.waitForFunction(() => window.veltra.state().sourceName === 'gross.csv', { timeout: 300000 });
    tableTook = Date.now() - started;
    assert.equal(await messageShown(), null);
    // The page's timers ran while the table was read, and showed its progress.
    const told = (await seenSource()).map((t) => t.match(/^Die Datei „gross\.csv“ wird gelesen … (\d+) %$/)?.[1])
      .filter((p) => p !== undefined).map(Number);
    assert.ok(told.length >= 2 && told.every((p, i) => i === 0 || p > told[i - 1]) && told.at(-1) <= 100,
              `progress seen: ${told}`);
    const desk = desktop(['table', table]);
    const rows = await page.$$eval('#tblEnergie tbody tr', (r) => r.map((row) => [...row.cells].map((c) => c.textContent)));
    assert.deepEqual(rows, desk.energie);
    assert.equal(await page.$eval('#labFehler', (e) => e.textContent), desk.fehler);
  });

  it('drops a table still being read when the sample is chosen meanwhile', async () => {
    await choose(table);
    await page.waitForFunction(() => / wird gelesen … \d+ %$/.test(document.getElementById('labQuelle').textContent),
                               { timeout: 60000 });
    await page.$eval('#rbBeispiel', (r) => r.click());
    await page.waitForFunction(() => window.veltra.state().sourceKind === 'Sample');
    // Longer than the whole table took above: it would have come by now.
    await new Promise((r) => setTimeout(r, Math.max(2000, 1.5 * tableTook)));
    const s = await state();
    assert.equal(s.sourceKind, 'Sample');
    assert.equal(await messageShown(), null);
  });

  it('asked nothing of another origin and reported no error', () => {
    assertClean(opened);
  });
});
