// Shared by the browser tests and the measuring script: serves the built page
// on 127.0.0.1, starts Debian's chromium headless through puppeteer-core and
// reads the views' pixels back.
import http from 'node:http';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import zlib from 'node:zlib';
import assert from 'node:assert/strict';
import puppeteer from 'puppeteer-core';

const TYPES = {
  '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.mjs': 'text/javascript',
  '.css': 'text/css', '.wasm': 'application/wasm', '.png': 'image/png', '.json': 'application/json',
  '.webmanifest': 'application/manifest+json',
};

// A static server for `root` on a free port of 127.0.0.1; resolves to its
// address. `pages` maps further paths to HTML served from memory. root may
// also be a function of the path giving the folder to serve it from (or null).
export function serve(root, pages = {}) {
  const server = http.createServer((req, res) => {
    const url = new URL(req.url, 'http://127.0.0.1');
    if (url.pathname in pages) {
      res.writeHead(200, { 'Content-Type': TYPES['.html'] }).end(pages[url.pathname]);
      return;
    }
    const rel = decodeURIComponent(url.pathname.endsWith('/') ? `${url.pathname}index.html` : url.pathname);
    const dir = typeof root === 'function' ? root(rel) : root;
    const file = dir && path.join(dir, path.normalize(typeof root === 'function' ? path.basename(rel) : rel));
    if (!file || !file.startsWith(dir) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      res.writeHead(404).end();
      return;
    }
    res.writeHead(200, { 'Content-Type': TYPES[path.extname(file)] ?? 'application/octet-stream' });
    fs.createReadStream(file).pipe(res);
  });
  return new Promise((resolve) => {
    server.listen(0, '127.0.0.1', () => resolve({ server, origin: `http://127.0.0.1:${server.address().port}` }));
  });
}

export const CHROMIUM = process.env.CHROMIUM ?? '/usr/bin/chromium';

// Headless chromium with its own empty profile; the flags keep it off the
// network it cannot reach here.
// env: further environment for the browser (its language, say).
export async function launch(extraArgs = [], env = {}) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'veltra-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: CHROMIUM,
    headless: true,
    // A long computation holds the page's one thread; waiting for it is not a hang.
    protocolTimeout: 600000,
    userDataDir: profile,
    env: { ...process.env, ...env },
    args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--disable-component-update',
           '--disable-sync', '--no-first-run', '--disable-quic', '--use-angle=swiftshader',
           '--enable-unsafe-swiftshader', ...extraArgs],
  });
  const close = browser.close.bind(browser);
  browser.close = async () => {
    await close();
    fs.rmSync(profile, { recursive: true, force: true });
  };
  return browser;
}

// A page on `origin` that refuses and records every request to another
// origin, and records every error the page throws or logs; each test file
// ends with assertClean on what this returns.
export async function openPage(browser, origin, { width = 1100, height = 800 } = {}) {
  const page = await browser.newPage();
  await page.setViewport({ width, height, deviceScaleFactor: 1 });
  const foreign = [];
  const errors = [];
  // Requests the page's service worker answers never reach this; the worker
  // itself asks only its own origin.
  await page.setRequestInterception(true);
  page.on('request', (r) => {
    if (r.isInterceptResolutionHandled()) return;
    if (r.url().startsWith(origin) || r.url().startsWith('data:') || r.url().startsWith('blob:')) {
      r.continue();
    } else {
      foreign.push(r.url());
      r.abort('blockedbyclient');
    }
  });
  page.on('pageerror', (e) => errors.push(String(e)));
  page.on('console', (m) => { if (m.type() === 'error') errors.push(m.text()); });
  return { page, foreign, errors };
}

// The end of every test file: nothing was asked of another origin, nothing
// went wrong on the page.
export function assertClean({ foreign, errors }) {
  assert.deepEqual(foreign, [], 'requests to another origin');
  assert.deepEqual(errors, [], 'errors on the page');
}

// Navigates to the page on `origin` and waits until both views have drawn.
export async function loadPage(page, origin, where = '/') {
  await page.goto(`${origin}${where}`);
  await page.waitForFunction(() => window.veltraFirstFrame !== undefined, { timeout: 30000 });
}

// A PNG as the page's browser decodes it: size and RGBA rows.
export function decodePngIn(page, bytes) {
  return page.evaluate(async (b64) => {
    const data = Uint8Array.from(atob(b64), (c) => c.charCodeAt(0));
    const bitmap = await createImageBitmap(new Blob([data], { type: 'image/png' }));
    const c = document.createElement('canvas');
    c.width = bitmap.width;
    c.height = bitmap.height;
    const g = c.getContext('2d');
    g.drawImage(bitmap, 0, 0);
    const d = g.getImageData(0, 0, c.width, c.height).data;
    let s = '';
    for (let i = 0; i < d.length; i += 0x8000) s += String.fromCharCode(...d.subarray(i, i + 0x8000));
    return { width: c.width, height: c.height, data: btoa(s) };
  }, Buffer.from(bytes).toString('base64')).then((r) => ({ ...r, data: Buffer.from(r.data, 'base64') }));
}

