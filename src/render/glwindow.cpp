#include "render/glwindow.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <string>

#include "text/language.h"

namespace {

void ShowMessage(const std::string& text) {
  // Without a window layer (tests, early start-up) there is nobody to show it to.
  if (appState.showMessage) appState.showMessage(text);
}

void SetDiffuse(const GLfloat (&rgba)[4]) { glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, rgba); }

// The start-up state of one context: depth test, white background, camera
// translation in the model-view matrix, light and ambient material.
void InitContext(double posX, double posY, double posZ) {
  glEnable(GL_DEPTH_TEST);
  glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
  glMatrixMode(GL_MODELVIEW);
  glTranslated(posX, posY, posZ);
  SetupLighting();
}

// The viewport follows the current client area so a resized view is not
// distorted or cropped. The aspect ratio is taken from the same view: the
// shared field may still hold the other view's, written by its last paint.
void FitToClientArea(ViewSurface* dc) {
  const int w = dc->PixelWidth();
  const int h = dc->PixelHeight();
  glViewport(0, 0, w, h);
  if (w > 0 && h > 0) appState.viewAspect = static_cast<double>(w) / static_cast<double>(h);
}

void ReleaseView(ViewSurface*& dc, GlContext& rc) {
  if (dc != nullptr) {
    dc->MakeCurrent(nullptr);
    if (rc != nullptr) dc->DeleteContext(rc);
  }
  rc = nullptr;
  // The windows are destroyed right after; keep no pointer into them.
  dc = nullptr;
}

}  // namespace

void MaterialBlack() {
  static const GLfloat kBlack[4] = {0.0f, 0.0f, 0.0f, 1.0f};
  SetDiffuse(kBlack);
}
void MaterialRed() {
  static const GLfloat kRed[4] = {1.0f, 0.0f, 0.0f, 1.0f};
  SetDiffuse(kRed);
}
void MaterialGreen() {
  static const GLfloat kGreen[4] = {0.0f, 1.0f, 0.0f, 1.0f};
  SetDiffuse(kGreen);
}
void MaterialBlue() {
  static const GLfloat kBlue[4] = {0.0f, 0.0f, 1.0f, 1.0f};
  SetDiffuse(kBlue);
}

void CenteredVertex(double x, double y, double z) { glVertex3d(x - 0.5, y - 0.5, z - 0.5); }

ViewSurface* SetupPixelFormat(ViewSurface* window, bool doubleBuffer) {
  if (!window->ChoosePixelFormat(doubleBuffer)) ShowMessage(Tr("Fehler bei ChoosePixelFormat"));
  return window;
}

void CreateViewContexts(ViewSurface* grafikWindow, ViewSurface* datenWindow) {
  AppState& s = appState;
  s.dcGrafik = SetupPixelFormat(grafikWindow, s.doubleBuffer);
  s.rcGrafik = s.dcGrafik->CreateContext();
  if (s.rcGrafik != nullptr) {
    s.dcGrafik->MakeCurrent(s.rcGrafik);
  } else {
    ShowMessage(Tr("wglMakeCurrent bei Grafik-Fenster nicht erfolgreich"));
  }
  InitContext(s.GPosX, s.GPosY, s.GPosZ);

  s.dcDaten = SetupPixelFormat(datenWindow, s.doubleBuffer);
  s.rcDaten = s.dcDaten->CreateContext();
  if (s.rcDaten == nullptr) ShowMessage(Tr("wglMakeCurrent bei Daten-Fenster nicht erfolgreich"));
  // Bound even after a failure: then no context is current and the calls
  // below cannot reach the function view's context.
  s.dcDaten->MakeCurrent(s.rcDaten);
  InitContext(s.DPosX, s.DPosY, s.DPosZ);
}

void SetupLighting() {
  static const GLfloat kLightPosition[4] = {1.0f, 3.0f, 3.0f, 0.0f};
  static const GLfloat kAmbient[4] = {0.0f, 1.0f, 0.0f, 1.0f};
  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
  glLightfv(GL_LIGHT0, GL_POSITION, kLightPosition);
  glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, kAmbient);
}

void SetGrafikProjection() {
  AppState& s = appState;
  if (s.rcGrafik == nullptr) return;
  s.dcGrafik->MakeCurrent(s.rcGrafik);
  FitToClientArea(s.dcGrafik);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(60.0, s.viewAspect, kNearPlane, kFarPlane);
  glMatrixMode(GL_MODELVIEW);
}

void SetDatenProjection() {
  AppState& s = appState;
  if (s.rcDaten == nullptr) return;
  s.dcDaten->MakeCurrent(s.rcDaten);
  FitToClientArea(s.dcDaten);
  glEnable(GL_DEPTH_TEST);
  glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(60.0, s.viewAspect, kNearPlane, kFarPlane);
  glMatrixMode(GL_MODELVIEW);
}

void ReleaseViewContexts() {
  AppState& s = appState;
  ReleaseView(s.dcGrafik, s.rcGrafik);
  ReleaseView(s.dcDaten, s.rcDaten);
}
