// Files for "Analyse": what kind a file is by its first bytes, and files
// dropped anywhere on the page.

// Pictures the browser decodes, told by their first bytes; anything else is a
// table. TIFF and the PNM family the desktop reads; browsers cannot decode them.
export function pictureKind(b) {
  const starts = (...bytes) => bytes.every((v, i) => b[i] === v);
  if (starts(0x89, 0x50, 0x4e, 0x47) || starts(0xff, 0xd8, 0xff) || starts(0x47, 0x49, 0x46, 0x38) ||
      starts(0x42, 0x4d) || (starts(0x52, 0x49, 0x46, 0x46) && b[8] === 0x57 && b[9] === 0x45 && b[10] === 0x42 &&
      b[11] === 0x50)) return 'browser';
  if (starts(0x49, 0x49, 0x2a, 0x00) || starts(0x4d, 0x4d, 0x00, 0x2a) ||
      (b[0] === 0x50 && b[1] >= 0x31 && b[1] <= 0x36 && [0x0a, 0x0d, 0x20, 0x09].includes(b[2]))) return 'unsupported';
  return 'table';
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
