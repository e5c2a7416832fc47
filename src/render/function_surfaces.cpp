#include "render/function_surfaces.h"

#include <GL/gl.h>

#include "state/state.h"
#include "blac/basis.h"
#include "render/cell_batch.h"
#include "render/data_surface.h"
#include "render/glwindow.h"

namespace {

using HeightFunction = double (*)(double, double);

// One quad (or outline) per cell with the shading normal (o - t, t - o, 2h),
// scaled to unit length. Corner heights are evaluated afresh for every cell.
void DrawMesh(HeightFunction f) {
  const AppState& s = appState;
  const double h = s.stepFunctions;
  for (double x = 0.0; x < s.SurfaceXMax; x = x + h) {
    for (double y = 0.0; y < s.SurfaceYMax; y = y + h) {
      const double z00 = f(x, y);
      const double z10 = f(x + h, y);
      const double z01 = f(x, y + h);
      const double z11 = f(x + h, y + h);
      // Outside the support nothing is sent at all.
      if (z00 == 0.0 && z10 == 0.0 && z01 == 0.0 && z11 == 0.0) continue;
      // The same cell, normal and vertex order as the data surface's.
      EmitCell(x, y, h, z00, z10, z01, z11);
    }
  }
  FlushCells();
}

// Side of the flat quads: level 1 with zoom, else the chosen level.
double FlatSide() {
  const AppState& s = appState;
  return s.zoom ? 0.5 : s.invPow2[s.chosenLevel];
}

void BeginSurface() {
  MaterialRed();
  glShadeModel(GL_SMOOTH);
}

// Delta = 0: the functions are piecewise constant, so a few flat quads with
// vertical steps replace the sampled mesh.
void FlatScaling() {
  const double a = FlatSide();
  const double c = ViewPhiPhi(0.5 * a, 0.5 * a);
  DrawFlatQuad(0, 0, c, a, 0, c, a, a, c, 0, a, c, 0, 0, 1);
}

void FlatWavelet1() {
  const double a = FlatSide();
  const double a15 = 1.5 * a;
  const double a2 = 2.0 * a;
  const double c = ViewPhiPsi(0.5 * a, a15);
  DrawFlatQuad(0, a, c, a, a, c, a, a15, c, 0, a15, c, 0, 0, 1);
  DrawFlatQuad(0, a15, -c, a, a15, -c, a, a2, -c, 0, a2, -c, 0, 0, 1);
  DrawFlatQuad(0, a15, c, a, a15, c, a, a15, -c, 0, a15, -c, 0, 0, 1);
}

void FlatWavelet2() {
  const double a = FlatSide();
  const double a15 = 1.5 * a;
  const double a2 = 2.0 * a;
  const double c = ViewPsiPsi(a15, a15);
  DrawFlatQuad(a, a, c, a15, a, c, a15, a15, c, a, a15, c, 0, 0, 1);
  DrawFlatQuad(a15, a15, c, a2, a15, c, a2, a2, c, a15, a2, c, 0, 0, 1);
  DrawFlatQuad(a15, a, -c, a2, a, -c, a2, a15, -c, a15, a15, -c, 0, 0, 1);
  DrawFlatQuad(a15, a15, -c, a15, a2, -c, a, a2, -c, a, a15, -c, 0, 0, 1);
  DrawFlatQuad(a, a15, c, a2, a15, c, a2, a15, -c, a, a15, -c, 0, -1, 0);
  DrawFlatQuad(a15, a, c, a15, a2, c, a15, a2, -c, a15, a, -c, 1, 0, 0);
}

void FlatWavelet3() {
  const double a = FlatSide();
  const double a15 = 1.5 * a;
  const double a2 = 2.0 * a;
  const double c = ViewPsiPhi(a15, 0.5 * a);
  DrawFlatQuad(a, 0, c, a15, 0, c, a15, a, c, a, a, c, 0, 0, 1);
  DrawFlatQuad(a15, 0, -c, a2, 0, -c, a2, a, -c, a15, a, -c, 0, 0, 1);
  DrawFlatQuad(a15, 0, c, a15, a, c, a15, a, -c, a15, 0, -c, 0, 0, 1);
}

void DrawSurface(HeightFunction f, void (*flat)()) {
  BeginSurface();
  if (appState.delta == 0.0) {
    flat();
    return;
  }
  DrawMesh(f);
}

}  // namespace

double ViewPhiPhi(double x, double y) {
  if (appState.zoom) return PhiView(2.0 * x) * PhiView(2.0 * y);
  return PhiViewLevel(x) * PhiViewLevel(y);
}

double ViewPhiPsi(double x, double y) {
  if (appState.zoom) return PhiView(2.0 * x) * PsiViewJ(y, 1);
  return PhiViewLevel(x) * PsiViewLevel(y);
}

double ViewPsiPsi(double x, double y) {
  if (appState.zoom) return PsiViewJ(x, 1) * PsiViewJ(y, 1);
  return PsiViewLevel(x) * PsiViewLevel(y);
}

double ViewPsiPhi(double x, double y) {
  if (appState.zoom) return PsiViewJ(x, 1) * PhiView(2.0 * y);
  return PsiViewLevel(x) * PhiViewLevel(y);
}

void DrawScalingSurface() { DrawSurface(ViewPhiPhi, FlatScaling); }
void DrawWavelet1Surface() { DrawSurface(ViewPhiPsi, FlatWavelet1); }
void DrawWavelet2Surface() { DrawSurface(ViewPsiPsi, FlatWavelet2); }
void DrawWavelet3Surface() { DrawSurface(ViewPsiPhi, FlatWavelet3); }

void DrawFlatQuad(double x1, double y1, double z1, double x2, double y2, double z2,
                  double x3, double y3, double z3, double x4, double y4, double z4,
                  double nx, double ny, double nz) {
  glBegin(appState.filledSurfaces ? GL_QUADS : GL_LINE_LOOP);
  // Flat quads keep their normal in wire-frame mode too.
  glNormal3d(nx, ny, nz);
  CenteredVertex(x1, y1, z1);
  CenteredVertex(x2, y2, z2);
  CenteredVertex(x3, y3, z3);
  CenteredVertex(x4, y4, z4);
  glEnd();
}
