// Fingers on the views, through the same pointer functions the mouse uses:
// one finger turns like the left-button drag; two fingers move the view like
// the right-button drag (the point between them is the pointer) and bring it
// nearer or farther like the wheel (their distance in pixels, as a wheel
// without notches reports them). A double tap puts the view back: the browser
// makes it a double click.

import { canvasPoint } from './canvas.js';

const LEFT = 0;
const RIGHT = 2;

function wireFingers(veltra, name, canvas) {
  const fingers = new Map();  // pointerId -> [x, y] in the canvas, the first two only
  let gesture = 'none';       // 'turn', 'move', or 'over' until the last finger leaves
  let lastDistance = 0;

  const at = (e) => canvasPoint(canvas, e);
  const pair = () => {
    const [[x1, y1], [x2, y2]] = fingers.values();
    return { x: (x1 + x2) / 2, y: (y1 + y2) / 2, distance: Math.hypot(x2 - x1, y2 - y1) };
  };

  canvas.addEventListener('pointerdown', (e) => {
    if (e.pointerType !== 'touch' || fingers.size >= 2) return;
    // No mouse events follow, so the mouse's handlers do not see this finger.
    e.preventDefault();
    canvas.focus();
    canvas.setPointerCapture(e.pointerId);
    fingers.set(e.pointerId, at(e));
    if (fingers.size === 1 && gesture === 'none') {
      gesture = 'turn';
      veltra.pointerDown(name, LEFT, ...at(e), false);
    } else if (fingers.size === 2 && gesture === 'turn') {
      veltra.pointerUp(name, LEFT);
      const p = pair();
      gesture = 'move';
      lastDistance = p.distance;
      veltra.pointerDown(name, RIGHT, p.x, p.y, false);
    }
  });

  canvas.addEventListener('pointermove', (e) => {
    if (!fingers.has(e.pointerId)) return;
    fingers.set(e.pointerId, at(e));
    if (gesture === 'turn') {
      veltra.pointerMove(name, ...at(e), true, false);
    } else if (gesture === 'move') {
      const p = pair();
      veltra.pointerMove(name, p.x, p.y, true, false);
      const spread = p.distance - lastDistance;
      lastDistance = p.distance;
      if (spread !== 0) veltra.wheel(name, 0, spread);
    }
  });

  const lift = (e) => {
    if (!fingers.delete(e.pointerId)) return;
    if (gesture === 'turn') veltra.pointerUp(name, LEFT);
    // The finger left on the glass after a two-finger gesture does not turn.
    if (gesture === 'move') veltra.pointerUp(name, RIGHT);
    gesture = fingers.size === 0 ? 'none' : 'over';
  };
  canvas.addEventListener('pointerup', lift);
  canvas.addEventListener('pointercancel', lift);
}

export function wireTouch(veltra) {
  for (const name of ['grafik', 'daten']) wireFingers(veltra, name, document.getElementById(name));
}
