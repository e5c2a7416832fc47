#include "blac/decomposition.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <span>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "app/state.h"
#include "blac/filters.h"
#include "linalg/solvers.h"

// A level step solves the same two Gram systems for every row and column, and
// the synthesis matrices are mostly zeros. The steps therefore build each Gram
// matrix and its Cholesky factor once per step, skip the terms whose factor is
// an exact zero (the factors are bidiagonal, P and Q are banded) and work on
// several rows at once. A skipped term subtracts or adds a zero, which leaves
// every value unchanged unless that value is -0 (-0 - (-0) is +0) or an
// infinity or NaN is involved; whatever meets those cases goes through the full
// loops. The results are thus bit for bit those of SolveCholesky, the
// projections and the matrix product and sum, as the tests check.

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

// Projections write entry k (1-based) to out[(k - 1) * stride], so a batch of
// rows can be laid out side by side. s points at rowBuffer: s[k] is sample k.
// The weights are hoisted out of the loops unchanged; products that involve a
// sample keep their written grouping.
void CoarseProjectionInto(double delta, int j, const double* s, double* out, std::size_t stride) {
  const int n = 1 << j;
  const double a = 1 - 0.5 * delta;
  const double q = delta / 6;
  const double centre = 1 + q;
  const double right = q + 1 - a;
  const double farRight = (1 - a) * q;
  const double left = a + q;
  const double farLeft = a * q;
  out[0] = centre * s[1] + right * s[2] + farRight * s[3];
  for (int i = 2; i <= n; ++i) {
    const double u = left * s[2 * i - 2] + farLeft * s[2 * i - 3] + centre * s[2 * i - 1];
    out[Idx(i - 1) * stride] = right * s[2 * i] + farRight * s[2 * i + 1] + u;
  }
  out[Idx(n) * stride] = left * s[2 * n] + farLeft * s[2 * n - 1] + centre * s[2 * n + 1];
}

