// The kernels of lane_kernels.h for one vector type V, included once by each
// lane_kernels_*.cpp after it has defined V in its own anonymous namespace.
// V provides T (a vector of W doubles), Load, Store, Set1, Zero, Add, Sub,
// Mul, Div, Transpose (of W vectors in place) and Watch. Everything here has internal linkage and avoids the
// standard library's templates, so no code built for one instruction set can
// be picked by the linker for another.
#include <cstddef>

#include "blac/lane_kernels.h"

namespace {

template <class V>
struct Impl {
  using T = typename V::T;
  static constexpr int W = V::W;
  static constexpr int N = 4;  // vectors per sample: four independent chains in the solves
  static constexpr int L = N * W;

  static std::size_t At(int k) { return static_cast<std::size_t>(k) * L; }

  // Whole batches go through W x W block transposes of vectors; the rest,
  // and the last, partly used batch, element by element.
  static void GatherRows(const double* src, std::size_t stride, int used, int count, double* dst) {
    int k0 = 0;
    if (used == L) {
      for (; k0 + W <= count; k0 += W) {
#pragma GCC unroll 4
        for (int h = 0; h < N; ++h) {
          T block[W];
          for (int r = 0; r < W; ++r)
            block[r] = V::Load(src + static_cast<std::size_t>(h * W + r) * stride + k0);
          V::Transpose(block);
          for (int r = 0; r < W; ++r) V::Store(dst + At(k0 + r) + h * W, block[r]);
        }
      }
    }
    for (int p = 0; p < used; ++p) {
      const double* line = src + static_cast<std::size_t>(p) * stride;
      for (int k = k0; k < count; ++k) dst[At(k) + p] = line[k];
    }
    for (int p = used; p < L; ++p)
      for (int k = k0; k < count; ++k) dst[At(k) + p] = 0.0;
  }

  static void ScatterRows(double* dst, std::size_t stride, int used, int count, const double* src) {
    int k0 = 0;
    if (used == L) {
      for (; k0 + W <= count; k0 += W) {
#pragma GCC unroll 4
        for (int h = 0; h < N; ++h) {
          T block[W];
          for (int r = 0; r < W; ++r) block[r] = V::Load(src + At(k0 + r) + h * W);
          V::Transpose(block);
          for (int r = 0; r < W; ++r)
            V::Store(dst + static_cast<std::size_t>(h * W + r) * stride + k0, block[r]);
        }
      }
    }
    for (int p = 0; p < used; ++p) {
      double* line = dst + static_cast<std::size_t>(p) * stride;
      for (int k = k0; k < count; ++k) line[k] = src[At(k) + p];
    }
  }

  static void GatherColumns(const double* src, std::size_t stride, int used, int count,
                            double* dst) {
    for (int k = 0; k < count; ++k) {
      const double* row = src + static_cast<std::size_t>(k) * stride;
      double* out = dst + At(k);
      if (used == L) {
#pragma GCC unroll 4
        for (int h = 0; h < N; ++h) V::Store(out + h * W, V::Load(row + h * W));
      } else {
        for (int p = 0; p < used; ++p) out[p] = row[p];
        for (int p = used; p < L; ++p) out[p] = 0.0;
      }
    }
  }

  static void ScatterColumns(double* dst, std::size_t stride, int used, int count,
                             const double* src) {
    for (int k = 0; k < count; ++k) {
      double* row = dst + static_cast<std::size_t>(k) * stride;
      const double* in = src + At(k);
      if (used == L) {
#pragma GCC unroll 4
        for (int h = 0; h < N; ++h) V::Store(row + h * W, V::Load(in + h * W));
      } else {
        for (int p = 0; p < used; ++p) row[p] = in[p];
      }
    }
  }

