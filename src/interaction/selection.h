#pragma once
// Animated change of the function view to one of the "Auswahl" items:
// 0 all functions, 1..4 scaling function and wavelets 1..3 close up.

// The whole transition at once: its frames are drawn one after the other.
void SelectFunction(int item);

// The same transition a frame at a time, for a caller that must give control
// back between frames (a page draws one frame per browser frame). Begun by
// the constructor; Step() draws the next frame and returns false once the
// last one, at the target, is drawn. Finish() draws the rest at once.
class SelectionTransition {
public:
  explicit SelectionTransition(int item);
  bool Step();
  void Finish();
  bool done() const { return done_; }

private:
  struct Turn {
    int function = -1;
    double alpha = 0, beta = 0, gamma = 0;
  };
  int item_;
  int frames_ = 0;   // the transition steps
  int drawn_ = 0;    // frames drawn so far
  bool done_ = false;
  Turn turns_[4];
  int turnCount_ = 0;
  double dx_ = 0, dy_ = 0, dz_ = 0;
};
