// The two error curves of "Analyse", drawn by uPlot. Scaling and number
// texts come from the module (the desktop's axis rules); the line, the filled
// marker and, over Delta, the hollow marker of the scroll bar's Delta.
import uPlot from './uPlot.esm.js';

const MARKER = '#c00000';

// printf's %g (6 significant digits), as the desktop's axes write numbers,
// whatever the browser's language.
export function formatG(v) {
  if (v === 0 || !Number.isFinite(v)) return String(v);
  const exp = Math.floor(Math.log10(Math.abs(Number(v.toPrecision(6)))));
  if (exp < -4 || exp >= 6) {
    const [m, e] = v.toExponential(5).split('e');
    const mant = m.includes('.') ? m.replace(/0+$/, '').replace(/\.$/, '') : m;
    const n = Number(e);
    return `${mant}e${n < 0 ? '-' : '+'}${String(Math.abs(n)).padStart(2, '0')}`;
  }
  return String(Number(v.toPrecision(6)));
}

// Axis numbers and titles: 12 px as uPlot draws them, 18 and 20 px for "Präsentation".
const fonts = (present) => (present
  ? { font: '18px sans-serif', labelFont: 'bold 20px sans-serif', ySize: 110, xSize: 64, labelSize: 34 }
  : { font: '12px sans-serif', labelFont: 'bold 12px sans-serif', ySize: 60, xSize: 50, labelSize: 30 });

export class CurveView {
  // texts: the chart's title, axis titles and marker names, from the module;
  // pointText(x, y): the values of the curve point under the pointer, worded
  // by the module as the desktop's tooltip.
  constructor(host, { texts, log, onPick, pointText }) {
    this.host = host;
    this.texts = texts;
    this.log = log;
    this.pointText = pointText;
    this.chart = null;  // as the module shows it, with a curve
    this.data = null;
    this.present = false;
    this.height = 220;
    this.yRange = log ? [1e-4, 1] : [0, 1];
    this.empty = document.createElement('div');
    this.empty.className = 'empty';
    this.readout = document.createElement('p');
    this.readout.className = 'pointText';
    host.append(this.empty);
    this.pendingSeries = texts.pendingName !== '' ? 3 : -1;
    this.build();
    host.append(this.readout);
    // Sized in the next frame, not within the observer's delivery: a new
    // size there would be observed again in the same frame.
    let frame = 0;
    new ResizeObserver(() => {
      if (!frame) frame = requestAnimationFrame(() => { frame = 0; this.fit(); });
    }).observe(host);
    // A finger shows its point at once, and the values stay when the
    // browser lets the tap's mouse leave again.
    this.tapped = false;
    host.addEventListener('pointermove', (e) => { if (e.pointerType === 'mouse') this.tapped = false; });
    host.addEventListener('pointerdown', (e) => {
      this.tapped = e.pointerType === 'touch';
      if (!this.tapped || !e.target.closest('.u-over')) return;
      const r = this.plot.over.getBoundingClientRect();
      this.plot.setCursor({ left: e.clientX - r.left, top: e.clientY - r.top });
    });
    if (onPick) {
      host.addEventListener('click', (e) => {
        if (!this.chart || !e.target.closest('.u-over')) return;
        const x = this.plot.posToVal(e.offsetX, 'x');
        if (x >= 0 && x <= texts.xMax) onPick(x);
      });
    }
  }

