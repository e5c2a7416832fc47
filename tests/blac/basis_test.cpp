// Point evaluation of scaling functions, wavelets and the 2-D expansions,
// checked against worked values and against sums formed independently.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "app/state.h"
#include "blac/basis.h"
#include "blac/filters.h"
#include "linalg/matrix.h"

namespace {

class BasisTest : public ::testing::Test {
protected:
  void SetUp() override {
    ResetAppState();
    RunStartupNumerics();
  }
  // Filter matrices for a new current Delta, as "Berechne!" leaves them.
  static void UseCurrentDelta(double d) {
    appState.currentDelta = d;
    RecomputeSynthesisMatrices();
  }
  std::mt19937_64 rng{20240607};
  double Uniform(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); }
};

// The trapezoid written as a clamp, a different route from the case table.
double ClampedTrapezoid(double x, double d) {
  return std::max(0.0, std::min({x / d, 1.0, (1.0 + d - x) / d}));
}

TEST_F(BasisTest, ScalingFunctionWorkedValues) {
  appState.delta = 0.0;
  EXPECT_EQ(PhiView(0.0), 0.0);
  EXPECT_EQ(PhiView(0.5), 1.0);
  EXPECT_EQ(PhiView(1.0), 1.0);
  EXPECT_EQ(PhiView(1.0000001), 0.0);
  EXPECT_EQ(PhiView(-0.3), 0.0);

  appState.delta = 0.4;
  EXPECT_NEAR(PhiView(0.2), 0.5, 1e-12);
  EXPECT_EQ(PhiView(0.4), 1.0);
  EXPECT_NEAR(PhiView(1.2), 0.5, 1e-12);
  EXPECT_EQ(PhiView(1.4), 0.0);
  EXPECT_EQ(PhiView(1.5), 0.0);
  EXPECT_EQ(PhiView(-0.1), 0.0);

  appState.delta = 1.0;
  EXPECT_EQ(PhiView(0.5), 0.5);
  EXPECT_EQ(PhiView(1.0), 1.0);
  EXPECT_EQ(PhiView(1.5), 0.5);
  EXPECT_EQ(PhiView(2.0), 0.0);
}

TEST_F(BasisTest, ScalingFunctionIsTheClampedTrapezoidForEveryDelta) {
  for (double d : {0.01, 0.25, 0.4, 0.73, 1.0}) {
    appState.delta = d;
    appState.currentDelta = d;
    for (int n = 0; n < 400; ++n) {
      const double x = Uniform(-0.5, 2.5);
      EXPECT_NEAR(PhiView(x), ClampedTrapezoid(x, d), 1e-12) << "x=" << x << " D=" << d;
      EXPECT_EQ(PhiCurrent(x), PhiView(x));
    }
  }
}

// delta drives the view family at once; currentDelta (and the data view)
// changes only with the next computation.
TEST_F(BasisTest, DeltaAndCurrentDeltaAreSeparate) {
  appState.delta = 1.0;
  EXPECT_EQ(PhiView(1.2), 0.8);
  EXPECT_NEAR(PhiCurrent(1.2), 0.5, 1e-12);  // currentDelta still 0.4
  const double before = EvalPsiPsi(0.3, 0.6, 4);
  const double phiBefore = PhiCurrentJK(0.3, 4, 4);
  appState.delta = 0.0;
  FitWavelet();
  EXPECT_EQ(EvalPsiPsi(0.3, 0.6, 4), before);
  EXPECT_EQ(PhiCurrentJK(0.3, 4, 4), phiBefore);

  appState.currentDelta = 1.0;
  EXPECT_EQ(PhiView(0.5), 1.0);  // delta 0: box
  EXPECT_EQ(PhiCurrent(0.5), 0.5);
}

