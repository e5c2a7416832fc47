// One decomposition and reconstruction step against matrix products and
// known values. DecomposeLevel and ReconstructLevel take shortcuts (factor
// once per step, skip exact zeros, several rows at once); their results must
// be bit for bit those of the plain steps built from the public pieces, signed
// zeros, subnormals, infinities and NaN included.
#include "blac/decomposition.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "blac/filters.h"
#include "blac/lane_kernels.h"
#include "blac_test_support.h"

namespace {

using blac_test::Column;
using blac_test::FineInnerProduct;
using blac_test::Gram;
using blac_test::StartWithDelta;
using blac_test::Times;

// rowBuffer[1 .. count] := samples, with NaN just outside to catch reads past either end.
void FillRowBuffer(const std::vector<double>& samples) {
  auto& buffer = appState.rowBuffer;
  buffer[0] = buffer[samples.size() + 1] = std::numeric_limits<double>::quiet_NaN();
  for (std::size_t k = 0; k < samples.size(); ++k) buffer[k + 1] = samples[k];
}

constexpr double kInf = std::numeric_limits<double>::infinity();

double& Element(int r, int k) { return appState.dataMatrix.data[(r - 1) * appState.dataMatrix.cols + k - 1]; }

void FillBlock(int size, double (*value)(int r, int k)) {
  for (int r = 1; r <= size; ++r)
    for (int k = 1; k <= size; ++k) Element(r, k) = value(r, k);
}

// At Delta 0 the off-diagonal entries are exact zeros.
TEST(DecompositionTest, GramsAgainstMatrixProducts) {
  ResetAppState();
  for (int j : {2, 3}) {
    for (double delta : {0.0, 0.4, 1.0}) {
      const Matrix p = BuildSynthesisP(delta, j);
      const Matrix expected = Gram(p, FineInnerProduct(delta, p.rows), p);
      const Matrix g = CoarseGram(delta, j);
      ASSERT_EQ(g.rows, p.cols);
      for (int k = 0; k < g.rows * g.cols; ++k)
        EXPECT_NEAR(g.data[k], expected.data[k], delta == 0 && k % (g.cols + 1) ? 0.0 : 1e-12) << k;
    }
  }
  // WaveletGram is Q^T H Q on its band, except that the interior off-diagonal
  // leaves out m1 m3 + q (m1 m4 + m2 m5); wavelets two apart count as disjoint.
  for (double delta : {0.0, 0.4, 1.0}) {
    appState.synthesisQ[2] = BuildSynthesisQ(delta, 2);
    double m[6];
    for (int k = 1; k <= 5; ++k) m[k] = GetElement(appState.synthesisQ[2], k + 1, 2);
    const double missing = m[1] * m[3] + delta / 6 * (m[1] * m[4] + m[2] * m[5]);
    const Matrix q = BuildSynthesisQ(delta, 3);
    const Matrix full = Gram(q, FineInnerProduct(delta, 17), q);
    const Matrix g = WaveletGram(delta, 3);
    ASSERT_EQ(g.rows, 8);
    for (int i = 1; i <= 8; ++i) {
      for (int k = 1; k <= 8; ++k) {
        const bool interiorPair = std::abs(i - k) == 1 && std::min(i, k) > 1 && std::max(i, k) < 8;
        const double want = std::abs(i - k) >= 2 ? 0.0 : GetElement(full, i, k) - (interiorPair ? missing : 0);
        EXPECT_NEAR(GetElement(g, i, k), want, delta == 0 && i != k ? 0.0 : 1e-12) << i << "," << k;
      }
    }
    EXPECT_TRUE(delta == 0 || std::abs(GetElement(full, 3, 5)) > 1e-5);
  }
}

// P^T H s and Q^T H s, except that the coarse end entries weight s_1 and s_N with 1 + q.
TEST(DecompositionTest, ProjectionsAgainstMatrixProducts) {
  ResetAppState();
  const double delta = 0.4, a = 1 - 0.5 * delta, q = delta / 6;
  std::vector<double> s;
  for (int k = 1; k <= 17; ++k) s.push_back(std::sin(0.7 * k) + 0.05 * k);
  appState.synthesisQ[2] = BuildSynthesisQ(delta, 2);
  FillRowBuffer(s);
  const Matrix hs = Times(FineInnerProduct(delta, 17), Column(s.data(), 17));
  const Matrix coarse = Times(Transpose(BuildSynthesisP(delta, 3)), hs);
  const Matrix wavelet = Times(Transpose(BuildSynthesisQ(delta, 3)), hs);
  const std::vector<double> c = CoarseProjection(delta, 3);
  ASSERT_EQ(c.size(), 9u);
  for (int i = 1; i <= 9; ++i) {
    const double end = i == 1 ? a * q * s[0] : i == 9 ? (1 - a) * q * s[16] : 0.0;
    EXPECT_NEAR(c[i - 1], GetElement(coarse, i, 1) + end, 1e-13) << i;
  }
  const std::vector<double> w = WaveletProjection(delta, 3);
  ASSERT_EQ(w.size(), 8u);
  for (int i = 1; i <= 8; ++i) EXPECT_NEAR(w[i - 1], GetElement(wavelet, i, 1), 1e-13) << i;
}

// Delta 0: coarse (f1, (f2 + f3) / 2, ...), end wavelets (f2 - f3) / (2 * 0.70444).
// Rows (first index) go first, so a block f(r) g(k) becomes T(f)_r T(g)_k.
TEST(DecompositionTest, DeltaZeroStepAveragesAndDifferences) {
  StartWithDelta(0.0, false);
  FillBlock(9, [](int r, int k) { return r * (k * k - 3.0); });
  DecomposeLevel(2);
  const auto transform = [](double (*f)(int)) {
    const double m3 = 0.70444, m4 = -0.704449, interior = m3 * m3 + m4 * m4;
    return std::vector<double>{f(1), (f(2) + f(3)) / 2, (f(4) + f(5)) / 2, (f(6) + f(7)) / 2,
                               (f(8) + f(9)) / 2, (f(2) - f(3)) / (2 * m3), (m3 * f(4) + m4 * f(5)) / interior,
                               (m3 * f(6) + m4 * f(7)) / interior, (f(8) - f(9)) / (2 * m3)};
  };
  const std::vector<double> tf = transform([](int r) { return 1.0 * r; });
  const std::vector<double> tg = transform([](int k) { return k * k - 3.0; });
  for (int r = 1; r <= 9; ++r)
    for (int k = 1; k <= 9; ++k)
      EXPECT_NEAR(GetElement(appState.dataMatrix, r, k), tf[r - 1] * tg[k - 1], 1e-11) << r << "," << k;
}

TEST(DecompositionTest, ConstantBlockForDeltaPointFour) {
  StartWithDelta(0.4, false);
  FillRowBuffer(std::vector<double>(9, 1.0));
  std::vector<double> c = CoarseProjection(0.4, 2);
  std::vector<double> w = WaveletProjection(0.4, 2);
  SolveCholesky(CoarseGram(0.4, 2), c);
  SolveCholesky(WaveletGram(0.4, 2), w);
  const double v[] = {1.0514, 0.9935, 1.0010, 0.9989, 1.0078, 0.0115, -0.0013, -0.0010, -0.0096};
  for (int k = 0; k < 5; ++k) EXPECT_NEAR(c[k], v[k], 5e-5) << k;
  for (int k = 0; k < 4; ++k) EXPECT_NEAR(w[k], v[5 + k], 5e-5) << k;

  // Synthesis misses the constant most at the first sample.
  const Matrix x = (Times(BuildSynthesisQ(0.4, 2), Column(w.data(), 4)) +
                    Times(BuildSynthesisP(0.4, 2), Column(c.data(), 5))).value();
  const double firstError = std::abs(GetElement(x, 1, 1) - 1);
  EXPECT_NEAR(firstError, 0.049, 0.002);
  for (int k = 2; k <= 9; ++k) EXPECT_LT(std::abs(GetElement(x, k, 1) - 1), firstError) << k;

  // In two dimensions both steps are tensor products of the row's.
  FillBlock(9, [](int, int) { return 1.0; });
  DecomposeLevel(2);
  EXPECT_NEAR(GetElement(appState.dataMatrix, 2, 7), c[1] * w[1], 1e-14);
  EXPECT_NEAR(GetElement(appState.dataMatrix, 9, 1), w[3] * c[0], 1e-14);
  ReconstructLevel(2);
  for (int r = 1; r <= 9; ++r)
    for (int k = 1; k <= 9; ++k)
      EXPECT_NEAR(GetElement(appState.dataMatrix, r, k), GetElement(x, r, 1) * GetElement(x, k, 1), 1e-14);
}

TEST(DecompositionTest, StepsWorkInsideTheirBlockOnly) {
  StartWithDelta(0.4, false);
  FillBlock(513, [](int r, int k) { return 2 + std::sin(0.01 * r * k + r); });
  appState.synthesisQ[2] = Matrix(9, 4);  // refreshed by the step
  const Matrix before = appState.dataMatrix;
  DecomposeLevel(5);
  EXPECT_TRUE(blac_test::SameBits(appState.synthesisQ[2], BuildSynthesisQ(0.4, 2)));
  const Matrix level5 = appState.dataMatrix;
  DecomposeLevel(4);
  for (int r = 1; r <= 513; ++r) {
    for (int k = 1; k <= 513; ++k) {
      const double now = GetElement(appState.dataMatrix, r, k);
      if (r > 65 || k > 65) {
        ASSERT_EQ(now, GetElement(before, r, k)) << r << "," << k;
      } else if (r > 33 || k > 33) {
        ASSERT_NE(now, GetElement(before, r, k)) << r << "," << k;
        ASSERT_EQ(now, GetElement(level5, r, k)) << r << "," << k;
      } else {
        ASSERT_NE(now, GetElement(level5, r, k)) << r << "," << k;
      }
    }
  }
}

TEST(DecompositionTest, DeltaZeroRoundTripIsAlmostExact) {
  StartWithDelta(0.0);
  const Matrix sample = appState.dataMatrix;
  const auto relativeError = [&] {
    double worst = 0, scale = 0;
    for (int k = 0; k < 513 * 513; ++k) {
      worst = std::max(worst, std::abs(appState.dataMatrix.data[k] - sample.data[k]));
      scale = std::max(scale, std::abs(sample.data[k]));
    }
    return worst / scale;
  };
  DecomposeLevel(5);
  ReconstructLevel(5);
  EXPECT_LT(relativeError(), 1e-4);
  appState.dataMatrix = sample;
  for (int j = 5; j >= 2; --j) DecomposeLevel(j);
  EXPECT_GT(relativeError(), 0.1);
  for (int j = 2; j <= 5; ++j) ReconstructLevel(j);
  EXPECT_LT(relativeError(), 1e-4);
}

using Line = std::function<double&(int)>;  // sample k of one row or column

// SolveCholesky's factor and substitutions, the factor formed once per step
// (at 513 points forming it for every line would take minutes).
struct ReferenceFactors {
  int j = 0;
  double delta = -1;
  std::optional<Matrix> coarse, coarseT, wavelet, waveletT;
};
ReferenceFactors factors;

void Solve(const Matrix& l, const Matrix& u, std::vector<double>& b) {
  ForwardSubstitution(l, b);
  BackSubstitution(u, b);
}

void ReferenceAnalyse(int j, const Line& sample) {
  const double delta = appState.currentDelta;
  const int n = 1 << j;
  if (factors.j != j || factors.delta != delta) {
    factors = {j, delta, CholeskyFactor(CoarseGram(delta, j)), std::nullopt,
               CholeskyFactor(WaveletGram(delta, j)), std::nullopt};
    factors.coarseT = Transpose(*factors.coarse);
    factors.waveletT = Transpose(*factors.wavelet);
  }
  for (int k = 1; k <= 2 * n + 1; ++k) appState.rowBuffer[k] = sample(k);
  std::vector<double> c = CoarseProjection(delta, j);
  Solve(*factors.coarse, *factors.coarseT, c);
  std::vector<double> w = WaveletProjection(delta, j);
  Solve(*factors.wavelet, *factors.waveletT, w);
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
  factors = {};
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

// From the current state runs top - 1 -> 2 -> top - 1 (or only 2 -> top - 1)
// both ways and compares dataMatrix and rowBuffer bit for bit (NaN as NaN)
// after every step. The fast steps run once with each set of lane kernels
// this processor has (SSE2, and AVX2 where present).
void ExpectBitIdentical(const std::string& label, bool synthesisOnly = false, int top = 6) {
  struct Run {
    Matrix data;
    std::vector<double> buffer;
  } reference{appState.dataMatrix, appState.rowBuffer};
  std::vector<const blac_lanes::LaneKernels*> kernels{&blac_lanes::BaselineKernels()};
  if (blac_lanes::WideKernels()) kernels.push_back(blac_lanes::WideKernels());
  std::vector<Run> fast(kernels.size(), reference);
  const auto step = [&](int j, bool decompose) {
    appState.dataMatrix = reference.data;
    appState.rowBuffer = reference.buffer;
    ReferenceStep(j, decompose);
    reference = {appState.dataMatrix, appState.rowBuffer};
    for (std::size_t i = 0; i < kernels.size(); ++i) {
      Run& run = fast[i];
      appState.dataMatrix = run.data;
      appState.rowBuffer = run.buffer;
      blac_lanes::UseKernels(kernels[i]);
      if (decompose) DecomposeLevel(j);
      else ReconstructLevel(j);
      blac_lanes::UseKernels(nullptr);
      run = {appState.dataMatrix, appState.rowBuffer};
      EXPECT_TRUE(blac_test::SameBits(run.data, reference.data))
          << label << ", level " << j << ", " << kernels[i]->name;
      EXPECT_TRUE(blac_test::SameBits(run.buffer.data(), reference.buffer.data(), 514))
          << label << ", rowBuffer at level " << j << ", " << kernels[i]->name;
    }
  };
  for (int j = top - 1; j >= 2 && !synthesisOnly; --j) step(j, true);
  for (int j = 2; j <= top - 1; ++j) step(j, false);
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

// The finer grids: every step of 129 -> 4 -> 129 with the sample of that
// level and with signed zeros and a NaN, and the whole 513 round trip.
TEST(DecompositionExactnessTest, FinerGrids) {
  for (double delta : {0.0, 0.4}) {
    StartWithDelta(delta, true, 7);
    ASSERT_EQ(Element(129, 129), 0.7 * std::sin(7 * 127 / 128.0) * std::sin(3 * 127 / 128.0));
    ExpectBitIdentical("129, Delta " + std::to_string(delta), false, 7);
  }
  StartWithDelta(0.4, true, 7);
  for (int k = 1; k <= 129; ++k) Element(70, k) = -0.0;
  Element(100, 3) = std::numeric_limits<double>::quiet_NaN();
  ExpectBitIdentical("129, -0 and NaN", false, 7);
  StartWithDelta(0.4, true, 9);
  ExpectBitIdentical("513", false, 9);
}

// At Delta 0 a constant surface is reproduced by the coarse functions of
// every level: one step from 129 leaves 1 in the 65 x 65 approximation and
// details below 1e-5 (the wavelets' normal equations only nearly vanish).
// Nothing outside the 129 x 129 block is touched.
TEST(DecompositionTest, ConstantAt129DeltaZero) {
  StartWithDelta(0.0, false, 7);
  FillBlock(129, [](int, int) { return 1.0; });
  Element(130, 1) = Element(1, 130) = 7.0;
  DecomposeLevel(6);
  for (int r = 1; r <= 129; ++r) {
    for (int k = 1; k <= 129; ++k) {
      if (r <= 65 && k <= 65) ASSERT_NEAR(Element(r, k), 1.0, 1e-12) << r << "," << k;
      else ASSERT_LT(std::abs(Element(r, k)), 1e-5) << r << "," << k;
    }
  }
  EXPECT_EQ(Element(130, 1), 7.0);
  EXPECT_EQ(Element(1, 130), 7.0);
  // Delta 0: c_i = (s_(2i-2) + s_(2i-1)) / 2 along a row, for a ramp in the
  // first index only (values r): the approximation holds (2r - 2 + 2r - 1) / 2
  // in row r >= 2 and 1 in row 1.
  StartWithDelta(0.0, false, 7);
  FillBlock(129, [](int r, int) { return static_cast<double>(r); });
  DecomposeLevel(6);
  EXPECT_NEAR(Element(1, 1), 1.0, 1e-12);
  EXPECT_NEAR(Element(2, 5), 2.5, 1e-12);
  EXPECT_NEAR(Element(65, 65), (128.0 + 129.0) / 2, 1e-10);
}

}  // namespace

