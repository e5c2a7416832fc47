#include "blac/decomposition.h"

#include <cmath>
#include <cstddef>
#include <span>

#include "app/state.h"
#include "blac/filters.h"
#include "linalg/solvers.h"

// A level step solves the same two Gram systems for every row and column, and
// the synthesis matrices are mostly zeros. The step functions below therefore
// build each Gram matrix and its Cholesky factor once per step and skip the
// terms whose factor is an exact zero. A skipped term would subtract or add a
// zero, which leaves every value unchanged except a zero with its sign bit set
// (-0 - (-0) is +0) and anything after an infinity or NaN has appeared; those
// entries go through the full loops. The results are bit for bit those of
// SolveCholesky, the projections and the matrix product and sum.

namespace {

std::size_t Idx(int k) { return static_cast<std::size_t>(k); }

// Wavelet templates from synthesisQ[2], 1-based (index 0 unused).
struct Templates {
  double l[5];
  double m[6];
  double r[5];
};

Templates ReadTemplates() {
  const Matrix& q2 = appState.synthesisQ[2];
  Templates t{};
  for (int k = 1; k <= 4; ++k) t.l[k] = GetElement(q2, k, 1);
  for (int k = 1; k <= 5; ++k) t.m[k] = GetElement(q2, k + 1, 2);
  for (int k = 1; k <= 4; ++k) t.r[k] = GetElement(q2, k + 5, 4);
  return t;
}

// Entry k (1-based) of a 0-based result array.
double& Out(std::span<double> v, int k) { return v[Idx(k - 1)]; }

// s points at rowBuffer, so s[k] is sample k.
void CoarseProjectionInto(double delta, int j, const double* s, std::span<double> out) {
  const int n = 1 << j;
  const double a = 1 - 0.5 * delta;
  const double q = delta / 6;
  Out(out, 1) = (1 + q) * s[1] + (q + 1 - a) * s[2] + (1 - a) * q * s[3];
  for (int i = 2; i <= n; ++i) {
    const double u =
        (a + q) * s[2 * i - 2] + a * q * s[2 * i - 3] + (1 + q) * s[2 * i - 1];
    Out(out, i) = (q + 1 - a) * s[2 * i] + (1 - a) * q * s[2 * i + 1] + u;
  }
  Out(out, n + 1) = (a + q) * s[2 * n] + a * q * s[2 * n - 1] + (1 + q) * s[2 * n + 1];
}

void WaveletProjectionInto(double delta, int j, const Templates& tp, const double* s,
                           std::span<double> out) {
  const int n = 1 << j;
  const double q = delta / 6;
  const double* l = tp.l;
  const double* m = tp.m;
  const double* r = tp.r;

  double e = (l[2] * q + l[1]) * s[1] + (l[1] * q + l[2] + l[3] * q) * s[2] +
             (l[2] * q + l[3] + l[4] * q) * s[3];
  Out(out, 1) = (l[3] * q + l[4]) * s[4] + s[5] * l[4] * q + e;

  for (int i = 2; i <= n - 1; ++i) {
    double u = (m[2] * q + m[1]) * s[2 * i - 2] + s[2 * i - 3] * m[1] * q +
               (m[1] * q + m[2] + m[3] * q) * s[2 * i - 1];
    u = (m[2] * q + m[3] + m[4] * q) * s[2 * i] + (m[3] * q + m[4] + m[5] * q) * s[2 * i + 1] + u;
    Out(out, i) = (m[4] * q + m[5]) * s[2 * i + 2] + s[2 * i + 3] * m[5] * q + u;
  }

  e = (r[2] * q + r[1]) * s[2 * n - 2] + r[1] * q * s[2 * n - 3] +
      (r[1] * q + r[2] + r[3] * q) * s[2 * n - 1];
  Out(out, n) = (r[2] * q + r[3] + r[4] * q) * s[2 * n] + (r[3] * q + r[4]) * s[2 * n + 1] + e;
}

Matrix WaveletGramFrom(double delta, int j, const Templates& tp) {
  const int n = 1 << j;
  const double q = delta / 6;
  const double t = delta / 3;
  const double* l = tp.l;
  const double* m = tp.m;
  const double* r = tp.r;
  Matrix g(n, n);

  SetElement(g, 1, 1,
             (l[1] * l[1] + l[2] * l[2] + l[3] * l[3] + l[4] * l[4]) +
                 (l[1] * l[2] + l[2] * l[3] + l[3] * l[4]) * t);
  const double o1 = (m[1] * l[2] + m[2] * l[3] + m[3] * l[4]) +
                    (m[1] * l[1] + m[1] * l[3] + m[2] * l[2] + m[2] * l[4] + m[3] * l[3] +
                     m[4] * l[4]) * q;
  SetElement(g, 1, 2, o1);
  SetElement(g, 2, 1, o1);

  const double neighbours = m[1] * m[2] + m[2] * m[3] + m[3] * m[4] + m[4] * m[5];
  const double dm =
      neighbours * t + m[1] * m[1] + m[2] * m[2] + m[3] * m[3] + m[4] * m[4] + m[5] * m[5];
  const double om = (m[2] * m[4] + m[3] * m[5]) + neighbours * q;
  for (int i = 2; i <= n - 2; ++i) {
    SetElement(g, i, i, dm);
    SetElement(g, i, i + 1, om);
    SetElement(g, i + 1, i, om);
  }
  SetElement(g, n - 1, n - 1, dm);

  const double dr = (r[1] * r[1] + r[2] * r[2] + r[3] * r[3] + r[4] * r[4]) +
                    (r[1] * r[2] + r[2] * r[3] + r[3] * r[4]) * t;
  const double orr = (m[3] * r[1] + m[4] * r[2] + m[5] * r[3]) +
                     (m[2] * r[1] + m[4] * r[1] + m[3] * r[2] + m[5] * r[2] + m[4] * r[3] +
                      m[5] * r[4]) * q;
  SetElement(g, n, n, dr);
  SetElement(g, n - 1, n, orr);
  SetElement(g, n, n - 1, orr);
  return g;
}

bool NegativeZero(double x) { return x == 0.0 && std::signbit(x); }

// The Cholesky factor of one Gram matrix, kept for all rows of a step.
class CachedCholesky {
public:
  explicit CachedCholesky(const Matrix& a)
      : l_(CholeskyFactor(a)), u_(Transpose(l_)), n_(GetRows(a)) {
    // The shortcut needs every entry below the first subdiagonal to be a zero.
    for (int i = 3; i <= n_ && bidiagonal_; ++i) {
      for (int k = 1; k <= i - 2; ++k) {
        if (GetElement(l_, i, k) != 0.0) {
          bidiagonal_ = false;
          break;
        }
      }
    }
  }

