#include "blac/basis.h"

#include <vector>

#include "linalg/matrix.h"
#include "state/state.h"

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

// Powers of two as the power tables hold them (exact), for the family that
// takes its inputs as arguments.
constexpr double kPow2[kTableSize] = {1, 2, 4, 8, 16, 32, 64, 128, 256, 512, 1024};
constexpr double kInvPow2[kTableSize] = {1,         0.5,        0.25,        0.125,
                                         0.0625,    0.03125,    0.015625,    0.0078125,
                                         0.00390625, 0.001953125, 0.0009765625};
constexpr int kIntPow2[kTableSize] = {1, 2, 4, 8, 16, 32, 64, 128, 256, 512, 1024};

// The argument is formed exactly this way so that dilation and translation
// round the same in every caller.
inline double DilatedArgument(double x, int k, int j, const double* pow2, const double* invPow2) {
  return (x - static_cast<double>(k) * invPow2[j]) * pow2[j];
}

// Truncation toward zero (not floor): points slightly left of 0 land in cell 0.
inline int CellIndex(double x, int j) { return static_cast<int>(x * kPow2[j]); }

// The data view's cells reach a step width past the unit square; at 513
// points those basis functions lie past the matrix and count as 0 (below 513
// the matrix holds zeros there).
inline double Coefficient(const CurrentFamily& f, int a, int b) {
  const Matrix& m = *f.coefficients;
  if (a + 2 > m.rows || b + 2 > m.cols) return 0.0;
  return GetElement(m, a + 2, b + 2);
}

}  // namespace

CurrentFamily CurrentFamilyOfAppState() {
  return {appState.currentDelta, &appState.synthesisQ, &appState.dataMatrix};
}

double PhiCurrent(double x) { return Trapezoid(x, appState.currentDelta); }
double PhiView(double x) { return Trapezoid(x, appState.delta); }

double PhiCurrentJKOf(const CurrentFamily& f, double x, int k, int j) {
  return Trapezoid(DilatedArgument(x, k, j, kPow2, kInvPow2), f.delta);
}
double PhiCurrentJK(double x, int k, int j) {
  return PhiCurrentJKOf(CurrentFamilyOfAppState(), x, k, j);
}
double PhiViewJK(double x, int k, int j) {
  return PhiView(DilatedArgument(x, k, j, appState.pow2.data(), appState.invPow2.data()));
}

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

double PsiCurrentJKOf(const CurrentFamily& f, double x, int k, int j) {
  if (static_cast<double>(k) * kInvPow2[j] >= x || static_cast<double>(k + 3) * kInvPow2[j] <= x) {
    return 0.0;
  }
  const int n = kIntPow2[j];
  const int fine = kIntPow2[j + 1];
  const Matrix& q = (*f.synthesisQ)[static_cast<std::size_t>(j)];
  const int jj = j + 1;
  double sum = 0.0;
  if (k >= 0 && k < n - 2) {
    // Interior wavelets are translates of the one in column 2.
    const double shifted = x - static_cast<double>(2 * k) * kInvPow2[j + 1];
    for (int m = 0; m <= 4; ++m) sum += PhiCurrentJKOf(f, shifted, m, jj) * GetElement(q, m + 2, 2);
  } else if (k == -1) {
    for (int m = -1; m <= 2; ++m) sum += PhiCurrentJKOf(f, x, m, jj) * GetElement(q, m + 2, 1);
  } else if (k == n - 2) {
    for (int m = fine - 4; m <= fine - 1; ++m) {
      sum += PhiCurrentJKOf(f, x, m, jj) * GetElement(q, m + 2, n);
    }
  }
  return sum;
}

double PsiCurrentJK(double x, int k, int j) {
  return PsiCurrentJKOf(CurrentFamilyOfAppState(), x, k, j);
}

// The expansions visit only the basis functions that can be non-zero in the
// point's cell. Each basis value is computed once per axis; the terms are then
// summed in their fixed order under their conditions, which also keep every
// coefficient read at matrix index 1 or above.

double EvalPhiPhiOf(const CurrentFamily& f, double x, double y, int j) {
  const int i = CellIndex(x, j);
  const int k = CellIndex(y, j);
  if (i < 0 || k < 0) return -1.0;
  const double xi = PhiCurrentJKOf(f, x, i, j);
  const double xi1 = PhiCurrentJKOf(f, x, i - 1, j);
  const double yk = PhiCurrentJKOf(f, y, k, j);
  const double yk1 = PhiCurrentJKOf(f, y, k - 1, j);
  double s = 0.0;
  s += xi * Coefficient(f, i, k) * yk;
  s += xi1 * Coefficient(f, i - 1, k) * yk;
  s += xi * Coefficient(f, i, k - 1) * yk1;
  s += xi1 * Coefficient(f, i - 1, k - 1) * yk1;
  return s;
}

