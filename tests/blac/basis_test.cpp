// Point evaluation of scaling functions, wavelets and the 2-D expansions.
#include "blac/startup.h"
#include "blac/basis.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "state/state.h"
#include "blac/filters.h"

namespace {

class BasisTest : public ::testing::Test {
protected:
  void SetUp() override {
    ResetAppState();
    RunStartupNumerics();
  }
  static void UseCurrentDelta(double d) {  // as "Berechne!" leaves the filters
    appState.currentDelta = d;
    RecomputeSynthesisMatrices();
  }
  std::mt19937_64 rng{20240607};
  double Uniform(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); }
};

TEST_F(BasisTest, ScalingFunctionValues) {
  const struct {
    double delta, x, want, tol;
  } cases[] = {{0, 0, 0, 0},      {0, 0.5, 1, 0},      {0, 1, 1, 0},       {0, 1.0000001, 0, 0},
               {0, -0.3, 0, 0},   {0.4, 0.2, 0.5, 1e-12}, {0.4, 0.4, 1, 0}, {0.4, 1.2, 0.5, 1e-12},
               {0.4, 1.4, 0, 0},  {0.4, 1.5, 0, 0},    {0.4, -0.1, 0, 0},  {1, 0.5, 0.5, 0},
               {1, 1, 1, 0},      {1, 1.5, 0.5, 0},    {1, 2, 0, 0}};
  for (const auto& c : cases) {
    appState.delta = c.delta;
    EXPECT_NEAR(PhiView(c.x), c.want, c.tol) << "Delta " << c.delta << " x " << c.x;
  }
  // Elsewhere the trapezoid, written here as a clamp.
  for (double d : {0.01, 0.25, 0.73}) {
    appState.delta = appState.currentDelta = d;
    for (int n = 0; n < 400; ++n) {
      const double x = Uniform(-0.5, 2.5);
      EXPECT_NEAR(PhiView(x), std::max(0.0, std::min({x / d, 1.0, (1.0 + d - x) / d})), 1e-12) << x;
      EXPECT_EQ(PhiCurrent(x), PhiView(x));
    }
  }
}

// delta drives the view family at once; currentDelta only with the next computation.
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
  EXPECT_EQ(PhiView(0.5), 1.0);
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
  appState.chosenLevel = 4;
  EXPECT_EQ(PhiViewLevel(0.07), PhiView(0.07 * 16));
}

// The view wavelet is sum_i w_i phi(2^(j+1) x - i), zero outside (0, 3 / 2^j).
TEST_F(BasisTest, ViewWaveletIsTheFiveTermCombination) {
  const auto& w = appState.waveletCoeffs;
  for (double d : {0.4, 1.0, 0.07}) {
    appState.delta = d;
    FitWavelet();
    for (int j = 1; j <= 6; ++j) {
      const double end = std::ldexp(3.0, -j);
      for (double x : {-0.01, 0.0, end, end + 0.01}) EXPECT_EQ(PsiViewJ(x, j), 0.0) << x;
      for (int n = 0; n < 200; ++n) {
        const double x = Uniform(0, end);
        double sum = 0;
        for (int i = 0; i < 5; ++i) sum += w[static_cast<std::size_t>(i)] * PhiView(std::ldexp(x, j + 1) - i);
        EXPECT_NEAR(PsiViewJ(x, j), sum, 1e-12) << "x=" << x << " j=" << j;
      }
    }
  }
  appState.chosenLevel = 3;
  EXPECT_EQ(PsiViewLevel(0.2), PsiViewJ(0.2, 3));
}

// Wavelet k is column k + 2 of synthesisQ[j] over the scaling functions of
// level j + 1; interior ones are translates of wavelet 0.
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
      for (double x : {0.0, 0.3, 0.999, 1.0, 1.02})  // no wavelet with these indices
        for (int k : {-2, n - 1, n}) EXPECT_EQ(PsiCurrentJK(x, k, j), 0.0);
    }
  }
}

// Sum over every basis pair of level j with coefficient dataMatrix(a + 2, b + 2):
// scaling translations -1 .. lastPhi, wavelet indices -1 .. 2^j - 2.
double BruteForce(bool phiX, bool phiY, double x, double y, int j, int lastPhi) {
  const auto f = [](bool phi, double t, int i, int level) {
    return phi ? PhiCurrentJK(t, i, level) : PsiCurrentJK(t, i, level);
  };
  double s = 0;
  for (int a = -1; a <= (phiX ? lastPhi : (1 << j) - 2); ++a) {
    const double fx = f(phiX, x, a, j);
    if (fx == 0.0) continue;
    for (int b = -1; b <= (phiY ? lastPhi : (1 << j) - 2); ++b)
      s += fx * GetElement(appState.dataMatrix, a + 2, b + 2) * f(phiY, y, b, j);
  }
  return s;
}