TEST_F(BasisTest, DilatedTranslatesArePhiOfTwoToTheJXMinusK) {
  for (int n = 0; n < 500; ++n) {
    const int j = static_cast<int>(rng() % 10);
    const int k = static_cast<int>(rng() % 70) - 2;
    const double x = Uniform(-0.1, 1.2);
    EXPECT_NEAR(PhiViewJK(x, k, j), PhiView(std::ldexp(x, j) - k), 1e-12);
    EXPECT_NEAR(PhiCurrentJK(x, k, j), PhiCurrent(std::ldexp(x, j) - k), 1e-12);
  }
  // Level 6, translation 3: non-zero exactly on (3/64, 4.4/64).
  EXPECT_EQ(PhiViewJK(3.0 / 64, 3, 6), 0.0);
  EXPECT_GT(PhiViewJK(3.0 / 64 + 1e-9, 3, 6), 0.0);
  EXPECT_GT(PhiViewJK(4.4 / 64 - 1e-9, 3, 6), 0.0);
  EXPECT_EQ(PhiViewJK(4.4 / 64 + 1e-12, 3, 6), 0.0);
  EXPECT_EQ(PhiViewJK(0.5, 3, 6), 0.0);
  for (int level = 2; level <= 6; ++level) {
    appState.chosenLevel = level;
    const double x = Uniform(0, 0.1);
    EXPECT_EQ(PhiViewLevel(x), PhiView(std::ldexp(x, level)));
  }
}

// The view wavelet is sum_i w_i phi(2^(j+1) x - i), however it picks its terms.
TEST_F(BasisTest, ViewWaveletIsTheFiveTermCombination) {
  const auto& w = appState.waveletCoeffs;
  for (double d : {0.4, 1.0, 0.07}) {
    appState.delta = d;
    FitWavelet();
    for (int j = 1; j <= 6; ++j) {
      const double end = std::ldexp(3.0, -j);
      EXPECT_EQ(PsiViewJ(0.0, j), 0.0);
      EXPECT_EQ(PsiViewJ(-0.01, j), 0.0);
      EXPECT_EQ(PsiViewJ(end, j), 0.0);
      EXPECT_EQ(PsiViewJ(end + 0.01, j), 0.0);
      for (int n = 0; n < 200; ++n) {
        const double x = Uniform(0, end);
        const double t = std::ldexp(x, j + 1);
        double sum = 0;
        for (int i = 0; i < 5; ++i) sum += w[static_cast<std::size_t>(i)] * PhiView(t - i);
        EXPECT_NEAR(PsiViewJ(x, j), sum, 1e-12) << "x=" << x << " j=" << j;
        if (t >= 5.0) {
          EXPECT_NEAR(PsiViewJ(x, j), w[4] * PhiView(t - 4), 1e-12);
        }
      }
    }
  }
  appState.chosenLevel = 3;
  EXPECT_EQ(PsiViewLevel(0.2), PsiViewJ(0.2, 3));
}

// Column k + 2 of synthesisQ[j] expresses wavelet k through the scaling
// functions of level j + 1; every index, boundary ones included.
TEST_F(BasisTest, CurrentWaveletIsTheColumnExpansionOfQ) {
  for (double d : {0.4, 1.0, 0.0, 0.73}) {
    UseCurrentDelta(d);
    for (int j = 2; j <= 6; ++j) {
      const Matrix& q = appState.synthesisQ[static_cast<std::size_t>(j)];
      const int n = 1 << j;
      for (int k = -1; k <= n - 2; ++k) {
        for (int s = 0; s < 12; ++s) {
          const double x = std::ldexp(k + Uniform(-0.2, 3.2), -j);
          double sum = 0;
          for (int r = 1; r <= 2 * n + 1; ++r) sum += GetElement(q, r, k + 2) * PhiCurrentJK(x, r - 2, j + 1);
          ASSERT_NEAR(PsiCurrentJK(x, k, j), sum, 1e-12) << "D=" << d << " j=" << j << " k=" << k << " x=" << x;
          if (k >= 0 && k < n - 2) {
            EXPECT_NEAR(PsiCurrentJK(x, k, j), PsiCurrentJK(x - std::ldexp(k, -j), 0, j), 1e-12);
          }
        }
      }
      // No wavelet with these indices.
      for (double x : {0.0, 0.3, 0.999, 1.0, 1.02}) {
        EXPECT_EQ(PsiCurrentJK(x, n - 1, j), 0.0);
        EXPECT_EQ(PsiCurrentJK(x, n, j), 0.0);
        EXPECT_EQ(PsiCurrentJK(x, -2, j), 0.0);
      }
    }
  }
}

