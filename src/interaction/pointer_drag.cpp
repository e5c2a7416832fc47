#include "interaction/pointer_drag.h"

#include <cmath>

void PointerDrag::Press(PointerButton button, double x, double y, bool dragButtonHeld) {
  // A drag whose release went elsewhere (a popup took the pointer) is over.
  if (button_ != PointerButton::None && dragButtonHeld) return;
  button_ = button;
  pressX_ = lastX_ = x;
  pressY_ = lastY_ = y;
  moving_ = false;
}

void PointerDrag::Move(double x, double y, bool dragButtonHeld, bool shift) {
  if (button_ == PointerButton::None || !dragButtonHeld) return;
  if (button_ == PointerButton::Right && !moving_) {
    // Until the pointer leaves the slop this may still be a click; then the
    // whole way from the press is moved at once, so the picture keeps up.
    if (std::abs(x - pressX_) < kClickSlop && std::abs(y - pressY_) < kClickSlop) return;
  }
  const double dx = x - lastX_, dy = y - lastY_;
  lastX_ = x;
  lastY_ = y;
  if (dx == 0 && dy == 0) return;
  if (button_ == PointerButton::Left) {
    DragTurn(view_, dx, dy, shift);
  } else if (button_ == PointerButton::Right || button_ == PointerButton::Middle) {
    moving_ = true;
    DragMove(view_, dx, dy);
  }
}

bool PointerDrag::Release(PointerButton button) {
  if (button != button_) return false;
  const bool menu = button_ == PointerButton::Right && !moving_;
  button_ = PointerButton::None;
  return menu;
}

void PointerDrag::DoubleClick(PointerButton button) {
  if (button == PointerButton::Left) ResetView(view_);
}

double WheelNotches(double angleDeltaY, double pixelDeltaY) {
  const double notches = angleDeltaY / 120.0;
  return notches != 0 ? notches : pixelDeltaY / kPixelsPerMove;
}
