// Files chosen or dropped, read off the page's thread, the page saying how
// far it got: a table read in a worker, a picture refused by the size its
// header declares before anything is decoded, else decoded there. The newest
// choice wins: each choice of a source (a file, a formula, the sample, a
// resolution) ends what an earlier one still has under way.

import { pageLanguage } from './i18n.js';

let worker = null;
let turn = 0;
let pending = null;  // ends the file under way as superseded

// A new choice: whatever an earlier one still reads is dropped. Returns its turn.
export function newChoice() {
  worker?.terminate();
  worker = null;
  pending?.({ superseded: true });
  pending = null;
  return ++turn;
}

// Whether the choice of that turn is still the newest.
export const isCurrent = (mine) => mine === turn;

// The samples' values go into the module a part per task (a large file's
// are 8 MB), so that the page answers meanwhile; then the module takes them.
// Null when a newer choice came first.
const PART = 1 << 18;
async function takeInParts(veltra, samples, name, mine) {
  const n = samples.values.length;
  veltra.stageSamples(n);
  for (let at = 0; at < n; at += PART) {
    await new Promise((r) => setTimeout(r, 0));
    if (!isCurrent(mine)) return null;
    const part = samples.values.subarray(at, Math.min(n, at + PART));
    veltra.stagedPart(at, part.length).set(part);
  }
  await new Promise((r) => setTimeout(r, 0));
  return isCurrent(mine) ? veltra.takeStagedSamples(samples, name) : null;
}

// The file f ({ name, file }) read in a worker, as a picture (its size
// checked by its header, then decoded) or a table (kind 'picture' or
// 'table'), and taken by the module. `shown` hears how far it got. Resolves
// to { error } ("" when taken) or, when a newer choice came first,
// { superseded: true }.
export function readFile(veltra, f, kind, shown) {
  const mine = newChoice();
  const reading = veltra.readingFile(f.name);
  shown(reading);
  const own = new Worker(new URL('./files_worker.js', import.meta.url), { type: 'module' });
  worker = own;
  return new Promise((resolve) => {
    pending = resolve;
    const finish = (outcome) => {
      own.terminate();
      worker = null;
      pending = null;
      resolve(outcome);
    };
    own.onmessage = (e) => {
      if (!isCurrent(mine) || e.data.id !== mine) return;
      const { stage, percent, done } = e.data;
      if (percent !== undefined) shown(`${reading} ${percent} %`);
      if (stage === 'decode') shown(veltra.unpackingPicture(f.name));
      if (stage === 'grid') shown(veltra.griddingPicture(f.name));
      if (!done) return;
      if (done.unreadable) {
        finish({ error: veltra.unreadablePicture(f.name, false) });
      } else if (done.error) {
        finish({ error: done.error });
      } else {
        own.terminate();
        takeInParts(veltra, done.samples, f.name, mine).then((error) => {
          if (error === null) return;  // a newer choice came meanwhile; it has ended this one
          finish({ error });
        });
      }
    };
    own.onerror = (e) => {
      if (isCurrent(mine)) finish({ error: veltra.unreadableFileBecause(f.name, String(e.message ?? e)) });
    };
    // The worker reads the file itself: its bytes never pass the page's thread.
    own.postMessage({ id: mine, kind, name: f.name, file: f.file, lang: pageLanguage() });
  });
}