// Random coefficients everywhere, so that reading one of an absent basis
// function would show. EvalPhiPhi and EvalPsiPsi are complete sums; the mixed
// ones leave out the rightmost scaling function (translation 2^j - 1) in the
// last cell of their scaling axis, and match the full sum only elsewhere.
TEST_F(BasisTest, ExpansionsEqualTheSumOverAllBasisFunctions) {
  std::uniform_real_distribution<double> u(-1, 1);
  for (int r = 1; r <= kDataMatrixSize; ++r)
    for (int c = 1; c <= kDataMatrixSize; ++c) SetElement(appState.dataMatrix, r, c, u(rng));
  for (double d : {0.4, 1.0, 0.05, 0.73, 0.0}) {
    UseCurrentDelta(d);
    for (int j : {2, 3, 4, 6}) {
      const int n = 1 << j;
      std::vector<std::pair<double, double>> points{{0.0, 0.0}, {-0.001, 0.37}, {0.37, -0.001}};
      for (int s = 0; s < 150; ++s) points.emplace_back(Uniform(0, 1), Uniform(0, 1));
      for (int s = 0; s < 30; ++s) {  // last cells
        points.emplace_back(Uniform(1.0 - 1.0 / n, 1.0), Uniform(0, 1));
        points.emplace_back(Uniform(0, 1), Uniform(1.0 - 1.0 / n, 1.0));
      }
      for (int g = 0; g < n; g += std::max(1, n / 8)) points.emplace_back(1.0 * g / n, (n - 1.0 - g) / n);
      int omittedSeen = 0;
      for (const auto& [x, y] : points) {
        SCOPED_TRACE(::testing::Message() << "D=" << d << " j=" << j << " x=" << x << " y=" << y);
        ASSERT_NEAR(EvalPhiPhi(x, y, j), BruteForce(true, true, x, y, j, n - 1), 1e-12);
        ASSERT_NEAR(EvalPsiPsi(x, y, j), BruteForce(false, false, x, y, j, n - 1), 1e-12);
        const double phiPsi = EvalPhiPsi(x, y, j), psiPhi = EvalPsiPhi(x, y, j);
        ASSERT_NEAR(phiPsi, BruteForce(true, false, x, y, j, n - 2), 1e-12);
        ASSERT_NEAR(psiPhi, BruteForce(false, true, x, y, j, n - 2), 1e-12);
        const double fullPhiPsi = BruteForce(true, false, x, y, j, n - 1);
        const double fullPsiPhi = BruteForce(false, true, x, y, j, n - 1);
        if (static_cast<int>(x * n) != n - 1) ASSERT_NEAR(phiPsi, fullPhiPsi, 1e-12);
        else if (std::abs(phiPsi - fullPhiPsi) > 1e-9) ++omittedSeen;
        if (static_cast<int>(y * n) != n - 1) ASSERT_NEAR(psiPhi, fullPsiPhi, 1e-12);
        else if (std::abs(psiPhi - fullPsiPhi) > 1e-9) ++omittedSeen;
      }
      EXPECT_GT(omittedSeen, 0) << "D=" << d << " j=" << j;  // the omission is real
    }
  }
  // Truncation toward zero: just left of 0 is cell 0 (above); below cell 0 gives -1.
  for (auto eval : {EvalPhiPhi, EvalPhiPsi, EvalPsiPsi, EvalPsiPhi}) {
    EXPECT_EQ(eval(-0.02, 0.37, 6), -1.0);
    EXPECT_EQ(eval(0.37, -0.02, 6), -1.0);
    EXPECT_EQ(eval(-0.5, -0.5, 2), -1.0);
  }
}

// At 513 points the data view evaluates wavelets of level 9, made of the
// level-10 scaling functions with the columns of Q of level 9.
TEST_F(BasisTest, LevelNineWaveletsAreColumnExpansionsOfQ) {
  SetTopLevel(9);
  for (double d : {0.4, 0.0}) {
    UseCurrentDelta(d);
    const Matrix& q = appState.synthesisQ[9];
    ASSERT_EQ(q.rows, 1025);
    for (int k : {-1, 0, 1, 255, 509, 510}) {
      for (int s = 0; s < 12; ++s) {
        const double x = std::ldexp(k + Uniform(-0.2, 3.2), -9);
        double sum = 0;
        for (int r = 1; r <= 1025; ++r) sum += GetElement(q, r, k + 2) * PhiCurrentJK(x, r - 2, 10);
        ASSERT_NEAR(PsiCurrentJK(x, k, 9), sum, 1e-12) << "D=" << d << " k=" << k << " x=" << x;
      }
    }
    EXPECT_EQ(PsiCurrentJK(0.5, 511, 9), 0.0);  // one past the last wavelet
  }
  // The expansions at level 9 read coefficients up to matrix index 513 and stay finite.
  for (int r = 1; r <= kDataMatrixSize; ++r)
    for (int c = 1; c <= kDataMatrixSize; ++c) SetElement(appState.dataMatrix, r, c, std::sin(0.1 * r + 0.3 * c));
  for (auto eval : {EvalPhiPhi, EvalPhiPsi, EvalPsiPsi, EvalPsiPhi})
    EXPECT_TRUE(std::isfinite(eval(0.9999, 0.9999, 9)));
}

}  // namespace

