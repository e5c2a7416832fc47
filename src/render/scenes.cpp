#include "render/scenes.h"

#include <GL/gl.h>

#include "state/state.h"
#include "render/data_surface.h"
#include "render/function_surfaces.h"
#include "render/glwindow.h"

namespace {

// One placed function: its own translation, its own orientation (x, y, z
// rotations in that order), then its frame and its surface.
void Place(double tx, double ty, const Orientation& o, double axisX, double axisY,
           void (*surface)()) {
  glPushMatrix();
  glTranslated(tx, ty, 0.0);
  glPushMatrix();
  glRotated(o.alpha, 1.0, 0.0, 0.0);
  glRotated(o.beta, 0.0, 1.0, 0.0);
  glRotated(o.gamma, 0.0, 0.0, 1.0);
  DrawAxes(axisX, axisY, 1.1);
  surface();
  glPopMatrix();
  glPopMatrix();
}

void EndFrame(ViewSurface* dc) {
  if (appState.doubleBuffer) {
    if (dc != nullptr) dc->SwapBuffers();
  } else {
    glFlush();
  }
}

// A minimised view has no pixels to draw into.
bool HasPixels(const ViewSurface* dc) { return dc->PixelWidth() > 0 && dc->PixelHeight() > 0; }

}  // namespace

void DrawAxes(double a, double b, double c) {
  glBegin(GL_LINES);
  MaterialBlack();
  CenteredVertex(-0.2, 0, 0);
  CenteredVertex(a, 0, 0);
  CenteredVertex(0, -0.2, 0);
  CenteredVertex(0, b, 0);
  CenteredVertex(0, 0, -0.2);
  CenteredVertex(0, 0, c);
  glEnd();

  glBegin(GL_TRIANGLES);
  MaterialBlack();
  CenteredVertex(a - 0.06, 0.03, 0);
  CenteredVertex(a, 0, 0);
  CenteredVertex(a - 0.06, -0.03, 0);
  CenteredVertex(0.03, b - 0.06, 0);
  CenteredVertex(0, b, 0);
  CenteredVertex(-0.03, b - 0.06, 0);
  CenteredVertex(0.03, 0, c - 0.06);
  CenteredVertex(0, 0, c);
  CenteredVertex(-0.03, 0, c - 0.06);
  glEnd();
}

void PlaceScalingFunction() {
  const AppState& s = appState;
  // The scaling function's frame is 0.3 shorter in x and y.
  Place(-s.placeOffset, s.placeOffset, s.functionOrientation[0], s.axisLength - 0.3,
        s.axisLength - 0.3, DrawScalingSurface);
}

void PlaceWavelet1() {
  const AppState& s = appState;
  Place(s.placeOffset, s.placeOffset, s.functionOrientation[1], s.axisLength, s.axisLength,
        DrawWavelet1Surface);
}

void PlaceWavelet2() {
  const AppState& s = appState;
  Place(-s.placeOffset, -s.placeOffset, s.functionOrientation[2], s.axisLength, s.axisLength,
        DrawWavelet2Surface);
}

void PlaceWavelet3() {
  const AppState& s = appState;
  Place(s.placeOffset, -s.placeOffset, s.functionOrientation[3], s.axisLength, s.axisLength,
        DrawWavelet3Surface);
}

void DrawGrafikScene() {
  AppState& s = appState;
  // Fine step only when a single function fills the view.
  s.stepFunctions = s.closeUp ? s.stepNear : s.stepFar;
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  if (s.closeUp && s.selectedFunction >= 0 && s.selectedFunction <= 3) {
    switch (s.selectedFunction) {
      case 0: PlaceScalingFunction(); break;
      case 1: PlaceWavelet1(); break;
      case 2: PlaceWavelet2(); break;
      default: PlaceWavelet3(); break;
    }
  } else {
    PlaceScalingFunction();
    PlaceWavelet1();
    PlaceWavelet2();
    PlaceWavelet3();
  }
  EndFrame(s.dcGrafik);
}

void DrawDatenScene() {
  const AppState& s = appState;
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glPushMatrix();
  glRotated(s.Dalpha, 1.0, 0.0, 0.0);
  glRotated(s.Dbeta, 0.0, 1.0, 0.0);
  glRotated(s.Dgamma, 0.0, 0.0, 1.0);
  DrawAxes(1.3, 1.3, 1.0);
  DrawDataSurface();
  glPopMatrix();
  EndFrame(s.dcDaten);
}

// Without a context there is nothing to draw into: no GL call may reach
// whichever other context happens to be current.
void RedrawGrafik() {
  const AppState& s = appState;
  if (s.rcGrafik == nullptr || s.dcGrafik == nullptr || !HasPixels(s.dcGrafik)) return;
  SetGrafikProjection();
  DrawGrafikScene();
}

void RedrawDaten() {
  const AppState& s = appState;
  if (s.rcDaten == nullptr || s.dcDaten == nullptr || !HasPixels(s.dcDaten)) return;
  SetDatenProjection();
  DrawDatenScene();
}

void GrafikPaintOrResize(int clientWidth, int clientHeight) {
  if (clientWidth <= 0 || clientHeight <= 0) return;
  appState.viewAspect = static_cast<double>(clientWidth) / static_cast<double>(clientHeight);
  RedrawGrafik();
}

void DatenPaintOrResize(int clientWidth, int clientHeight) {
  if (clientWidth <= 0 || clientHeight <= 0) return;
  appState.viewAspect = static_cast<double>(clientWidth) / static_cast<double>(clientHeight);
  RedrawDaten();
}
