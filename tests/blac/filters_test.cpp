#include "blac/filters.h"
#include "blac/startup.h"

#include <gtest/gtest.h>

#include <cmath>

#include <string>
#include <vector>

#include "blac_test_support.h"

namespace {

using blac_test::SameBits;

class FiltersTest : public testing::Test {
protected:
  void SetUp() override {
    ResetAppState();
    FillPowerTables();
  }
  void TearDown() override { appState.setGrafikCaption = nullptr; }
};

// Column col holds `values` from firstRow on and zeros elsewhere.
void ExpectColumn(const Matrix& m, int col, int firstRow, const std::vector<double>& values, double tol) {
  for (int i = 1; i <= m.rows; ++i) {
    const int k = i - firstRow;
    const double want = (k >= 0 && k < static_cast<int>(values.size())) ? values[k] : 0.0;
    EXPECT_NEAR(GetElement(m, i, col), want, tol) << "row " << i << " column " << col;
  }
}

TEST_F(FiltersTest, SynthesisP) {
  const Matrix hat = BuildSynthesisP(1.0, 2);
  ASSERT_EQ(hat.rows, 9);
  ASSERT_EQ(hat.cols, 5);
  ExpectColumn(hat, 1, 1, {1, 0.5}, 0);
  for (int i = 2; i <= 4; ++i) ExpectColumn(hat, i, 2 * i - 2, {0.5, 1, 0.5}, 0);
  ExpectColumn(hat, 5, 8, {0.5, 1}, 0);
  const Matrix box = BuildSynthesisP(0.0, 3);
  ASSERT_EQ(box.rows, 17);
  ExpectColumn(box, 1, 1, {1}, 0);
  for (int i = 2; i <= 9; ++i) ExpectColumn(box, i, 2 * i - 2, {1, 1}, 0);
  // b is 1 - a, one unit in the last place below 0.2 for Delta 0.4.
  EXPECT_EQ(GetElement(BuildSynthesisP(0.4, 2), 2, 1), 1 - (1 - 0.5 * 0.4));
  EXPECT_NE(GetElement(BuildSynthesisP(0.4, 2), 2, 1), 0.2);
}

TEST_F(FiltersTest, SynthesisQ) {
  const std::vector<double> left{-0.1722, 0.7180, -0.5838, 0.0359};
  const std::vector<double> interior{0.0090, -0.1792, 0.7167, -0.5824, 0.0358};
  const std::vector<double> right{-0.0090, 0.1809, -0.7229, 0.5783};
  const Matrix q = BuildSynthesisQ(0.4, 2);
  ASSERT_EQ(q.rows, 9);
  ASSERT_EQ(q.cols, 4);
  ExpectColumn(q, 1, 1, left, 5e-5);
  ExpectColumn(q, 2, 2, interior, 5e-5);
  ExpectColumn(q, 3, 4, interior, 5e-5);
  ExpectColumn(q, 4, 6, right, 5e-5);
  const Matrix q1 = BuildSynthesisQ(0.4, 1);  // boundary wavelets only
  ASSERT_EQ(q1.cols, 2);
  ExpectColumn(q1, 1, 1, left, 5e-5);
  ExpectColumn(q1, 2, 2, right, 5e-5);
  // The same sets at every level, interior columns two rows apart.
  const Matrix q4 = BuildSynthesisQ(0.4, 4);
  ASSERT_EQ(q4.rows, 33);
  for (int k = 1; k <= 5; ++k) EXPECT_EQ(GetElement(q4, 27 + k, 15), GetElement(q, k + 1, 2));
  for (int k = 1; k <= 4; ++k) EXPECT_EQ(GetElement(q4, 29 + k, 16), GetElement(q, 5 + k, 4));

  // Delta 1: symmetric interior set, right end the negated mirror of the left.
  const Matrix hat = BuildSynthesisQ(1.0, 3);
  ExpectColumn(hat, 2, 2, {0.0474, -0.3788, 0.6629, -0.3788, 0.0474}, 5e-5);
  ExpectColumn(hat, 1, 1, {-0.3584, 0.6758, -0.3883, 0.0485}, 5e-5);
  for (int k = 1; k <= 4; ++k) EXPECT_NEAR(GetElement(hat, 13 + k, 8), -GetElement(hat, 5 - k, 1), 1e-14);
  // Every column ends positive.
  for (double delta : {0.01, 0.73}) {
    const Matrix m = BuildSynthesisQ(delta, 3);
    for (int col = 1; col <= m.cols; ++col) {
      int last = m.rows;
      while (GetElement(m, last, col) == 0.0) --last;
      EXPECT_GT(GetElement(m, last, col), 0.0) << "Delta " << delta << " column " << col;
    }
  }
}

// Under the fine inner product the wavelets are orthogonal to the coarse
// scaling functions (to the four-digit coefficients for Delta 0), except the
// first and last pair: the systems give the end scaling functions a neighbour
// outside the interval (weight 1 + q instead of 1 + b q or 1 + a q).
TEST_F(FiltersTest, WaveletsAreOrthogonalToCoarseScalingFunctions) {
  for (double delta : {0.0, 0.2, 0.4, 1.0}) {
    const Matrix q = BuildSynthesisQ(delta, 3);
    const Matrix cross =
        blac_test::Gram(BuildSynthesisP(delta, 3), blac_test::FineInnerProduct(delta, 17), q);
    const double a = 1 - 0.5 * delta;
    if (delta == 0.4) { EXPECT_NEAR(GetElement(cross, 1, 1), 0.00918, 1e-5); }
    for (int i = 1; i <= 9; ++i) {
      for (int k = 1; k <= 8; ++k) {
        double want = 0.0;
        if (i == 1 && k == 1) want = -a * delta / 6 * GetElement(q, 1, 1);
        if (i == 9 && k == 8) want = -(1 - a) * delta / 6 * GetElement(q, 17, 8);
        EXPECT_NEAR(GetElement(cross, i, k), want, delta == 0.0 ? 1e-5 : 1e-15)
            << "Delta " << delta << " (" << i << "," << k << ")";
      }
    }
  }
}

TEST_F(FiltersTest, RecomputeFillsEveryLevelFromCurrentDelta) {
  appState.currentDelta = 0.7;
  appState.delta = 0.1;
  RecomputeSynthesisMatrices();
  for (int j = 2; j <= 6; ++j) {
    EXPECT_TRUE(SameBits(appState.synthesisP[j], BuildSynthesisP(0.7, j))) << j;
    EXPECT_TRUE(SameBits(appState.synthesisQ[j], BuildSynthesisQ(0.7, j))) << j;
  }
  EXPECT_EQ(appState.synthesisP[1].rows, 0);
}

TEST_F(FiltersTest, FitWaveletUsesDeltaAndSetsTheCaption) {
  FitWavelet();  // no view yet: no caption
  EXPECT_NEAR(appState.waveletCoeffs[2], 0.7167, 5e-5);
  std::vector<std::string> captions;
  appState.setGrafikCaption = [&](const std::string& text) { captions.push_back(text); };
  appState.delta = 0.0;
  appState.currentDelta = 1.0;
  FitWavelet();
  EXPECT_EQ(appState.waveletCoeffs, (std::array<double, 5>{0, 0, 0.70444, -0.704449, 0}));
  appState.delta = 1.0;
  FitWavelet();
  EXPECT_NEAR(appState.waveletCoeffs[0], 0.0474, 5e-5);
  EXPECT_EQ(captions, (std::vector<std::string>{"Nullmatrix", "Keine Nullen"}));
}

TEST(StartupTest, TablesSampleFiltersAndFit) {
  ResetAppState();
  RunStartupNumerics();
  for (int i = 0; i <= 9; ++i) {
    EXPECT_EQ(appState.pow2[i], std::ldexp(1.0, i));
    EXPECT_EQ(appState.invPow2[i], std::ldexp(1.0, -i));
    EXPECT_EQ(appState.intPow2[i], 1 << i);
  }
  const Matrix& d = appState.dataMatrix;
  // Row index i + 2 goes with 7 i / 64, column index j + 2 with 3 j / 64.
  EXPECT_DOUBLE_EQ(GetElement(d, 1, 1), 0.7 * std::sin(-7.0 / 64) * std::sin(-3.0 / 64));
  EXPECT_EQ(GetElement(d, 2, 2), 0.0);
  EXPECT_DOUBLE_EQ(GetElement(d, 10, 3), 0.7 * std::sin(56.0 / 64) * std::sin(3.0 / 64));
  EXPECT_DOUBLE_EQ(GetElement(d, 65, 65), 0.7 * std::sin(441.0 / 64) * std::sin(189.0 / 64));
  for (int r = 1; r <= 513; ++r) {
    for (int k = 66; k <= 513; ++k) {
      ASSERT_EQ(GetElement(d, r, k), 0.0);
      ASSERT_EQ(GetElement(d, k, r), 0.0);
    }
  }
  EXPECT_NEAR(GetElement(appState.synthesisQ[6], 1, 1), -0.1722, 5e-5);
  EXPECT_NEAR(appState.waveletCoeffs[3], -0.5824, 5e-5);
}

}  // namespace