enum class Basis { Phi, Psi };

double BasisValue(Basis b, double x, int index, int j) {
  return b == Basis::Phi ? PhiCurrentJK(x, index, j) : PsiCurrentJK(x, index, j);
}

// Sum over every basis pair of level j: scaling translations -1 .. lastPhi
// (normally 2^j - 1), wavelet indices -1 .. 2^j - 2.
double BruteForce(Basis bx, Basis by, double x, double y, int j, int lastPhi) {
  const int n = 1 << j;
  const int lastX = bx == Basis::Phi ? lastPhi : n - 2;
  const int lastY = by == Basis::Phi ? lastPhi : n - 2;
  double s = 0;
  for (int a = -1; a <= lastX; ++a) {
    const double fx = BasisValue(bx, x, a, j);
    if (fx == 0.0) continue;
    for (int b = -1; b <= lastY; ++b) s += fx * GetElement(appState.dataMatrix, a + 2, b + 2) * BasisValue(by, y, b, j);
  }
  return s;
}

// Random coefficients everywhere, also outside the level's block, so a read
// of a coefficient whose basis function is absent would show.
void FillRandom(std::mt19937_64& rng) {
  std::uniform_real_distribution<double> u(-1, 1);
  for (int r = 1; r <= kDataMatrixSize; ++r)
    for (int c = 1; c <= kDataMatrixSize; ++c) SetElement(appState.dataMatrix, r, c, u(rng));
}

// The expansions against the sum over all basis functions, at random points
// in [0, 1)^2 and at grid points, first and last cells included.
//
// EvalPhiPhi and EvalPsiPsi are complete there. The mixed expansions are not:
// their terms with the scaling index equal to the cell index (a = i in
// EvalPhiPsi, b = k in EvalPsiPhi) carry the condition "< 2^j - 1", so in the
// last cell of the scaling axis the rightmost scaling function (translation
// 2^j - 1, matrix index 2^j + 1) is left out although it is non-zero there.
// For them the guarantee is the brute-force sum without that translation; the
// full sum is matched only away from the last cell.
TEST_F(BasisTest, ExpansionsEqualTheSumOverAllBasisFunctions) {
  FillRandom(rng);
  for (double d : {0.4, 1.0, 0.05, 0.73, 0.0}) {
    UseCurrentDelta(d);
    for (int j : {2, 3, 4, 6}) {
      const int n = 1 << j;
      std::vector<std::pair<double, double>> points;
      for (int s = 0; s < 150; ++s) points.emplace_back(Uniform(0, 1), Uniform(0, 1));
      for (int s = 0; s < 30; ++s) {  // last cells
        points.emplace_back(Uniform(1.0 - 1.0 / n, 1.0), Uniform(0, 1));
        points.emplace_back(Uniform(0, 1), Uniform(1.0 - 1.0 / n, 1.0));
      }
      for (int g = 0; g < n; g += std::max(1, n / 8)) {  // exact grid points
        points.emplace_back(static_cast<double>(g) / n, static_cast<double>(n - 1 - g) / n);
      }
      points.emplace_back(0.0, 0.0);
      int omittedSeen = 0;
      for (const auto& [x, y] : points) {
        SCOPED_TRACE(::testing::Message() << "D=" << d << " j=" << j << " x=" << x << " y=" << y);
        ASSERT_NEAR(EvalPhiPhi(x, y, j), BruteForce(Basis::Phi, Basis::Phi, x, y, j, n - 1), 1e-12);
        ASSERT_NEAR(EvalPsiPsi(x, y, j), BruteForce(Basis::Psi, Basis::Psi, x, y, j, n - 1), 1e-12);
        const double phiPsi = EvalPhiPsi(x, y, j);
        const double psiPhi = EvalPsiPhi(x, y, j);
        ASSERT_NEAR(phiPsi, BruteForce(Basis::Phi, Basis::Psi, x, y, j, n - 2), 1e-12);
        ASSERT_NEAR(psiPhi, BruteForce(Basis::Psi, Basis::Phi, x, y, j, n - 2), 1e-12);
        const bool lastX = static_cast<int>(x * n) == n - 1;
        const bool lastY = static_cast<int>(y * n) == n - 1;
        const double fullPhiPsi = BruteForce(Basis::Phi, Basis::Psi, x, y, j, n - 1);
        const double fullPsiPhi = BruteForce(Basis::Psi, Basis::Phi, x, y, j, n - 1);
        if (!lastX) {
          ASSERT_NEAR(phiPsi, fullPhiPsi, 1e-12);
        }
        if (!lastY) {
          ASSERT_NEAR(psiPhi, fullPsiPhi, 1e-12);
        }
        if (lastX && std::abs(phiPsi - fullPhiPsi) > 1e-9) ++omittedSeen;
        if (lastY && std::abs(psiPhi - fullPsiPhi) > 1e-9) ++omittedSeen;
      }
      // The omission is real, not an artefact of the comparison.
      EXPECT_GT(omittedSeen, 0) << "D=" << d << " j=" << j;
    }
  }
}