// What the screen shows of the page (the compositor's picture), as RGBA rows.
export async function screenPixels(page) {
  return decodePngIn(page, await page.screenshot());
}

// The canvas's pixels as RGBA rows, top row first (as on screen).
export async function canvasPixels(page, id) {
  const { width, height, data } = await page.evaluate((canvasId) => {
    const c = document.getElementById(canvasId);
    const copy = document.createElement('canvas');
    copy.width = c.width;
    copy.height = c.height;
    const g = copy.getContext('2d');
    g.drawImage(c, 0, 0);
    const img = g.getImageData(0, 0, c.width, c.height);
    // A string travels faster than an array of numbers.
    let s = '';
    for (let i = 0; i < img.data.length; i += 0x8000) s += String.fromCharCode(...img.data.subarray(i, i + 0x8000));
    return { width: c.width, height: c.height, data: btoa(s) };
  }, id);
  return { width, height, data: Buffer.from(data, 'base64') };
}

// Pixels whose colour is mostly one channel: `channel` 0 red, 1 green, 2 blue;
// counted within the rectangle [x0, x1) x [y0, y1) in fractions of the size.
export function countColour(img, channel, [x0, y0, x1, y1] = [0, 0, 1, 1]) {
  let n = 0;
  for (let y = Math.floor(y0 * img.height); y < Math.floor(y1 * img.height); ++y) {
    for (let x = Math.floor(x0 * img.width); x < Math.floor(x1 * img.width); ++x) {
      const i = 4 * (y * img.width + x);
      const c = img.data[i + channel];
      const others = [0, 1, 2].filter((k) => k !== channel).map((k) => img.data[i + k]);
      if (c >= 60 && others.every((o) => c - o >= 60)) ++n;
    }
  }
  return n;
}

// How far two pictures of equal size are apart: the mean absolute difference
// per channel (0..255) and the share of pixels within `tolerance` in every channel.
export function compare(a, b, tolerance = 2) {
  if (a.width !== b.width || a.height !== b.height) throw new Error(`sizes differ: ${a.width}x${a.height} vs ${b.width}x${b.height}`);
  let sum = 0;
  let close = 0;
  const n = a.width * a.height;
  for (let p = 0; p < n; ++p) {
    let worst = 0;
    for (let k = 0; k < 3; ++k) {
      const d = Math.abs(a.data[4 * p + k] - b.data[4 * p + k]);
      sum += d;
      worst = Math.max(worst, d);
    }
    if (worst <= tolerance) ++close;
  }
  return { mean: sum / (3 * n), within: close / n };
}

// A binary PPM (P6) as RGBA rows, top row first.
export function readPpm(file) {
  const buf = fs.readFileSync(file);
  const header = buf.toString('latin1', 0, 64).match(/^P6\s+(\d+)\s+(\d+)\s+(\d+)\s/);
  if (!header) throw new Error(`${file}: not a binary PPM`);
  const [, w, h] = header.map(Number);
  const rgb = buf.subarray(header[0].length);
  const data = Buffer.alloc(w * h * 4);
  for (let p = 0; p < w * h; ++p) {
    data[4 * p] = rgb[3 * p];
    data[4 * p + 1] = rgb[3 * p + 1];
    data[4 * p + 2] = rgb[3 * p + 2];
    data[4 * p + 3] = 255;
  }
  return { width: w, height: h, data };
}

// PNG as the format lays it out, for tests that make their pictures:
// signature, IHDR, IDAT, IEND, each chunk with its CRC-32.
const CRC = Array.from({ length: 256 }, (_, n) => {
  let c = n;
  for (let k = 0; k < 8; ++k) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
  return c >>> 0;
});
function crc32(bytes) {
  let c = 0xffffffff;
  for (const b of bytes) c = CRC[(c ^ b) & 0xff] ^ (c >>> 8);
  return (c ^ 0xffffffff) >>> 0;
}
function chunk(type, data) {
  const head = Buffer.alloc(8);
  head.writeUInt32BE(data.length, 0);
  head.write(type, 4, 'latin1');
  const crc = Buffer.alloc(4);
  crc.writeUInt32BE(crc32(Buffer.concat([head.subarray(4), data])), 0);
  return Buffer.concat([head, data, crc]);
}
export const PNG_SIGNATURE = Buffer.from([0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a]);
export function pngHeader(width, height) {
  const d = Buffer.alloc(13);
  d.writeUInt32BE(width, 0);
  d.writeUInt32BE(height, 4);
  d[8] = 1;  // 1 bit a pixel, grey
  return chunk('IHDR', d);
}
// A whole 1-bit grey picture, its left `white` pixels of each row white.
export function png(width, height, white = 0) {
  const line = Buffer.alloc(1 + Math.ceil(width / 8));
  for (let x = 0; x < white; ++x) line[1 + (x >> 3)] |= 0x80 >> (x & 7);
  const raw = Buffer.alloc(line.length * height);
  for (let y = 0; y < height; ++y) line.copy(raw, y * line.length);
  return Buffer.concat([PNG_SIGNATURE, pngHeader(width, height), chunk('IDAT', zlib.deflateSync(raw, { level: 9 })),
                        chunk('IEND', Buffer.alloc(0))]);
}

