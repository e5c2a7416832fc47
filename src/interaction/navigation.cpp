#include "interaction/navigation.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>

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

// Some presses of one arrow key; a mouse gesture is made of fractional ones.
struct Press {
  int key;
  bool shift;
  double count;
};

double Reached(double value, double reach) { return std::clamp(value, -reach, reach); }

// The step from value by delta, shortened so as to end at the reach.
double StepWithin(double value, double delta, double reach) {
  const double to = value + delta;
  return to == Reached(to, reach) ? delta : Reached(to, reach) - value;
}

bool Within(double value, double reach) { return std::isfinite(value) && std::abs(value) <= reach; }

bool IsArrow(int key) { return key == kKeyLeft || key == kKeyUp || key == kKeyRight || key == kKeyDown; }

void SwitchMode(int key) {
  if (key == kKeyR) {
    appState.navMode = NavMode::Rotate;
  } else if (key == kKeyT) {
    appState.navMode = NavMode::Translate;
  }
}

// Adds what the presses move the camera by in translate mode. Up without
// Shift brings the scene nearer: the camera looks along -z.
void AddMove(const Press& p, Position3& d) {
  const double step = kMoveStep * p.count;
  switch (p.key) {
    case kKeyUp: (p.shift ? d.y : d.z) += step; break;
    case kKeyDown: (p.shift ? d.y : d.z) -= step; break;
    case kKeyLeft: d.x -= step; break;
    case kKeyRight: d.x += step; break;
    default: break;
  }
}

// Adds what the presses turn by in rotate mode.
void AddTurn(const Press& p, Orientation& d) {
  const double step = appState.rotStep * p.count;
  switch (p.key) {
    case kKeyUp: (p.shift ? d.beta : d.alpha) -= step; break;
    case kKeyDown: (p.shift ? d.beta : d.alpha) += step; break;
    case kKeyLeft: d.gamma -= step; break;
    case kKeyRight: d.gamma += step; break;
    default: break;
  }
}

bool IsGrafik(NavView view) { return view == NavView::Grafik; }

void SetProjection(NavView view) {
  if (IsGrafik(view)) SetGrafikProjection();
  else SetDatenProjection();
}

void Redraw(NavView view) {
  if (IsGrafik(view)) RedrawGrafik();
  else RedrawDaten();
}

bool HasContext(NavView view) {
  return (IsGrafik(view) ? appState.rcGrafik : appState.rcDaten) != nullptr;
}

CameraFields Camera(NavView view) {
  AppState& s = appState;
  if (IsGrafik(view)) return {s.GPosX, s.GPosY, s.GPosZ};
  return {s.DPosX, s.DPosY, s.DPosZ};
}

// Moves the current context's model-view matrix and the view's position
// fields by the same amount, so the two stay equal.
void Translate(NavView view, std::initializer_list<Press> presses) {
  Position3 d{0, 0, 0};
  bool any = false;
  for (const Press& p : presses) {
    if (!IsArrow(p.key)) continue;
    AddMove(p, d);
    any = true;
  }
  if (!any) return;
  // At the reach the camera stops; matrix and fields move by what is left.
  CameraFields pos = Camera(view);
  const Position3 by{StepWithin(pos.x, d.x, kCameraReach), StepWithin(pos.y, d.y, kCameraReach),
                     StepWithin(pos.z, d.z, kCameraReach)};
  // Without its own context the view must not move whatever context is current.
  if (HasContext(view)) glTranslated(by.x, by.y, by.z);
  pos.x = Reached(pos.x + by.x, kCameraReach);
  pos.y = Reached(pos.y + by.y, kCameraReach);
  pos.z = Reached(pos.z + by.z, kCameraReach);
}

void Turn(Orientation& o, const Orientation& d) {
  o.alpha = Reached(o.alpha + d.alpha, kAngleReach);
  o.beta = Reached(o.beta + d.beta, kAngleReach);
  o.gamma = Reached(o.gamma + d.gamma, kAngleReach);
}

// Selection 4 turns all four functions, 0 .. 3 only that one.
void Rotate(NavView view, std::initializer_list<Press> presses) {
  Orientation d{0, 0, 0};
  for (const Press& p : presses) AddTurn(p, d);
  AppState& s = appState;
  if (!IsGrafik(view)) {
    Orientation scene{s.Dalpha, s.Dbeta, s.Dgamma};
    Turn(scene, d);
    s.Dalpha = scene.alpha, s.Dbeta = scene.beta, s.Dgamma = scene.gamma;
    return;
  }
  for (int f = 0; f < 4; ++f) {
    if (s.selectedFunction == 4 || s.selectedFunction == f) Turn(s.functionOrientation[f], d);
  }
}

