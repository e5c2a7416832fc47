#include "analysis/error.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

#include "analysis/blocks.h"

namespace analysis {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

ErrorMeasures Invalid() { return {kNaN, kNaN, kNaN, false, false}; }

double Entry(const Matrix& m, int r, int c) {
  return m.data[static_cast<std::size_t>(r) * static_cast<std::size_t>(m.cols) +
                static_cast<std::size_t>(c)];
}

// P[j] and Q[j] exist with their level-j shapes for j = level..top-1.
bool TablesFit(int level, int top, const std::vector<Matrix>& p, const std::vector<Matrix>& q) {
  const auto needed = static_cast<std::size_t>(top);
  if (p.size() < needed || q.size() < needed) return false;
  for (int j = level; j < top; ++j) {
    const auto k = static_cast<std::size_t>(j);
    const int fine = BlockSide(j + 1);
    const int coarse = BlockSide(j);
    if (p[k].rows != fine || p[k].cols != coarse || q[k].rows != fine || q[k].cols != coarse - 1)
      return false;
  }
  return true;
}

}  // namespace

double RmsError(const Matrix& original, const Matrix& surface) {
  const int side = BlockSide(TopLevelOf(original));
  double sum = 0;
  for (int r = 0; r < side; ++r) {
    for (int c = 0; c < side; ++c) {
      const double e = Entry(surface, r, c) - Entry(original, r, c);
      sum += e * e;
    }
  }
  return std::sqrt(sum / (static_cast<double>(side) * side));
}

ErrorMeasures CompareSurfaces(const Matrix& original, const Matrix& surface) {
  const int top = TopLevelOf(original);
  if (!HoldsBlock(original, top) || !HoldsBlock(surface, top)) return Invalid();
  const int side = BlockSide(top);
  double maxAbs = 0;
  double lowest = Entry(original, 0, 0);
  double highest = lowest;
  for (int r = 0; r < side; ++r) {
    for (int c = 0; c < side; ++c) {
      const double o = Entry(original, r, c);
      maxAbs = std::max(maxAbs, std::fabs(Entry(surface, r, c) - o));
      lowest = std::min(lowest, o);
      highest = std::max(highest, o);
    }
  }
  ErrorMeasures m;
  m.rms = RmsError(original, surface);
  // std::max skips NaN; the sum of squares does not, so the RMS tells.
  m.maxAbs = std::isnan(m.rms) ? kNaN : maxAbs;
  m.exact = m.rms == 0;
  m.constantOriginal = highest - lowest == 0;
  if (m.constantOriginal)
    m.psnr = kNaN;
  else if (m.exact)
    m.psnr = std::numeric_limits<double>::infinity();
  else
    m.psnr = 20 * std::log10((highest - lowest) / m.rms);
  return m;
}

std::optional<Matrix> ReconstructSurface(const Matrix& coefficients, int level, int top,
                                         const std::vector<Matrix>& p, const std::vector<Matrix>& q) {
  if (!ValidLevel(level, top) || !HoldsBlock(coefficients, top)) return std::nullopt;
  if (level < top && !TablesFit(level, top, p, q)) return std::nullopt;
  Matrix surface = CopyBlock(coefficients, top);
  SynthesiseUp(surface, level, top, p, q);
  return surface;
}

ErrorMeasures MeasureError(const Matrix& original, const Matrix& coefficients, int level,
                           const std::vector<Matrix>& p, const std::vector<Matrix>& q) {
  const int top = TopLevelOf(original);
  // At the top level the coefficients are the surface: no copy needed.
  if (level == top) {
    return HoldsBlock(coefficients, top) ? CompareSurfaces(original, coefficients) : Invalid();
  }
  const std::optional<Matrix> surface = ReconstructSurface(coefficients, level, top, p, q);
  return surface ? CompareSurfaces(original, *surface) : Invalid();
}

ErrorMeasures MeasureError(const Matrix& original, const Matrix& coefficients, int level,
                           const SynthesisTables& tables) {
  return MeasureError(original, coefficients, level, tables.p, tables.q);
}

}  // namespace analysis