  // Same result as SolveCholesky(a, b) for b of n entries.
  void Solve(std::span<double> b) const {
    if (!bidiagonal_) {
      ForwardSubstitution(l_, b);
      BackSubstitution(u_, b);
      return;
    }
    const int n = n_;
    // b[k - 1] is entry k, as in the solver.
    bool finiteSoFar = true;
    for (int i = 1; i <= n; ++i) {
      double bi = b[Idx(i - 1)];
      if (finiteSoFar && std::isfinite(bi) && !NegativeZero(bi)) {
        if (i > 1) bi = bi - GetElement(l_, i, i - 1) * b[Idx(i - 2)];
      } else {
        for (int k = 1; k <= i - 1; ++k) bi = bi - GetElement(l_, i, k) * b[Idx(k - 1)];
      }
      bi = bi / GetElement(l_, i, i);
      b[Idx(i - 1)] = bi;
      finiteSoFar = finiteSoFar && std::isfinite(bi);
    }
    finiteSoFar = true;
    for (int i = n; i >= 1; --i) {
      double bi = b[Idx(i - 1)];
      if (finiteSoFar && std::isfinite(bi) && !NegativeZero(bi)) {
        if (i < n) bi = bi - GetElement(u_, i, i + 1) * b[Idx(i)];
      } else {
        for (int k = n; k >= i + 1; --k) bi = bi - GetElement(u_, i, k) * b[Idx(k - 1)];
      }
      bi = bi / GetElement(u_, i, i);
      b[Idx(i - 1)] = bi;
      finiteSoFar = finiteSoFar && std::isfinite(bi);
    }
  }

private:
  Matrix l_;
  Matrix u_;
  int n_;
  bool bidiagonal_ = true;
};

// One row or column of a decomposition step.
struct StepContext {
  double delta;
  int j;
  int n;
  Templates templates;
  CachedCholesky coarse;
  CachedCholesky wavelet;
  std::vector<double> c;  // n + 1 coarse coefficients
  std::vector<double> w;  // n wavelet coefficients

  void Analyse(const double* samples) {
    CoarseProjectionInto(delta, j, samples, c);
    coarse.Solve(c);
    WaveletProjectionInto(delta, j, templates, samples, w);
    wavelet.Solve(w);
  }
};

// A matrix row by row as its non-zero entries; a product with a finite vector
// may skip the rest, since its accumulator (starting at +0) is never -0.
class SparseRows {
public:
  explicit SparseRows(const Matrix& m) : dense_(m), start_(Idx(m.rows) + 1, 0) {
    for (int i = 1; i <= m.rows; ++i) {
      for (int k = 1; k <= m.cols; ++k) {
        const double v = GetElement(m, i, k);
        if (v != 0.0) entries_.push_back({k, v});
      }
      start_[Idx(i)] = entries_.size();
    }
  }

