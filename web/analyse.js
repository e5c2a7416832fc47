// The "Analyse" dialog: data source (sample, formula, file chosen or dropped
// on the page), resolution, compression, readouts and the two curves, all
// through the module's functions, which are the desktop window's.
import { CurveView } from './curves.js';
import { isCurrent, newChoice, readFile } from './files.js';
import { pictureKind, wireDrop } from './source_files.js';

const $ = (id) => document.getElementById(id);

export function wireAnalyse(veltra, ui) {
  const dialog = $('analyse');
  const spn = $('spnAnteil');
  const sld = $('sldAnteil');
  let percent = 10;
  let lastFile = null;  // { name, bytes (its start), file } of the file in force or last tried

  const choices = veltra.resolutionChoices();
  for (const c of choices) $('cmbAufloesung').append(new Option(c.text, c.points));

  const chart = (id, texts, log, more) => new CurveView($(id), {
    texts, log, pointText: (x, y) => veltra.curvePointText(log, texts.xTitle, x, y), ...more,
  });
  const chtDelta = chart('chtDelta', veltra.deltaChartTexts(), false, {
    // A click on the curve moves the Delta scroll bar there.
    onPick: (delta) => ui.setDeltaPosition(veltra.nearestDeltaPosition(delta)),
  });
  const chtAnteil = chart('chtAnteil', veltra.shareChartTexts(), true);
  // The pane's size and "Präsentation" (layout.js) size the curves.
  window.addEventListener('veltra-layout', () => {
    const height = Number(dialog.dataset.chartHeight) || 220;
    const present = document.body.classList.contains('praesentation');
    for (const c of [chtDelta, chtAnteil]) c.restyle(present, height);
  });

  function showSource() {
    $('cmbAufloesung').value = String(veltra.resolution());
    const kind = veltra.state().sourceKind;
    $({ Sample: 'rbBeispiel', Formula: 'rbFormel', File: 'rbDatei' }[kind]).checked = true;
  }

  function readouts() {
    const r = veltra.readouts(percent);
    $('butAnwenden').disabled = r.atTop;
    $('labBehalten').textContent = r.kept;
    $('labGezeigt').textContent = r.shown;
    $('labFehler').textContent = r.error;
    $('labFehler').classList.toggle('warn', r.mismatch !== '');
    $('labQuelle').textContent = r.source;
    const body = $('tblEnergie').tBodies[0];
    body.replaceChildren(...r.energy.map((row) => {
      const tr = document.createElement('tr');
      for (const cell of row) tr.insertCell().textContent = cell;
      return tr;
    }));
    $('tblEnergie').title = r.energyExplanation;
  }

  // The curves' rules are the module's: this runs the jobs it orders in a
  // worker and draws what it shows.
  let worker = null;
  let timer = 0;
  const grp = $('grpKurven');

  function draw() {
    const shown = veltra.curvesShown();
    chtDelta.show(shown.overDelta);
    chtAnteil.show(shown.overShare);
    $('labMinimum').textContent = shown.minimum;
    grp.dataset.state = shown.progress >= 0 ? 'running' : shown.overDelta.curve.x.length ? 'ready' : 'empty';
    window.veltraCurves = shown.current ? { overDelta: shown.overDelta.curve, overShare: shown.overShare.curve } : null;
  }

  function start() {
    timer = 0;
    const job = veltra.curvesStart();
    draw();
    if (!job) return;
    worker ??= new Worker(new URL('./curves_worker.js', import.meta.url), { type: 'module' });
    worker.onmessage = (e) => {
      const { generation, percent, result } = e.data;
      if (result ? veltra.curvesReady(generation, result) : veltra.curvesProgressed(generation, percent)) draw();
    };
    worker.onerror = (e) => ui.showMessage(veltra.curvesFailed(String(e.message ?? e)));
    worker.postMessage(job);
  }

  function obey(orders) {
    if (orders.dropJob && worker) {
      worker.terminate();
      worker = null;
    }
    if (orders.scheduleStart && !timer) timer = setTimeout(start, 0);
    draw();
  }

  // After any change of the state: readouts, and the curves anew.
  function stateChanged() {
    readouts();
    obey(veltra.curvesStateChanged());
  }

  function surfaceTaken() {
    showSource();
    ui.changed();
  }

  // A refused source changes nothing; the message says why.
  function refuse(error) {
    ui.showMessage(error);
    showSource();
    readouts();
  }

  function take(error) {
    newChoice();  // a source taken: what an earlier choice still reads is dropped
    if (error) refuse(error);
    else surfaceTaken();
    return !error;
  }

  async function takeFile(file) {
    const mine = newChoice();
    const tooLarge = veltra.fileTooLarge(file.name, file.size);
    if (tooLarge) return refuse(tooLarge);
    let bytes;
    try {
      // Its start tells a picture from a table; the worker reads the rest.
      bytes = new Uint8Array(await file.slice(0, 16).arrayBuffer());
    } catch {
      return refuse(veltra.unreadableFile(file.name));
    }
    if (!isCurrent(mine)) return undefined;  // another choice came meanwhile
    return takeBytes({ name: file.name, bytes, file });
  }

  async function takeBytes(f) {
    // A large picture takes a moment to decode and resample.
    $('labQuelle').textContent = veltra.readingFile(f.name);
    const kind = pictureKind(f.bytes);
    let error;
    if (kind === 'unsupported') {
      error = veltra.unreadablePicture(f.name, true);
    } else {
      // Read in a worker, saying how far it got; a newer choice ends it.
      const read = await readFile(veltra, f, kind === 'browser' ? 'picture' : 'table',
                                  (text) => { $('labQuelle').textContent = text; });
      if (read.superseded) return;
      error = read.error;
    }
    if (take(error)) lastFile = f;
  }

  function chooseFile() {
    $('fileInput').value = '';
    $('fileInput').click();
  }

  $('butAnalyse').addEventListener('click', () => {
    dialog.show();
    readouts();
    obey(veltra.curvesVisible(true));
  });
  dialog.addEventListener('close', () => obey(veltra.curvesVisible(false)));
  $('butUebernehmen').addEventListener('click', () => take(veltra.takeFormula($('txtFormel').value)));
  $('txtFormel').addEventListener('keydown', (e) => {
    if (e.key === 'Enter') take(veltra.takeFormula($('txtFormel').value));
  });
  $('rbBeispiel').addEventListener('click', () => take(veltra.takeSample()));
  $('rbFormel').addEventListener('click', () => take(veltra.takeFormula($('txtFormel').value)));
  $('rbDatei').addEventListener('click', () => {
    if (lastFile) takeBytes(lastFile);
    else {
      showSource();
      chooseFile();
    }
  });
  $('butDatei').addEventListener('click', chooseFile);
  $('fileInput').addEventListener('change', (e) => {
    const file = e.target.files[0];
    if (file) takeFile(file);
  });
  $('cmbAufloesung').addEventListener('change', (e) => {
    const points = Number(e.target.value);
    if (points === veltra.resolution()) return;
    take(veltra.setResolution(points));
  });

  // The share: one decimal with a point whatever the language, 0 to 100.
  const setPercent = (p) => {
    percent = Math.round(p * 10) / 10;
    spn.value = percent.toFixed(1);
    sld.value = String(Math.round(percent * 10));
    readouts();
    obey(veltra.curvesShareChanged(percent));
  };
  spn.addEventListener('change', () => {
    const p = Number(spn.value.trim());
    if (spn.value.trim() === '' || !Number.isFinite(p)) spn.value = percent.toFixed(1);
    else setPercent(Math.min(100, Math.max(0, p)));
  });
  sld.addEventListener('input', () => setPercent(Number(sld.value) / 10));
  $('butAnwenden').addEventListener('click', () => {
    if (veltra.atTopLevel()) return;
    veltra.applyCompression(percent);
    ui.changed();
  });
  $('butOriginal').addEventListener('click', () => {
    veltra.restoreOriginal();
    ui.changed();
  });

  wireDrop(veltra, ui, takeFile);
  window.addEventListener('veltra-state', stateChanged);
  window.addEventListener('veltra-delta', () => {
    if (veltra.curvesDeltaMoved()) draw();
  });
  showSource();
  readouts();
  return {
    get percent() { return percent; },
    charts: [chtDelta, chtAnteil],
    setPercent,
    takeBytes,
  };
}
