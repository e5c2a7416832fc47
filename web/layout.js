// The screen shared out: the open panes ("Analyse", "Bild", "Hilfe") take
// their own part, beside the views on a wide screen and below them on a tall
// one; the panel keeps the desktop's places where they fit and flows in rows
// where they do not (narrow, touch, "Präsentation"); the views get the rest,
// each keeping the desktop window's shape, side by side or stacked, whichever
// makes them larger. Nothing lies over a view or the panel. "Vollbild" gives
// the views the whole screen; Esc (or "Vollbild beenden") leaves it.

import { tr } from './i18n.js';

const $ = (id) => document.getElementById(id);
const GRAFIK_WIDTH = 492;
const DATEN_WIDTH = 531;
const VIEW_HEIGHT = 528;
const GAP = 1;
const FIXED_PANEL_WIDTH = 801;
// A little more than the desktop's size would hardly show; up to this factor
// the views keep that size exactly, and their pictures match the desktop's
// pixel for pixel.
const KEEP_DESKTOP_SIZE_BELOW = 1.08;
// Bild's panels: the desktop's size unless "Präsentation" asks for more.
const BILD_PANEL = 190;
const BILD_GAP = 6;
// The views keep at least this much of a side beside or above the panes,
// and the panes this much, a title and a few lines.
const DESK_MIN = 300;
const PANE_MIN = 140;
// The views' height below which a pane below them gives way.
const VIEWS_MIN = 80;

const PANES = ['analyse', 'bild', 'help'];
const coarse = window.matchMedia('(pointer: coarse)');

// A note in the page's message box, or in the status line before it exists.
const note = (text) => (window.veltraUi ? window.veltraUi.showMessage(text) : ($('status').textContent = text));

const outerHeight = (e) => {
  const style = getComputedStyle(e);
  return e.getBoundingClientRect().height + parseFloat(style.marginTop) + parseFloat(style.marginBottom);
};
const px = (v) => `${Math.floor(v)}px`;
const presenting = () => document.body.classList.contains('praesentation');

// The panes' side: their width beside the views (wide screen) or their
// height below them (tall screen), as the open ones ask for.
function paneSide(open, width, height, landscape, present) {
  const bildWidth = 2 * (BILD_PANEL + 66) + 3 * BILD_GAP + 20;
  const wants = landscape
    ? { analyse: Math.min(880, Math.max(360, 0.45 * width)), bild: bildWidth, help: Math.min(600, Math.max(320, 0.4 * width)) }
    : { analyse: 0.45 * height, bild: Math.min(0.45 * height, 2 * (BILD_PANEL + 30) + 80), help: 0.4 * height };
  let side = Math.max(...open.map((id) => wants[id]));
  if (present) side = Math.max(side, (open.includes('bild') ? 0.6 : 0.5) * (landscape ? width : height));
  return Math.floor(Math.min(side, (landscape ? width : height) - DESK_MIN));
}

// Bild's panel size and columns within (w, h): the largest square panels
// the four fit as 4 x 1, 2 x 2 or 1 x 4.
function fitBild(w, h, present, bar, caption) {
  let best = { size: 0, cols: 4 };
  for (const cols of [4, 2, 1]) {
    const rows = 4 / cols;
    const size = Math.floor(Math.min((w - (cols - 1) * BILD_GAP) / cols - bar,
                                     (h - (rows - 1) * BILD_GAP) / rows - caption,
                                     present ? Infinity : BILD_PANEL));
    if (size > best.size) best = { size, cols };
  }
  return best;
}

function layoutPanes(width, height, full, slack) {
  const open = full ? [] : PANES.filter((id) => $(id).open);
  const landscape = width >= height;
  const present = presenting();
  const panes = $('panes');
  panes.classList.toggle('shown', open.length > 0);
  $('frame').classList.toggle('portrait', !landscape);
  if (!open.length) return { width, height };
  const side = Math.max(PANE_MIN, paneSide(open, width, height, landscape, present) + slack);
  panes.style.width = landscape ? px(side) : '';
  panes.style.height = landscape ? '' : px(side);
  // Bild's share of the column, when it shares it with others.
  if (open.includes('bild')) {
    const bild = $('bild');
    const style = getComputedStyle(bild);
    const bar = parseFloat(style.getPropertyValue('--bar'));
    const caption = 1.4 * parseFloat(style.fontSize) + 2;
    const title = bild.querySelector('.paneTitle').offsetHeight;
    const w = (landscape ? side : width) - 8 - 18;
    const h = (landscape ? height : side) / open.length - title - 8 - 16 - 4;
    const fit = fitBild(w, h, present, bar, caption);
    bild.style.setProperty('--panel', px(Math.max(fit.size, 40)));
    bild.style.setProperty('--cols', String(fit.cols));
  }
  // "Präsentation": both curves as high as Analyse's part of the screen allows.
  const analyse = $('analyse');
  if (open.includes('analyse')) {
    const h = (landscape ? height : side) / open.length;
    analyse.dataset.chartHeight = String(present ? Math.max(220, Math.floor((h - 8 * parseFloat(getComputedStyle(analyse).fontSize)) / 2)) : 220);
  }
  return landscape ? { width: width - side, height } : { width, height: height - side };
}

