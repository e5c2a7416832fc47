// The curves in a worker, by a second instance of the module, so the page
// stays responsive on fine grids; it says how far it got.
import createVeltra from './veltra.js';

const ready = createVeltra();

self.onmessage = async (e) => {
  const veltra = await ready;
  const { generation, inputs } = e.data;
  const result = veltra.computeCurves(inputs, (percent) => self.postMessage({ generation, percent }));
  self.postMessage({ generation, result });
};
