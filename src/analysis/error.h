#pragma once
// How far a coefficient state, synthesised back to level 6, lies from the
// original surface, over all 65 x 65 points.
#include <vector>

#include "blac/level_steps.h"
#include "linalg/matrix.h"

namespace analysis {

struct ErrorMeasures {
  double maxAbs = 0;  // max |e|
  double rms = 0;     // sqrt(mean e^2)
  // 20 log10((max - min of the original) / rms) in dB; +inf when exact,
  // NaN when the original is constant.
  double psnr = 0;
  bool exact = false;             // rms is 0 (shown as "exakt")
  bool constantOriginal = false;  // no range to relate to (shown as "—"; takes precedence)
};

// Compares the top-left 65 x 65 blocks of both matrices, e = surface - original.
// A NaN anywhere in e makes maxAbs and rms NaN. Matrices smaller than 65 x 65
// give NaN measures.
ErrorMeasures CompareSurfaces(const Matrix& original, const Matrix& surface);

// Synthesises a copy of `coefficients` (analysed down to `level`, 2..6) up to
// level 6 with the tables P[j], Q[j] of j = level..5 (the vectors indexed by
// level, as appState.synthesisP / synthesisQ) and compares it with the
// original. At level 6 the comparison is direct and the tables are not read.
// The coefficients are not changed. Bad levels, matrices or tables give NaN measures.
ErrorMeasures MeasureError(const Matrix& original, const Matrix& coefficients, int level,
                           const std::vector<Matrix>& p, const std::vector<Matrix>& q);
ErrorMeasures MeasureError(const Matrix& original, const Matrix& coefficients, int level,
                           const SynthesisTables& tables);

// Only the RMS of CompareSurfaces, for the curves. Precondition: both hold a 65 x 65 block.
double RmsError(const Matrix& original, const Matrix& surface);

}  // namespace analysis