  // Entry i (1-based) of m * v, v 0-based of m.cols entries.
  double RowTimes(int i, const double* v, bool vFinite) const {
    double s = 0.0;
    if (vFinite) {
      for (std::size_t e = start_[Idx(i - 1)]; e < start_[Idx(i)]; ++e) {
        s = s + entries_[e].value * v[Idx(entries_[e].col - 1)];
      }
    } else {
      for (int k = 1; k <= dense_.cols; ++k) s = s + GetElement(dense_, i, k) * v[Idx(k - 1)];
    }
    return s;
  }

private:
  struct Entry {
    int col;
    double value;
  };
  const Matrix& dense_;
  std::vector<Entry> entries_;
  std::vector<std::size_t> start_;
};

bool AllFinite(const std::vector<double>& v) {
  for (double x : v) {
    if (!std::isfinite(x)) return false;
  }
  return true;
}

}  // namespace

Matrix CoarseGram(double delta, int j) {
  const int n = 1 << j;
  const double a = 1 - 0.5 * delta;
  const double q = delta / 6;
  const double t = delta / 3;
  Matrix g(n + 1, n + 1);
  SetElement(g, 1, 1, (t + (1 - a)) * (1 - a) + 1);
  SetElement(g, 1, 2, (1 - a) * a + q);
  SetElement(g, 2, 1, (1 - a) * a + q);
  const double d = (1 - a) * (1 - a) + (a * a + 1) + t;
  const double o = (1 - a) * a + q;
  for (int i = 2; i <= n; ++i) {
    SetElement(g, i, i, d);
    SetElement(g, i, i + 1, o);
    SetElement(g, i + 1, i, o);
  }
  SetElement(g, n + 1, n + 1, a * a + a * t + 1);
  return g;
}

std::vector<double> CoarseProjection(double delta, int j) {
  std::vector<double> out(Idx((1 << j) + 1));
  CoarseProjectionInto(delta, j, appState.rowBuffer.data(), out);
  return out;
}

Matrix WaveletGram(double delta, int j) { return WaveletGramFrom(delta, j, ReadTemplates()); }

std::vector<double> WaveletProjection(double delta, int j) {
  std::vector<double> out(Idx(1 << j));
  WaveletProjectionInto(delta, j, ReadTemplates(), appState.rowBuffer.data(), out);
  return out;
}

void DecomposeLevel(int j) {
  AppState& s = appState;
  const double delta = s.currentDelta;
  s.synthesisQ[2] = BuildSynthesisQ(delta, 2);
  const Templates templates = ReadTemplates();

  const int n = 1 << j;
  const int size = 2 * n + 1;
  StepContext step{delta,
                   j,
                   n,
                   templates,
                   CachedCholesky(CoarseGram(delta, j)),
                   CachedCholesky(WaveletGramFrom(delta, j, templates)),
                   std::vector<double>(Idx(n + 1)),
                   std::vector<double>(Idx(n))};
  Matrix& data = s.dataMatrix;
  double* buffer = s.rowBuffer.data();

  for (int r = 1; r <= size; ++r) {
    for (int k = 1; k <= size; ++k) buffer[k] = GetElement(data, r, k);
    step.Analyse(buffer);
    for (int k = 1; k <= n + 1; ++k) SetElement(data, r, k, step.c[Idx(k - 1)]);
    for (int k = 1; k <= n; ++k) SetElement(data, r, n + 1 + k, step.w[Idx(k - 1)]);
  }
  for (int col = 1; col <= size; ++col) {
    for (int k = 1; k <= size; ++k) buffer[k] = GetElement(data, k, col);
    step.Analyse(buffer);
    for (int k = 1; k <= n + 1; ++k) SetElement(data, k, col, step.c[Idx(k - 1)]);
    for (int k = 1; k <= n; ++k) SetElement(data, n + 1 + k, col, step.w[Idx(k - 1)]);
  }
}

void ReconstructLevel(int j) {
  AppState& s = appState;
  const int n = 1 << j;
  const int size = 2 * n + 1;
  const SparseRows p(s.synthesisP[Idx(j)]);
  const SparseRows q(s.synthesisQ[Idx(j)]);
  std::vector<double> c(Idx(n + 1));
  std::vector<double> w(Idx(n));
  Matrix& data = s.dataMatrix;

  // x := (Q w) + (P c), with the product's and the sum's order of operations.
  auto synthesise = [&](auto read, auto write) {
    for (int k = 1; k <= n + 1; ++k) c[Idx(k - 1)] = read(k);
    for (int k = 1; k <= n; ++k) w[Idx(k - 1)] = read(n + 1 + k);
    const bool finite = AllFinite(c) && AllFinite(w);
    for (int k = 1; k <= size; ++k) {
      write(k, q.RowTimes(k, w.data(), finite) + p.RowTimes(k, c.data(), finite));
    }
  };

  for (int col = 1; col <= size; ++col) {
    synthesise([&](int k) { return GetElement(data, k, col); },
               [&](int k, double x) { SetElement(data, k, col, x); });
  }
  for (int r = 1; r <= size; ++r) {
    synthesise([&](int k) { return GetElement(data, r, k); },
               [&](int k, double x) { SetElement(data, r, k, x); });
  }
}
