#include "analysis/curves.h"

#include "analysis/blocks.h"
#include "analysis/error.h"
#include "analysis/threshold.h"
#include "blac/level_steps.h"

namespace analysis {

namespace {

constexpr int kSteps = 100;

bool CurveDefined(const Matrix& original, int level) {
  return ValidLevel(level) && level < kTopLevel && HoldsBlock(original);
}

}  // namespace

std::vector<CurvePoint> ErrorOverDelta(const Matrix& original, int level, double percent) {
  std::vector<CurvePoint> curve;
  if (!CurveDefined(original, level)) return curve;
  const Matrix source = CopyBlock(original);
  curve.reserve(kSteps + 1);
  for (int k = 0; k <= kSteps; ++k) {
    const double delta = k * 0.01;
    const SynthesisTables tables = BuildSynthesisTables(delta);
    Matrix work(source);
    AnalyseDown(work, kTopLevel, level, tables);
    KeepLargestDetails(work, level, percent);
    SynthesiseUp(work, level, kTopLevel, tables);
    curve.push_back({delta, RmsError(source, work)});
  }
  return curve;
}

std::vector<CurvePoint> ErrorOverShare(const Matrix& original, int level, double delta) {
  std::vector<CurvePoint> curve;
  if (!CurveDefined(original, level)) return curve;
  const Matrix source = CopyBlock(original);
  const SynthesisTables tables = BuildSynthesisTables(delta);
  Matrix analysed(source);
  AnalyseDown(analysed, kTopLevel, level, tables);
  curve.reserve(kSteps + 1);
  for (int p = 0; p <= kSteps; ++p) {
    Matrix work(analysed);
    KeepLargestDetails(work, level, p);
    SynthesiseUp(work, level, kTopLevel, tables);
    curve.push_back({static_cast<double>(p), RmsError(source, work)});
  }
  return curve;
}

}  // namespace analysis
