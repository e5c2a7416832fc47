#pragma once
// The two error curves of the "Analyse" window as a job that may run on
// another thread while the windows go on: it takes copies of everything the
// curves depend on, reads nothing else, says how far it got and can be
// stopped between two points.
#include <atomic>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "linalg/matrix.h"

struct Marker {
  double x = 0;
  double y = 0;
};
struct Curve {
  std::vector<std::pair<double, double>> points;  // empty at the top level
  std::optional<Marker> marker;   // the share: currentDelta's point / the share's point
  std::optional<Marker> pending;  // Delta curve only: the scroll bar's Delta
};
// The scroll bar position nearest to a Delta picked on the curve, 0..100.
int NearestDeltaPosition(double delta);

// What the curves depend on, copied from appState.
struct CurveInputs {
  Matrix original{1, 1};   // the surface as taken; its side gives the top level
  int level = 0;           // the level shown
  double percent = 0;      // the share kept
  double currentDelta = 0; // the data's Delta: the share curve and the filled marker
  double delta = 0;        // the scroll bar's Delta: the hollow marker
};
// On the thread that owns appState.
CurveInputs CurveInputsNow(double percent);

// Both curves together have this many points: 101 over Delta, then 101 over the share.
constexpr int kCurvePoints = 202;
// The whole percent of both curves that `pointsDone` points make.
int CurvePercent(int pointsDone);

// A point done: true goes on, false stops the curve there.
using CurveProgress = std::function<bool(int pointsDone)>;

// "Fehler über Delta" (RMS error over Delta = 0, 0.01, ..., 1 keeping the
// share, marked at currentDelta and, as pending, at the scroll bar's Delta)
// and "Fehler über Anteil" (over p = 0, 1, ..., 100 % at currentDelta,
// marked at the share), from the inputs alone.
Curve DeltaCurve(const CurveInputs& in, const CurveProgress& progress = {});
Curve ShareCurve(const CurveInputs& in, const CurveProgress& progress = {});

struct CurveResult {
  Curve overDelta;
  Curve overShare;
  int pointsDone = 0;      // 0..kCurvePoints
  bool cancelled = false;  // stopped early: the curves are incomplete
};
// One thread computes both curves, Delta first; two compute them side by
// side (where the build has threads), with the same results.
enum class CurveThreads { One, Two };
// Both curves. `progress` (may be empty) hears the points done,
// 1..kCurvePoints, one call at a time; once `cancel` is set the job stops
// after the point in hand. The inputs are taken by value: the job owns what
// it reads.
CurveResult ComputeCurves(CurveInputs inputs, const std::atomic<bool>& cancel,
                          const std::function<void(int pointsDone)>& progress = {},
                          CurveThreads threads = CurveThreads::One);
// The same, telling `percent` (CurvePercent) only when it has grown: a
// thread or a worker posts no more than 101 messages.
CurveResult ComputeCurvesInPercent(CurveInputs inputs, const std::atomic<bool>& cancel,
                                   const std::function<void(int percent)>& percent,
                                   CurveThreads threads = CurveThreads::One);
