#include "blac/decomposition.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "blac/filters.h"
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

void FillBlock(int size, double (*value)(int r, int k)) {
  for (int r = 1; r <= size; ++r)
    for (int k = 1; k <= size; ++k) SetElement(appState.dataMatrix, r, k, value(r, k));
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

}  // namespace
