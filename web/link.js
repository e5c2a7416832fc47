// The page's state in its address, after the '#': Delta, aktuelles Delta,
// level, resolution, formula, selection, share kept (and the level it was
// kept at), the Delta the details shown were analysed with when "Berechne!"
// below the top level put another one in force, the three view switches,
// both views' places, the open panes, "Präsentation" and the language.
// A page opened with such an address takes all of it, through the same
// controls a person uses, or, when any value is wrong, none of it and says
// which. "Link kopieren" puts the address on the clipboard. Values equal to a
// freshly opened page's are left out of the address.

import { pageLanguage } from './i18n.js';

const $ = (id) => document.getElementById(id);

function note(text) {
  $('status').textContent = text;
}

// Items of "Auswahl" (0 all functions, 1..4 one of them) and the module's
// selected function (4 all, 0..3 one).
const itemOf = (selected) => (selected === 4 ? 0 : selected + 1);

// What the page shows now, as the link's fields would hold it.
function current(veltra) {
  const s = veltra.state();
  const analysed = veltra.analysedDeltas();
  return {
    aufloesung: s.resolution,
    formel: s.sourceKind === 'Formula' ? s.sourceName : null,
    file: s.sourceKind === 'File',
    aktuell: Math.round(s.currentDelta * 100),
    analysiert: analysed.length === 1 ? Math.round(analysed[0] * 100) : null,
    // Details analysed with several other Deltas: no link says how.
    mixed: analysed.length > 1,
    delta: Math.round(s.delta * 100),
    level: s.chosenLevel,
    anteil: s.compressedPercent,
    anteilLevel: s.compressedPercent === null ? null : veltra.compressionLevel(),
    auswahl: itemOf(s.selectedFunction),
    zoom: $('cbxZoom').checked,
    nurDaten: $('cbxOnlyData').checked,
    drahtgitter: $('cbxDrahtgitter').checked,
    grafik: [...s.functionOrientation.flat(), s.GPosX, s.GPosY, s.GPosZ],
    daten: [s.Dalpha, s.Dbeta, s.Dgamma, s.DPosX, s.DPosY, s.DPosZ],
    fenster: Object.keys(PANES).filter((name) => $(PANES[name].id).open),
    praesentation: $('cbxPraesentation').checked,
    lang: pageLanguage(),
  };
}

// The panes a link may open, in the order a link writes them: each with
// its dialog and the button a person opens it with.
const PANES = {
  analyse: { id: 'analyse', button: 'butAnalyse' },
  bild: { id: 'bild', button: 'butBild' },
  hilfe: { id: 'help', button: 'butHilfe' },
};
function panes(text) {
  const names = text.split(',');
  const known = names.every((n) => Object.hasOwn(PANES, n)) && new Set(names).size === names.length;
  return known ? Object.keys(PANES).filter((n) => names.includes(n)) : null;
}

// The level bounds at a resolution are the module's (set when the link is wired).
let levelsAt = null;
const topLevel = (points) => levelsAt(points).highest;
const sameNumbers = (a, b) => a.length === b.length && a.every((v, i) => v === b[i]);
const NUMBER = /^-?\d+(\.\d+)?(e[-+]?\d+)?$/i;

// Slider positions 0..100 from "0.55"; a Delta must sit on a position.
function hundredths(text) {
  if (!NUMBER.test(text)) return null;
  const v = Number(text) * 100;
  const pos = Math.round(v);
  return Math.abs(v - pos) < 1e-9 && pos >= 0 && pos <= 100 ? pos : null;
}
const flag = (text) => (text === '1' ? true : text === '0' ? false : null);
function numbers(text, count) {
  const parts = text.split(',');
  if (parts.length !== count || !parts.every((p) => NUMBER.test(p))) return null;
  const values = parts.map(Number);
  return values.every(Number.isFinite) ? values : null;
}

