// The baseline kernels (SSE2, which WebAssembly SIMD also provides; plain
// doubles elsewhere) and the choice between them and the wider ones.
#include <atomic>
#include <cmath>

#include "blac/lane_kernels.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

#if defined(__SSE2__)
struct V {
  using T = __m128d;
  static constexpr int W = 2;
  static constexpr const char* kName = "SSE2";
  static T Load(const double* p) { return _mm_loadu_pd(p); }
  static void Store(double* p, T v) { _mm_storeu_pd(p, v); }
  static T Set1(double x) { return _mm_set1_pd(x); }
  static T Zero() { return _mm_setzero_pd(); }
  static T Add(T a, T b) { return _mm_add_pd(a, b); }
  static T Sub(T a, T b) { return _mm_sub_pd(a, b); }
  static T Mul(T a, T b) { return _mm_mul_pd(a, b); }
  static T Div(T a, T b) { return _mm_div_pd(a, b); }
  static void Transpose(T* v) {
    const T a = _mm_unpacklo_pd(v[0], v[1]);
    v[1] = _mm_unpackhi_pd(v[0], v[1]);
    v[0] = a;
  }

  // Whether any lane was non-finite (v * 0 is NaN exactly for those, and OR
  // keeps a NaN a NaN) or -0 (equal to 0 with its sign bit set).
  class Watch {
  public:
    void NoteNonFinite(T v) { nonFinite_ = _mm_or_pd(nonFinite_, _mm_mul_pd(v, _mm_setzero_pd())); }
    void NoteDelicate(T v) {
      NoteNonFinite(v);
      negativeZero_ = _mm_or_pd(negativeZero_, _mm_and_pd(_mm_cmpeq_pd(v, _mm_setzero_pd()), v));
    }
    bool Seen() const {
      return (_mm_movemask_pd(_mm_cmpunord_pd(nonFinite_, nonFinite_)) |
              _mm_movemask_pd(negativeZero_)) != 0;
    }

  private:
    T nonFinite_ = _mm_setzero_pd();
    T negativeZero_ = _mm_setzero_pd();
  };
};
#else
struct V {
  using T = double;
  static constexpr int W = 1;
  static constexpr const char* kName = "scalar";
  static T Load(const double* p) { return *p; }
  static void Store(double* p, T v) { *p = v; }
  static T Set1(double x) { return x; }
  static T Zero() { return 0.0; }
  static T Add(T a, T b) { return a + b; }
  static T Sub(T a, T b) { return a - b; }
  static T Mul(T a, T b) { return a * b; }
  static T Div(T a, T b) { return a / b; }
  static void Transpose(T*) {}

  class Watch {
  public:
    void NoteNonFinite(T v) { seen_ = seen_ || !std::isfinite(v); }
    void NoteDelicate(T v) { seen_ = seen_ || !std::isfinite(v) || (v == 0.0 && std::signbit(v)); }
    bool Seen() const { return seen_; }

  private:
    bool seen_ = false;
  };
};
#endif

}  // namespace

#include "blac/lane_kernels_impl.h"

namespace blac_lanes {

const LaneKernels* WideKernelsIfBuilt();  // lane_kernels_avx2.cpp, or nullptr

namespace {
constexpr LaneKernels kBaseline = Impl<V>::Table(V::kName);
std::atomic<const LaneKernels*> chosen{nullptr};
}  // namespace

const LaneKernels& BaselineKernels() { return kBaseline; }

const LaneKernels* WideKernels() {
#if (defined(__x86_64__) || defined(__i386__)) && !defined(__EMSCRIPTEN__)
  static const bool runs = __builtin_cpu_supports("avx2");
  return runs ? WideKernelsIfBuilt() : nullptr;
#else
  return nullptr;
#endif
}

const LaneKernels& ActiveKernels() {
  const LaneKernels* k = chosen.load(std::memory_order_relaxed);
  if (k) return *k;
  const LaneKernels* wide = WideKernels();
  return wide ? *wide : kBaseline;
}

void UseKernels(const LaneKernels* kernels) { chosen.store(kernels, std::memory_order_relaxed); }

}  // namespace blac_lanes