  // WaveletProjectionInto's and CoarseProjectionInto's sums, lane by lane.
  static void Project(const blac_lanes::ProjectionWeights& w, int n, const double* s, double* c,
                      double* wav) {
    // Sample k (1-based), vector h.
    const auto S = [s](int k, int h) { return V::Load(s + At(k - 1) + h * W); };
    const auto B = [](double x) { return V::Set1(x); };
    const T centre = B(w.centre), right = B(w.right), farRight = B(w.farRight);
    const T left = B(w.left), farLeft = B(w.farLeft);
#pragma GCC unroll 4
    for (int h = 0; h < N; ++h) {
      const T v = V::Add(V::Add(V::Mul(centre, S(1, h)), V::Mul(right, S(2, h))),
                         V::Mul(farRight, S(3, h)));
      V::Store(c + h * W, v);
    }
    for (int i = 2; i <= n; ++i) {
#pragma GCC unroll 4
      for (int h = 0; h < N; ++h) {
        const T u = V::Add(V::Add(V::Mul(left, S(2 * i - 2, h)), V::Mul(farLeft, S(2 * i - 3, h))),
                           V::Mul(centre, S(2 * i - 1, h)));
        const T v = V::Add(V::Add(V::Mul(right, S(2 * i, h)), V::Mul(farRight, S(2 * i + 1, h))), u);
        V::Store(c + At(i - 1) + h * W, v);
      }
    }
#pragma GCC unroll 4
    for (int h = 0; h < N; ++h) {
      const T v = V::Add(V::Add(V::Mul(left, S(2 * n, h)), V::Mul(farLeft, S(2 * n - 1, h))),
                         V::Mul(centre, S(2 * n + 1, h)));
      V::Store(c + At(n) + h * W, v);
    }

    const T q = B(w.q), l4 = B(w.l4), m1 = B(w.m1), m5 = B(w.m5);
#pragma GCC unroll 4
    for (int h = 0; h < N; ++h) {
      const T e = V::Add(V::Add(V::Mul(B(w.a1), S(1, h)), V::Mul(B(w.a2), S(2, h))),
                         V::Mul(B(w.a3), S(3, h)));
      const T v = V::Add(V::Add(V::Mul(B(w.a4), S(4, h)), V::Mul(V::Mul(S(5, h), l4), q)), e);
      V::Store(wav + h * W, v);
    }
    const T mA = B(w.mA), mB = B(w.mB), mC = B(w.mC), mD = B(w.mD), mE = B(w.mE);
    for (int i = 2; i <= n - 1; ++i) {
#pragma GCC unroll 4
      for (int h = 0; h < N; ++h) {
        T u = V::Add(V::Add(V::Mul(mA, S(2 * i - 2, h)), V::Mul(V::Mul(S(2 * i - 3, h), m1), q)),
                     V::Mul(mB, S(2 * i - 1, h)));
        u = V::Add(V::Add(V::Mul(mC, S(2 * i, h)), V::Mul(mD, S(2 * i + 1, h))), u);
        const T v =
            V::Add(V::Add(V::Mul(mE, S(2 * i + 2, h)), V::Mul(V::Mul(S(2 * i + 3, h), m5), q)), u);
        V::Store(wav + At(i - 1) + h * W, v);
      }
    }
#pragma GCC unroll 4
    for (int h = 0; h < N; ++h) {
      const T e = V::Add(V::Add(V::Mul(B(w.b1), S(2 * n - 2, h)), V::Mul(B(w.r1q), S(2 * n - 3, h))),
                         V::Mul(B(w.b2), S(2 * n - 1, h)));
      const T v = V::Add(V::Add(V::Mul(B(w.b3), S(2 * n, h)), V::Mul(B(w.b4), S(2 * n + 1, h))), e);
      V::Store(wav + At(n - 1) + h * W, v);
    }
  }

