#include "render/data_surface.h"

#include <GL/gl.h>

#include <cmath>

#include "state/state.h"
#include "blac/basis.h"
#include "blac/display_scale.h"
#include "render/cell_batch.h"
#include "render/glwindow.h"

namespace {

using Expansion = double (*)(double, double, int);

// Meshes [x0, x1) x [y0, y1): every cell whose start lies inside is drawn in
// full, also past the edge and also where all heights are zero. The heights
// are drawn at the picture's display scale.
void MeshRegion(double x0, double x1, double y0, double y1, Expansion e, int level, bool detail,
                const DisplayScale& shown) {
  const AppState& s = appState;
  const double h = s.stepData;
  const double scale = static_cast<double>(s.detailScale);
  for (double x = x0; x < x1; x = x + h) {
    for (double y = y0; y < y1; y = y + h) {
      double z00 = e(x, y, level);
      double z10 = e(x + h, y, level);
      double z01 = e(x, y + h, level);
      double z11 = e(x + h, y + h, level);
      if (detail) {
        z00 = scale * z00;
        z10 = scale * z10;
        z01 = scale * z01;
        z11 = scale * z11;
      }
      z00 = ScaledHeight(shown, z00, !detail);
      z10 = ScaledHeight(shown, z10, !detail);
      z01 = ScaledHeight(shown, z01, !detail);
      z11 = ScaledHeight(shown, z11, !detail);
      EmitCell(x, y, h, z00, z10, z01, z11);
    }
  }
  FlushCells();
}

// The picture's scale follows from the heights about to be drawn; whoever
// shows it hears of a change.
DisplayScale TakeScale() {
  AppState& s = appState;
  const DisplayScale shown = DataViewScale(s);
  if (!(shown == s.dataViewScale)) {
    s.dataViewScale = shown;
    if (s.dataViewScaleChanged) s.dataViewScaleChanged(shown);
  }
  return shown;
}

}  // namespace

void DrawDataSurface() {
  const AppState& s = appState;
  const DisplayScale shown = TakeScale();
  MaterialGreen();
  glShadeModel(GL_SMOOTH);
  if (s.onlyData) {
    // The coarse coefficients of the chosen level spread over the whole square.
    MeshRegion(0.0, 1.0, 0.0, 1.0, EvalPhiPhi, s.chosenLevel, false, shown);
    return;
  }
  const int levels = s.dataLevel - s.chosenLevel;
  const double corner = s.invPow2[levels];
  MeshRegion(0.0, corner, 0.0, corner, EvalPhiPhi, s.dataLevel, false, shown);
  // Smallest detail blocks (next to the approximation) first.
  for (int n = levels; n >= 1; --n) {
    const double b = s.invPow2[n];
    const double b2 = 2.0 * b;
    MaterialRed();
    MeshRegion(b, b2, 0.0, b, EvalPsiPhi, s.dataLevel, true, shown);
    MaterialBlue();
    MeshRegion(b, b2, b, b2, EvalPsiPsi, s.dataLevel, true, shown);
    MaterialRed();
    MeshRegion(0.0, b, b, b2, EvalPhiPsi, s.dataLevel, true, shown);
  }
}

void EmitCell(double x, double y, double h, double z00, double z10, double z01, double z11) {
  const double d1 = z11 - z00;
  const double d2 = z01 - z10;
  const double len = std::sqrt(2.0 * (d2 - d1) * (d2 - d1) + 4.0 * h * h);
  if (appState.filledSurfaces) {
    // Filled cells go out in arrays (FlushCells); outlines stay line loops.
    BatchQuad({(d2 - d1) / len, (d1 - d2) / len, 2.0 * h / len},
              {{x, y, z00}, {x + h, y, z10}, {x + h, y + h, z11}, {x, y + h, z01}});
    return;
  }
  glBegin(GL_LINE_LOOP);
  CenteredVertex(x, y, z00);
  CenteredVertex(x + h, y, z10);
  CenteredVertex(x + h, y + h, z11);
  CenteredVertex(x, y + h, z01);
  glEnd();
}
