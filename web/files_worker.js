// Files read off the page's thread, by another instance of the module. A
// table is read with its progress; a picture's size is checked by its header
// before anything is decoded, then the browser decodes it. Either way the
// module keeps what the grid reads, which is all the page gets back.
import createVeltra from './veltra.js';

const ready = createVeltra();

async function picture(veltra, bytes, name, tell) {
  const refused = veltra.pictureHeaderProblem(bytes, name);
  if (refused) return { error: refused };
  tell({ stage: 'decode' });
  let bitmap;
  try {
    // Turned as the file says (the browser's default).
    bitmap = await createImageBitmap(new Blob([bytes]), { premultiplyAlpha: 'none', colorSpaceConversion: 'none' });
  } catch {
    return { unreadable: true };
  }
  const { width, height } = bitmap;
  // A size the module refuses needs no pixels: it refuses it by the size alone.
  let rgba = new Uint8Array(0);
  if (veltra.pictureSizeAccepted(width, height)) {
    const canvas = new OffscreenCanvas(width, height);
    const g = canvas.getContext('2d', { willReadFrequently: true });
    g.drawImage(bitmap, 0, 0);
    rgba = new Uint8Array(g.getImageData(0, 0, width, height).data.buffer);
  }
  bitmap.close();
  tell({ stage: 'grid' });
  return veltra.pictureSamples(rgba, width, height, name);
}

self.onmessage = async (e) => {
  const veltra = await ready;
  const { id, kind, name, file, lang } = e.data;
  // Its refusals in the page's language.
  veltra.setLanguage(lang ?? 'de');
  const tell = (message, transfer = []) => self.postMessage({ id, ...message }, transfer);
  let bytes;
  try {
    bytes = new Uint8Array(await file.arrayBuffer());
  } catch {
    // Gone or changed since it was chosen.
    tell({ done: { error: veltra.unreadableFile(name) } });
    return;
  }
  const done = kind === 'picture' ? await picture(veltra, bytes, name, tell)
                                  : veltra.tableSamples(bytes, name, (percent) => tell({ percent }));
  const s = done.keptRows ? [done.keptRows.buffer, done.keptCols.buffer, done.values.buffer] : [];
  tell({ done: done.keptRows ? { samples: done } : done }, s);
};