double EvalPhiPsiOf(const CurrentFamily& f, double x, double y, int j) {
  const int i = CellIndex(x, j);
  const int k = CellIndex(y, j);
  if (i < 0 || k < 0) return -1.0;
  const int n = kIntPow2[j];
  const bool iInner = i < n - 1;
  const bool kInner = k < n - 1;
  const double xi = iInner ? PhiCurrentJKOf(f, x, i, j) : 0.0;
  const double xi1 = PhiCurrentJKOf(f, x, i - 1, j);
  const double yk = kInner ? PsiCurrentJKOf(f, y, k, j) : 0.0;
  const double yk1 = PsiCurrentJKOf(f, y, k - 1, j);
  const double yk2 = k > 0 ? PsiCurrentJKOf(f, y, k - 2, j) : 0.0;
  double s = 0.0;
  if (iInner && kInner) s += xi * Coefficient(f, i, k) * yk;
  if (iInner) s += xi * Coefficient(f, i, k - 1) * yk1;
  if (k > 0 && iInner) s += xi * Coefficient(f, i, k - 2) * yk2;
  if (kInner) s += xi1 * Coefficient(f, i - 1, k) * yk;
  s += xi1 * Coefficient(f, i - 1, k - 1) * yk1;
  if (k > 0) s += xi1 * Coefficient(f, i - 1, k - 2) * yk2;
  return s;
}

double EvalPsiPsiOf(const CurrentFamily& f, double x, double y, int j) {
  const int i = CellIndex(x, j);
  const int k = CellIndex(y, j);
  if (i < 0 || k < 0) return -1.0;
  const int n = kIntPow2[j];
  const bool iInner = i < n - 1;
  const bool kInner = k < n - 1;
  const double xi = iInner ? PsiCurrentJKOf(f, x, i, j) : 0.0;
  const double xi1 = PsiCurrentJKOf(f, x, i - 1, j);
  const double xi2 = i > 0 ? PsiCurrentJKOf(f, x, i - 2, j) : 0.0;
  const double yk = kInner ? PsiCurrentJKOf(f, y, k, j) : 0.0;
  const double yk1 = PsiCurrentJKOf(f, y, k - 1, j);
  const double yk2 = k > 0 ? PsiCurrentJKOf(f, y, k - 2, j) : 0.0;
  double s = 0.0;
  if (iInner && kInner) s += xi * Coefficient(f, i, k) * yk;
  if (iInner) s += xi * Coefficient(f, i, k - 1) * yk1;
  if (k > 0 && iInner) s += xi * Coefficient(f, i, k - 2) * yk2;
  if (kInner) s += xi1 * Coefficient(f, i - 1, k) * yk;
  s += xi1 * Coefficient(f, i - 1, k - 1) * yk1;
  if (k > 0) s += xi1 * Coefficient(f, i - 1, k - 2) * yk2;
  if (i > 0 && kInner) s += xi2 * Coefficient(f, i - 2, k) * yk;
  if (i > 0) s += xi2 * Coefficient(f, i - 2, k - 1) * yk1;
  if (i > 0 && k > 0) s += xi2 * Coefficient(f, i - 2, k - 2) * yk2;
  return s;
}

double EvalPsiPhiOf(const CurrentFamily& f, double x, double y, int j) {
  const int i = CellIndex(x, j);
  const int k = CellIndex(y, j);
  if (i < 0 || k < 0) return -1.0;
  const int n = kIntPow2[j];
  const bool iInner = i < n - 1;
  const bool kInner = k < n - 1;
  const double xi = iInner ? PsiCurrentJKOf(f, x, i, j) : 0.0;
  const double xi1 = PsiCurrentJKOf(f, x, i - 1, j);
  const double xi2 = i > 0 ? PsiCurrentJKOf(f, x, i - 2, j) : 0.0;
  const double yk = kInner ? PhiCurrentJKOf(f, y, k, j) : 0.0;
  const double yk1 = PhiCurrentJKOf(f, y, k - 1, j);
  double s = 0.0;
  if (kInner && iInner) s += xi * Coefficient(f, i, k) * yk;
  if (kInner) s += xi1 * Coefficient(f, i - 1, k) * yk;
  if (i > 0 && kInner) s += xi2 * Coefficient(f, i - 2, k) * yk;
  if (iInner) s += xi * Coefficient(f, i, k - 1) * yk1;
  s += xi1 * Coefficient(f, i - 1, k - 1) * yk1;
  if (i > 0) s += xi2 * Coefficient(f, i - 2, k - 1) * yk1;
  return s;
}

double EvalPhiPhi(double x, double y, int j) {
  return EvalPhiPhiOf(CurrentFamilyOfAppState(), x, y, j);
}

double EvalPhiPsi(double x, double y, int j) {
  return EvalPhiPsiOf(CurrentFamilyOfAppState(), x, y, j);
}

double EvalPsiPsi(double x, double y, int j) {
  return EvalPsiPsiOf(CurrentFamilyOfAppState(), x, y, j);
}

double EvalPsiPhi(double x, double y, int j) {
  return EvalPsiPhiOf(CurrentFamilyOfAppState(), x, y, j);
}
