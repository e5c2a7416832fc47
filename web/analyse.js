// The "Analyse" dialog: data source (sample, formula, file chosen or dropped
// on the page), resolution, compression, readouts and the two curves, all
// through the module's functions, which are the desktop window's.
import { CurveView } from './curves.js';
import { isCurrent, newChoice, readFile } from './files.js';

const $ = (id) => document.getElementById(id);

// Pictures the browser decodes, told by their first bytes; anything else is a
// table. TIFF and the PNM family the desktop reads; browsers cannot decode them.
function pictureKind(b) {
  const starts = (...bytes) => bytes.every((v, i) => b[i] === v);
  if (starts(0x89, 0x50, 0x4e, 0x47) || starts(0xff, 0xd8, 0xff) || starts(0x47, 0x49, 0x46, 0x38) ||
      starts(0x42, 0x4d) || (starts(0x52, 0x49, 0x46, 0x46) && b[8] === 0x57 && b[9] === 0x45 && b[10] === 0x42 &&
      b[11] === 0x50)) return 'browser';
  if (starts(0x49, 0x49, 0x2a, 0x00) || starts(0x4d, 0x4d, 0x00, 0x2a) ||
      (b[0] === 0x50 && b[1] >= 0x31 && b[1] <= 0x36 && [0x0a, 0x0d, 0x20, 0x09].includes(b[2]))) return 'unsupported';
  return 'table';
}

const quoted = (name) => `\u201E${name}\u201C`;

