// The window "Bild" and pictures out of the page. The panels, their colour
// bars, ticks and block lines come from the module, computed by the same
// functions the desktop's window draws with; this file puts them on canvases
// and hands a window's picture to a download or to the clipboard.

import { fitCanvas } from './canvas.js';

const $ = (id) => document.getElementById(id);


// The colour bar as on the desktop: 14 pixels wide, 6 pixels free above and below.
const BAR_WIDTH = 14;
const BAR_MARGIN = 6;

const showMessage = (text) => window.veltraUi.showMessage(text);

function imageCanvas(width, height, bytes) {
  const c = document.createElement('canvas');
  c.width = width;
  c.height = height;
  c.getContext('2d').putImageData(new ImageData(new Uint8ClampedArray(bytes.buffer, bytes.byteOffset, bytes.length),
                                                width, height), 0, 0);
  return c;
}

function drawPicture(veltra, canvas, panel, aspect, lines) {
  const [w, h] = fitCanvas(canvas);
  const g = canvas.getContext('2d');
  g.clearRect(0, 0, w, h);
  if (panel.width <= 0 || panel.height <= 0) return;
  const place = veltra.fitPicture(w, h, aspect);
  // Enlarged grid points stay crisp squares.
  g.imageSmoothingEnabled = false;
  g.drawImage(imageCanvas(panel.width, panel.height, panel.bytes), place.left, place.top, place.width, place.height);
  const sx = place.width / panel.width;
  const sy = place.height / panel.height;
  g.fillStyle = '#fff';
  for (const l of lines) {
    if (l.vertical) {
      const x = Math.round(place.left + l.position * sx);
      const y0 = Math.round(place.top + l.from * sy);
      g.fillRect(x, y0, 1, Math.round(place.top + l.to * sy) - y0);
    } else {
      const y = Math.round(place.top + l.position * sy);
      const x0 = Math.round(place.left + l.from * sx);
      g.fillRect(x0, y, Math.round(place.left + l.to * sx) - x0, 1);
    }
  }
}

// The bar from `rows` colours (top first), its tick marks, and the tick
// texts as text beside it.
function drawBar(canvas, ticksBox, panel, rows) {
  const [w] = fitCanvas(canvas);
  const ratio = window.devicePixelRatio || 1;
  const g = canvas.getContext('2d');
  g.clearRect(0, 0, w, canvas.height);
  const top = Math.round(BAR_MARGIN * ratio);
  const barWidth = Math.round(BAR_WIDTH * ratio);
  const colours = new Uint8ClampedArray(barWidth * rows * 4);
  for (let y = 0; y < rows; ++y) {
    for (let x = 0; x < barWidth; ++x) colours.set(panel.bar.subarray(4 * y, 4 * y + 4), 4 * (y * barWidth + x));
  }
  g.putImageData(new ImageData(colours, barWidth, rows), 0, top);
  const bottom = top + rows - 1;
  g.strokeStyle = '#000';
  g.lineWidth = 1;
  g.strokeRect(0.5, top + 0.5, barWidth - 1, bottom - top);
  g.fillStyle = '#000';
  ticksBox.replaceChildren();
  for (const tick of panel.ticks) {
    const y = Math.round(bottom - tick.height * (bottom - top));
    g.fillRect(barWidth - Math.round(4 * ratio), y, Math.round(7 * ratio), Math.max(1, Math.round(ratio)));
    const label = document.createElement('span');
    label.textContent = tick.text;
    label.style.top = `${y / ratio}px`;
    ticksBox.append(label);
  }
}

// The whole window's picture: titles, panels, bars and tick texts, as the
// desktop grabs its window.
function bildPicture() {
  const box = $('bildPanels');
  const ratio = window.devicePixelRatio || 1;
  const origin = box.getBoundingClientRect();
  const out = document.createElement('canvas');
  out.width = Math.round(origin.width * ratio);
  out.height = Math.round(origin.height * ratio);
  const g = out.getContext('2d');
  g.fillStyle = getComputedStyle($('bild')).backgroundColor;
  g.fillRect(0, 0, out.width, out.height);
  g.scale(ratio, ratio);
  const at = (e) => {
    const r = e.getBoundingClientRect();
    return [r.left - origin.left, r.top - origin.top, r.width, r.height];
  };
  const text = (e) => {
    const style = getComputedStyle(e);
    const [x, y, , h] = at(e);
    g.font = style.font;
    g.fillStyle = style.color;
    g.textBaseline = 'middle';
    g.textAlign = style.textAlign === 'center' ? 'center' : 'left';
    g.fillText(e.textContent, style.textAlign === 'center' ? x + at(e)[2] / 2 : x, y + h / 2);
  };
  for (const e of box.querySelectorAll('figcaption, .ticks span')) text(e);
  for (const c of box.querySelectorAll('canvas')) {
    const [x, y, w, h] = at(c);
    g.drawImage(c, x, y, w, h);
  }
  return out;
}

