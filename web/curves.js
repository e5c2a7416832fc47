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

export class CurveView {
  // texts: the chart's title, axis titles and marker names, from the module.
  constructor(host, { texts, log, onPick }) {
    this.host = host;
    this.log = log;
    this.chart = null;  // as the module shows it, with a curve
    this.yRange = log ? [1e-4, 1] : [0, 1];
    this.empty = document.createElement('div');
    this.empty.className = 'empty';
    host.append(this.empty);
    // The hollow marker is a ring around the filled one when both stand on one Delta.
    const pointsOnly = (fill, size) => ({
      stroke: MARKER, fill, width: 2, paths: () => null,
      points: { show: true, size, width: 2, stroke: MARKER, fill },
    });
    const withPending = texts.pendingName !== '';
    const series = [
      { label: texts.xTitle, value: (u, v) => (v == null ? '' : formatG(v)) },
      { label: 'RMS', stroke: '#1f5fa8', width: 1.5, spanGaps: true, points: { show: false } },
      { label: texts.markerName, ...pointsOnly(MARKER, 9) },
    ];
    if (withPending) series.push({ label: texts.pendingName, ...pointsOnly('transparent', 17) });
    const labels = (u, splits) => splits.map((v) => (v == null ? '' : formatG(v)));
    const xMax = texts.xMax;
    this.plot = new uPlot({
      title: texts.title,
      width: Math.max(300, host.clientWidth || 400),
      height: 220,
      legend: { live: false },
      cursor: { drag: { x: false, y: false } },
      scales: {
        x: { time: false, range: [0, xMax] },
        y: log ? { distr: 3, log: 10, range: () => [this.yRange[0], this.yRange[1]] }
               : { range: () => [this.yRange[0], this.yRange[1]] },
      },
      axes: [
        { label: texts.xTitle, values: labels, splits: () => [0, 1, 2, 3, 4, 5].map((i) => (i * xMax) / 5) },
        { label: texts.yTitle, values: labels, size: 60, splits: log ? undefined : () => this.ticks() },
      ],
      series,
    }, [[], [], [], ...(withPending ? [[]] : [])], host);
    this.pendingSeries = withPending ? 3 : -1;
    // The legend names the markers; the line is the chart's title.
    host.querySelector('.u-legend .u-series:first-child')?.style.setProperty('display', 'none');
    new ResizeObserver(() => this.plot.setSize({ width: Math.max(300, host.clientWidth), height: 220 })).observe(host);
    if (onPick) {
      this.plot.over.addEventListener('click', (e) => {
        if (!this.chart) return;
        const x = this.plot.posToVal(e.offsetX, 'x');
        if (x >= 0 && x <= xMax) onPick(x);
      });
    }
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
    this.plot.setData(data);
  }
}
