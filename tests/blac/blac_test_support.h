#pragma once
// Independent expected values for the filter and decomposition tests.
#include <cmath>
#include <cstddef>
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

// n values equal bit for bit, except that any NaN matches any NaN: which
// NaN comes out of an operation on two NaNs (or its sign) depends on the
// operand order, which an optimising compiler may swap.
inline bool SameBits(const double* a, const double* b, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) {
    if (std::isnan(a[i]) && std::isnan(b[i])) continue;
    if (std::memcmp(&a[i], &b[i], sizeof(double)) != 0) return false;
  }
  return true;
}

inline bool SameBits(const Matrix& a, const Matrix& b) {
  return a.rows == b.rows && a.cols == b.cols &&
         SameBits(a.data.get(), b.data.get(), static_cast<std::size_t>(a.rows) * a.cols);
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
