#include "interaction/selection.h"

#include <GL/gl.h>

#include <cmath>

#include "state/state.h"
#include "render/glwindow.h"
#include "render/scenes.h"

namespace {

// Without its own context the view must not draw into the other view's.
bool HasContext() { return appState.rcGrafik != nullptr; }

void Draw() {
  if (HasContext()) DrawGrafikScene();
}

}  // namespace

SelectionTransition::SelectionTransition(int item) : item_(item) {
  AppState& s = appState;
  SetGrafikProjection();
  if (item < 0 || item > 4) {
    Draw();
    done_ = true;
    return;
  }
  const double n = s.transitionSteps;
  // One frame per step, and one more for a fraction of a step.
  frames_ = n > 0 ? static_cast<int>(std::ceil(n)) : 0;

  auto turnTo = [&](int f, const Orientation& to) {
    const Orientation& from = s.functionOrientation[f];
    turns_[turnCount_++] = {f, (to.alpha - from.alpha) / n, (to.beta - from.beta) / n, (to.gamma - from.gamma) / n};
  };
  if (item == 0) {
    s.closeUp = false;
    s.selectedFunction = 4;
    for (int f = 0; f < 4; ++f) turnTo(f, s.initialOrientation[f]);
  } else {
    const int f = item - 1;
    s.selectedFunction = static_cast<std::int8_t>(f);
    turnTo(f, s.closeUpOrientation);
    s.closeUp = false;
  }

  // The position fields stay put during the transition, so every frame moves
  // the camera by the same step.
  const Position3& target = s.viewTargets[item];
  dx_ = (target.x - s.GPosX) / n;
  dy_ = (target.y - s.GPosY) / n;
  dz_ = (target.z - s.GPosZ) / n;
}

bool SelectionTransition::Step() {
  if (done_) return false;
  AppState& s = appState;
  // Between two frames the other view may have drawn in its own context.
  if (HasContext() && s.dcGrafik != nullptr) s.dcGrafik->MakeCurrent(s.rcGrafik);
  if (drawn_ < frames_) {
    ++drawn_;
    if (HasContext()) glTranslated(dx_, dy_, dz_);
    for (int t = 0; t < turnCount_; ++t) {
      Orientation& o = s.functionOrientation[turns_[t].function];
      o.alpha += turns_[t].alpha;
      o.beta += turns_[t].beta;
      o.gamma += turns_[t].gamma;
    }
    Draw();
    return true;
  }
  if (item_ != 0) s.closeUp = true;
  const Position3& target = s.viewTargets[item_];
  s.GPosX = target.x;
  s.GPosY = target.y;
  s.GPosZ = target.z;
  Draw();
  done_ = true;
  return false;
}

void SelectionTransition::Finish() {
  while (Step()) {
  }
}

void SelectFunction(int item) { SelectionTransition(item).Finish(); }
