#include "analysis/curves.h"

#include <algorithm>
#include <limits>

#include "analysis/blocks.h"
#include "analysis/error.h"
#include "analysis/threshold.h"
#include "blac/level_steps.h"

namespace analysis {

namespace {

constexpr int kSteps = 100;

bool CurveDefined(const Matrix& original, int level, int top) {
  return ValidLevel(level, top) && level < top && HoldsBlock(original, top);
}

// The steps of one point on `work`, a copy of `source` (the top-level block).
double PointError(const Matrix& source, Matrix& work, int top, int level, double percent,
                  const SynthesisTables& tables) {
  AnalyseDown(work, top, level, tables);
  KeepLargestDetails(work, level, percent, top);
  SynthesiseUp(work, level, top, tables);
  return RmsError(source, work);
}

}  // namespace

double ErrorKeeping(const Matrix& original, int level, double percent, double delta) {
  const int top = TopLevelOf(original);
  if (!CurveDefined(original, level, top)) return std::numeric_limits<double>::quiet_NaN();
  const Matrix source = CopyBlock(original, top);
  Matrix work(source);
  return PointError(source, work, top, level, percent, BuildSynthesisTables(delta, top - 1));
}

std::vector<CurvePoint> ErrorOverDelta(const Matrix& original, int level, double percent,
                                       const PointDone& pointDone) {
  return ErrorOverDeltaPart(original, level, percent, 0, kSteps, pointDone);
}

std::vector<CurvePoint> ErrorOverDeltaPart(const Matrix& original, int level, double percent, int first, int last,
                                           const PointDone& pointDone) {
  std::vector<CurvePoint> curve;
  const int top = TopLevelOf(original);
  if (!CurveDefined(original, level, top)) return curve;
  first = std::max(first, 0);
  last = std::min(last, kSteps);
  const Matrix source = CopyBlock(original, top);
  curve.reserve(static_cast<std::size_t>(std::max(last - first + 1, 0)));
  Matrix work(source);  // one buffer for every point: a 513 x 513 block is 2 MB
  for (int k = first; k <= last; ++k) {
    const double delta = k * 0.01;
    // The steps read the tables of levels 2..top-1 only.
    const SynthesisTables tables = BuildSynthesisTables(delta, top - 1);
    work = source;
    curve.push_back({delta, PointError(source, work, top, level, percent, tables)});
    if (pointDone && !pointDone(k - first + 1)) break;
  }
  return curve;
}

std::vector<CurvePoint> ErrorOverShare(const Matrix& original, int level, double delta,
                                       const PointDone& pointDone) {
  std::vector<CurvePoint> curve;
  const int top = TopLevelOf(original);
  if (!CurveDefined(original, level, top)) return curve;
  const Matrix source = CopyBlock(original, top);
  const SynthesisTables tables = BuildSynthesisTables(delta, top - 1);
  Matrix analysed(source);
  AnalyseDown(analysed, top, level, tables);
  curve.reserve(kSteps + 1);
  // One ranking for all shares; keeping its first N is KeepLargestDetails.
  const std::vector<std::uint32_t> ranking = RankDetails(analysed, level, top);
  const int details = DetailCount(level, top);
  Matrix work(analysed);
  for (int p = 0; p <= kSteps; ++p) {
    work = analysed;
    DropRankedAfter(work, ranking, KeptDetailCount(details, p), top);
    SynthesiseUp(work, level, top, tables);
    curve.push_back({static_cast<double>(p), RmsError(source, work)});
    if (pointDone && !pointDone(p + 1)) break;
  }
  return curve;
}

}  // namespace analysis
