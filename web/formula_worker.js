// A link's formula evaluated off the page's thread, by another instance of
// the module, once: its grid is what the page then takes.
import createVeltra from './veltra.js';

const ready = createVeltra();

self.onmessage = async (e) => {
  const veltra = await ready;
  const { text, points, lang } = e.data;
  // Its refusals in the page's language.
  veltra.setLanguage(lang ?? 'de');
  const r = veltra.formulaGrid(text, points, (percent) => self.postMessage({ percent }));
  self.postMessage({ done: r }, r.grid ? [r.grid.buffer] : []);
};