void Steer(NavView view, NavMode mode, std::initializer_list<Press> presses) {
  if (mode == NavMode::Translate) Translate(view, presses);
  else Rotate(view, presses);
}

void KeyDown(NavView view, int key, bool shift) {
  SetProjection(view);
  SwitchMode(key);
  Steer(view, appState.navMode, {{key, shift, 1.0}});
  Redraw(view);
}

// Where each view starts: the values of a freshly loaded program.
struct StartView {
  Position3 grafik, daten;
  Orientation datenAngles;
};

const StartView& Start() {
  static const StartView start = [] {
    const AppState fresh;
    return StartView{{fresh.GPosX, fresh.GPosY, fresh.GPosZ},
                     {fresh.DPosX, fresh.DPosY, fresh.DPosZ},
                     {fresh.Dalpha, fresh.Dbeta, fresh.Dgamma}};
  }();
  return start;
}

// The camera as the context was set up at start-up: only its translation.
void PlaceCamera(NavView view, const Position3& p) {
  if (HasContext(view)) {
    glLoadIdentity();
    glTranslated(p.x, p.y, p.z);
  }
  CameraFields pos = Camera(view);
  pos.x = p.x;
  pos.y = p.y;
  pos.z = p.z;
}

}  // namespace

bool CameraWithinReach(const Position3& camera) {
  return Within(camera.x, kCameraReach) && Within(camera.y, kCameraReach) && Within(camera.z, kCameraReach);
}
bool AnglesWithinReach(const Orientation& angles) {
  return Within(angles.alpha, kAngleReach) && Within(angles.beta, kAngleReach) && Within(angles.gamma, kAngleReach);
}

void GrafikKeyDown(int key, bool shift) { KeyDown(NavView::Grafik, key, shift); }
void DatenKeyDown(int key, bool shift) { KeyDown(NavView::Daten, key, shift); }

void DragTurn(NavView view, double dx, double dy, bool shift) {
  SetProjection(view);
  Steer(view, NavMode::Rotate, {{kKeyRight, shift, dx / kPixelsPerTurn}, {kKeyDown, shift, dy / kPixelsPerTurn}});
  Redraw(view);
}

void DragMove(NavView view, double dx, double dy) {
  SetProjection(view);
  // Shift+Down lowers the scene, so a downward drag pulls the picture down.
  Steer(view, NavMode::Translate, {{kKeyRight, false, dx / kPixelsPerMove}, {kKeyDown, true, dy / kPixelsPerMove}});
  Redraw(view);
}

void WheelMove(NavView view, double notches) {
  SetProjection(view);
  Steer(view, NavMode::Translate, {{kKeyUp, false, notches}});
  Redraw(view);
}

void ResetView(NavView view) {
  AppState& s = appState;
  SetProjection(view);
  if (!IsGrafik(view)) {
    s.Dalpha = Start().datenAngles.alpha;
    s.Dbeta = Start().datenAngles.beta;
    s.Dgamma = Start().datenAngles.gamma;
    PlaceCamera(view, Start().daten);
  } else if (s.closeUp && s.selectedFunction >= 0 && s.selectedFunction <= 3) {
    // Where choosing this close-up in "Auswahl" ends.
    const int f = s.selectedFunction;
    s.functionOrientation[f] = s.closeUpOrientation;
    PlaceCamera(view, s.viewTargets[f + 1]);
  } else {
    s.functionOrientation = s.initialOrientation;
    PlaceCamera(view, Start().grafik);
  }
  Redraw(view);
}

void PlaceDatenView(const Orientation& angles, const Position3& camera) {
  AppState& s = appState;
  SetProjection(NavView::Daten);
  s.Dalpha = angles.alpha;
  s.Dbeta = angles.beta;
  s.Dgamma = angles.gamma;
  PlaceCamera(NavView::Daten, camera);
  Redraw(NavView::Daten);
}

void PlaceGrafikView(const std::array<Orientation, 4>& functions, const Position3& camera) {
  SetProjection(NavView::Grafik);
  appState.functionOrientation = functions;
  PlaceCamera(NavView::Grafik, camera);
  Redraw(NavView::Grafik);
}
