#pragma once
// The mouse in a 3D view, as both window shells see it: which button started
// a drag, whether a right click became a move, and how wheel units become
// notches. The shells pass positions in pixels and call back into navigation.
#include "interaction/navigation.h"

enum class PointerButton { None, Left, Right, Middle };

// A right click may wobble this far (pixels, each direction) and still open the menu.
constexpr double kClickSlop = 4;

class PointerDrag {
public:
  explicit PointerDrag(NavView view) : view_(view) {}

  // A button went down at (x, y). `dragButtonHeld`: the button of the drag
  // under way is still held (a second button does not start another drag).
  void Press(PointerButton button, double x, double y, bool dragButtonHeld);
  // The pointer is at (x, y); `dragButtonHeld` as above, false ends nothing
  // but moves nothing either.
  void Move(double x, double y, bool dragButtonHeld, bool shift);
  // A button went up; true when it was a right click that did not move the
  // view, which opens the view's menu.
  bool Release(PointerButton button);
  // A double click with the left button puts the view back.
  void DoubleClick(PointerButton button);

  PointerButton dragButton() const { return button_; }

private:
  NavView view_;
  PointerButton button_ = PointerButton::None;
  double pressX_ = 0, pressY_ = 0, lastX_ = 0, lastY_ = 0;
  bool moving_ = false;  // right or middle button moved past the click slop
};

// Notches of a wheel event: 120 angle units are one notch; devices without
// notches report pixels instead, kPixelsPerMove of them one notch.
double WheelNotches(double angleDeltaY, double pixelDeltaY);
