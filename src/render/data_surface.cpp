#include "render/data_surface.h"

#include <GL/gl.h>

#include <cmath>
#include <cstring>
#include <optional>
#include <vector>

#include "state/state.h"
#include "blac/basis.h"
#include "blac/display_scale.h"
#include "render/cell_batch.h"
#include "render/glwindow.h"

namespace {

using Expansion = double (*)(double, double, int);

// The heights of the last frame's meshes, with everything they were
// evaluated from (the coefficients, currentDelta and the synthesis tables):
// turning or moving the view draws the same heights again, and evaluating
// them took most of a large frame's time. Compared in full, not hashed, so
// a changed coefficient is never missed.
struct MeshHeights {
  Expansion e;
  int level;
  double x0, x1, y0, y1, h;
  std::vector<double> z;  // four corners per cell, in drawing order
};

struct HeightCache {
  double delta = 0;
  std::vector<double> coefficients;
  std::vector<double> tables;  // every synthesis table, sizes included
  std::vector<MeshHeights> meshes;
  // The display scale is computed from the same heights: kept with what else it reads.
  struct Scale {
    double stepData;
    int chosenLevel, dataLevel;
    bool onlyData;
    double detailScale;
    DisplayScale shown;
  };
  std::optional<Scale> scale;
};
HeightCache cache;

void Flatten(const Matrix& m, std::vector<double>& out) {
  out.push_back(m.rows);
  out.push_back(m.cols);
  out.insert(out.end(), m.data.get(), m.data.get() + static_cast<std::size_t>(m.rows) * static_cast<std::size_t>(m.cols));
}

// Keeps the cache only while the family the heights come from is the same.
void CheckHeightCache() {
  const AppState& s = appState;
  const Matrix& c = s.dataMatrix;
  const std::size_t n = static_cast<std::size_t>(c.rows) * static_cast<std::size_t>(c.cols) + 2;
  std::vector<double> tables;
  for (const Matrix& q : s.synthesisQ) Flatten(q, tables);
  const bool same = std::memcmp(&cache.delta, &s.currentDelta, sizeof(double)) == 0 && cache.coefficients.size() == n &&
                    cache.coefficients[0] == c.rows && cache.coefficients[1] == c.cols &&
                    std::memcmp(cache.coefficients.data() + 2, c.data.get(), (n - 2) * sizeof(double)) == 0 &&
                    cache.tables == tables;
  if (same) return;
  cache.delta = s.currentDelta;
  cache.coefficients.clear();
  Flatten(c, cache.coefficients);
  cache.tables = std::move(tables);
  cache.meshes.clear();
  cache.scale.reset();
}

// The heights of one mesh: kept from an earlier frame, or evaluated now.
const std::vector<double>& MeshHeightsOf(double x0, double x1, double y0, double y1, Expansion e, int level) {
  const double h = appState.stepData;
  for (const MeshHeights& m : cache.meshes) {
    if (m.e == e && m.level == level && m.x0 == x0 && m.x1 == x1 && m.y0 == y0 && m.y1 == y1 && m.h == h) return m.z;
  }
  MeshHeights m{e, level, x0, x1, y0, y1, h, {}};
  for (double x = x0; x < x1; x = x + h) {
    for (double y = y0; y < y1; y = y + h) {
      m.z.insert(m.z.end(), {e(x, y, level), e(x + h, y, level), e(x, y + h, level), e(x + h, y + h, level)});
    }
  }
  cache.meshes.push_back(std::move(m));
  return cache.meshes.back().z;
}

// Meshes [x0, x1) x [y0, y1): every cell whose start lies inside is drawn in
// full, also past the edge and also where all heights are zero. The heights
// are drawn at the picture's display scale.
void MeshRegion(double x0, double x1, double y0, double y1, Expansion e, int level, bool detail,
                const DisplayScale& shown) {
  const AppState& s = appState;
  const double h = s.stepData;
  const double scale = static_cast<double>(s.detailScale);
  const std::vector<double>& z = MeshHeightsOf(x0, x1, y0, y1, e, level);
  std::size_t at = 0;
  for (double x = x0; x < x1; x = x + h) {
    for (double y = y0; y < y1; y = y + h) {
      double z00 = z[at], z10 = z[at + 1], z01 = z[at + 2], z11 = z[at + 3];
      at += 4;
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
  const auto& c = cache.scale;
  const double detailScale = static_cast<double>(s.detailScale);
  const bool kept = c && c->stepData == s.stepData && c->chosenLevel == s.chosenLevel && c->dataLevel == s.dataLevel &&
                    c->onlyData == s.onlyData && c->detailScale == detailScale;
  const DisplayScale shown = kept ? c->shown : DataViewScale(s);
  cache.scale = HeightCache::Scale{s.stepData, s.chosenLevel, s.dataLevel, s.onlyData, detailScale, shown};
  if (!(shown == s.dataViewScale)) {
    s.dataViewScale = shown;
    if (s.dataViewScaleChanged) s.dataViewScaleChanged(shown);
  }
  return shown;
}

}  // namespace

void DrawDataSurface() {
  const AppState& s = appState;
  CheckHeightCache();
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