  build() {
    const { texts, log } = this;
    const f = fonts(this.present);
    // The hollow marker is a ring around the filled one when both stand on one Delta.
    const pointsOnly = (fill, size) => ({
      stroke: MARKER, fill, width: 2, paths: () => null,
      points: { show: true, size, width: 2, stroke: MARKER, fill },
    });
    const series = [
      { label: texts.xTitle, value: (u, v) => (v == null ? '' : formatG(v)) },
      { label: 'RMS', stroke: '#1f5fa8', width: 1.5, spanGaps: true, points: { show: false } },
      { label: texts.markerName, ...pointsOnly(MARKER, 9) },
    ];
    if (this.pendingSeries > 0) series.push({ label: texts.pendingName, ...pointsOnly('transparent', 17) });
    const labels = (u, splits) => splits.map((v) => (v == null ? '' : formatG(v)));
    const xMax = texts.xMax;
    const axis = { font: f.font, labelFont: f.labelFont, labelSize: f.labelSize, values: labels };
    this.plot?.destroy();
    this.plot = new uPlot({
      title: texts.title,
      width: Math.max(300, this.host.clientWidth || 400),
      height: this.height,
      legend: { live: false },
      cursor: {
        // uPlot takes a click whose crosshair moved (it moves to the curve)
        // for the end of a drag and stops it; the click picks a Delta here.
        drag: { x: false, y: false, click: () => {} },
        // The crosshair on the curve's nearest point, not wherever the pointer is.
        move: (u, left, top) => {
          const p = this.nearest(left);
          return p ? [u.valToPos(p.x, 'x'), u.valToPos(p.drawnY, 'y')] : [left, top];
        },
      },
      hooks: { setCursor: [(u) => this.showPoint(u.cursor.left)] },
      scales: {
        x: { time: false, range: [0, xMax] },
        y: log ? { distr: 3, log: 10, range: () => [this.yRange[0], this.yRange[1]] }
               : { range: () => [this.yRange[0], this.yRange[1]] },
      },
      axes: [
        { ...axis, label: texts.xTitle, size: f.xSize, splits: () => [0, 1, 2, 3, 4, 5].map((i) => (i * xMax) / 5) },
        { ...axis, label: texts.yTitle, size: f.ySize, splits: log ? undefined : () => this.ticks() },
      ],
      series,
    }, this.data ?? [[], [], [], ...(this.pendingSeries > 0 ? [[]] : [])], (u, init) => {
      this.empty.after(u.root);
      init();
    });
    // The legend names the markers; the line is the chart's title.
    this.host.querySelector('.u-legend .u-series:first-child')?.style.setProperty('display', 'none');
  }

  fit() {
    const width = Math.max(300, this.host.clientWidth);
    if (width !== this.plot.width || this.height !== this.plot.height) this.plot.setSize({ width, height: this.height });
  }

  // The size for the screen and "Präsentation" (larger numbers need a new chart).
  restyle(present, height) {
    this.height = height;
    if (present !== this.present) {
      this.present = present;
      this.build();
    }
    this.fit();
  }

  // The curve point nearest to a pointer `left` pixels into the plot.
  nearest(left) {
    const c = this.chart?.curve;
    if (!c || left < 0) return null;
    const x = this.plot.posToVal(left, 'x');
    let best = 0;
    for (let i = 1; i < c.x.length; ++i) if (Math.abs(c.x[i] - x) < Math.abs(c.x[best] - x)) best = i;
    return { x: c.x[best], y: c.y[best], drawnY: this.chart.drawnY[best] };
  }

  showPoint(left) {
    const p = this.nearest(left);
    if (!p && this.tapped && this.chart) return;
    this.readout.textContent = p ? this.pointText(p.x, p.y) : '';
  }

  ticks() {
    const r = this.chart?.linear;
    if (!r) return [0, 1];
    return Array.from({ length: r.ticks }, (_, i) => r.low + i * r.step);
  }

  // chart: the curve, where its values are drawn and the y axis, as the
  // module shows it; without a curve the text that says why.
  show(chart) {
    if (chart.curve.x.length === 0) {
      this.chart = null;
      this.empty.textContent = chart.emptyText;
      this.empty.hidden = false;
      this.readout.textContent = '';
      this.data = null;
      this.plot.setData([[], [], [], ...(this.pendingSeries > 0 ? [[]] : [])]);
      return;
    }
    this.empty.hidden = true;
    this.empty.textContent = '';
    this.chart = chart;
    this.yRange = chart.logarithmic ? [chart.decades.floor, chart.decades.ceiling] : [chart.linear.low, chart.linear.high];
    // One x array for all series: the markers' x among the curve's, the line
    // spanning the gaps they leave.
    const c = chart.curve;
    const marker = chart.drawnMarker;
    const pending = chart.drawnPending;
    const xs = [...new Set([...c.x, ...(marker ? [marker.x] : []), ...(pending ? [pending.x] : [])])]
      .sort((a, b) => a - b);
    const at = new Map(c.x.map((x, i) => [x, i]));
    const line = xs.map((x) => (at.has(x) ? chart.drawnY[at.get(x)] : null));
    const only = (m) => xs.map((x) => (m && x === m.x ? m.y : null));
    const data = [xs, line, only(marker)];
    if (this.pendingSeries > 0) data.push(only(pending));
    this.data = data;
    this.plot.setData(data);
  }
}
