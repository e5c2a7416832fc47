#pragma once
// The batched solver behind the fast level steps: a Gram matrix's Cholesky
// factor kept for a whole step and applied to kLanes rows at once, and the
// synthesis matrices as sparse rows.
//
// A level step solves the same two Gram systems for every row and column, and
// the synthesis matrices are mostly zeros. The steps therefore build each Gram
// matrix and its Cholesky factor once per step, skip the terms whose factor is
// an exact zero (the factors are bidiagonal, P and Q are banded) and work on
// several rows at once. A skipped term subtracts or adds a zero, which leaves
// every value unchanged unless that value is -0 (-0 - (-0) is +0) or an
// infinity or NaN is involved; whatever meets those cases goes through the full
// loops. The results are thus bit for bit those of SolveCholesky, the
// projections and the matrix product and sum, as the tests check.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <optional>
#include <span>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "linalg/matrix.h"
#include "linalg/solvers.h"

namespace blac_lanes {

inline std::size_t Idx(int k) { return static_cast<std::size_t>(k); }

// Rows (or columns) are handled kLanes at a time, entry k of lane p at
// x[(k - 1) * kLanes + p]. Their solves are independent, so the long division
// chains of the substitutions overlap; packed arithmetic rounds every lane
// exactly like the scalar operation.
inline constexpr int kLanes = 8;
inline constexpr int kPairs = kLanes / 2;

// A running value after which a skipped zero term could change the result:
// -0 (since -0 - (-0) is +0), an infinity or a NaN.
inline bool Delicate(double x) { return !std::isfinite(x) || (x == 0.0 && std::signbit(x)); }
inline bool NonFinite(double x) { return !std::isfinite(x); }

#if defined(__SSE2__)
using Pair = __m128d;
inline Pair LoadPair(const double* p) { return _mm_loadu_pd(p); }
inline void StorePair(double* p, Pair v) { _mm_storeu_pd(p, v); }
inline Pair Broadcast(double x) { return _mm_set1_pd(x); }
inline Pair Add(Pair a, Pair b) { return _mm_add_pd(a, b); }
inline Pair Sub(Pair a, Pair b) { return _mm_sub_pd(a, b); }
inline Pair Mul(Pair a, Pair b) { return _mm_mul_pd(a, b); }
inline Pair Div(Pair a, Pair b) { return _mm_div_pd(a, b); }

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
inline Pair LoadPair(const double* p) { return {p[0], p[1]}; }
inline void StorePair(double* p, Pair v) {
  p[0] = v.lo;
  p[1] = v.hi;
}
inline Pair Broadcast(double x) { return {x, x}; }
inline Pair Add(Pair a, Pair b) { return {a.lo + b.lo, a.hi + b.hi}; }
inline Pair Sub(Pair a, Pair b) { return {a.lo - b.lo, a.hi - b.hi}; }
inline Pair Mul(Pair a, Pair b) { return {a.lo * b.lo, a.hi * b.hi}; }
inline Pair Div(Pair a, Pair b) { return {a.lo / b.lo, a.hi / b.hi}; }

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
  explicit CachedCholesky(const Matrix& a) : n_(GetRows(a)) {
    if (Tridiagonal(a)) {
      FactorTridiagonal(a);
    } else {
      const Matrix& l = dense_.emplace(CholeskyFactor(a));
      // The shortcut needs every entry below the first subdiagonal to be a zero.
      for (int i = 3; i <= n_ && bidiagonal_; ++i) {
        for (int k = 1; k <= i - 2; ++k) {
          if (GetElement(l, i, k) != 0.0) {
            bidiagonal_ = false;
            break;
          }
        }
      }
      for (int i = 1; i <= n_; ++i) diag_.push_back(GetElement(l, i, i));
      for (int i = 1; i < n_; ++i) sub_.push_back(GetElement(l, i + 1, i));
    }
    saved_.resize(Idx(n_) * kLanes);
    single_.resize(Idx(n_));
  }

