#include "interaction/curve_job.h"

#include <algorithm>
#include <cmath>

#ifdef VELTRA_CURVE_THREADS
#include <mutex>
#include <thread>
#endif

#include "analysis/blocks.h"
#include "analysis/curves.h"
#include "state/state.h"

CurveInputs CurveInputsNow(double percent) {
  const AppState& s = appState;
  return {s.originalSurface, s.chosenLevel, percent, s.currentDelta, s.delta};
}

namespace {

Curve AsCurve(const std::vector<analysis::CurvePoint>& points) {
  Curve curve;
  curve.points.reserve(points.size());
  for (const analysis::CurvePoint& p : points) curve.points.emplace_back(p.x, p.rms);
  return curve;
}

// A stopped curve gets no markers: it is never shown.
constexpr std::size_t kFullCurve = 101;

}  // namespace

int NearestDeltaPosition(double delta) {
  if (std::isnan(delta)) return 0;
  return static_cast<int>(std::lround(std::clamp(delta, 0.0, 1.0) * 100));
}

int CurvePercent(int pointsDone) { return pointsDone * 100 / kCurvePoints; }

namespace {

// The Delta curve's points with its markers once it is whole.
Curve DeltaCurveOf(const std::vector<analysis::CurvePoint>& points, const CurveInputs& in) {
  Curve curve = AsCurve(points);
  if (curve.points.size() != kFullCurve) return curve;
  // The points are at the scroll bar's positions, so both Deltas are among them.
  const auto at = [&](double delta) {
    const auto& p = curve.points[static_cast<std::size_t>(NearestDeltaPosition(delta))];
    return Marker{p.first, p.second};
  };
  curve.marker = at(in.currentDelta);
  curve.pending = at(in.delta);
  return curve;
}

}  // namespace

Curve DeltaCurve(const CurveInputs& in, const CurveProgress& progress) {
  return DeltaCurveOf(analysis::ErrorOverDelta(in.original, in.level, in.percent, progress), in);
}

Curve ShareCurve(const CurveInputs& in, const CurveProgress& progress) {
  Curve curve = AsCurve(analysis::ErrorOverShare(in.original, in.level, in.currentDelta, progress));
  if (curve.points.size() != kFullCurve) return curve;
  const double percent = in.percent;
  if (percent >= 0 && percent <= 100 && percent == std::floor(percent)) {
    curve.marker = Marker{percent, curve.points[static_cast<std::size_t>(percent)].second};
    return curve;
  }
  // A share between the whole percents of the curve gets its own point, by
  // the curve's steps.
  curve.marker = Marker{percent, analysis::ErrorKeeping(in.original, in.level, percent, in.currentDelta)};
  return curve;
}

CurveResult ComputeCurves(CurveInputs inputs, const std::atomic<bool>& cancel,
                          const std::function<void(int)>& progress, CurveThreads threads) {
  CurveResult result;
#ifdef VELTRA_CURVE_THREADS
  if (threads == CurveThreads::Two) {
    // This thread takes the Delta curve's first points; the other its last
    // ones and then the share curve, about as much work at every grid. The
    // progress is their sum, told one call at a time.
    constexpr int kSplit = 68;
    std::mutex telling;
    int mine = 0, beside = 0, besideBefore = 0;
    const auto step = [&](int& count, const int& before) {
      return [&](int done) {
        {
          const std::lock_guard<std::mutex> lock(telling);
          count = before + done;
          result.pointsDone = mine + beside;
          if (progress) progress(result.pointsDone);
        }
        return !cancel.load(std::memory_order_relaxed);
      };
    };
    const int none = 0;
    std::vector<analysis::CurvePoint> low, high;
    std::thread other([&] {
      high = analysis::ErrorOverDeltaPart(inputs.original, inputs.level, inputs.percent, kSplit,
                                          static_cast<int>(kFullCurve) - 1, step(beside, none));
      if (cancel.load(std::memory_order_relaxed)) return;
      besideBefore = static_cast<int>(high.size());
      result.overShare = ShareCurve(inputs, step(beside, besideBefore));
    });
    low = analysis::ErrorOverDeltaPart(inputs.original, inputs.level, inputs.percent, 0, kSplit - 1,
                                       step(mine, none));
    other.join();
    result.cancelled = cancel.load(std::memory_order_relaxed);
    // Cancelled, the points may not follow on; nobody shows them then.
    low.insert(low.end(), high.begin(), high.end());
    result.overDelta = DeltaCurveOf(low, inputs);
    return result;
  }
#else
  (void)threads;
#endif
  int offset = 0;
  const CurveProgress step = [&](int done) {
    result.pointsDone = offset + done;
    if (progress) progress(result.pointsDone);
    return !cancel.load(std::memory_order_relaxed);
  };
  result.overDelta = DeltaCurve(inputs, step);
  result.cancelled = cancel.load(std::memory_order_relaxed);
  if (result.cancelled) return result;
  offset = static_cast<int>(kFullCurve);
  result.overShare = ShareCurve(inputs, step);
  result.cancelled = cancel.load(std::memory_order_relaxed);
  return result;
}

CurveResult ComputeCurvesInPercent(CurveInputs inputs, const std::atomic<bool>& cancel,
                                   const std::function<void(int)>& percent, CurveThreads threads) {
  int told = 0;
  return ComputeCurves(
      std::move(inputs), cancel,
      [&](int done) {
        const int now = CurvePercent(done);
        if (now == told) return;
        told = now;
        percent(now);
      },
      threads);
}
