#include "interaction/navigation.h"

#include <GL/gl.h>

#include "state/state.h"
#include "render/glwindow.h"
#include "render/scenes.h"

namespace {

constexpr double kMoveStep = 0.1;

struct CameraFields {
  double& x;
  double& y;
  double& z;
};

void SwitchMode(int key) {
  if (key == kKeyR) {
    appState.navMode = NavMode::Rotate;
  } else if (key == kKeyT) {
    appState.navMode = NavMode::Translate;
  }
}

// Moves the current context's model-view matrix and the view's position
// fields by the same amount, so the two stay equal.
void Translate(int key, bool shift, CameraFields pos, bool hasContext) {
  double dx = 0, dy = 0, dz = 0;
  switch (key) {
    case kKeyUp: (shift ? dy : dz) = kMoveStep; break;
    case kKeyDown: (shift ? dy : dz) = -kMoveStep; break;
    case kKeyLeft: dx = -kMoveStep; break;
    case kKeyRight: dx = kMoveStep; break;
    default: return;
  }
  // Without its own context the view must not move whatever context is current.
  if (hasContext) glTranslated(dx, dy, dz);
  pos.x += dx;
  pos.y += dy;
  pos.z += dz;
}

void Rotate(int key, bool shift, double& alpha, double& beta, double& gamma) {
  const double s = appState.rotStep;
  switch (key) {
    case kKeyUp: (shift ? beta : alpha) -= s; break;
    case kKeyDown: (shift ? beta : alpha) += s; break;
    case kKeyLeft: gamma -= s; break;
    case kKeyRight: gamma += s; break;
    default: break;
  }
}

}  // namespace

void GrafikKeyDown(int key, bool shift) {
  AppState& s = appState;
  SetGrafikProjection();
  SwitchMode(key);
  if (s.navMode == NavMode::Translate) {
    Translate(key, shift, {s.GPosX, s.GPosY, s.GPosZ}, s.rcGrafik != nullptr);
  } else {
    for (int f = 0; f < 4; ++f) {
      if (s.selectedFunction == 4 || s.selectedFunction == f) {
        Orientation& o = s.functionOrientation[f];
        Rotate(key, shift, o.alpha, o.beta, o.gamma);
      }
    }
  }
  RedrawGrafik();
}

void DatenKeyDown(int key, bool shift) {
  AppState& s = appState;
  SetDatenProjection();
  SwitchMode(key);
  if (s.navMode == NavMode::Translate) {
    Translate(key, shift, {s.DPosX, s.DPosY, s.DPosZ}, s.rcDaten != nullptr);
  } else {
    Rotate(key, shift, s.Dalpha, s.Dbeta, s.Dgamma);
  }
  RedrawDaten();
}