  // Same result as SolveCholesky(a, b) for one right-hand side b of n entries.
  void Solve(std::span<double> b) const {
    if (!bidiagonal_) {
      ForwardSubstitution(Dense(), b);
      BackSubstitution(Transpose(Dense()), b);
      return;
    }
    const int n = n_;
    // b[k - 1] is entry k, as in the solver; a delicate running value, or any
    // entry after a non-finite one, takes the full sum.
    bool finiteSoFar = true;
    for (int i = 1; i <= n; ++i) {
      double bi = b[Idx(i - 1)];
      if (finiteSoFar && !Delicate(bi)) {
        if (i > 1) bi = bi - sub_[Idx(i - 2)] * b[Idx(i - 2)];
      } else {
        const Matrix& l = Dense();
        for (int k = 1; k <= i - 1; ++k) bi = bi - GetElement(l, i, k) * b[Idx(k - 1)];
      }
      bi = bi / diag_[Idx(i - 1)];
      b[Idx(i - 1)] = bi;
      finiteSoFar = finiteSoFar && !NonFinite(bi);
    }
    finiteSoFar = true;
    for (int i = n; i >= 1; --i) {
      double bi = b[Idx(i - 1)];
      if (finiteSoFar && !Delicate(bi)) {
        if (i < n) bi = bi - sub_[Idx(i - 1)] * b[Idx(i)];
      } else {
        const Matrix& l = Dense();
        for (int k = n; k >= i + 1; --k) bi = bi - GetElement(l, k, i) * b[Idx(k - 1)];
      }
      bi = bi / diag_[Idx(i - 1)];
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

  // True when every entry of `a` off the three middle diagonals is +0 and
  // every entry is finite: then CholeskyFactor's sums over the columns left
  // of the subdiagonal only subtract products that are +0, and its factor is
  // bidiagonal with the entries FactorTridiagonal computes.
  static bool Tridiagonal(const Matrix& a) {
    const int n = GetRows(a);
    if (GetCols(a) != n) return false;
    for (int i = 1; i <= n; ++i) {
      for (int k = 1; k <= n; ++k) {
        const double v = GetElement(a, i, k);
        if (!std::isfinite(v)) return false;
        if ((k < i - 1 || k > i + 1) && (v != 0.0 || std::signbit(v))) return false;
      }
    }
    return true;
  }

  // CholeskyFactor's operations on the non-zero entries, in its order: each
  // diagonal entry subtracts the square of the one entry left of it.
  void FactorTridiagonal(const Matrix& a) {
    for (int j = 1; j <= n_; ++j) {
      double s = GetElement(a, j, j);
      if (j > 1) s = s - sub_[Idx(j - 2)] * sub_[Idx(j - 2)];
      diag_.push_back(std::sqrt(s));
      if (j < n_) sub_.push_back(GetElement(a, j + 1, j) / diag_.back());
    }
    // A pivot that is not positive gives a NaN, after which the dense factor
    // would hold NaN below the subdiagonal too: take the literal route then.
    for (double d : diag_) {
      if (!(d > 0.0) || !std::isfinite(d)) {
        diag_.clear();
        sub_.clear();
        const Matrix& l = dense_.emplace(CholeskyFactor(a));
        bidiagonal_ = false;
        for (int i = 1; i <= n_; ++i) diag_.push_back(GetElement(l, i, i));
        for (int i = 1; i < n_; ++i) sub_.push_back(GetElement(l, i + 1, i));
        return;
      }
    }
  }

  // The full factor, for the literal loops; built from the two diagonals on
  // first use when the factor was found bidiagonal.
  const Matrix& Dense() const {
    if (!dense_) {
      Matrix& l = dense_.emplace(n_, n_);
      for (int i = 1; i <= n_; ++i) SetElement(l, i, i, diag_[Idx(i - 1)]);
      for (int i = 1; i < n_; ++i) SetElement(l, i + 1, i, sub_[Idx(i - 1)]);
    }
    return *dense_;
  }

  // U(i, k) of the backward pass is L(k, i).
  mutable std::optional<Matrix> dense_;
  int n_;
  bool bidiagonal_ = true;
  std::vector<double> diag_;  // L(k, k)
  std::vector<double> sub_;   // L(k + 1, k)
  std::vector<double> saved_;
  std::vector<double> single_;
};

// A matrix row by row as its entries other than +0 (a -0 is kept). A product
// with a finite vector may skip the rest: each skipped term is a zero, and
// the accumulator, which starts at +0, is never -0. With a non-finite vector
// every column takes part, the skipped ones as +0, as in the dense product.
// Holds no reference to the matrix, so it can be kept with the tables.
class SparseRows {
public:
  explicit SparseRows(const Matrix& m) : cols_(m.cols), start_(Idx(m.rows) + 1, 0) {
    entries_.reserve(Idx(m.rows) * 4);
    const double* row = m.data.get();
    for (int i = 1; i <= m.rows; ++i, row += m.cols) {
      for (int k = 1; k <= m.cols; ++k) {
        const double v = row[k - 1];
        if (v != 0.0 || std::signbit(v)) entries_.push_back({k, v});
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
      std::size_t e = start_[Idx(i - 1)];
      for (int k = 1; k <= cols_; ++k) {
        const bool stored = e < start_[Idx(i)] && entries_[e].col == k;
        term(stored ? entries_[e++].value : 0.0, k);
      }
    }
#pragma GCC unroll 4
    for (int h = 0; h < kPairs; ++h) StorePair(out + 2 * h, acc[h]);
  }

private:
  struct Entry {
    int col;
    double value;
  };
  int cols_;
  std::vector<Entry> entries_;
  std::vector<std::size_t> start_;
};

inline bool AllFinite(const std::vector<double>& v) {
  Watch watch;
  for (std::size_t e = 0; e + 1 < v.size(); e += 2) watch.NoteNonFinite(LoadPair(&v[e]));
  return !watch.Seen() && (v.size() % 2 == 0 || !NonFinite(v.back()));
}

}  // namespace blac_lanes