// Truncation toward zero: slightly left of 0 is still cell 0.
TEST_F(BasisTest, PointsLeftOfTheGridGiveMinusOneOnlyBelowCellZero) {
  FillRandom(rng);
  const int j = 6;
  const double y = 0.37;
  EXPECT_NEAR(EvalPhiPhi(-0.001, y, j), BruteForce(Basis::Phi, Basis::Phi, -0.001, y, j, 63), 1e-12);
  EXPECT_NE(EvalPhiPhi(-0.001, y, j), -1.0);
  EXPECT_NEAR(EvalPsiPsi(y, -0.001, j), BruteForce(Basis::Psi, Basis::Psi, y, -0.001, j, 63), 1e-12);
  EXPECT_NEAR(EvalPhiPsi(-0.001, y, j), BruteForce(Basis::Phi, Basis::Psi, -0.001, y, j, 63), 1e-12);
  EXPECT_NEAR(EvalPsiPhi(-0.001, -0.001, j), BruteForce(Basis::Psi, Basis::Phi, -0.001, -0.001, j, 63), 1e-12);
  for (auto eval : {EvalPhiPhi, EvalPhiPsi, EvalPsiPsi, EvalPsiPhi}) {
    EXPECT_EQ(eval(-0.02, y, j), -1.0);
    EXPECT_EQ(eval(y, -0.02, j), -1.0);
    EXPECT_EQ(eval(-0.5, -0.5, 2), -1.0);
  }
}

TEST_F(BasisTest, SingleCoefficientGivesTheTensorProduct) {
  Matrix& m = appState.dataMatrix;
  m = Matrix(kDataMatrixSize, kDataMatrixSize);
  SetElement(m, 3, 3, 1.0);
  for (int j : {2, 6}) {
    for (int s = 0; s < 300; ++s) {
      const double x = Uniform(0, 1.05), y = Uniform(0, 1.05);
      EXPECT_NEAR(EvalPhiPhi(x, y, j), PhiCurrentJK(x, 1, j) * PhiCurrentJK(y, 1, j), 1e-15);
    }
  }
}

}  // namespace
