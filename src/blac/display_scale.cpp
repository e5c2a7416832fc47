#include "blac/display_scale.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "blac/basis.h"

namespace {

using Expansion = double (*)(const CurrentFamily&, double, double, int);

void AddRegion(HeightRange& range, const CurrentFamily& f, double x0, double x1, double y0,
               double y1, Expansion e, int level, double factor, double h) {
  const std::vector<double> xs = CellCorners(x0, x1, h);
  const std::vector<double> ys = CellCorners(y0, y1, h);
  for (const double x : xs)
    for (const double y : ys) range.Add(factor * e(f, x, y, level));
}

}  // namespace

std::vector<double> CellCorners(double from, double to, double h) {
  std::vector<double> corners;
  double x = from;
  for (; x < to; x = x + h) corners.push_back(x);
  if (!corners.empty()) corners.push_back(x);
  return corners;
}

void HeightRange::Add(double z) {
  if (!std::isfinite(z)) {
    nonFinite = true;
    return;
  }
  lo = std::min(lo, z);
  hi = std::max(hi, z);
}

DisplayScale DisplayScaleFor(const DataViewHeights& heights) {
  const HeightRange& surface = heights.surface;
  const HeightRange& approximation = heights.approximation;
  const HeightRange& details = heights.details;
  HeightRange all = approximation;
  if (!details.Empty()) {
    all.Add(details.lo);
    all.Add(details.hi);
  }
  const bool nonFinite = approximation.nonFinite || details.nonFinite;
  if (!nonFinite && (all.Empty() || (all.lo >= -kUnscaledBound && all.hi <= kUnscaledBound))) return {};

  DisplayScale scale;
  // A surface that stays on one side of 0 stands on the floor from its lowest point.
  if (!surface.Empty() && (surface.lo > 0.0 || surface.hi < 0.0)) scale.offset = surface.lo;
  HeightRange shifted;
  shifted.Add(0.0);
  if (!approximation.Empty()) {
    shifted.Add(approximation.lo - scale.offset);
    shifted.Add(approximation.hi - scale.offset);
  }
  if (!details.Empty()) {
    shifted.Add(details.lo);
    shifted.Add(details.hi);
  }
  // An infinite span (heights near the double range) gives factor 0: flat, but finite.
  const double span = shifted.hi - shifted.lo;
  if (span > kScaledSpan) scale.factor = std::min(scale.factor, kScaledSpan / span);
  if (-shifted.lo > kScaledDepth) scale.factor = std::min(scale.factor, kScaledDepth / -shifted.lo);
  return scale;
}

double ScaledHeight(const DisplayScale& scale, double z, bool shifted) {
  if (scale.IsIdentity() && std::isfinite(z)) return z;  // as without a scale, bit for bit
  const double d = (shifted ? z - scale.offset : z) * scale.factor;
  if (std::isnan(d)) return 0.0;
  return std::clamp(d, -kScaledDepth, kScaledSpan);
}

HeightRange CoefficientRange(const AppState& s) {
  HeightRange range;
  // The leading block of dataMatrix holds the chosen level's coarse coefficients.
  const int side = std::min(GridSide(s.chosenLevel), std::min(s.dataMatrix.rows, s.dataMatrix.cols));
  for (int i = 1; i <= side; ++i)
    for (int k = 1; k <= side; ++k) range.Add(GetElement(s.dataMatrix, i, k));
  return range;
}

DataViewHeights DataViewHeightsOf(const AppState& s) {
  const CurrentFamily f{s.currentDelta, &s.synthesisQ, &s.dataMatrix};
  const double h = s.stepData;
  DataViewHeights out;
  // A step that is no width meshes nothing (and would never end).
  if (!(h > 0.0)) return out;
  out.surface = CoefficientRange(s);
  if (s.onlyData) {
    AddRegion(out.approximation, f, 0.0, 1.0, 0.0, 1.0, EvalPhiPhiOf, s.chosenLevel, 1.0, h);
    return out;
  }
  const int levels = s.dataLevel - s.chosenLevel;
  const double corner = s.invPow2[levels];
  AddRegion(out.approximation, f, 0.0, corner, 0.0, corner, EvalPhiPhiOf, s.dataLevel, 1.0, h);
  const double scale = static_cast<double>(s.detailScale);
  for (int n = levels; n >= 1; --n) {
    const double b = s.invPow2[n];
    const double b2 = 2.0 * b;
    AddRegion(out.details, f, b, b2, 0.0, b, EvalPsiPhiOf, s.dataLevel, scale, h);
    AddRegion(out.details, f, b, b2, b, b2, EvalPsiPsiOf, s.dataLevel, scale, h);
    AddRegion(out.details, f, 0.0, b, b, b2, EvalPhiPsiOf, s.dataLevel, scale, h);
  }
  return out;
}

DisplayScale DataViewScale(const AppState& s) { return DisplayScaleFor(DataViewHeightsOf(s)); }
