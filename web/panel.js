// The panel's dialogs: "Über", "Einstellungen", "Hilfe" (also F1 anywhere)
// and "Auswahl" with its animated transition, one frame per browser frame.
const $ = (id) => document.getElementById(id);

function open(dialog, modal = true) {
  if (dialog.open) return;
  if (modal) dialog.showModal();
  else dialog.show();
}

function wireSelection(veltra) {
  const cmbSelect = $('cmbSelect');
  // As on the desktop the box shows "Alle Funktionen" before any choice.
  let frame = 0;
  const step = () => {
    frame = veltra.selectStep() ? requestAnimationFrame(step) : 0;
    if (frame === 0) window.dispatchEvent(new CustomEvent('veltra-state'));
  };
  cmbSelect.addEventListener('change', () => {
    if (frame) cancelAnimationFrame(frame);
    veltra.selectBegin(Number(cmbSelect.value));
    frame = requestAnimationFrame(step);
  });
}

function wireSettings(veltra, ui) {
  const fields = { near: 'txthNear', far: 'txthFar', data: 'txthDat', rotStep: 'txtRotStep', steps: 'txtSteps' };
  const dialog = $('prefs');
  $('butPrefs').addEventListener('click', () => {
    const now = veltra.settings();
    for (const [key, id] of Object.entries(fields)) $(id).value = now[key];
    open(dialog);
    $('txthFar').focus();
  });
  // Return in a field means "OK", as on the desktop; Esc closes the dialog.
  $('prefsForm').addEventListener('submit', (e) => {
    e.preventDefault();
    const values = {};
    for (const [key, id] of Object.entries(fields)) values[key] = $(id).value;
    const error = veltra.applySettings(values);
    // Refused: the dialog stays open and nothing is taken over.
    if (error) ui.showMessage(error);
    else dialog.close();
  });
  $('butAbbrechen').addEventListener('click', () => dialog.close());
}

function wireHelp(veltra) {
  const dialog = $('help');
  const show = () => {
    if (!$('helpText').innerHTML) $('helpText').innerHTML = veltra.helpHtml();
    // A pane beside the views: the help can stay open while the lesson goes on.
    open(dialog, false);
  };
  $('butHilfe').addEventListener('click', show);
  window.addEventListener('keydown', (e) => {
    if (e.key === 'F1' && !e.ctrlKey && !e.altKey && !e.metaKey && !e.shiftKey) {
      e.preventDefault();  // the browser's own help
      show();
    } else if (e.key === 'Escape' && dialog.open) {
      dialog.close();
    }
  });
}

export function wirePanelDialogs(veltra, ui) {
  $('butAbout').addEventListener('click', () => open($('about')));
  wireSettings(veltra, ui);
  wireHelp(veltra);
  wireSelection(veltra);
}
