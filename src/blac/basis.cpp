#include "blac/basis.h"

#include "app/state.h"
#include "linalg/matrix.h"

namespace {

// The trapezoid: ramp of width d up from 0, plateau to 1, ramp of width d down.
// d == 0 is the box on (0, 1], closed at 1 and open at 0.
inline double Trapezoid(double x, double d) {
  if (d == 0.0) return (x > 0.0 && x <= 1.0) ? 1.0 : 0.0;
  if (x <= 0.0 || x >= 1.0 + d) return 0.0;
  if (x < d) return x / d;
  if (x <= 1.0) return 1.0;
  if (x < 1.0 + d) return (1.0 - x) / d + 1.0;
  return 0.0;  // only NaN gets here
}

// The argument is formed exactly this way so that dilation and translation
// round the same in every caller.
inline double DilatedArgument(double x, int k, int j) {
  const AppState& s = appState;
  return (x - static_cast<double>(k) * s.invPow2[j]) * s.pow2[j];
}

// Truncation toward zero (not floor): points slightly left of 0 land in cell 0.
inline int CellIndex(double x, int j) { return static_cast<int>(x * appState.pow2[j]); }

inline double Coefficient(int a, int b) { return GetElement(appState.dataMatrix, a + 2, b + 2); }

}  // namespace

double PhiCurrent(double x) { return Trapezoid(x, appState.currentDelta); }
double PhiView(double x) { return Trapezoid(x, appState.delta); }

double PhiCurrentJK(double x, int k, int j) { return PhiCurrent(DilatedArgument(x, k, j)); }
double PhiViewJK(double x, int k, int j) { return PhiView(DilatedArgument(x, k, j)); }

double PhiViewLevel(double x) { return PhiView(appState.pow2[appState.chosenLevel] * x); }

double PsiViewJ(double x, int j) {
  const AppState& s = appState;
  const auto& w = s.waveletCoeffs;
  if (x <= 0.0 || x >= 3.0 * s.invPow2[j]) return 0.0;
  const int m = static_cast<int>(x * s.pow2[j + 1]);
  // Only the two fine translates that overlap fine cell m can be non-zero.
  if (m >= 1 && m <= 4) {
    return PhiViewJK(x, m - 1, j + 1) * w[m - 1] + PhiViewJK(x, m, j + 1) * w[m];
  }
  if (m == 5) return PhiViewJK(x, 4, j + 1) * w[4];
  return PhiViewJK(x, 0, j + 1) * w[0];
}

double PsiViewLevel(double x) { return PsiViewJ(x, appState.chosenLevel); }

double PsiCurrentJK(double x, int k, int j) {
  const AppState& s = appState;
  if (static_cast<double>(k) * s.invPow2[j] >= x || static_cast<double>(k + 3) * s.invPow2[j] <= x) {
    return 0.0;
  }
  const int n = s.intPow2[j];
  const int fine = s.intPow2[j + 1];
  const Matrix& q = s.synthesisQ[j];
  const int jj = j + 1;
  double sum = 0.0;
  if (k >= 0 && k < n - 2) {
    // Interior wavelets are translates of the one in column 2.
    const double shifted = x - static_cast<double>(2 * k) * s.invPow2[j + 1];
    for (int m = 0; m <= 4; ++m) sum += PhiCurrentJK(shifted, m, jj) * GetElement(q, m + 2, 2);
  } else if (k == -1) {
    for (int m = -1; m <= 2; ++m) sum += PhiCurrentJK(x, m, jj) * GetElement(q, m + 2, 1);
  } else if (k == n - 2) {
    for (int m = fine - 4; m <= fine - 1; ++m) sum += PhiCurrentJK(x, m, jj) * GetElement(q, m + 2, n);
  }
  return sum;
}

// The expansions visit only the basis functions that can be non-zero in the
// point's cell. Each basis value is computed once per axis; the terms are then
// summed in their fixed order under their conditions, which also keep every
// coefficient read at matrix index 1 or above.

double EvalPhiPhi(double x, double y, int j) {
  const int i = CellIndex(x, j);
  const int k = CellIndex(y, j);
  if (i < 0 || k < 0) return -1.0;
  const double xi = PhiCurrentJK(x, i, j);
  const double xi1 = PhiCurrentJK(x, i - 1, j);
  const double yk = PhiCurrentJK(y, k, j);
  const double yk1 = PhiCurrentJK(y, k - 1, j);
  double s = 0.0;
  s += xi * Coefficient(i, k) * yk;
  s += xi1 * Coefficient(i - 1, k) * yk;
  s += xi * Coefficient(i, k - 1) * yk1;
  s += xi1 * Coefficient(i - 1, k - 1) * yk1;
  return s;
}

