// The kernels with AVX2's four-double vectors, built with -mavx2 but without
// FMA (see CMakeLists.txt), so every operation rounds as the scalar one does.
// Only called after the processor has been asked (lane_kernels_base.cpp).
#include "blac/lane_kernels.h"

#if defined(__AVX2__) && !defined(__FMA__)
#include <immintrin.h>

namespace {

struct V {
  using T = __m256d;
  static constexpr int W = 4;
  static T Load(const double* p) { return _mm256_loadu_pd(p); }
  static void Store(double* p, T v) { _mm256_storeu_pd(p, v); }
  static T Set1(double x) { return _mm256_set1_pd(x); }
  static T Zero() { return _mm256_setzero_pd(); }
  static T Add(T a, T b) { return _mm256_add_pd(a, b); }
  static T Sub(T a, T b) { return _mm256_sub_pd(a, b); }
  static T Mul(T a, T b) { return _mm256_mul_pd(a, b); }
  static T Div(T a, T b) { return _mm256_div_pd(a, b); }
  static void Transpose(T* v) {
    const T t0 = _mm256_unpacklo_pd(v[0], v[1]);  // 00 10 02 12
    const T t1 = _mm256_unpackhi_pd(v[0], v[1]);  // 01 11 03 13
    const T t2 = _mm256_unpacklo_pd(v[2], v[3]);  // 20 30 22 32
    const T t3 = _mm256_unpackhi_pd(v[2], v[3]);  // 21 31 23 33
    v[0] = _mm256_permute2f128_pd(t0, t2, 0x20);
    v[1] = _mm256_permute2f128_pd(t1, t3, 0x20);
    v[2] = _mm256_permute2f128_pd(t0, t2, 0x31);
    v[3] = _mm256_permute2f128_pd(t1, t3, 0x31);
  }

  // As the SSE2 watch: v * 0 is NaN exactly for non-finite v; -0 is equal to
  // 0 with its sign bit set.
  class Watch {
  public:
    void NoteNonFinite(T v) {
      nonFinite_ = _mm256_or_pd(nonFinite_, _mm256_mul_pd(v, _mm256_setzero_pd()));
    }
    void NoteDelicate(T v) {
      NoteNonFinite(v);
      negativeZero_ = _mm256_or_pd(
          negativeZero_, _mm256_and_pd(_mm256_cmp_pd(v, _mm256_setzero_pd(), _CMP_EQ_OQ), v));
    }
    bool Seen() const {
      return (_mm256_movemask_pd(_mm256_cmp_pd(nonFinite_, nonFinite_, _CMP_UNORD_Q)) |
              _mm256_movemask_pd(negativeZero_)) != 0;
    }

  private:
    T nonFinite_ = _mm256_setzero_pd();
    T negativeZero_ = _mm256_setzero_pd();
  };
};

}  // namespace

#include "blac/lane_kernels_impl.h"

namespace blac_lanes {
namespace {
constexpr LaneKernels kWide = Impl<V>::Table("AVX2");
}
const LaneKernels* WideKernelsIfBuilt() { return &kWide; }
}  // namespace blac_lanes

#else

namespace blac_lanes {
const LaneKernels* WideKernelsIfBuilt() { return nullptr; }
}  // namespace blac_lanes

#endif
