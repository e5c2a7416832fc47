// The views as large as the screen allows: side by side in the width, above
// the panel in the height, each keeping the desktop window's shape. "Vollbild"
// gives them the whole screen; Esc (or "Vollbild beenden") leaves it.

const $ = (id) => document.getElementById(id);
const GRAFIK_WIDTH = 492;
const DATEN_WIDTH = 531;
const VIEW_HEIGHT = 528;
const GAP = 1;
// A little more than the desktop's size would hardly show; up to this factor
// the views keep that size exactly, and their pictures match the desktop's
// pixel for pixel.
const KEEP_DESKTOP_SIZE_BELOW = 1.08;

// A note in the page's message box, or in the status line before it exists.
const note = (text) => (window.veltraUi ? window.veltraUi.showMessage(text) : ($('status').textContent = text));

const outerHeight = (e) => {
  const style = getComputedStyle(e);
  return e.getBoundingClientRect().height + parseFloat(style.marginTop) + parseFloat(style.marginBottom);
};

function layout() {
  const views = $('views');
  const full = document.fullscreenElement === views;
  const width = full ? views.clientWidth : document.documentElement.clientWidth;
  const height = full ? views.clientHeight : window.innerHeight;
  // Heights beside the canvases: their titles, and outside the full screen
  // the panel and the status line below them.
  let besides = $('grafikTitle').getBoundingClientRect().height;
  if (!full) besides += outerHeight($('kontrolle')) + outerHeight($('status'));

  let scale = Math.min((width - GAP) / (GRAFIK_WIDTH + DATEN_WIDTH), (height - besides) / VIEW_HEIGHT);
  if (scale >= 1 && scale < KEEP_DESKTOP_SIZE_BELOW) scale = 1;
  scale = Math.max(scale, 0.25);
  const h = Math.floor(VIEW_HEIGHT * scale);
  const gw = Math.floor(GRAFIK_WIDTH * scale);
  const dw = Math.floor(DATEN_WIDTH * scale);
  $('grafik').style.width = `${gw}px`;
  $('daten').style.width = `${dw}px`;
  for (const c of [$('grafik'), $('daten')]) c.style.height = `${h}px`;
  // Whole pixels, so the canvases are not smoothed by the compositor.
  const viewsWidth = gw + GAP + dw;
  $('desk').style.marginLeft = full ? '' : `${Math.max(0, Math.floor((width - viewsWidth) / 2))}px`;
  $('kontrolle').style.marginLeft = `${Math.max(0, Math.floor((viewsWidth - $('kontrolle').offsetWidth) / 2))}px`;
}

export function wireLayout() {
  layout();
  window.addEventListener('resize', layout);
  document.addEventListener('fullscreenchange', layout);
  // The panel and status line may change their height (a message, more controls).
  new ResizeObserver(layout).observe($('kontrolle'));
  new ResizeObserver(layout).observe($('status'));

  const views = $('views');
  $('butVollbild').addEventListener('click', () => {
    if (!views.requestFullscreen) {
      note('Dieser Browser kann die Ansichten nicht als Vollbild zeigen.');
      return;
    }
    views.requestFullscreen().catch(() => {
      note('Der Browser hat das Vollbild abgelehnt.');
    });
  });
  $('butVollbildEnde').addEventListener('click', () => document.exitFullscreen());
  // Browsers leave the full screen on Esc themselves; where the key reaches
  // the page instead, it does the same, unless it closes an open message box.
  document.addEventListener('keydown', (e) => {
    if (e.key === 'Escape' && document.fullscreenElement === views && !document.querySelector('dialog[open]')) {
      document.exitFullscreen();
    }
  });
}