  // A -0 or non-finite running value gives a -0 or non-finite result
  // whenever the skipped terms would have changed it, so the results alone
  // tell; they are also the running values of the backward pass.
  static bool Forward(const double* diag, const double* sub, int n, double* x) {
    T prev[N];
    typename V::Watch results;
    const T d0 = V::Set1(diag[0]);
#pragma GCC unroll 4
    for (int h = 0; h < N; ++h) {
      prev[h] = V::Div(V::Load(x + h * W), d0);
      V::Store(x + h * W, prev[h]);
      results.NoteDelicate(prev[h]);
    }
    for (int i = 1; i < n; ++i) {
      const T s = V::Set1(sub[i - 1]);
      const T d = V::Set1(diag[i]);
      double* row = x + At(i);
#pragma GCC unroll 4
      for (int h = 0; h < N; ++h) {
        prev[h] = V::Div(V::Sub(V::Load(row + h * W), V::Mul(s, prev[h])), d);
        V::Store(row + h * W, prev[h]);
        results.NoteDelicate(prev[h]);
      }
    }
    return !results.Seen();
  }

  // False when a result is not finite, which the skipped terms of the entries
  // above it would have turned into NaN.
  static bool Backward(const double* diag, const double* sub, int n, double* x) {
    T next[N];
    typename V::Watch results;
    const T dn = V::Set1(diag[n - 1]);
    double* last = x + At(n - 1);
#pragma GCC unroll 4
    for (int h = 0; h < N; ++h) {
      next[h] = V::Div(V::Load(last + h * W), dn);
      V::Store(last + h * W, next[h]);
      results.NoteNonFinite(next[h]);
    }
    for (int i = n - 2; i >= 0; --i) {
      const T s = V::Set1(sub[i]);
      const T d = V::Set1(diag[i]);
      double* row = x + At(i);
#pragma GCC unroll 4
      for (int h = 0; h < N; ++h) {
        next[h] = V::Div(V::Sub(V::Load(row + h * W), V::Mul(s, next[h])), d);
        V::Store(row + h * W, next[h]);
        results.NoteNonFinite(next[h]);
      }
    }
    return !results.Seen();
  }

  static bool AllFinite(const double* x, std::size_t count) {
    typename V::Watch watch;
    std::size_t e = 0;
    for (; e + W <= count; e += W) watch.NoteNonFinite(V::Load(x + e));
    for (; e < count; ++e) watch.NoteNonFinite(V::Set1(x[e]));
    return !watch.Seen();
  }

  // Each accumulator starts at +0 and is never -0 afterwards, so the skipped
  // zero terms (finite vectors only) would not have changed it.
  static void Synthesise(blac_lanes::SparseView p, blac_lanes::SparseView q, int size,
                         const double* c, const double* w, double* x) {
    for (int k = 0; k < size; ++k) {
      T qw[N], pc[N];
#pragma GCC unroll 4
      for (int h = 0; h < N; ++h) qw[h] = pc[h] = V::Zero();
      for (std::size_t e = q.start[k]; e < q.start[k + 1]; ++e) {
        const T f = V::Set1(q.value[e]);
        const double* v = w + At(q.col[e]);
#pragma GCC unroll 4
        for (int h = 0; h < N; ++h) qw[h] = V::Add(qw[h], V::Mul(f, V::Load(v + h * W)));
      }
      for (std::size_t e = p.start[k]; e < p.start[k + 1]; ++e) {
        const T f = V::Set1(p.value[e]);
        const double* v = c + At(p.col[e]);
#pragma GCC unroll 4
        for (int h = 0; h < N; ++h) pc[h] = V::Add(pc[h], V::Mul(f, V::Load(v + h * W)));
      }
      double* out = x + At(k);
#pragma GCC unroll 4
      for (int h = 0; h < N; ++h) V::Store(out + h * W, V::Add(qw[h], pc[h]));
    }
  }

  static constexpr blac_lanes::LaneKernels Table(const char* name) {
    return {L,          name,       GatherRows, ScatterRows, GatherColumns, ScatterColumns,
            Project,    Forward,    Backward,   AllFinite,   Synthesise};
  }
};

}  // namespace
