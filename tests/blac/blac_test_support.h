#pragma once
// Independent expected values for the filter and decomposition tests.
#include <cstring>

#include "state/state.h"
#include "blac/filters.h"
#include "linalg/matrix.h"
#include "linalg/solvers.h"

namespace blac_test {

// H: 1 on the diagonal, Delta / 6 beside it.
inline Matrix FineInnerProduct(double delta, int size) {
  Matrix h(size, size);
  for (int i = 1; i <= size; ++i) {
    SetElement(h, i, i, 1.0);
    if (i > 1) SetElement(h, i, i - 1, delta / 6);
    if (i < size) SetElement(h, i, i + 1, delta / 6);
  }
  return h;
}

inline Matrix Times(const Matrix& a, const Matrix& b) { return (a * b).value(); }
inline Matrix Gram(const Matrix& a, const Matrix& h, const Matrix& b) {  // a^T H b
  return Times(Times(Transpose(a), h), b);
}

inline Matrix Column(const double* values, int count) {
  Matrix m(count, 1);
  for (int i = 1; i <= count; ++i) SetElement(m, i, 1, values[i - 1]);
  return m;
}

inline bool SameBits(const Matrix& a, const Matrix& b) {
  return a.rows == b.rows && a.cols == b.cols &&
         std::memcmp(a.data.get(), b.data.get(), sizeof(double) * a.rows * a.cols) == 0;
}

// Fresh state at top level `top` with the filter matrices for `delta` and,
// if asked, the sample surface of that level.
inline void StartWithDelta(double delta, bool withSample = true, int top = 6) {
  ResetAppState();
  SetTopLevel(top);
  appState.delta = appState.currentDelta = delta;
  FillPowerTables();
  if (withSample) GenerateSampleSurface(appState.dataLevel);
  RecomputeSynthesisMatrices();
}

}  // namespace blac_test
