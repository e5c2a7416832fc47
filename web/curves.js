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
  // log: the y axis over whole decades (the share curve); pendingName: the
  // hollow marker's legend, for the Delta curve only.
  constructor(host, { title, xTitle, xMax, log, markerName, pendingName, veltra, onPick }) {
    this.host = host;
    this.veltra = veltra;
    this.log = log;
    this.xMax = xMax;
    this.range = null;  // the linear axis in force, kept while the data fit
    this.points = null;
    this.yRange = log ? [1e-4, 1] : [0, 1];
    this.empty = document.createElement('div');
    this.empty.className = 'empty';
    host.append(this.empty);
    // The hollow marker is a ring around the filled one when both stand on one Delta.
    const pointsOnly = (fill, size) => ({
      stroke: MARKER, fill, width: 2, paths: () => null,
      points: { show: true, size, width: 2, stroke: MARKER, fill },
    });
    const series = [
      { label: xTitle, value: (u, v) => (v == null ? '' : formatG(v)) },
      { label: 'RMS', stroke: '#1f5fa8', width: 1.5, spanGaps: true, points: { show: false } },
      { label: markerName, ...pointsOnly(MARKER, 9) },
    ];
    if (pendingName) series.push({ label: pendingName, ...pointsOnly('transparent', 17) });
    const texts = (u, splits) => splits.map((v) => (v == null ? '' : formatG(v)));
    this.plot = new uPlot({
      title,
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
        { label: xTitle, values: texts, splits: () => [0, 1, 2, 3, 4, 5].map((i) => (i * xMax) / 5) },
        { label: log ? 'RMS (log)' : 'RMS-Fehler', values: texts, size: 60,
          splits: log ? undefined : () => this.ticks() },
      ],
      series,
    }, [[], [], [], ...(pendingName ? [[]] : [])], host);
    this.pendingSeries = pendingName ? 3 : -1;
    // The legend names the markers; the line is the chart's title.
    host.querySelector('.u-legend .u-series:first-child')?.style.setProperty('display', 'none');
    new ResizeObserver(() => this.plot.setSize({ width: Math.max(300, host.clientWidth), height: 220 })).observe(host);
    if (onPick) {
      this.plot.over.addEventListener('click', (e) => {
        if (!this.points) return;
        const x = this.plot.posToVal(e.offsetX, 'x');
        if (x >= 0 && x <= xMax) onPick(x);
      });
    }
  }

  ticks() {
    if (!this.range) return [0, 1];
    const t = [];
    for (let i = 0; i < this.range.ticks; ++i) t.push(this.range.low + i * this.range.step);
    return t;
  }

  forgetRange() { this.range = null; }

  showEmpty(text) {
    this.points = null;
    this.empty.textContent = text;
    this.empty.hidden = false;
    this.plot.setData([[], [], [], ...(this.pendingSeries > 0 ? [[]] : [])]);
  }

  // curve: { x, y, marker, pending } as the module computes it.
  showCurve(curve) {
    this.empty.hidden = true;
    this.empty.textContent = '';
    this.points = curve;
    const ys = curve.y.slice();
    let draw = (v) => v;
    if (this.log) {
      if (curve.marker) ys.push(curve.marker.y);
      const r = this.veltra.logDecades(ys);
      this.yRange = [r.floor, r.ceiling];
      draw = (v) => this.veltra.onLogAxis(r, v);
    } else {
      let top = 0;
      for (const v of ys) if (Number.isFinite(v)) top = Math.max(top, v);
      for (const m of [curve.marker, curve.pending]) if (m && Number.isFinite(m.y)) top = Math.max(top, m.y);
      this.range = this.range ? this.veltra.axisKeptOrRescaled(this.range, top) : this.veltra.axisFromZero(top);
      this.yRange = [this.range.low, this.range.high];
    }
    this.draw = draw;
    this.render(curve.pending);
  }

  // The hollow marker to the point at scroll bar position 0..100.
  movePending(position) {
    if (this.pendingSeries < 0 || !this.points || this.points.x.length !== 101) return;
    this.render({ x: this.points.x[position], y: this.points.y[position] });
  }

  render(pending) {
    const c = this.points;
    // One x array for all series: the markers' x among the curve's, the line
    // spanning the gaps they leave.
    const xs = [...new Set([...c.x, ...(c.marker ? [c.marker.x] : []), ...(pending ? [pending.x] : [])])]
      .sort((a, b) => a - b);
    const at = new Map(c.x.map((x, i) => [x, i]));
    const line = xs.map((x) => (at.has(x) ? this.draw(c.y[at.get(x)]) : null));
    const only = (m) => xs.map((x) => (m && x === m.x ? this.draw(m.y) : null));
    const data = [xs, line, only(c.marker)];
    if (this.pendingSeries > 0) data.push(only(pending));
    this.plot.setData(data);
  }
}
