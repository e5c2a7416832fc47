#include "linalg/solvers.h"

#include <cmath>
#include <cstddef>

namespace {

// Entry k (1-based) of a 0-based array.
double& At(std::span<double> v, int k) { return v[static_cast<std::size_t>(k - 1)]; }
double At(std::span<const double> v, int k) { return v[static_cast<std::size_t>(k - 1)]; }

}  // namespace

Matrix CholeskyFactor(const Matrix& a) {
  const int n = GetRows(a);
  Matrix l(n, n);
  for (int j = 1; j <= n; ++j) {
    double s = GetElement(a, j, j);
    for (int k = 1; k <= j - 1; ++k) s = s - GetElement(l, j, k) * GetElement(l, j, k);
    SetElement(l, j, j, std::sqrt(s));
    for (int i = j + 1; i <= n; ++i) {
      s = GetElement(a, i, j);
      for (int k = 1; k <= j - 1; ++k) s = s - GetElement(l, j, k) * GetElement(l, i, k);
      SetElement(l, i, j, s / GetElement(l, j, j));
    }
  }
  return l;
}

std::span<double> ForwardSubstitution(const Matrix& l, std::span<double> y) {
  const int n = GetRows(l);
  for (int i = 1; i <= n; ++i) {
    for (int k = 1; k <= i - 1; ++k) At(y, i) = At(y, i) - GetElement(l, i, k) * At(y, k);
    At(y, i) = At(y, i) / GetElement(l, i, i);
  }
  return y;
}

std::span<double> BackSubstitution(const Matrix& u, std::span<double> y) {
  const int n = GetRows(u);
  for (int i = n; i >= 1; --i) {
    for (int k = n; k >= i + 1; --k) At(y, i) = At(y, i) - GetElement(u, i, k) * At(y, k);
    At(y, i) = At(y, i) / GetElement(u, i, i);
  }
  return y;
}

Matrix Transpose(const Matrix& a) {
  Matrix t(GetCols(a), GetRows(a));
  for (int i = 1; i <= GetCols(a); ++i) {
    for (int j = 1; j <= GetRows(a); ++j) SetElement(t, i, j, GetElement(a, j, i));
  }
  return t;
}

std::optional<std::span<double>> SolveCholesky(const Matrix& a, std::span<double> b) {
  if (GetRows(a) != GetCols(a)) {
    ReportError("Fehler in SolveCholesky: Matrix MUSS quadratisch sein!!");
    return std::nullopt;
  }
  // A right-hand side shorter than the system would be read past its end.
  if (b.size() < static_cast<std::size_t>(GetRows(a))) return std::nullopt;
  const Matrix l = CholeskyFactor(a);
  ForwardSubstitution(l, b);
  const Matrix u = Transpose(l);
  BackSubstitution(u, b);
  return b;
}

std::span<double> NormalizeKoeff(std::span<const double> x, std::span<double> c, double delta,
                                 int n) {
  const int m = n + 1;
  // y_1 .. y_n are the solution, y_m is the fixed last component 1.
  auto y = [&](int k) { return k == m ? 1.0 : At(x, k); };

  double s = 0.0;
  for (int k = 2; k <= m - 1; ++k) s = s + y(k) * y(k);

  double t = 0.0;
  for (int k = 1; k <= m - 1; ++k) {
    const double lo = y(k);
    const double hi = y(k + 1);
    t = t + (lo * lo * lo + hi * hi * hi) / (lo + hi);
  }

  const double norm =
      (1 - 0.5 * delta) * (y(1) * y(1) + 1) + (1 - delta) * s + 0.5 * delta * t;
  const double factor = std::sqrt(1 / norm);
  At(c, m) = factor;
  for (int i = 1; i <= n; ++i) At(c, i) = At(x, i) * factor;
  return c;
}

std::optional<std::vector<double>> CalcKoeff(Matrix& m, double delta, int /*j*/, int n,
                                             int koeffMode) {
  if (GetRows(m) != n || GetCols(m) != n + 1) {
    ReportError("Fehler in CalcKoeff: Matrix muss eine Spalte mehr als Zeilen haben!");
    return std::nullopt;
  }
  std::vector<double> c(static_cast<std::size_t>(n) + 1, 0.0);

  if (delta != 0.0) {
    // The systems have nothing below the first subdiagonal, so eliminating
    // that one diagonal leaves the first n columns upper triangular.
    for (int k = 1; k <= n - 1; ++k) {
      const double f = GetElement(m, k + 1, k) / GetElement(m, k, k);
      for (int col = k; col <= n + 1; ++col) {
        SetElement(m, k + 1, col, GetElement(m, k + 1, col) - GetElement(m, k, col) * f);
      }
    }
    // The unknown of the last column is fixed at 1.
    std::vector<double> storage(static_cast<std::size_t>(n), 0.0);
    const std::span<double> x(storage);
    for (int i = n; i >= 1; --i) {
      double s = 0.0;
      for (int col = i + 1; col <= n; ++col) s = s + GetElement(m, i, col) * At(x, col);
      s = s + GetElement(m, i, n + 1);
      At(x, i) = -s / GetElement(m, i, i);
    }
    NormalizeKoeff(x, c, delta, n);
    return c;
  }

  // Delta 0 puts a zero pivot into every system, so the Haar-like sets are fixed.
  std::span<const double> fixed;
  static constexpr double kLeft[] = {0, 0.70444, -0.70444, 0};
  static constexpr double kRight[] = {0, 0, 0.70444, -0.70444};
  static constexpr double kInterior[] = {0, 0, 0.70444, -0.704449, 0};
  switch (koeffMode) {
    case kKoeffLeft: fixed = kLeft; break;
    case kKoeffRight: fixed = kRight; break;
    case kKoeffInterior: fixed = kInterior; break;
    default: return std::nullopt;
  }
  for (std::size_t k = 0; k < c.size() && k < fixed.size(); ++k) c[k] = fixed[k];
  return c;
}