// The fields a link may carry (the module names them in a note), and how each
// is read. `read` gets the text and the other fields read so far (the
// resolution comes first, as level and formula depend on it) and gives the
// value or null when it is not valid here.
const FIELDS = [
  ['aufloesung', (t, f, veltra) => {
    const offered = veltra.resolutionChoices().map((c) => c.points);
    return /^\d+$/.test(t) && offered.includes(Number(t)) ? Number(t) : null;
  }],
  // Evaluated later, in a worker (see checkFormula).
  ['formel', (t) => t],
  ['aktuell', hundredths],
  ['analysiert', hundredths],
  ['level', (t, f) => {
    const level = Number(t);
    return /^\d+$/.test(t) && level >= levelsAt(f.aufloesung).lowest && level <= topLevel(f.aufloesung) ? level : null;
  }],
  ['delta', hundredths],
  ['anteil', (t) => (/^\d{1,3}(\.\d)?$/.test(t) && Number(t) <= 100 ? Number(t) : null)],
  ['anteilLevel', (t, f) => {
    const level = Number(t);
    return /^\d+$/.test(t) && level >= levelsAt(f.aufloesung).lowest && level < topLevel(f.aufloesung) ? level : null;
  }],
  ['auswahl', (t) => (/^[0-4]$/.test(t) ? Number(t) : null)],
  ['zoom', flag],
  ['nurDaten', flag],
  ['drahtgitter', flag],
  // Only places keys and mouse can reach; the module knows how far that is.
  ['grafik', (t, f, veltra) => {
    const values = numbers(t, 15);
    return values && veltra.grafikPlaceReachable(values) ? values : null;
  }],
  ['daten', (t, f, veltra) => {
    const values = numbers(t, 6);
    return values && veltra.datenPlaceReachable(values) ? values : null;
  }],
  ['fenster', panes],
  ['praesentation', flag],
  // Taken when the page starts (i18n.js); checked here with the rest.
  ['lang', (t) => (t === 'de' || t === 'en' ? t : null)],
];

// The link's fields in their order, each key with its value as written: a
// '+' is a plus (a formula has them), only %-escapes stand for other
// characters. Null for a field whose escapes are broken.
function linkFields(hash) {
  return hash.replace(/^#/, '').split('&').filter((part) => part !== '').map((part) => {
    const at = part.indexOf('=');
    const [key, value] = at < 0 ? [part, ''] : [part.slice(0, at), part.slice(at + 1)];
    try {
      return [decodeURIComponent(key), decodeURIComponent(value)];
    } catch {
      return [key, null];
    }
  });
}

// The language a link asks for, read as the rest of the link is: 'de'
// without lang, 'en' or 'de' as given once, null for anything else (the
// link is then refused whole, and the page stays German).
export function linkLanguage(hash = location.hash) {
  const values = linkFields(hash).filter(([key]) => key === 'lang').map(([, value]) => value);
  if (values.length === 0) return 'de';
  return values.length === 1 && (values[0] === 'en' || values[0] === 'de') ? values[0] : null;
}

// The formula evaluated at points x points in a worker, once, the note
// saying how far it got: { grid } or { error } with the module's reason.
function checkFormula(veltra, text, points) {
  return new Promise((resolve) => {
    const worker = new Worker(new URL('./formula_worker.js', import.meta.url), { type: 'module' });
    worker.onmessage = (e) => {
      if (e.data.percent !== undefined) note(veltra.checkingLinkFormula(e.data.percent));
      if (!e.data.done) return;
      worker.terminate();
      resolve(e.data.done);
    };
    worker.onerror = (e) => {
      worker.terminate();
      resolve({ error: veltra.formulaUncheckable(String(e.message ?? e)) });
    };
    worker.postMessage({ text, points, lang: pageLanguage() });
  });
}

// The state a link asks for: every field it carries, checked (a formula only
// later, see checkLink); the others as on a fresh page (the level then the
// top one of the resolution). Else the note saying what is wrong.
function readLink(hash, fresh, veltra) {
  const fields = linkFields(hash);
  const params = new Map(fields);
  const want = { ...fresh, anteil: null, anteilLevel: null, analysiert: null };
  const wrong = [];
  // A key given twice is refused: which of its values is meant?
  const counts = new Map();
  for (const [key] of fields) counts.set(key, (counts.get(key) ?? 0) + 1);
  const twice = FIELDS.filter(([key]) => counts.get(key) > 1).map(([key]) => key);
  const unknown = [...counts.keys()].filter((key) => !FIELDS.some(([k]) => k === key));
  for (const [key, read] of FIELDS) {
    if (!params.has(key) || counts.get(key) > 1) continue;
    const text = params.get(key);
    const value = text === null ? null : read(text, want, veltra);
    if (value === null) wrong.push(key);
    else want[key] = value;
  }
  if (!params.has('level')) want.level = topLevel(want.aufloesung);
  // A share goes with the level it was kept at; details analysed with
  // another Delta exist only below the top level.
  if (params.has('anteil') !== params.has('anteilLevel') && !wrong.includes('anteil')) wrong.push('anteil');
  if (want.analysiert !== null && (want.analysiert === want.aktuell || want.level >= topLevel(want.aufloesung))) {
    if (!wrong.includes('analysiert')) wrong.push('analysiert');
  }
  return wrong.length || twice.length || unknown.length ? { note: veltra.linkRefusal(wrong, twice, unknown, []) } : { want };
}