// The views' place; returns what the views leave free of the desk towards
// the panes (its height below them on a tall screen, its width beside them
// on a wide one), which the panes may then take, or, below zero, what the
// panes must give back.
function place(slack) {
  const views = $('views');
  const full = document.fullscreenElement === views;
  const screen = full ? [views.clientWidth, views.clientHeight]
                      : [document.documentElement.clientWidth, window.innerHeight];
  const desk = layoutPanes(...screen, full, slack);
  const panel = $('kontrolle');
  const fixed = !coarse.matches && !presenting() && desk.width >= FIXED_PANEL_WIDTH + 8;
  panel.classList.toggle('fixed', fixed);
  panel.classList.toggle('flow', !fixed);

  // Heights beside the canvases: their titles, and outside the full screen
  // the panel and the status line below them.
  const title = $('grafikTitle').getBoundingClientRect().height;
  const below = full ? 0 : outerHeight(panel) + outerHeight($('status'));
  const free = desk.height - below;
  const beside = Math.min((desk.width - GAP) / (GRAFIK_WIDTH + DATEN_WIDTH), (free - title) / VIEW_HEIGHT);
  const stacked = Math.min(desk.width / DATEN_WIDTH, (free - 2 * title - GAP) / (2 * VIEW_HEIGHT));
  const stack = stacked > beside;
  views.classList.toggle('stacked', stack);
  let scale = Math.max(beside, stacked);
  if (scale >= 1 && scale < KEEP_DESKTOP_SIZE_BELOW) scale = 1;
  scale = Math.max(scale, 0.1);
  const h = Math.floor(VIEW_HEIGHT * scale);
  // Whole pixels, so the canvases are not smoothed by the compositor.
  $('grafik').style.width = px(GRAFIK_WIDTH * scale);
  $('daten').style.width = px(DATEN_WIDTH * scale);
  for (const c of [$('grafik'), $('daten')]) c.style.height = `${h}px`;
  if (full || !$('panes').classList.contains('shown')) return 0;
  // A tall panel (a phone, "Präsentation") leaves the views too little: the pane below gives way.
  if (screen[0] < screen[1] && h < VIEWS_MIN) return free - title - VIEWS_MIN;
  const rows = stack ? 2 : 1;
  const cols = stack ? 1 : 2;
  return screen[0] >= screen[1]
    ? desk.width - (cols === 2 ? GAP + Math.floor(GRAFIK_WIDTH * scale) : 0) - Math.floor(DATEN_WIDTH * scale)
    : free - rows * (title + h) - (rows - 1) * GAP;
}

let lastChart = '';
function layout() {
  const slack = place(0);
  if (slack > 4 || slack < 0) place(Math.floor(slack) - 2);
  const chart = `${$('analyse').dataset.chartHeight}|${$('bild').style.cssText}|${presenting()}`;
  if (chart !== lastChart) {
    lastChart = chart;
    window.dispatchEvent(new CustomEvent('veltra-layout'));
  }
}

// Once a frame at most, after whatever changed the sizes; never inside a
// ResizeObserver's own delivery (that would loop).
let pending = 0;
function relayout() {
  if (!pending) {
    pending = requestAnimationFrame(() => {
      pending = 0;
      layout();
    });
  }
}

export function wireLayout() {
  layout();
  window.addEventListener('resize', relayout);
  coarse.addEventListener('change', relayout);
  document.addEventListener('fullscreenchange', relayout);
  // The panel and status line may change their height (a message, a note).
  const watch = new ResizeObserver(relayout);
  watch.observe($('kontrolle'));
  watch.observe($('status'));
  // A pane opened or closed, by its button, its ×, Esc or the link.
  for (const id of PANES) {
    new MutationObserver(() => layout()).observe($(id), { attributes: true, attributeFilter: ['open'] });
  }
  $('cbxPraesentation').addEventListener('change', (e) => {
    document.body.classList.toggle('praesentation', e.target.checked);
    layout();
  });

  const views = $('views');
  $('butVollbild').addEventListener('click', () => {
    if (!views.requestFullscreen) {
      note(tr('Dieser Browser kann die Ansichten nicht als Vollbild zeigen.'));
      return;
    }
    views.requestFullscreen().catch(() => {
      note(tr('Der Browser hat das Vollbild abgelehnt.'));
    });
  });
  $('butVollbildEnde').addEventListener('click', () => document.exitFullscreen());
  // Browsers leave the full screen on Esc themselves; where the key reaches
  // the page instead, it does the same, unless it closes an open message box.
  document.addEventListener('keydown', (e) => {
    if (e.key === 'Escape' && document.fullscreenElement === views && !document.querySelector('dialog[open]:modal')) {
      document.exitFullscreen();
    }
  });
}