double EvalPhiPsi(double x, double y, int j) {
  const int i = CellIndex(x, j);
  const int k = CellIndex(y, j);
  if (i < 0 || k < 0) return -1.0;
  const int n = appState.intPow2[j];
  const bool iInner = i < n - 1;
  const bool kInner = k < n - 1;
  const double xi = iInner ? PhiCurrentJK(x, i, j) : 0.0;
  const double xi1 = PhiCurrentJK(x, i - 1, j);
  const double yk = kInner ? PsiCurrentJK(y, k, j) : 0.0;
  const double yk1 = PsiCurrentJK(y, k - 1, j);
  const double yk2 = k > 0 ? PsiCurrentJK(y, k - 2, j) : 0.0;
  double s = 0.0;
  if (iInner && kInner) s += xi * Coefficient(i, k) * yk;
  if (iInner) s += xi * Coefficient(i, k - 1) * yk1;
  if (k > 0 && iInner) s += xi * Coefficient(i, k - 2) * yk2;
  if (kInner) s += xi1 * Coefficient(i - 1, k) * yk;
  s += xi1 * Coefficient(i - 1, k - 1) * yk1;
  if (k > 0) s += xi1 * Coefficient(i - 1, k - 2) * yk2;
  return s;
}

double EvalPsiPsi(double x, double y, int j) {
  const int i = CellIndex(x, j);
  const int k = CellIndex(y, j);
  if (i < 0 || k < 0) return -1.0;
  const int n = appState.intPow2[j];
  const bool iInner = i < n - 1;
  const bool kInner = k < n - 1;
  const double xi = iInner ? PsiCurrentJK(x, i, j) : 0.0;
  const double xi1 = PsiCurrentJK(x, i - 1, j);
  const double xi2 = i > 0 ? PsiCurrentJK(x, i - 2, j) : 0.0;
  const double yk = kInner ? PsiCurrentJK(y, k, j) : 0.0;
  const double yk1 = PsiCurrentJK(y, k - 1, j);
  const double yk2 = k > 0 ? PsiCurrentJK(y, k - 2, j) : 0.0;
  double s = 0.0;
  if (iInner && kInner) s += xi * Coefficient(i, k) * yk;
  if (iInner) s += xi * Coefficient(i, k - 1) * yk1;
  if (k > 0 && iInner) s += xi * Coefficient(i, k - 2) * yk2;
  if (kInner) s += xi1 * Coefficient(i - 1, k) * yk;
  s += xi1 * Coefficient(i - 1, k - 1) * yk1;
  if (k > 0) s += xi1 * Coefficient(i - 1, k - 2) * yk2;
  if (i > 0 && kInner) s += xi2 * Coefficient(i - 2, k) * yk;
  if (i > 0) s += xi2 * Coefficient(i - 2, k - 1) * yk1;
  if (i > 0 && k > 0) s += xi2 * Coefficient(i - 2, k - 2) * yk2;
  return s;
}

double EvalPsiPhi(double x, double y, int j) {
  const int i = CellIndex(x, j);
  const int k = CellIndex(y, j);
  if (i < 0 || k < 0) return -1.0;
  const int n = appState.intPow2[j];
  const bool iInner = i < n - 1;
  const bool kInner = k < n - 1;
  const double xi = iInner ? PsiCurrentJK(x, i, j) : 0.0;
  const double xi1 = PsiCurrentJK(x, i - 1, j);
  const double xi2 = i > 0 ? PsiCurrentJK(x, i - 2, j) : 0.0;
  const double yk = kInner ? PhiCurrentJK(y, k, j) : 0.0;
  const double yk1 = PhiCurrentJK(y, k - 1, j);
  double s = 0.0;
  if (kInner && iInner) s += xi * Coefficient(i, k) * yk;
  if (kInner) s += xi1 * Coefficient(i - 1, k) * yk;
  if (i > 0 && kInner) s += xi2 * Coefficient(i - 2, k) * yk;
  if (iInner) s += xi * Coefficient(i, k - 1) * yk1;
  s += xi1 * Coefficient(i - 1, k - 1) * yk1;
  if (i > 0) s += xi2 * Coefficient(i - 2, k - 1) * yk1;
  return s;
}