// readLink, and then a formula in it evaluated off the page's thread (only
// when all else is right); its grid goes with the state asked for.
async function checkLink(hash, fresh, veltra) {
  const link = readLink(hash, fresh, veltra);
  if (link.note || link.want.formel === null) return link;
  const checked = await checkFormula(veltra, link.want.formel, link.want.aufloesung);
  if (checked.error !== undefined) {
    return { note: veltra.linkRefusal(['formel'], [], [], [checked.error]) };
  }
  note('');
  return { want: { ...link.want, formelGitter: checked.grid } };
}

function writeLink(s, fresh) {
  const params = new URLSearchParams();
  if (s.aufloesung !== fresh.aufloesung) params.set('aufloesung', s.aufloesung);
  if (s.formel !== null) params.set('formel', s.formel);
  if (s.aktuell !== fresh.aktuell) params.set('aktuell', String(s.aktuell / 100));
  if (s.analysiert !== null) params.set('analysiert', String(s.analysiert / 100));
  if (s.level !== topLevel(s.aufloesung)) params.set('level', s.level);
  if (s.delta !== fresh.delta) params.set('delta', String(s.delta / 100));
  if (s.anteil !== null) {
    params.set('anteil', String(Math.round(s.anteil * 10) / 10));
    params.set('anteilLevel', s.anteilLevel);
  }
  if (s.auswahl !== fresh.auswahl) params.set('auswahl', s.auswahl);
  for (const key of SWITCHES) if (s[key] !== fresh[key]) params.set(key, s[key] ? '1' : '0');
  if (!sameNumbers(s.grafik, fresh.grafik)) params.set('grafik', s.grafik.join(','));
  if (!sameNumbers(s.daten, fresh.daten)) params.set('daten', s.daten.join(','));
  if (s.fenster.length) params.set('fenster', s.fenster.join(','));
  if (s.praesentation) params.set('praesentation', '1');
  if (s.lang === 'en') params.set('lang', 'en');
  // A space as %20: a '+' in a link reads as a plus.
  return params.toString().replace(/\+/g, '%20');
}

const SWITCHES = ['zoom', 'nurDaten', 'drahtgitter'];
const SWITCH_IDS = { zoom: 'cbxZoom', nurDaten: 'cbxOnlyData', drahtgitter: 'cbxDrahtgitter' };

// A control set as a person would: the value, then the event its wiring listens to.
function set(id, value, event) {
  $(id).value = String(value);
  $(id).dispatchEvent(new Event(event, { bubbles: true }));
}

// Until the page shows what a control was set to; its handler may finish
// later than the event (a long computation at a fine resolution).
// Also gives the page a turn first: each step of a link (a new surface at
// 513 points, say) is a task of its own, so the page answers in between.
async function reached(check) {
  await new Promise((r) => setTimeout(r, 0));
  for (const start = performance.now(); !check() && performance.now() - start < 20000;) {
    await new Promise((r) => setTimeout(r, 20));
  }
}

// The function view has reached the chosen item and stopped moving.
async function selectionSettled(veltra, item) {
  // A tab opened behind others runs no frames, so its transition waits.
  while (document.hidden) await new Promise((r) => document.addEventListener('visibilitychange', r, { once: true }));
  let last = '';
  let since = performance.now();
  for (const start = performance.now(); performance.now() - start < 10000;) {
    await new Promise((r) => setTimeout(r, 50));
    const now = JSON.stringify(current(veltra).grafik);
    if (now !== last) {
      last = now;
      since = performance.now();
    } else if (current(veltra).auswahl === item && performance.now() - since >= 300) {
      return;
    }
  }
}

