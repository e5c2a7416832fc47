// DecomposeLevel and ReconstructLevel take shortcuts (factor once per step,
// skip exact zeros, several rows at once). Their results must be bit for bit
// those of the plain steps built from the public pieces, signed zeros,
// subnormals, infinities and NaN included.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "blac/decomposition.h"
#include "blac/filters.h"
#include "blac_test_support.h"

namespace {

using blac_test::StartWithDelta;
using Line = std::function<double&(int)>;  // sample k of one row or column

constexpr double kInf = std::numeric_limits<double>::infinity();

double& Element(int r, int k) { return appState.dataMatrix.data[(r - 1) * appState.dataMatrix.cols + k - 1]; }

void ReferenceAnalyse(int j, const Line& sample) {
  const double delta = appState.currentDelta;
  const int n = 1 << j;
  for (int k = 1; k <= 2 * n + 1; ++k) appState.rowBuffer[k] = sample(k);
  std::vector<double> c = CoarseProjection(delta, j);
  SolveCholesky(CoarseGram(delta, j), c);
  std::vector<double> w = WaveletProjection(delta, j);
  SolveCholesky(WaveletGram(delta, j), w);
  for (int k = 1; k <= n + 1; ++k) sample(k) = c[k - 1];
  for (int k = 1; k <= n; ++k) sample(n + 1 + k) = w[k - 1];
}

// x := (Q w) + (P c) with the matrix product and sum.
void ReferenceSynthesise(int j, const Line& sample) {
  const int n = 1 << j;
  Matrix c(n + 1, 1), w(n, 1);
  for (int k = 1; k <= n + 1; ++k) SetElement(c, k, 1, sample(k));
  for (int k = 1; k <= n; ++k) SetElement(w, k, 1, sample(n + 1 + k));
  const Matrix x = (*(appState.synthesisQ[j] * w) + *(appState.synthesisP[j] * c)).value();
  for (int k = 1; k <= 2 * n + 1; ++k) sample(k) = GetElement(x, k, 1);
}

// Decomposition runs over rows then columns, reconstruction the other way.
void ReferenceStep(int j, bool decompose) {
  if (decompose) appState.synthesisQ[2] = BuildSynthesisQ(appState.currentDelta, 2);
  for (int pass = 0; pass < 2; ++pass) {
    for (int line = 1; line <= (2 << j) + 1; ++line) {
      const Line row = [&](int k) -> double& { return Element(line, k); };
      const Line col = [&](int k) -> double& { return Element(k, line); };
      if (decompose) ReferenceAnalyse(j, pass == 0 ? row : col);
      else ReferenceSynthesise(j, pass == 0 ? col : row);
    }
  }
}

// From the current state runs 5 -> 2 -> 5 (or only 2 -> 5) both ways and
// compares dataMatrix and rowBuffer bitwise after every step.
void ExpectBitIdentical(const std::string& label, bool synthesisOnly = false) {
  struct Run {
    Matrix data;
    std::vector<double> buffer;
  } fast{appState.dataMatrix, appState.rowBuffer}, reference = fast;
  const auto step = [&](int j, bool decompose) {
    for (Run* run : {&reference, &fast}) {
      appState.dataMatrix = run->data;
      appState.rowBuffer = run->buffer;
      if (run == &reference) ReferenceStep(j, decompose);
      else if (decompose) DecomposeLevel(j);
      else ReconstructLevel(j);
      *run = {appState.dataMatrix, appState.rowBuffer};
    }
    EXPECT_TRUE(blac_test::SameBits(fast.data, reference.data)) << label << ", level " << j;
    EXPECT_EQ(0, std::memcmp(fast.buffer.data(), reference.buffer.data(), 514 * sizeof(double)))
        << label << ", rowBuffer at level " << j;
  };
  for (int j = 5; j >= 2 && !synthesisOnly; --j) step(j, true);
  for (int j = 2; j <= 5; ++j) step(j, false);
}

TEST(DecompositionExactnessTest, SampleSurfaceSignedZerosAndExtremes) {
  for (double delta : {0.0, 0.4, 1.0, 0.13}) {
    StartWithDelta(delta);
    ASSERT_TRUE(std::signbit(Element(2, 1)));  // zeros of both signs in row 2
    ExpectBitIdentical("sample, Delta " + std::to_string(delta));
  }
  for (double delta : {0.0, 0.4}) {
    StartWithDelta(delta);
    for (int k = 1; k <= 65; ++k) {
      Element(10, k) = Element(k, 20) = -0.0;
      Element(11, k) = k == 30 ? 3.0 : -0.0;
      Element(40, k) = k % 3 == 0 ? -0.0 : 0.0;
    }
    Element(12, 12) = 1e-310;
    Element(13, 13) = -std::numeric_limits<double>::denorm_min();
    Element(14, 14) = 1e300;
    Element(15, 15) = -1e300;
    ExpectBitIdentical("mixed, Delta " + std::to_string(delta));
  }
  StartWithDelta(0.4);
  for (int k = 0; k < 513 * 513; ++k) appState.dataMatrix.data[k] = -0.0;
  ExpectBitIdentical("all -0");
}

// At Delta 0 the factors are diagonal, so -0 running values meet zero terms.
// Identical rows keep the signs of the zeros through the column pass.
TEST(DecompositionExactnessTest, NegativeZeroRunningValues) {
  const auto rows = [](double (*pattern)(int)) {
    StartWithDelta(0.0);
    for (int r = 1; r <= 65; ++r)
      for (int k = 1; k <= 65; ++k) Element(r, k) = pattern(k);
  };
  // (-1, +0, -0, ...): the skipped terms turn the third entry into +0 in the forward pass.
  rows([](int k) { return k == 1 ? -1.0 : k == 2 ? 0.0 : -0.0; });
  ExpectBitIdentical("-0 forward");
  // (1, +0, -0, +0, -1, 1, ...): the third forward result is -0, which the
  // skipped terms of the backward pass turn into +0.
  rows([](int k) { return k == 1 ? 1.0 : k == 2 || k == 8 ? 0.0 : k <= 7 ? -0.0 : k == 9 ? -1.0 : 0.5; });
  ExpectBitIdentical("-0 backward");
}

TEST(DecompositionExactnessTest, InfinitiesNaNAndOverflow) {
  StartWithDelta(0.4);
  Element(5, 5) = std::numeric_limits<double>::quiet_NaN();
  Element(50, 7) = -kInf;
  Element(30, 40) = kInf;
  ExpectBitIdentical("NaN and infinities");
  // Synthesis alone: an infinite coefficient meets the zeros of P and Q
  // (0 * inf is NaN) while the other lines stay finite.
  StartWithDelta(0.4);
  Element(3, 40) = kInf;
  Element(20, 2) = -kInf;
  ExpectBitIdentical("synthesis with infinities", true);
  // Finite data whose column pass overflows in the backward pass of a wavelet solve.
  for (double m : {1.3e308, 1.4e308, 1.5e308}) {
    StartWithDelta(0.4, false);
    for (int r = 1; r <= 65; ++r) Element(r, 1) = m * std::sin(1.7 * r);
    ExpectBitIdentical("overflow " + std::to_string(m));
  }
}

}  // namespace
