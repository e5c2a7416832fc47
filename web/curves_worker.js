// The curves in a worker, by a second instance of the module, so the page
// stays responsive on fine grids; it says how far it got.
import createVeltra from './veltra.js';

const ready = createVeltra();
const POINTS = 202;

self.onmessage = async (e) => {
  const veltra = await ready;
  const { id, inputs } = e.data;
  let told = -1;
  const result = veltra.computeCurves(inputs, (done) => {
    const percent = Math.floor((done * 100) / POINTS);
    if (percent !== told) {
      told = percent;
      self.postMessage({ id, percent });
    }
  });
  self.postMessage({ id, result });
};
