// Shared by the views, the fingers on them and the picture window.

// A canvas's size in device pixels follows its size on the page.
export function fitCanvas(canvas) {
  const ratio = window.devicePixelRatio || 1;
  const w = Math.round(canvas.clientWidth * ratio);
  const h = Math.round(canvas.clientHeight * ratio);
  if (canvas.width !== w || canvas.height !== h) {
    canvas.width = w;
    canvas.height = h;
  }
  return [w, h];
}

// Where a pointer event is, in the canvas's own CSS pixels.
export function canvasPoint(canvas, e) {
  const r = canvas.getBoundingClientRect();
  return [e.clientX - r.left, e.clientY - r.top];
}