export function wireAnalyse(veltra, ui) {
  const dialog = $('analyse');
  const spn = $('spnAnteil');
  const sld = $('sldAnteil');
  let percent = 10;
  let lastFile = null;  // { name, bytes (its start), file } of the file in force or last tried
  let curveLevel = null;

  const choices = veltra.resolutionChoices();
  for (const c of choices) $('cmbAufloesung').append(new Option(c.text, c.points));

  const chtDelta = new CurveView($('chtDelta'), {
    title: 'Fehler über Delta', xTitle: 'Delta', xMax: 1, log: false,
    markerName: 'aktuelles Delta (Daten)', pendingName: 'Delta des Schiebers', veltra,
    // A click on the curve moves the Delta scroll bar there.
    onPick: (delta) => ui.setDeltaPosition(veltra.nearestDeltaPosition(delta)),
  });
  const chtAnteil = new CurveView($('chtAnteil'), {
    title: 'Fehler über Anteil', xTitle: 'behaltener Anteil in %', xMax: 100, log: true,
    markerName: 'gewählter Anteil', veltra,
  });

  function showSource() {
    $('cmbAufloesung').value = String(veltra.resolution());
    const kind = veltra.state().sourceKind;
    $({ Sample: 'rbBeispiel', Formula: 'rbFormel', File: 'rbDatei' }[kind]).checked = true;
  }

  function readouts() {
    const r = veltra.readouts(percent);
    $('butAnwenden').disabled = r.atTop;
    $('labBehalten').textContent = r.behalten;
    $('labGezeigt').textContent = r.gezeigt;
    $('labFehler').textContent = r.fehler;
    $('labFehler').classList.toggle('warn', r.mismatch !== '');
    $('labQuelle').textContent = r.quelle;
    const body = $('tblEnergie').tBodies[0];
    body.replaceChildren(...r.energie.map((row) => {
      const tr = document.createElement('tr');
      for (const cell of row) tr.insertCell().textContent = cell;
      return tr;
    }));
    $('tblEnergie').title = r.energieErklaerung;
    return r;
  }

  // The curves: at once at 65 x 65 (some 20 ms), else in a worker with
  // progress; whatever is under way belongs to the state before.
  let worker = null;
  let busy = false;
  let job = 0;
  let timer = 0;
  let pending = false;
  const grp = $('grpKurven');

  function stopCurves() {
    ++job;
    if (busy) {
      worker.terminate();
      worker = null;
      busy = false;
    }
  }

  function ready(result) {
    busy = false;
    grp.dataset.state = 'ready';
    chtDelta.showCurve(result.overDelta);
    // The scroll bar may have moved while the curves were computed.
    chtDelta.movePending(veltra.nearestDeltaPosition(veltra.state().delta));
    $('labMinimum').textContent = result.minimum;
    chtAnteil.showCurve(result.overShare);
    window.veltraCurves = result;
  }

  function startCurves() {
    timer = 0;
    if (!pending || !dialog.open) return;
    pending = false;
    const s = veltra.state();
    if (s.chosenLevel >= s.topLevel) return;
    stopCurves();
    const inputs = veltra.curveInputs(percent);
    if (s.topLevel === 6) {
      ready(veltra.computeCurves(inputs, () => {}));
      return;
    }
    const id = job;
    const progress = (p) => {
      const text = `Kurven werden berechnet \u2026 ${p} %`;
      chtDelta.showEmpty(text);
      chtAnteil.showEmpty(text);
    };
    $('labMinimum').textContent = '';
    grp.dataset.state = 'running';
    progress(0);
    worker ??= new Worker(new URL('./curves_worker.js', import.meta.url), { type: 'module' });
    busy = true;
    worker.onmessage = (e) => {
      if (e.data.id !== id) return;
      if (e.data.result) ready(e.data.result);
      else progress(e.data.percent);
    };
    worker.onerror = (e) => {
      busy = false;
      ui.showMessage(`Die Kurven lassen sich nicht berechnen: ${e.message ?? e}`);
    };
    worker.postMessage({ id, inputs });
  }

  function scheduleCurves() {
    stopCurves();
    pending = true;
    window.veltraCurves = null;
    // A closed dialog computes nothing; opening it catches up.
    if (dialog.open && !timer) timer = setTimeout(startCurves, 0);
  }

  // After any change of the state: readouts, and the curves anew.
  function stateChanged() {
    const s = veltra.state();
    if (s.chosenLevel !== curveLevel) {
      // Another level moves the curves by orders of magnitude: fresh ranges.
      curveLevel = s.chosenLevel;
      chtDelta.forgetRange();
      chtAnteil.forgetRange();
    }
    const r = readouts();
    if (r.atTop) {
      stopCurves();
      grp.dataset.state = 'empty';
      chtDelta.showEmpty(r.keineKurve);
      chtAnteil.showEmpty(r.keineKurve);
      $('labMinimum').textContent = '';
      window.veltraCurves = null;
      return;
    }
    scheduleCurves();
  }

  function surfaceTaken() {
    chtDelta.forgetRange();
    chtAnteil.forgetRange();
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
      return refuse(`Die Datei ${quoted(file.name)} lässt sich nicht lesen.`);
    }
    if (!isCurrent(mine)) return undefined;  // another choice came meanwhile
    return takeBytes({ name: file.name, bytes, file });
  }

  async function takeBytes(f) {
    // A large picture takes a moment to decode and resample.
    $('labQuelle').textContent = `Die Datei ${quoted(f.name)} wird gelesen \u2026`;
    const kind = pictureKind(f.bytes);
    let error;
    if (kind === 'unsupported') {
      error = `Das Bild ${quoted(f.name)} lässt sich nicht lesen. Das Bildformat wird im Browser nicht unterstützt.`;
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
    stateChanged();
  });
  dialog.addEventListener('close', () => stopCurves());
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
    scheduleCurves();
  };
  spn.addEventListener('change', () => {
    const p = Number(spn.value.trim());
    if (spn.value.trim() === '' || !Number.isFinite(p)) spn.value = percent.toFixed(1);
    else setPercent(Math.min(100, Math.max(0, p)));
  });
  sld.addEventListener('input', () => setPercent(Number(sld.value) / 10));
  $('butAnwenden').addEventListener('click', () => {
    if (veltra.state().chosenLevel >= veltra.state().topLevel) return;
    veltra.applyCompression(percent);
    ui.changed();
  });
  $('butOriginal').addEventListener('click', () => {
    veltra.restoreOriginal();
    ui.changed();
  });

  // Files dropped anywhere on the page, one at a time.
  const hasFiles = (e) => [...(e.dataTransfer?.types ?? [])].includes('Files');
  window.addEventListener('dragover', (e) => {
    if (!hasFiles(e)) return;
    e.preventDefault();
    document.body.classList.add('dropping');
  });
  window.addEventListener('dragleave', () => document.body.classList.remove('dropping'));
  window.addEventListener('drop', (e) => {
    if (!hasFiles(e)) return;
    e.preventDefault();
    document.body.classList.remove('dropping');
    const files = e.dataTransfer.files;
    if (files.length !== 1) ui.showMessage('Bitte genau eine Datei auf die Seite ziehen.');
    else takeFile(files[0]);
  });

  window.addEventListener('veltra-state', stateChanged);
  window.addEventListener('veltra-delta', () => {
    if (!busy && !pending) chtDelta.movePending(veltra.nearestDeltaPosition(veltra.state().delta));
  });
  showSource();
  readouts();
  return {
    get percent() { return percent; },
    setPercent,
    takeBytes,
  };
}
