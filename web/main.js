// The page's wiring: each control, key and pointer event goes to the same
// interaction function the desktop calls (through the module's bindings);
// this file only turns browser events into those calls.
import createVeltra from './veltra.js';
import { canvasPoint, fitCanvas } from './canvas.js';
import { wireAnalyse } from './analyse.js';
import { wirePanelDialogs } from './panel.js';
import { wireBild } from './bild.js';
import { wireTouch } from './touch.js';
import { wireLayout } from './layout.js';
import { wireOffline } from './offline.js';
import { linkLanguage, wireLink } from './link.js';
import { chooseLanguage, tr, wireLanguageSwitch } from './i18n.js';

const $ = (id) => document.getElementById(id);
const views = { grafik: $('grafik'), daten: $('daten') };

// Arrow keys and letters as virtual-key codes, as the desktop's views see them.
const ARROWS = { ArrowLeft: 37, ArrowUp: 38, ArrowRight: 39, ArrowDown: 40 };
function virtualKey(e) {
  if (e.key in ARROWS) return ARROWS[e.key];
  if (/^[a-zA-Z0-9]$/.test(e.key)) return e.key.toUpperCase().charCodeAt(0);
  return 0;
}

// DOM button numbers (0 left, 1 middle, 2 right) as bits of MouseEvent.buttons.
const BUTTON_BIT = [1, 4, 2];

// A wheel notch is 120 angle units on the desktop; browsers give pixels
// (100 a notch in Chromium and Firefox), lines (3 a notch) or pages.
function wheelAngle(e) {
  const perUnit = [1.2, 40, 120][e.deltaMode] ?? 1.2;
  return -e.deltaY * perUnit;
}

function showMessage(text) {
  $('messageText').textContent = text;
  const dialog = $('message');
  if (!dialog.open) dialog.showModal();
}

function wireView(veltra, name, canvas) {
  const paint = () => {
    const [w, h] = fitCanvas(canvas);
    veltra.paint(name, w, h);
  };
  new ResizeObserver(paint).observe(canvas);

  canvas.addEventListener('keydown', (e) => {
    const key = virtualKey(e);
    if (key === 0 || e.ctrlKey || e.altKey || e.metaKey) return;
    e.preventDefault();  // arrows would scroll the page
    veltra.keyDown(name, key, e.shiftKey);
  });

  const held = (e) => {
    const b = veltra.dragButton(name);
    return b >= 0 && (e.buttons & BUTTON_BIT[b]) !== 0;
  };
  const at = (e) => canvasPoint(canvas, e);
  // Moves and releases outside the canvas still belong to its drag.
  const move = (e) => veltra.pointerMove(name, ...at(e), held(e), e.shiftKey);
  const up = (e) => {
    // A right click that moved nothing opens the view's menu (bild.js).
    if (veltra.pointerUp(name, e.button)) canvas.dispatchEvent(new MouseEvent('veltra-menu', { clientX: e.clientX, clientY: e.clientY }));
    if (veltra.dragButton(name) < 0) {
      window.removeEventListener('mousemove', move);
      window.removeEventListener('mouseup', up);
    }
  };
  canvas.addEventListener('mousedown', (e) => {
    canvas.focus();
    e.preventDefault();
    veltra.pointerDown(name, e.button, ...at(e), held(e));
    window.addEventListener('mousemove', move);
    window.addEventListener('mouseup', up);
  });
  canvas.addEventListener('dblclick', (e) => veltra.doubleClick(name, e.button));
  canvas.addEventListener('contextmenu', (e) => e.preventDefault());
  canvas.addEventListener('wheel', (e) => {
    e.preventDefault();
    veltra.wheel(name, wheelAngle(e), 0);
  }, { passive: false });
  return paint;
}

// What the panel shows, read back from the module: after a control moved,
// and after the "Analyse" dialog took a surface (the level range follows the
// resolution) or compressed.
function refreshPanel(veltra) {
  const s = veltra.state();
  const range = veltra.levelRange();
  const trbLevel = $('trbLevel');
  trbLevel.min = range.lowest;
  trbLevel.max = range.highest;
  trbLevel.value = s.chosenLevel;
  $('levelTicks').replaceChildren(...Array.from({ length: range.highest - range.lowest + 1 },
                                                (_, i) => new Option('', range.lowest + i)));
  $('labDelta').textContent = veltra.deltaLabel();
  $('labLevel').textContent = veltra.levelLabel();
  $('labaktuellesDelta').textContent = veltra.currentDeltaLabel();
  $('labDeltaHinweis').textContent = veltra.mismatch();
}

function makeUi(veltra) {
  return {
    showMessage,
    refreshPanel: () => refreshPanel(veltra),
    // Everything that shows the state follows it.
    changed() {
      refreshPanel(veltra);
      window.dispatchEvent(new CustomEvent('veltra-state'));
    },
    // As if the scroll bar had been moved there.
    setDeltaPosition(position) {
      $('scrDelta').value = String(position);
      $('scrDelta').dispatchEvent(new Event('input'));
    },
  };
}

function wirePanel(veltra, ui) {
  const scrDelta = $('scrDelta');
  const trbLevel = $('trbLevel');
  scrDelta.addEventListener('input', () => {
    veltra.deltaChanged(Number(scrDelta.value));
    $('labDelta').textContent = veltra.deltaLabel();
    window.dispatchEvent(new CustomEvent('veltra-delta'));
  });
  trbLevel.addEventListener('input', () => {
    veltra.levelChanged(Number(trbLevel.value));
    ui.changed();
  });
  $('butBerechne').addEventListener('click', () => {
    veltra.compute();
    ui.changed();
  });
  $('cbxZoom').addEventListener('change', (e) => veltra.zoomChanged(e.target.checked));
  $('cbxOnlyData').addEventListener('change', (e) => veltra.onlyDataChanged(e.target.checked));
  $('cbxDrahtgitter').addEventListener('change', (e) => veltra.wireframeChanged(e.target.checked));
}

async function main() {
  wireLayout();
  if (!document.createElement('canvas').getContext('webgl2')) {
    $('status').textContent = tr('Dieser Browser kann kein WebGL 2; die Ansichten bleiben leer.');
    return;
  }
  const veltra = await createVeltra();
  // Before anything is shown; a wrong lang leaves German and the link refuses it.
  chooseLanguage(veltra, linkLanguage() ?? 'de');
  // The desktop's function window names its state in its caption ("Nullmatrix",
  // "Keine Nullen"); the page's heading keeps naming the view. The data view's
  // heading says its display scale.
  veltra.start(() => {}, showMessage, (caption) => { $('datenTitle').textContent = caption; });
  for (const [name, canvas] of Object.entries(views)) wireView(veltra, name, canvas)();
  const ui = makeUi(veltra);
  wirePanel(veltra, ui);
  wirePanelDialogs(veltra, ui);
  ui.analyse = wireAnalyse(veltra, ui);
  window.veltraUi = ui;
  wireBild(veltra);
  wireTouch(veltra);
  wireOffline();
  wireLink(veltra);
  wireLanguageSwitch(veltra, () => veltra.state().sourceKind === 'File');
  $('status').textContent = '';
  // For the load-time figure: both views have drawn their first frame.
  requestAnimationFrame(() => {
    window.veltraFirstFrame = performance.now();
  });
  window.veltra = veltra;
}

main().catch((e) => {
  $('status').textContent = `${tr('Veltra konnte nicht starten:')} ${e.message ?? e}`;
});
