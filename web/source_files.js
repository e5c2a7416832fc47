// Files for "Analyse": read whole, then taken by the module as a picture the
// browser decoded or as a table of numbers; dropped anywhere on the page.

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

// A picture as RGBA bytes, turned as its file says (the browser's default).
async function decodePicture(veltra, bytes) {
  const bitmap = await createImageBitmap(new Blob([bytes]), { premultiplyAlpha: 'none', colorSpaceConversion: 'none' });
  const { width, height } = bitmap;
  // A size the module refuses needs no pixels: it refuses it by the size alone.
  if (!veltra.pictureSizeAccepted(width, height)) {
    bitmap.close();
    return { width, height, rgba: new Uint8Array(0) };
  }
  const canvas = new OffscreenCanvas(width, height);
  const g = canvas.getContext('2d', { willReadFrequently: true });
  g.drawImage(bitmap, 0, 0);
  bitmap.close();
  return { width, height, rgba: new Uint8Array(g.getImageData(0, 0, width, height).data.buffer) };
}

// { name, bytes } of a chosen or dropped file, or { error } when it is too
// large or cannot be read.
export async function readFile(veltra, file) {
  const tooLarge = veltra.fileTooLarge(file.name, file.size);
  if (tooLarge) return { error: tooLarge };
  try {
    return { name: file.name, bytes: new Uint8Array(await file.arrayBuffer()) };
  } catch {
    return { error: veltra.unreadableFile(file.name) };
  }
}

// The module takes the file's surface: "" when taken, else why not.
export async function takeFileBytes(veltra, f) {
  const kind = pictureKind(f.bytes);
  if (kind === 'unsupported') return veltra.unreadablePicture(f.name, true);
  if (kind === 'table') return veltra.takeTable(f.bytes, f.name);
  try {
    const p = await decodePicture(veltra, f.bytes);
    return veltra.takePicture(p.rgba, p.width, p.height, f.name);
  } catch {
    return veltra.unreadablePicture(f.name, false);
  }
}

// Files dropped anywhere on the page, one at a time.
export function wireDrop(veltra, ui, takeFile) {
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
    if (files.length !== 1) ui.showMessage(veltra.dropOneFile());
    else takeFile(files[0]);
  });
}
