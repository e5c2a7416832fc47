#pragma once
// The inner loops of the level steps on a batch of lines ("lanes") at once,
// for one vector width: entry k of lane p sits at x[k * lanes + p] (k from 0).
//
// Every lane sees exactly the scalar operations of the plain step, in the same
// order and grouping, as separate IEEE multiplications, additions, subtractions
// and divisions (never fused), so any vector width gives the same bits. The
// kernels are compiled once per instruction set (lane_kernels_*.cpp) and
// picked at run time; they use raw pointers only, so nothing compiled for a
// wider instruction set is shared with the other builds.
#include <cstddef>

namespace blac_lanes {

// The weights of the two projections, formed once per step by the scalar code
// with the written grouping; products with a sample stay in the kernels.
struct ProjectionWeights {
  // Coarse projection.
  double centre, right, farRight, left, farLeft;
  // Wavelet projection: the left boundary row (a1..a4, l4, q), the interior
  // rows and the right boundary row (b1..b4, r1q), as WaveletProjectionInto
  // names and groups them.
  double a1, a2, a3, a4, l4, q;
  double mA, m1, mB, mC, mD, mE, m5;
  double b1, r1q, b2, b3, b4;
};

// A sparse matrix row by row: the entries of row i (0-based) are
// col[start[i] .. start[i + 1]) and value[...], columns 0-based.
struct SparseView {
  const std::size_t* start;
  const int* col;
  const double* value;
};

struct LaneKernels {
  int lanes;  // lines handled at once
  const char* name;

  // count samples from `lanes` lines of a row-major matrix into lane layout:
  // line p starts at src + p * stride (rows), and its samples follow each other.
  void (*gatherRows)(const double* src, std::size_t stride, int used, int count, double* dst);
  void (*scatterRows)(double* dst, std::size_t stride, int used, int count, const double* src);
  // Columns: sample k of all lanes is contiguous at src + k * stride.
  void (*gatherColumns)(const double* src, std::size_t stride, int used, int count, double* dst);
  void (*scatterColumns)(double* dst, std::size_t stride, int used, int count, const double* src);

  // Both projections of one step at level j (n = 2^j) from 2n + 1 samples.
  void (*project)(const ProjectionWeights& w, int n, const double* s, double* c, double* wav);
  // The bidiagonal substitutions L y = b and L^T x = y on n entries; false when
  // a result is one after which a skipped zero term could have mattered.
  bool (*forward)(const double* diag, const double* sub, int n, double* x);
  bool (*backward)(const double* diag, const double* sub, int n, double* x);
  // True when every one of count values is finite.
  bool (*allFinite)(const double* x, std::size_t count);
  // x := (Q w) + (P c) over rows 0 .. size - 1, skipping the zeros of P and Q
  // (for finite c and w only).
  void (*synthesise)(SparseView p, SparseView q, int size, const double* c, const double* w,
                     double* x);
};

// The widest kernels this processor runs (chosen once), or the baseline ones.
const LaneKernels& ActiveKernels();
const LaneKernels& BaselineKernels();
// The AVX2 kernels when this build has them and the processor runs them, else nullptr.
const LaneKernels* WideKernels();
// For tests and benchmarks: run the steps with these kernels from now on
// (nullptr: back to the automatic choice).
void UseKernels(const LaneKernels* kernels);

}  // namespace blac_lanes
