#pragma once
// How far a coefficient state, synthesised back to the top level, lies from
// the original surface, over all its points. The top level T is the
// original's (TopLevelOf): 6 for a 65 x 65 original, 7..9 for 129, 257, 513.
#include <optional>
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

// Compares the top-left n(T) x n(T) blocks of both matrices, e = surface - original.
// A NaN anywhere in e makes maxAbs and rms NaN. Matrices too small for the
// block give NaN measures.
ErrorMeasures CompareSurfaces(const Matrix& original, const Matrix& surface);

// The surface that MeasureError compares with the original: a copy of the
// top-left n(top) x n(top) block of `coefficients` (analysed down to `level`,
// 2..top), synthesised up to `top` with the tables P[j], Q[j] of
// j = level..top-1 (the vectors indexed by level, as appState.synthesisP /
// synthesisQ). At the top level it is the copy itself and the tables are not
// read. Nothing for a bad level, matrix or tables.
std::optional<Matrix> ReconstructSurface(const Matrix& coefficients, int level, int top,
                                         const std::vector<Matrix>& p, const std::vector<Matrix>& q);

// Compares ReconstructSurface(coefficients, level, T, p, q) with the original.
// The coefficients are not changed. Bad levels, matrices or tables give NaN measures.
ErrorMeasures MeasureError(const Matrix& original, const Matrix& coefficients, int level,
                           const std::vector<Matrix>& p, const std::vector<Matrix>& q);
ErrorMeasures MeasureError(const Matrix& original, const Matrix& coefficients, int level,
                           const SynthesisTables& tables);

// Only the RMS of CompareSurfaces, for the curves. Precondition: both hold the n(T) x n(T) block.
double RmsError(const Matrix& original, const Matrix& surface);

}  // namespace analysis
