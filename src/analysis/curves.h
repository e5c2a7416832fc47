#pragma once
// The two error curves of the compression lesson, each computed on its own
// copies of the original surface.
#include <functional>
#include <vector>

#include "linalg/matrix.h"

namespace analysis {

struct CurvePoint {
  double x;    // Delta, or the share kept in %
  double rms;  // RMS error against the original
};

// Told after each point how many points of the curve are done (1..101);
// false ends the curve there, with the points so far. It does not change
// the points computed.
using PointDone = std::function<bool(int done)>;

// For Delta = k * 0.01, k = 0..100 (as the Delta scroll bar computes it):
// analyse the original from its top level T (TopLevelOf) down to `level`,
// keep `percent` % of the details, synthesise back up with the same Delta,
// and measure the RMS error. Empty at level T (nothing to keep), for an
// invalid level, or for an original smaller than 65 x 65.
std::vector<CurvePoint> ErrorOverDelta(const Matrix& original, int level, double percent,
                                       const PointDone& pointDone = {});
// Its points k = first..last only (two threads may share the curve);
// `pointDone` counts from 1 within them.
std::vector<CurvePoint> ErrorOverDeltaPart(const Matrix& original, int level, double percent, int first, int last,
                                           const PointDone& pointDone = {});

// One point of either curve: the original analysed from T down to `level`
// with `delta`, `percent` % of the details kept, synthesised back up; the RMS
// error against the original. NaN in the cases the curves are empty.
double ErrorKeeping(const Matrix& original, int level, double percent, double delta);

// For p = 0, 1, ..., 100 % kept at one Delta and level: the same steps, the
// analysis done once. Empty in the same cases as ErrorOverDelta.
std::vector<CurvePoint> ErrorOverShare(const Matrix& original, int level, double delta,
                                       const PointDone& pointDone = {});

}  // namespace analysis
