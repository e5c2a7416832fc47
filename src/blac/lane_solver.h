#pragma once
// The batched solver behind the fast level steps: a Gram matrix's Cholesky
// factor kept for all steps of its Delta and level and applied to a batch of
// rows at once (lane_kernels.h), and the synthesis matrices as sparse rows.
//
// A level step solves the same two Gram systems for every row and column, and
// the synthesis matrices are mostly zeros. The steps therefore factor each Gram
// matrix once per Delta and level (from its two bands), skip the terms whose factor is
// an exact zero (the factors are bidiagonal, P and Q are banded) and work on
// several rows at once. A skipped term subtracts or adds a zero, which leaves
// every value unchanged unless that value is -0 (-0 - (-0) is +0) or an
// infinity or NaN is involved; whatever meets those cases goes through the full
// loops. The results are thus bit for bit those of SolveCholesky, the
// projections and the matrix product and sum, as the tests check. Rows are
// handled in batches because their solves are independent, so the long
// division chains of the substitutions overlap.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <optional>
#include <span>
#include <vector>

#include "blac/lane_kernels.h"
#include "blac/projections.h"
#include "linalg/matrix.h"
#include "linalg/solvers.h"

namespace blac_lanes {

inline std::size_t Idx(int k) { return static_cast<std::size_t>(k); }

// A running value after which a skipped zero term could change the result:
// -0 (since -0 - (-0) is +0), an infinity or a NaN.
inline bool Delicate(double x) { return !std::isfinite(x) || (x == 0.0 && std::signbit(x)); }
inline bool NonFinite(double x) { return !std::isfinite(x); }

// The Cholesky factor of one Gram matrix, kept for all rows of a step.
class CachedCholesky {
public:
  // From the two bands of a tridiagonal matrix, without forming it unless
  // the factorisation meets a non-finite entry or a pivot that is not positive.
  explicit CachedCholesky(const GramBands& bands) : n_(static_cast<int>(bands.diagonal.size())) {
    bool finite = true;
    for (double v : bands.diagonal) finite = finite && std::isfinite(v);
    for (double v : bands.offDiagonal) finite = finite && std::isfinite(v);
    if (finite) {
      FactorBands(bands.diagonal, bands.offDiagonal, [&] { return GramFromBands(bands); });
    } else {
      FactorDense(GramFromBands(bands));
    }
  }

  explicit CachedCholesky(const Matrix& a) : n_(GetRows(a)) {
    if (Tridiagonal(a)) {
      std::vector<double> diagonal, offDiagonal;
      for (int i = 1; i <= n_; ++i) diagonal.push_back(GetElement(a, i, i));
      for (int i = 1; i < n_; ++i) offDiagonal.push_back(GetElement(a, i + 1, i));
      FactorBands(diagonal, offDiagonal, [&] { return a; });
    } else {
      FactorDense(a);
    }
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

  // kernels.lanes right-hand sides at once, in lane layout. The bidiagonal
  // recurrences run on all lanes; if a result shows that a skipped term could
  // have mattered, the lanes start again one by one. saved and single are
  // scratch, so one factor can serve several threads.
  void SolveLanes(double* x, const LaneKernels& kernels, std::vector<double>& saved,
                  std::vector<double>& single) const {
    const std::size_t lanes = Idx(kernels.lanes);
    const std::size_t count = Idx(n_) * lanes;
    if (saved.size() < count) saved.resize(count);
    std::copy_n(x, count, saved.data());
    bool fast = bidiagonal_;
    if (fast) fast = kernels.forward(diag_.data(), sub_.data(), n_, x);
    if (fast) fast = kernels.backward(diag_.data(), sub_.data(), n_, x);
    if (fast) return;
    single.resize(Idx(n_));
    for (std::size_t p = 0; p < lanes; ++p) {
      for (int k = 0; k < n_; ++k) single[Idx(k)] = saved[Idx(k) * lanes + p];
      Solve(single);
      for (int k = 0; k < n_; ++k) x[Idx(k) * lanes + p] = single[Idx(k)];
    }
  }

  int Size() const { return n_; }

private:
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
  template <class MakeMatrix>
  void FactorBands(const std::vector<double>& diagonal, const std::vector<double>& offDiagonal,
                   MakeMatrix makeMatrix) {
    for (int j = 1; j <= n_; ++j) {
      double s = diagonal[Idx(j - 1)];
      if (j > 1) s = s - sub_[Idx(j - 2)] * sub_[Idx(j - 2)];
      diag_.push_back(std::sqrt(s));
      if (j < n_) sub_.push_back(offDiagonal[Idx(j - 1)] / diag_.back());
    }
    // A pivot that is not positive gives a NaN, after which the dense factor
    // would hold NaN below the subdiagonal too: take the literal route then.
    for (double d : diag_) {
      if (!(d > 0.0) || !std::isfinite(d)) {
        FactorDense(makeMatrix());
        return;
      }
    }
  }

  void FactorDense(const Matrix& a) {
    diag_.clear();
    sub_.clear();
    const Matrix& l = dense_.emplace(CholeskyFactor(a));
    bidiagonal_ = false;
    for (int i = 1; i <= n_; ++i) diag_.push_back(GetElement(l, i, i));
    for (int i = 1; i < n_; ++i) sub_.push_back(GetElement(l, i + 1, i));
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
};

// A matrix row by row as its entries other than +0 (a -0 is kept). A product
// with a finite vector may skip the rest: each skipped term is a zero, and
// the accumulator, which starts at +0, is never -0. With a non-finite vector
// every column takes part, the skipped ones as +0, as in the dense product.
// Holds no reference to the matrix, so it can be kept with the tables.
class SparseRows {
public:
  explicit SparseRows(const Matrix& m) : cols_(m.cols), start_(Idx(m.rows) + 1, 0) {
    col_.reserve(Idx(m.rows) * 4);
    value_.reserve(Idx(m.rows) * 4);
    const double* row = m.data.get();
    for (int i = 1; i <= m.rows; ++i, row += m.cols) {
      for (int k = 0; k < m.cols; ++k) {
        const double v = row[k];
        if (v != 0.0 || std::signbit(v)) {
          col_.push_back(k);
          value_.push_back(v);
        }
      }
      start_[Idx(i)] = col_.size();
    }
  }

  SparseView View() const { return {start_.data(), col_.data(), value_.data()}; }

  // Row i (0-based) of m * v for `lanes` vectors in lane layout, every column
  // taking part, into out[0 .. lanes).
  void FullRowTimesLanes(int i, const double* v, int lanes, double* out) const {
    for (int p = 0; p < lanes; ++p) {
      double acc = 0.0;
      std::size_t e = start_[Idx(i)];
      for (int k = 0; k < cols_; ++k) {
        const bool stored = e < start_[Idx(i) + 1] && col_[e] == k;
        const double a = stored ? value_[e++] : 0.0;
        acc = acc + a * v[Idx(k) * Idx(lanes) + Idx(p)];
      }
      out[p] = acc;
    }
  }

private:
  int cols_;
  std::vector<std::size_t> start_;
  std::vector<int> col_;
  std::vector<double> value_;
};

}  // namespace blac_lanes