// Applies a checked link in the order the values build on one another: the
// surface (resolution, formula); at the top level "Berechne!" with the Delta
// the details were analysed with; the share kept at its level; the level; a
// later "Berechne!" with the Delta in force; the scroll bar; the switches;
// the selection; the views' places; "Präsentation"; and the panes.
async function applyLink(veltra, want) {
  const now = () => current(veltra);
  const compute = async (position) => {
    if (now().aktuell === position) return;
    set('scrDelta', position, 'input');
    $('butBerechne').click();
    await reached(() => now().aktuell === position);
  };
  const toLevel = async (level) => {
    if (now().level === level) return;
    window.veltraUi.refreshPanel();  // the track bar's range for the resolution
    set('trbLevel', level, 'input');
    await reached(() => now().level === level);
  };

  if (want.aufloesung !== now().aufloesung) {
    set('cmbAufloesung', want.aufloesung, 'change');
    await reached(() => now().aufloesung === want.aufloesung);
  }
  if (want.formel !== null && want.formel !== now().formel) {
    // Taken with the grid the check evaluated: no second evaluation here.
    set('txtFormel', want.formel, 'input');
    veltra.takeFormulaGrid(want.formel, want.formelGitter);
    $('rbFormel').checked = true;
    window.veltraUi.changed();
    await reached(() => true);
  }
  await compute(want.analysiert ?? want.aktuell);
  if (want.anteil !== null) {
    await toLevel(want.anteilLevel);
    set('spnAnteil', want.anteil, 'change');
    $('butAnwenden').click();
    await reached(() => now().anteil === want.anteil);
  }
  await toLevel(want.level);
  if (want.analysiert !== null) await compute(want.aktuell);
  if (want.delta !== now().delta) set('scrDelta', want.delta, 'input');
  for (const key of SWITCHES) if (want[key] !== now()[key]) $(SWITCH_IDS[key]).click();
  if (want.auswahl !== now().auswahl) {
    set('cmbSelect', want.auswahl, 'change');
    await selectionSettled(veltra, want.auswahl);
  }
  const placed = now();
  if (!sameNumbers(want.grafik, placed.grafik) || !sameNumbers(want.daten, placed.daten)) {
    veltra.placeViews(want.grafik, want.daten);
  }
  if (want.praesentation !== now().praesentation) $('cbxPraesentation').click();
  // The panes last, showing the state the rest of the link gave.
  for (const name of want.fenster) if (!$(PANES[name].id).open) $(PANES[name].button).click();
  window.veltraUi.refreshPanel();
}

export function wireLink(veltra) {
  levelsAt = (points) => veltra.levelRangeAt(points);
  const fresh = current(veltra);
  let written = location.hash;

  const write = () => {
    const s = current(veltra);
    // A file, or details from several Deltas, cannot travel in a link: the
    // address then shows the plain page.
    const hash = s.file || s.mixed ? '' : writeLink(s, fresh);
    if (`#${hash}` === written || (hash === '' && written === '')) return false;
    written = hash ? `#${hash}` : '';
    history.replaceState(history.state, '', written || `${location.pathname}${location.search}`);
    return true;
  };
  // After a person's action, and again while the views still move (a
  // selection's transition), until the address holds still.
  let timer = 0;
  const later = () => {
    clearTimeout(timer);
    timer = setTimeout(() => { if (write()) later(); }, 250);
  };
  for (const type of ['input', 'change', 'click', 'keyup', 'pointerup', 'wheel', 'touchend']) {
    document.addEventListener(type, later, { capture: true, passive: true });
  }
  // An address typed in over the page's own: a fresh page takes it.
  window.addEventListener('hashchange', () => {
    if (location.hash !== written) location.reload();
  });

  $('butLink').addEventListener('click', () => {
    if (current(veltra).file) {
      note(veltra.linkNote('file'));
      return;
    }
    if (current(veltra).mixed) {
      note(veltra.linkNote('mixed'));
      return;
    }
    write();
    if (!navigator.clipboard) {
      note(veltra.linkNote('noClipboard'));
      return;
    }
    navigator.clipboard.writeText(location.href).then(
      () => note(veltra.linkNote('copied')),
      () => note(veltra.linkNote('copyRefused')));
  });

  // After the rest of the page is wired, so every control's handler is in place.
  setTimeout(async () => {
    let outcome = 'ohne';
    if (location.hash.length > 1) {
      const link = await checkLink(location.hash, fresh, veltra);
      if (link.note) {
        note(link.note);
        outcome = 'abgelehnt';
      } else {
        await applyLink(veltra, link.want);
        outcome = 'übernommen';
        // Each value was checked; should the page still end elsewhere, say so.
        if (writeLink(current(veltra), fresh) !== writeLink(link.want, fresh)) {
          note(veltra.linkNote('incomplete'));
          outcome = 'unvollständig';
        }
      }
    }
    write();
    // For the tests: the link has been dealt with.
    window.veltraLink = outcome;
  }, 0);
}