void WaveletProjectionInto(double delta, int j, const Templates& tp, const double* s, double* out,
                           std::size_t stride) {
  const int n = 1 << j;
  const double q = delta / 6;
  const double* l = tp.l;
  const double* r = tp.r;
  const double m1 = tp.m[1];
  const double m5 = tp.m[5];
  const double mA = tp.m[2] * q + m1;
  const double mB = m1 * q + tp.m[2] + tp.m[3] * q;
  const double mC = tp.m[2] * q + tp.m[3] + tp.m[4] * q;
  const double mD = tp.m[3] * q + tp.m[4] + m5 * q;
  const double mE = tp.m[4] * q + m5;

  double e = (l[2] * q + l[1]) * s[1] + (l[1] * q + l[2] + l[3] * q) * s[2] +
             (l[2] * q + l[3] + l[4] * q) * s[3];
  out[0] = (l[3] * q + l[4]) * s[4] + s[5] * l[4] * q + e;

  for (int i = 2; i <= n - 1; ++i) {
    double u = mA * s[2 * i - 2] + s[2 * i - 3] * m1 * q + mB * s[2 * i - 1];
    u = mC * s[2 * i] + mD * s[2 * i + 1] + u;
    out[Idx(i - 1) * stride] = mE * s[2 * i + 2] + s[2 * i + 3] * m5 * q + u;
  }

  e = (r[2] * q + r[1]) * s[2 * n - 2] + r[1] * q * s[2 * n - 3] +
      (r[1] * q + r[2] + r[3] * q) * s[2 * n - 1];
  out[Idx(n - 1) * stride] =
      (r[2] * q + r[3] + r[4] * q) * s[2 * n] + (r[3] * q + r[4]) * s[2 * n + 1] + e;
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

// Rows (or columns) are handled kLanes at a time, entry k of lane p at
// x[(k - 1) * kLanes + p]. Their solves are independent, so the long division
// chains of the substitutions overlap; packed arithmetic rounds every lane
// exactly like the scalar operation.
constexpr int kLanes = 8;
constexpr int kPairs = kLanes / 2;

// A running value after which a skipped zero term could change the result:
// -0 (since -0 - (-0) is +0), an infinity or a NaN.
bool Delicate(double x) { return !std::isfinite(x) || (x == 0.0 && std::signbit(x)); }
bool NonFinite(double x) { return !std::isfinite(x); }

#if defined(__SSE2__)
using Pair = __m128d;
Pair LoadPair(const double* p) { return _mm_loadu_pd(p); }
void StorePair(double* p, Pair v) { _mm_storeu_pd(p, v); }
Pair Broadcast(double x) { return _mm_set1_pd(x); }
Pair Add(Pair a, Pair b) { return _mm_add_pd(a, b); }
Pair Sub(Pair a, Pair b) { return _mm_sub_pd(a, b); }
Pair Mul(Pair a, Pair b) { return _mm_mul_pd(a, b); }
Pair Div(Pair a, Pair b) { return _mm_div_pd(a, b); }

// Collects, over many pairs, whether any lane was non-finite (v * 0 is NaN
// exactly for those, and OR keeps a NaN a NaN) or -0 (equal to 0 with its
// sign bit set), with a few packed operations per pair.
class Watch {
public:
  void NoteNonFinite(Pair v) {
    nonFinite_ = _mm_or_pd(nonFinite_, _mm_mul_pd(v, _mm_setzero_pd()));
  }
  void NoteDelicate(Pair v) {
    NoteNonFinite(v);
    negativeZero_ = _mm_or_pd(negativeZero_, _mm_and_pd(_mm_cmpeq_pd(v, _mm_setzero_pd()), v));
  }
  bool Seen() const {
    return (_mm_movemask_pd(_mm_cmpunord_pd(nonFinite_, nonFinite_)) |
            _mm_movemask_pd(negativeZero_)) != 0;
  }

private:
  Pair nonFinite_ = _mm_setzero_pd();
  Pair negativeZero_ = _mm_setzero_pd();
};
#else
struct Pair {
  double lo, hi;
};
Pair LoadPair(const double* p) { return {p[0], p[1]}; }
void StorePair(double* p, Pair v) {
  p[0] = v.lo;
  p[1] = v.hi;
}
Pair Broadcast(double x) { return {x, x}; }
Pair Add(Pair a, Pair b) { return {a.lo + b.lo, a.hi + b.hi}; }
Pair Sub(Pair a, Pair b) { return {a.lo - b.lo, a.hi - b.hi}; }
Pair Mul(Pair a, Pair b) { return {a.lo * b.lo, a.hi * b.hi}; }
Pair Div(Pair a, Pair b) { return {a.lo / b.lo, a.hi / b.hi}; }

class Watch {
public:
  void NoteNonFinite(Pair v) { seen_ = seen_ || NonFinite(v.lo) || NonFinite(v.hi); }
  void NoteDelicate(Pair v) { seen_ = seen_ || Delicate(v.lo) || Delicate(v.hi); }
  bool Seen() const { return seen_; }

private:
  bool seen_ = false;
};
#endif

// The Cholesky factor of one Gram matrix, kept for all rows of a step.
class CachedCholesky {
public:
  explicit CachedCholesky(const Matrix& a)
      : l_(CholeskyFactor(a)), n_(GetRows(a)) {
    // The shortcut needs every entry below the first subdiagonal to be a zero.
    for (int i = 3; i <= n_ && bidiagonal_; ++i) {
      for (int k = 1; k <= i - 2; ++k) {
        if (GetElement(l_, i, k) != 0.0) {
          bidiagonal_ = false;
          break;
        }
      }
    }
    for (int i = 1; i <= n_; ++i) diag_.push_back(GetElement(l_, i, i));
    for (int i = 1; i < n_; ++i) sub_.push_back(GetElement(l_, i + 1, i));
    saved_.resize(Idx(n_) * kLanes);
    single_.resize(Idx(n_));
  }

  // Same result as SolveCholesky(a, b) for one right-hand side b of n entries.
  void Solve(std::span<double> b) const {
    if (!bidiagonal_) {
      ForwardSubstitution(l_, b);
      BackSubstitution(Transpose(l_), b);
      return;
    }
    const int n = n_;
    // b[k - 1] is entry k, as in the solver; a delicate running value, or any
    // entry after a non-finite one, takes the full sum.
    bool finiteSoFar = true;
    for (int i = 1; i <= n; ++i) {
      double bi = b[Idx(i - 1)];
      if (finiteSoFar && !Delicate(bi)) {
        if (i > 1) bi = bi - GetElement(l_, i, i - 1) * b[Idx(i - 2)];
      } else {
        for (int k = 1; k <= i - 1; ++k) bi = bi - GetElement(l_, i, k) * b[Idx(k - 1)];
      }
      bi = bi / GetElement(l_, i, i);
      b[Idx(i - 1)] = bi;
      finiteSoFar = finiteSoFar && !NonFinite(bi);
    }
    finiteSoFar = true;
    for (int i = n; i >= 1; --i) {
      double bi = b[Idx(i - 1)];
      if (finiteSoFar && !Delicate(bi)) {
        if (i < n) bi = bi - GetElement(l_, i + 1, i) * b[Idx(i)];
      } else {
        for (int k = n; k >= i + 1; --k) bi = bi - GetElement(l_, k, i) * b[Idx(k - 1)];
      }
      bi = bi / GetElement(l_, i, i);
      b[Idx(i - 1)] = bi;
      finiteSoFar = finiteSoFar && !NonFinite(bi);
    }
  }

  // kLanes right-hand sides at once. The bidiagonal recurrences run on all
  // lanes; if a result shows that a skipped term could have mattered, the
  // lanes start again one by one.
  void SolveLanes(double* x) {
    std::copy_n(x, Idx(n_) * kLanes, saved_.data());
    bool fast = bidiagonal_;
    if (fast) fast = ForwardLanes(x);
    if (fast) fast = BackwardLanes(x);
    if (fast) return;
    for (int p = 0; p < kLanes; ++p) {
      for (int k = 0; k < n_; ++k) single_[Idx(k)] = saved_[Idx(k) * kLanes + Idx(p)];
      Solve(single_);
      for (int k = 0; k < n_; ++k) x[Idx(k) * kLanes + Idx(p)] = single_[Idx(k)];
    }
  }

private:
  // False when a result is delicate. A -0 or non-finite running value gives
  // a -0 or non-finite result here whenever the skipped terms would have
  // changed it, so the results alone tell; they are also the running values of
  // the backward pass.
  bool ForwardLanes(double* x) const {
    Pair prev[kPairs];
    Watch results;
    const Pair d0 = Broadcast(diag_[0]);
#pragma GCC unroll 4
    for (int h = 0; h < kPairs; ++h) {
      prev[h] = Div(LoadPair(x + 2 * h), d0);
      StorePair(x + 2 * h, prev[h]);
      results.NoteDelicate(prev[h]);
    }
    for (int i = 1; i < n_; ++i) {
      const Pair s = Broadcast(sub_[Idx(i - 1)]);
      const Pair d = Broadcast(diag_[Idx(i)]);
      double* row = x + Idx(i) * kLanes;
#pragma GCC unroll 4
      for (int h = 0; h < kPairs; ++h) {
        prev[h] = Div(Sub(LoadPair(row + 2 * h), Mul(s, prev[h])), d);
        StorePair(row + 2 * h, prev[h]);
        results.NoteDelicate(prev[h]);
      }
    }
    return !results.Seen();
  }

  // False when a result is not finite, which the skipped terms of the
  // entries above it would have turned into NaN.
  bool BackwardLanes(double* x) const {
    Pair next[kPairs];
    Watch results;
    const Pair dn = Broadcast(diag_[Idx(n_ - 1)]);
    double* last = x + Idx(n_ - 1) * kLanes;
#pragma GCC unroll 4
    for (int h = 0; h < kPairs; ++h) {
      next[h] = Div(LoadPair(last + 2 * h), dn);
      StorePair(last + 2 * h, next[h]);
      results.NoteNonFinite(next[h]);
    }
    for (int i = n_ - 2; i >= 0; --i) {
      const Pair s = Broadcast(sub_[Idx(i)]);
      const Pair d = Broadcast(diag_[Idx(i)]);
      double* row = x + Idx(i) * kLanes;
#pragma GCC unroll 4
      for (int h = 0; h < kPairs; ++h) {
        next[h] = Div(Sub(LoadPair(row + 2 * h), Mul(s, next[h])), d);
        StorePair(row + 2 * h, next[h]);
        results.NoteNonFinite(next[h]);
      }
    }
    return !results.Seen();
  }

  Matrix l_;  // U(i, k) of the backward pass is L(k, i)
  int n_;
  bool bidiagonal_ = true;
  std::vector<double> diag_;  // L(k, k)
  std::vector<double> sub_;   // L(k + 1, k)
  std::vector<double> saved_;
  std::vector<double> single_;
};

// A matrix row by row as its non-zero entries. A product with a finite vector
// may skip the rest: each skipped term is a zero, and the accumulator, which
// starts at +0, is never -0.
class SparseRows {
public:
  explicit SparseRows(const Matrix& m) : dense_(m), start_(Idx(m.rows) + 1, 0) {
    entries_.reserve(Idx(m.rows) * 4);
    for (int i = 1; i <= m.rows; ++i) {
      for (int k = 1; k <= m.cols; ++k) {
        const double v = GetElement(m, i, k);
        if (v != 0.0) entries_.push_back({k, v});
      }
      start_[Idx(i)] = entries_.size();
    }
  }

  // Entry i (1-based) of m * v for kLanes vectors at once, into out[0 .. kLanes).
  [[gnu::always_inline]] void RowTimesLanes(int i, const double* v, bool finite,
                                            double* out) const {
    Pair acc[kPairs];
#pragma GCC unroll 4
    for (int h = 0; h < kPairs; ++h) acc[h] = Broadcast(0.0);
    auto term = [&](double a, int k) {
      const Pair factor = Broadcast(a);
      const double* vk = v + Idx(k - 1) * kLanes;
#pragma GCC unroll 4
      for (int h = 0; h < kPairs; ++h) acc[h] = Add(acc[h], Mul(factor, LoadPair(vk + 2 * h)));
    };
    if (finite) {
      for (std::size_t e = start_[Idx(i - 1)]; e < start_[Idx(i)]; ++e) {
        term(entries_[e].value, entries_[e].col);
      }
    } else {
      for (int k = 1; k <= dense_.cols; ++k) term(GetElement(dense_, i, k), k);
    }
#pragma GCC unroll 4
    for (int h = 0; h < kPairs; ++h) StorePair(out + 2 * h, acc[h]);
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
  Watch watch;
  for (std::size_t e = 0; e + 1 < v.size(); e += 2) watch.NoteNonFinite(LoadPair(&v[e]));
  return !watch.Seen() && (v.size() % 2 == 0 || !NonFinite(v.back()));
}

double& At(Matrix& m, int i, int j) {
  return m.data[Idx(i - 1) * Idx(m.cols) + Idx(j - 1)];
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
  CoarseProjectionInto(delta, j, appState.rowBuffer.data(), out.data(), 1);
  return out;
}

Matrix WaveletGram(double delta, int j) { return WaveletGramFrom(delta, j, ReadTemplates()); }

std::vector<double> WaveletProjection(double delta, int j) {
  std::vector<double> out(Idx(1 << j));
  WaveletProjectionInto(delta, j, ReadTemplates(), appState.rowBuffer.data(), out.data(), 1);
  return out;
}

namespace {

// Sample k of line `line` of dataMatrix: a row, or with kColumns a column.
template <bool kColumns>
double& Sample(Matrix& m, int line, int k) {
  return kColumns ? At(m, k, line) : At(m, line, k);
}

// Samples first .. first + count - 1 of lanes lines starting at `line`, to or
// from the lane layout; the loop order follows the matrix's storage.
template <bool kColumns>
void GatherLanes(Matrix& m, int line, int lanes, int first, int count, double* dst) {
  if constexpr (kColumns) {
    for (int k = 0; k < count; ++k)
      for (int p = 0; p < lanes; ++p) dst[Idx(k) * kLanes + Idx(p)] = At(m, first + k, line + p);
  } else {
    for (int p = 0; p < lanes; ++p)
      for (int k = 0; k < count; ++k) dst[Idx(k) * kLanes + Idx(p)] = At(m, line + p, first + k);
  }
}

template <bool kColumns>
void ScatterLanes(Matrix& m, int line, int lanes, int first, int count, const double* src) {
  if constexpr (kColumns) {
    for (int k = 0; k < count; ++k)
      for (int p = 0; p < lanes; ++p) At(m, first + k, line + p) = src[Idx(k) * kLanes + Idx(p)];
  } else {
    for (int p = 0; p < lanes; ++p)
      for (int k = 0; k < count; ++k) At(m, line + p, first + k) = src[Idx(k) * kLanes + Idx(p)];
  }
}

struct AnalysisStep {
  double delta;
  int j;
  const Templates& templates;
  CachedCholesky& coarse;
  CachedCholesky& wavelet;
  std::vector<double>& c;
  std::vector<double>& w;

  template <bool kColumns>
  void Run(Matrix& data, double* buffer) {
    const int n = 1 << j;
    const int size = 2 * n + 1;
    for (int line = 1; line <= size; line += kLanes) {
      const int lanes = std::min(kLanes, size - line + 1);
      // Lanes past the end of the block hold +0, which the solves pass through.
      std::fill(c.begin(), c.end(), 0.0);
      std::fill(w.begin(), w.end(), 0.0);
      for (int p = 0; p < lanes; ++p) {
        for (int k = 1; k <= size; ++k) buffer[k] = Sample<kColumns>(data, line + p, k);
        CoarseProjectionInto(delta, j, buffer, c.data() + p, kLanes);
        WaveletProjectionInto(delta, j, templates, buffer, w.data() + p, kLanes);
      }
      coarse.SolveLanes(c.data());
      wavelet.SolveLanes(w.data());
      ScatterLanes<kColumns>(data, line, lanes, 1, n + 1, c.data());
      ScatterLanes<kColumns>(data, line, lanes, n + 2, n, w.data());
    }
  }
};

struct SynthesisStep {
  int j;
  const SparseRows& p;
  const SparseRows& q;
  std::vector<double>& c;
  std::vector<double>& w;
  std::vector<double>& x;

  // x := (Q w) + (P c), with the product's and the sum's order of operations.
  template <bool kColumns>
  void Run(Matrix& data) {
    const int n = 1 << j;
    const int size = 2 * n + 1;
    double qw[kLanes];
    double pc[kLanes];
    for (int line = 1; line <= size; line += kLanes) {
      const int lanes = std::min(kLanes, size - line + 1);
      std::fill(c.begin(), c.end(), 0.0);
      std::fill(w.begin(), w.end(), 0.0);
      GatherLanes<kColumns>(data, line, lanes, 1, n + 1, c.data());
      GatherLanes<kColumns>(data, line, lanes, n + 2, n, w.data());
      const bool finite = AllFinite(c) && AllFinite(w);
      for (int k = 1; k <= size; ++k) {
        q.RowTimesLanes(k, w.data(), finite, qw);
        p.RowTimesLanes(k, c.data(), finite, pc);
        double* out = x.data() + Idx(k - 1) * kLanes;
        for (int pl = 0; pl < kLanes; ++pl) out[pl] = qw[pl] + pc[pl];
      }
      ScatterLanes<kColumns>(data, line, lanes, 1, size, x.data());
    }
  }
};

}  // namespace

void DecomposeLevel(int j) {
  AppState& s = appState;
  const double delta = s.currentDelta;
  s.synthesisQ[2] = BuildSynthesisQ(delta, 2);
  const Templates templates = ReadTemplates();

  const int n = 1 << j;
  CachedCholesky coarse(CoarseGram(delta, j));
  CachedCholesky wavelet(WaveletGramFrom(delta, j, templates));
  std::vector<double> c(Idx(n + 1) * kLanes);
  std::vector<double> w(Idx(n) * kLanes);
  AnalysisStep step{delta, j, templates, coarse, wavelet, c, w};
  step.Run<false>(s.dataMatrix, s.rowBuffer.data());
  step.Run<true>(s.dataMatrix, s.rowBuffer.data());
}

void ReconstructLevel(int j) {
  AppState& s = appState;
  const int n = 1 << j;
  const SparseRows p(s.synthesisP[Idx(j)]);
  const SparseRows q(s.synthesisQ[Idx(j)]);
  std::vector<double> c(Idx(n + 1) * kLanes);
  std::vector<double> w(Idx(n) * kLanes);
  std::vector<double> x(Idx(2 * n + 1) * kLanes);
  SynthesisStep step{j, p, q, c, w, x};
  step.Run<true>(s.dataMatrix);
  step.Run<false>(s.dataMatrix);
}