export function wireBild(veltra) {
  const dialog = $('bild');
  const views = { grafik: $('grafik'), daten: $('daten') };
  const pictures = [...dialog.querySelectorAll('canvas.picture')];
  const bars = [...dialog.querySelectorAll('canvas.bar')];
  const ticks = [...dialog.querySelectorAll('.ticks')];

  function redraw() {
    // From 6 pixels below the top to 6 above the bottom, both included, as on the desktop.
    const rows = fitCanvas(bars[0])[1] - 2 * Math.round(BAR_MARGIN * (window.devicePixelRatio || 1)) + 1;
    const shown = veltra.bildPictures(Math.max(rows, 1));
    shown.panels.forEach((panel, i) => {
      // The block lines over the coefficients only.
      drawPicture(veltra, pictures[i], panel, shown.aspect, i === 3 ? shown.blockLines : []);
      drawBar(bars[i], ticks[i], panel, Math.max(rows, 1));
    });
  }

  function showBild() {
    if (!dialog.open) {
      dialog.show();
      redraw();
    }
    $('bildPanels').focus();
  }

  window.addEventListener('veltra-state', () => {
    if (dialog.open) redraw();
  });
  // Its part of the screen changed (layout.js): the panels' size follows.
  window.addEventListener('veltra-layout', () => {
    if (dialog.open) redraw();
  });
  $('butBildClose').addEventListener('click', () => dialog.close());
  // The analysis window's button and the control panel's.
  document.addEventListener('click', (e) => {
    if (e.target.closest?.('#butBild')) showBild();
  });

  function picture(name) {
    const canvas = name === 'bild' ? bildPicture() : views[name];
    return new Promise((resolve, reject) => {
      canvas.toBlob((blob) => (blob ? resolve(blob) : reject(new Error('kein Bild'))), 'image/png');
    });
  }

  async function save(name) {
    try {
      const url = URL.createObjectURL(await picture(name));
      const a = document.createElement('a');
      a.href = url;
      a.download = veltra.proposedPictureName(name);
      a.click();
      setTimeout(() => URL.revokeObjectURL(url), 60000);
    } catch {
      showMessage(veltra.pictureNotSavedText());
    }
  }

  function copy(name) {
    if (!navigator.clipboard?.write || typeof ClipboardItem === 'undefined') {
      showMessage(veltra.noClipboardText());
      return;
    }
    // The picture goes in as a promise, so the key press still counts as the user's.
    navigator.clipboard.write([new ClipboardItem({ 'image/png': picture(name) })]).catch(() => showMessage(veltra.noClipboardText()));
  }

  const nameOf = (target) => {
    for (const [name, canvas] of Object.entries(views)) if (target === canvas) return name;
    return target?.closest?.('#bild') ? 'bild' : null;
  };

  // Before the views' own key handling: B, and Strg+C / Strg+S as on the desktop.
  window.addEventListener('keydown', (e) => {
    const name = nameOf(e.target);
    if (!name) return;
    const key = e.key.toLowerCase();
    const ctrl = (e.ctrlKey || e.metaKey) && !e.altKey && !e.shiftKey;
    if (ctrl && key === 'c') copy(name);
    else if (ctrl && key === 's') save(name);
    else if (name !== 'bild' && key === 'b' && !e.ctrlKey && !e.metaKey && !e.altKey) showBild();
    else return;
    e.preventDefault();
    e.stopImmediatePropagation();
  }, true);

  // The right-click menu: on a view after a click that moved nothing, on "Bild" at once.
  const menu = $('bildMenu');
  let menuFor = null;
  const hideMenu = () => {
    menu.hidden = true;
    menuFor = null;
  };
  const showMenu = (name, x, y) => {
    menuFor = name;
    menu.hidden = false;
    menu.style.left = `${Math.min(x, window.innerWidth - menu.offsetWidth)}px`;
    menu.style.top = `${Math.min(y, window.innerHeight - menu.offsetHeight)}px`;
    menu.querySelector('button').focus();
  };
  for (const [name, canvas] of Object.entries(views)) {
    canvas.addEventListener('veltra-menu', (e) => showMenu(name, e.clientX, e.clientY));
  }
  $('bildPanels').addEventListener('contextmenu', (e) => {
    e.preventDefault();
    showMenu('bild', e.clientX, e.clientY);
  });
  menu.addEventListener('click', (e) => {
    const item = e.target.closest('button');
    if (!item || !menuFor) return;
    const name = menuFor;
    hideMenu();
    if (item.dataset.do === 'copy') copy(name);
    else save(name);
  });
  window.addEventListener('mousedown', (e) => {
    if (!menu.hidden && !menu.contains(e.target)) hideMenu();
  }, true);
  menu.addEventListener('keydown', (e) => {
    if (e.key === 'Escape') hideMenu();
  });
}
