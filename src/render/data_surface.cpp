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
// The corner heights of one mesh, each corner evaluated once: a cell's far
// corner is the next cell's start, bit for bit (both reached by adding h).
struct MeshHeights {
  Expansion e;
  int level;
  double x0, x1, y0, y1, h;
  std::size_t columns;    // corners along y
  std::vector<double> z;  // corner (ix, iy) at ix * columns + iy
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

// One block of the picture: [x0, x1) x [y0, y1) of one expansion.
struct Region {
  double x0, x1, y0, y1;
  Expansion e;
  int level;
  bool detail;          // red or blue: times detailScale, not shifted
  void (*material)();   // set before the block, or nullptr to keep the last
};

// The blocks in drawing order: the approximation alone, or the layout with
// the smallest detail blocks (next to the approximation) first.
std::vector<Region> RegionsOf(const AppState& s) {
  if (s.onlyData) return {{0.0, 1.0, 0.0, 1.0, EvalPhiPhi, s.chosenLevel, false, nullptr}};
  const int levels = s.dataLevel - s.chosenLevel;
  const double corner = s.invPow2[levels];
  std::vector<Region> out{{0.0, corner, 0.0, corner, EvalPhiPhi, s.dataLevel, false, nullptr}};
  for (int n = levels; n >= 1; --n) {
    const double b = s.invPow2[n];
    const double b2 = 2.0 * b;
    out.push_back({b, b2, 0.0, b, EvalPsiPhi, s.dataLevel, true, MaterialRed});
    out.push_back({b, b2, b, b2, EvalPsiPsi, s.dataLevel, true, MaterialBlue});
    out.push_back({0.0, b, b, b2, EvalPhiPsi, s.dataLevel, true, MaterialRed});
  }
  return out;
}

// The corner heights of one block: kept from an earlier frame, or evaluated now.
const MeshHeights& MeshHeightsOf(const Region& r) {
  const double h = appState.stepData;
  for (const MeshHeights& m : cache.meshes) {
    if (m.e == r.e && m.level == r.level && m.x0 == r.x0 && m.x1 == r.x1 && m.y0 == r.y0 && m.y1 == r.y1 && m.h == h)
      return m;
  }
  const std::vector<double> xs = CellCorners(r.x0, r.x1, h);
  const std::vector<double> ys = CellCorners(r.y0, r.y1, h);
  MeshHeights m{r.e, r.level, r.x0, r.x1, r.y0, r.y1, h, ys.size(), {}};
  m.z.reserve(xs.size() * ys.size());
  for (const double x : xs)
    for (const double y : ys) m.z.push_back(r.e(x, y, r.level));
  cache.meshes.push_back(std::move(m));
  return cache.meshes.back();
}

// Meshes one block: every cell whose start lies inside is drawn in full, also
// past the edge and also where all heights are zero. The heights are drawn at
// the picture's display scale.
void MeshRegion(const Region& r, const MeshHeights& m, const DisplayScale& shown) {
  const AppState& s = appState;
  const double h = s.stepData;
  const double scale = static_cast<double>(s.detailScale);
  const std::size_t n = m.columns;
  std::size_t ix = 0;
  for (double x = r.x0; x < r.x1; x = x + h, ++ix) {
    std::size_t iy = 0;
    for (double y = r.y0; y < r.y1; y = y + h, ++iy) {
      const std::size_t at = ix * n + iy;
      double z00 = m.z[at], z10 = m.z[at + n], z01 = m.z[at + 1], z11 = m.z[at + n + 1];
      if (r.detail) {
        z00 = scale * z00;
        z10 = scale * z10;
        z01 = scale * z01;
        z11 = scale * z11;
      }
      z00 = ScaledHeight(shown, z00, !r.detail);
      z10 = ScaledHeight(shown, z10, !r.detail);
      z01 = ScaledHeight(shown, z01, !r.detail);
      z11 = ScaledHeight(shown, z11, !r.detail);
      EmitCell(x, y, h, z00, z10, z01, z11);
    }
  }
  FlushCells();
}

// The picture's scale follows from the heights about to be drawn (the same
// corners DataViewScale evaluates, taken from the meshes rather than
// evaluated twice); whoever shows it hears of a change.
DisplayScale TakeScale(const std::vector<Region>& regions, const std::vector<const MeshHeights*>& meshes) {
  AppState& s = appState;
  const auto& c = cache.scale;
  const double detailScale = static_cast<double>(s.detailScale);
  const bool kept = c && c->stepData == s.stepData && c->chosenLevel == s.chosenLevel && c->dataLevel == s.dataLevel &&
                    c->onlyData == s.onlyData && c->detailScale == detailScale;
  DisplayScale shown;
  if (kept) {
    shown = c->shown;
  } else {
    DataViewHeights heights;
    heights.surface = CoefficientRange(s);
    for (std::size_t i = 0; i < regions.size(); ++i) {
      if (regions[i].detail) {
        for (const double z : meshes[i]->z) heights.details.Add(detailScale * z);
      } else {
        for (const double z : meshes[i]->z) heights.approximation.Add(z);
      }
    }
    shown = DisplayScaleFor(heights);
  }
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
  // A step that is no width meshes nothing (and would never end).
  const std::vector<Region> regions = s.stepData > 0.0 ? RegionsOf(s) : std::vector<Region>{};
  // Every block's heights first (the cache may grow meanwhile), then the scale from them.
  for (const Region& r : regions) MeshHeightsOf(r);
  std::vector<const MeshHeights*> meshes;
  for (const Region& r : regions) meshes.push_back(&MeshHeightsOf(r));
  const DisplayScale shown = TakeScale(regions, meshes);
  MaterialGreen();
  glShadeModel(GL_SMOOTH);
  for (std::size_t i = 0; i < regions.size(); ++i) {
    if (regions[i].material) regions[i].material();
    MeshRegion(regions[i], *meshes[i], shown);
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
