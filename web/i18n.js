// The page's language: German, or English when its link says lang=en (the
// switch "Deutsch | English" opens the page again with the other one). The
// English comes from the module's catalogue, built from the same po/en.po
// as the desktop's: the module's texts follow setLanguage, the page's own
// (its HTML and scripts) go through tr.

let english = null;  // Map of German to English while English is shown

export const pageLanguage = () => (english ? 'en' : 'de');

export function tr(text) {
  return english?.get(text) ?? text;
}

// Every text node and every title, aria-label and placeholder under root,
// in the catalogue's English (leading and trailing blanks kept).
export function translate(root) {
  if (!english) return;
  const walker = document.createTreeWalker(root, NodeFilter.SHOW_TEXT);
  for (let n = walker.nextNode(); n; n = walker.nextNode()) {
    const text = n.nodeValue.trim();
    const shown = text && english.get(text);
    if (shown) n.nodeValue = n.nodeValue.replace(text, shown);
  }
  for (const el of root.querySelectorAll('[title], [aria-label], [placeholder]')) {
    for (const name of ['title', 'aria-label', 'placeholder']) {
      const shown = el.hasAttribute(name) && english.get(el.getAttribute(name));
      if (shown) el.setAttribute(name, shown);
    }
  }
}

// The module and the page in the language asked for, before anything is shown.
export function chooseLanguage(veltra, code) {
  veltra.setLanguage(code);
  english = code === 'en' ? new Map(veltra.catalogue()) : null;
  document.documentElement.lang = code;
  document.title = tr(document.title);
  translate(document.body);
  for (const [id, lang] of [['butDeutsch', 'de'], ['butEnglish', 'en']]) {
    document.getElementById(id).setAttribute('aria-pressed', String(lang === code));
  }
}

// The switch: the page opens again in the other language with everything
// else its link holds. A file cannot travel in a link, so it asks first.
export function wireLanguageSwitch(veltra, mustAsk) {
  const to = (code) => {
    if (code === pageLanguage()) return;
    if (mustAsk() && !window.confirm(tr('Die Seite wird in der anderen Sprache neu geöffnet; die Datei muss danach neu gewählt werden.'))) return;
    const rest = location.hash.replace(/^#/, '').split('&').filter((p) => p !== '' && !p.startsWith('lang='));
    if (code === 'en') rest.push('lang=en');
    location.hash = rest.join('&');
    location.reload();
  };
  document.getElementById('butDeutsch').addEventListener('click', () => to('de'));
  document.getElementById('butEnglish').addEventListener('click', () => to('en'));
}
