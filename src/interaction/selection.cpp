#include "interaction/selection.h"

#include <GL/gl.h>

#include "state/state.h"
#include "render/glwindow.h"
#include "render/scenes.h"

namespace {

struct AngleStep {
  Orientation* angles;
  Orientation step;
};

}  // namespace

void SelectFunction(int item) {
  AppState& s = appState;
  SetGrafikProjection();
  // Without its own context the view must not draw into the other view's.
  const bool hasContext = s.rcGrafik != nullptr;
  auto draw = [hasContext] {
    if (hasContext) DrawGrafikScene();
  };
  if (item < 0 || item > 4) {
    draw();
    return;
  }
  const double n = s.transitionSteps;

  AngleStep turns[4];
  int turnCount = 0;
  if (item == 0) {
    s.closeUp = false;
    s.selectedFunction = 4;
    for (int f = 0; f < 4; ++f) {
      const Orientation& from = s.functionOrientation[f];
      const Orientation& to = s.initialOrientation[f];
      turns[turnCount++] = {&s.functionOrientation[f],
                            {(to.alpha - from.alpha) / n, (to.beta - from.beta) / n,
                             (to.gamma - from.gamma) / n}};
    }
  } else {
    const int f = item - 1;
    s.selectedFunction = static_cast<std::int8_t>(f);
    const Orientation& from = s.functionOrientation[f];
    const Orientation& to = s.closeUpOrientation;
    turns[turnCount++] = {&s.functionOrientation[f],
                          {(to.alpha - from.alpha) / n, (to.beta - from.beta) / n,
                           (to.gamma - from.gamma) / n}};
    s.closeUp = false;
  }

  // The position fields stay put during the loop, so every frame moves the
  // camera by the same step.
  const Position3& target = s.viewTargets[item];
  const double dx = (target.x - s.GPosX) / n;
  const double dy = (target.y - s.GPosY) / n;
  const double dz = (target.z - s.GPosZ) / n;
  for (int i = 0; i < n; ++i) {
    if (hasContext) glTranslated(dx, dy, dz);
    for (int t = 0; t < turnCount; ++t) {
      turns[t].angles->alpha += turns[t].step.alpha;
      turns[t].angles->beta += turns[t].step.beta;
      turns[t].angles->gamma += turns[t].step.gamma;
    }
    draw();
  }

  if (item != 0) s.closeUp = true;
  s.GPosX = target.x;
  s.GPosY = target.y;
  s.GPosZ = target.z;
  draw();
}
