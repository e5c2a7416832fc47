#include "blac/filters.h"

#include <cstddef>
#include <initializer_list>
#include <optional>
#include <vector>

#include "state/state.h"
#include "linalg/solvers.h"
#include "text/language.h"

namespace {

// The weights tying a coarse scaling function to three fine ones (a, 1, b)
// and the neighbour weight q of the fine inner product.
struct Weights {
  double a, b, q;
};

Weights WeightsFor(double delta) {
  Weights w{};
  w.a = 1 - 0.5 * delta;
  w.b = 1 - w.a;  // deliberately 1 - a, not 0.5 * delta
  w.q = delta / 6;
  return w;
}

void SetRow(Matrix& m, int row, std::initializer_list<double> values) {
  int col = 1;
  for (double v : values) SetElement(m, row, col++, v);
}

// Copies a coefficient set into column col, its first entry at row firstRow.
void PutColumn(Matrix& q, int col, int firstRow, const std::optional<std::vector<double>>& set) {
  if (!set) return;  // cannot happen for the fixed modes used below
  for (std::size_t k = 0; k < set->size(); ++k) {
    SetElement(q, firstRow + static_cast<int>(k), col, (*set)[k]);
  }
}

}  // namespace

Matrix InteriorWaveletSystem(double delta) {
  const auto [a, b, q] = WeightsFor(delta);
  Matrix m(4, 5);
  SetRow(m, 1, {q + b, q * b});
  SetRow(m, 2, {a + q, 1 + q, b + q, b * q});
  SetRow(m, 3, {0, a * q, a + q, 1 + q, q + b});
  SetRow(m, 4, {0, 0, 0, a * q, a + q});
  return m;
}

Matrix LeftWaveletSystem(double delta) {
  const auto [a, b, q] = WeightsFor(delta);
  Matrix m(3, 4);
  SetRow(m, 1, {1 + q, q + b, q * b});
  SetRow(m, 2, {a * q, a + q, 1 + q, q + b});
  SetRow(m, 3, {0, 0, a * q, a + q});
  return m;
}

Matrix RightWaveletSystem(double delta) {
  const auto [a, b, q] = WeightsFor(delta);
  Matrix m(3, 4);
  SetRow(m, 1, {q + b, b * q});
  SetRow(m, 2, {a + q, 1 + q, b + q, b * q});
  SetRow(m, 3, {0, a * q, a + q, 1 + q});
  return m;
}

Matrix BuildSynthesisP(double delta, int j) {
  const int n = 1 << j;
  Matrix p(2 * n + 1, n + 1);
  const double a = 1 - 0.5 * delta;
  SetElement(p, 1, 1, 1.0);
  SetElement(p, 2, 1, 1 - a);
  for (int i = 2; i <= n; ++i) {
    SetElement(p, 2 * i - 2, i, a);
    SetElement(p, 2 * i - 1, i, 1.0);
    SetElement(p, 2 * i, i, 1 - a);
  }
  SetElement(p, 2 * n, n + 1, a);
  SetElement(p, 2 * n + 1, n + 1, 1.0);
  return p;
}

Matrix BuildSynthesisQ(double delta, int j) {
  const int n = 1 << j;
  Matrix q(2 * n + 1, n);

  Matrix left = LeftWaveletSystem(delta);
  PutColumn(q, 1, 1, CalcKoeff(left, delta, j, 3, kKoeffLeft));

  Matrix interiorSystem = InteriorWaveletSystem(delta);
  const auto interior = CalcKoeff(interiorSystem, delta, j, 4, kKoeffInterior);
  for (int i = 2; i <= n - 1; ++i) PutColumn(q, i, 2 * i - 2, interior);

  Matrix right = RightWaveletSystem(delta);
  PutColumn(q, n, 2 * n - 2, CalcKoeff(right, delta, j, 3, kKoeffRight));
  return q;
}

void RecomputeSynthesisMatrices() {
  AppState& s = appState;
  for (int j = s.dataLevel; j >= 2; --j) {
    const auto level = static_cast<std::size_t>(j);
    s.synthesisP[level] = BuildSynthesisP(s.currentDelta, j);
    s.synthesisQ[level] = BuildSynthesisQ(s.currentDelta, j);
  }
}

void FitWavelet() {
  AppState& s = appState;
  Matrix system = InteriorWaveletSystem(s.delta);
  if (s.setGrafikCaption) {
    s.setGrafikCaption(GetElement(system, 1, 1) == 0 ? Tr("Nullmatrix") : Tr("Keine Nullen"));
  }
  const auto coeffs = CalcKoeff(system, s.delta, s.chosenLevel, 4, kKoeffInterior);
  if (!coeffs) return;
  for (std::size_t k = 0; k < s.waveletCoeffs.size(); ++k) s.waveletCoeffs[k] = (*coeffs)[k];
}
