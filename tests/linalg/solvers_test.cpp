#include "linalg/solvers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "blac/filters.h"

namespace {

Matrix FromRows(int rows, int cols, std::initializer_list<double> values) {
  Matrix m(rows, cols);
  int k = 0;
  for (double v : values) m.data[k++] = v;
  return m;
}

bool SameBits(const Matrix& a, const Matrix& b) {
  return a.rows == b.rows && a.cols == b.cols &&
         std::memcmp(a.data.get(), b.data.get(), sizeof(double) * a.rows * a.cols) == 0;
}

// Residual of the original system M c = 0 (the last column is the fixed unknown).
double MaxResidual(const Matrix& m, const std::vector<double>& c) {
  double worst = 0;
  for (int i = 1; i <= m.rows; ++i) {
    double s = 0;
    for (int k = 1; k <= m.cols; ++k) s += GetElement(m, i, k) * c[k - 1];
    worst = std::max(worst, std::abs(s));
  }
  return worst;
}

void ExpectNear(const std::vector<double>& got, const std::vector<double>& want, double tol) {
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t k = 0; k < got.size(); ++k) EXPECT_NEAR(got[k], want[k], tol) << "entry " << k;
}

const std::string kCalcKoeffMessage =
    "Fehler in CalcKoeff: Matrix muss eine Spalte mehr als Zeilen haben!\n";

TEST(SolveCholeskyTest, SolvesTwoByTwoInPlace) {
  const Matrix a = FromRows(2, 2, {4, 2, 2, 3});
  const Matrix l = CholeskyFactor(a);
  EXPECT_EQ(GetElement(l, 1, 1), 2.0);
  EXPECT_EQ(GetElement(l, 1, 2), 0.0);
  EXPECT_EQ(GetElement(l, 2, 1), 1.0);
  EXPECT_DOUBLE_EQ(GetElement(l, 2, 2), std::sqrt(2.0));

  std::vector<double> b{2, 1};
  const auto x = SolveCholesky(a, b);
  ASSERT_TRUE(x.has_value());
  EXPECT_EQ(x->data(), b.data());
  EXPECT_DOUBLE_EQ(b[0], 0.5);
  EXPECT_NEAR(b[1], 0.0, 1e-15);

  std::vector<double> single{3};
  ASSERT_TRUE(SolveCholesky(FromRows(1, 1, {9}), single).has_value());
  EXPECT_DOUBLE_EQ(single[0], 1.0 / 3.0);
}

TEST(SolveCholeskyTest, SolvesFullSystemWithKnownSolution) {
  // A x = b for x = (1, -2, 3); A is dense, so every factor entry is used.
  const Matrix a = FromRows(3, 3, {4, 2, 2, 2, 5, 3, 2, 3, 6});
  std::vector<double> b{6, 1, 14};
  ASSERT_TRUE(SolveCholesky(a, b).has_value());
  EXPECT_NEAR(b[0], 1.0, 1e-14);
  EXPECT_NEAR(b[1], -2.0, 1e-14);
  EXPECT_NEAR(b[2], 3.0, 1e-14);
}

TEST(SolveCholeskyTest, RefusesNonSquareMatrix) {
  std::vector<double> b{1.5, -2.5};
  testing::internal::CaptureStdout();
  const auto x = SolveCholesky(Matrix(2, 3), b);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Fehler in SolveCholesky: Matrix MUSS quadratisch sein!!\n");
  EXPECT_FALSE(x.has_value());
  EXPECT_EQ(b, (std::vector<double>{1.5, -2.5}));
}

TEST(SolveCholeskyTest, TriangularHelpers) {
  const Matrix lower = FromRows(3, 3, {2, 0, 0, 1, 4, 0, -1, 2, 5});
  std::vector<double> y{4, 10, 8};  // lower * (2, 2, 1.2)
  ForwardSubstitution(lower, y);
  EXPECT_DOUBLE_EQ(y[0], 2.0);
  EXPECT_DOUBLE_EQ(y[1], 2.0);
  EXPECT_DOUBLE_EQ(y[2], 1.2);

  const Matrix upper = Transpose(lower);
  EXPECT_EQ(GetElement(upper, 1, 3), -1.0);
  EXPECT_EQ(GetElement(upper, 3, 1), 0.0);
  std::vector<double> z{2.2, 6, 5};  // upper * (1.1, 1, 1)
  BackSubstitution(upper, z);
  EXPECT_DOUBLE_EQ(z[0], 1.1);
  EXPECT_DOUBLE_EQ(z[1], 1.0);
  EXPECT_DOUBLE_EQ(z[2], 1.0);

  const Matrix wide = Transpose(FromRows(2, 3, {1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(wide.rows, 3);
  EXPECT_EQ(wide.cols, 2);
  EXPECT_EQ(GetElement(wide, 3, 1), 3.0);
  EXPECT_EQ(GetElement(wide, 1, 2), 4.0);
}

TEST(NormalizeKoeffTest, HandComputedFactors) {
  // y = (2, -1, 3, 1): S = 1 + 9, T = 7 + 13 + 7, N = 0.75 * 5 + 0.5 * 10 + 0.25 * 27.
  const std::vector<double> x{2, -1, 3};
  std::vector<double> c(4);
  NormalizeKoeff(x, c, 0.5, 3);
  const double k = std::sqrt(1 / 15.5);
  ExpectNear(c, {2 * k, -k, 3 * k, k}, 1e-15);

  // y = (1, 1, 1, 1): N = 2 + 2 for Delta 0, 0.5 * 2 + 0.5 * 3 for Delta 1.
  const std::vector<double> ones{1, 1, 1};
  NormalizeKoeff(ones, c, 0.0, 3);
  ExpectNear(c, {0.5, 0.5, 0.5, 0.5}, 1e-15);
  NormalizeKoeff(ones, c, 1.0, 3);
  const double h = std::sqrt(0.4);
  ExpectNear(c, {h, h, h, h}, 1e-15);
}

TEST(CalcKoeffTest, RefusesWrongShapes) {
  Matrix square(3, 3);
  Matrix tooTall(4, 5);
  std::optional<std::vector<double>> c;
  testing::internal::CaptureStdout();
  c = CalcKoeff(square, 0.4, 2, 3, kKoeffLeft);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), kCalcKoeffMessage);
  EXPECT_FALSE(c.has_value());
  testing::internal::CaptureStdout();
  c = CalcKoeff(tooTall, 0.4, 2, 3, kKoeffLeft);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), kCalcKoeffMessage);
  EXPECT_FALSE(c.has_value());
}

TEST(CalcKoeffTest, DeltaZeroGivesFixedSetsAndLeavesMatrix) {
  Matrix interior = InteriorWaveletSystem(0.0);
  SetElement(interior, 2, 2, 123.0);  // whatever the matrix holds
  const Matrix before = interior;
  const auto c = CalcKoeff(interior, 0.0, 3, 4, kKoeffInterior);
  ASSERT_TRUE(c.has_value());
  EXPECT_EQ(*c, (std::vector<double>{0, 0, 0.70444, -0.704449, 0}));
  EXPECT_TRUE(SameBits(interior, before));

  Matrix left = LeftWaveletSystem(0.0);
  EXPECT_EQ(CalcKoeff(left, 0.0, 2, 3, kKoeffLeft), (std::vector<double>{0, 0.70444, -0.70444, 0}));
  Matrix right = RightWaveletSystem(0.0);
  EXPECT_EQ(CalcKoeff(right, 0.0, 2, 3, kKoeffRight),
            (std::vector<double>{0, 0, 0.70444, -0.70444}));

  testing::internal::CaptureStdout();
  EXPECT_FALSE(CalcKoeff(left, 0.0, 2, 3, 7).has_value());
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST(CalcKoeffTest, InteriorSetsSolveTheSystem) {
  for (double delta : {0.4, 1.0}) {
    const Matrix original = InteriorWaveletSystem(delta);
    Matrix m = original;
    const auto c = CalcKoeff(m, delta, 2, 4, kKoeffInterior);
    ASSERT_TRUE(c.has_value());
    EXPECT_LT(MaxResidual(original, *c), 1e-14) << delta;
    EXPECT_GT(c->back(), 0.0);
  }
  Matrix m = InteriorWaveletSystem(0.4);
  ExpectNear(*CalcKoeff(m, 0.4, 2, 4, kKoeffInterior), {0.0090, -0.1792, 0.7167, -0.5824, 0.0358},
             5e-5);
  m = InteriorWaveletSystem(1.0);
  ExpectNear(*CalcKoeff(m, 1.0, 2, 4, kKoeffInterior), {0.0474, -0.3788, 0.6629, -0.3788, 0.0474},
             5e-5);
}

TEST(CalcKoeffTest, BoundarySetsForDeltaOne) {
  Matrix left = LeftWaveletSystem(1.0);
  const Matrix leftOriginal = left;
  const auto l = CalcKoeff(left, 1.0, 2, 3, kKoeffLeft);
  ASSERT_TRUE(l.has_value());
  ExpectNear(*l, {-0.3584, 0.6758, -0.3883, 0.0485}, 5e-5);
  EXPECT_LT(MaxResidual(leftOriginal, *l), 1e-14);

  Matrix right = RightWaveletSystem(1.0);
  const Matrix rightOriginal = right;
  const auto r = CalcKoeff(right, 1.0, 2, 3, kKoeffRight);
  ASSERT_TRUE(r.has_value());
  ExpectNear(*r, {-0.0485, 0.3883, -0.6758, 0.3584}, 5e-5);
  EXPECT_LT(MaxResidual(rightOriginal, *r), 1e-14);
  for (int k = 0; k < 4; ++k) EXPECT_NEAR((*r)[k], -(*l)[3 - k], 1e-14);
}

TEST(CalcKoeffTest, EliminatesSubdiagonalInPlace) {
  const Matrix original = InteriorWaveletSystem(0.4);
  Matrix m = original;
  ASSERT_TRUE(CalcKoeff(m, 0.4, 2, 4, kKoeffInterior).has_value());
  for (int col = 1; col <= 5; ++col) EXPECT_EQ(GetElement(m, 1, col), GetElement(original, 1, col));
  for (int k = 1; k <= 3; ++k) EXPECT_NEAR(GetElement(m, k + 1, k), 0.0, 1e-15);
  // Row 2 minus f times row 1, f = (a + q) / (q + b).
  const double f = GetElement(original, 2, 1) / GetElement(original, 1, 1);
  EXPECT_DOUBLE_EQ(GetElement(m, 2, 2), GetElement(original, 2, 2) - f * GetElement(original, 1, 2));
  EXPECT_EQ(GetElement(m, 2, 3), GetElement(original, 2, 3));
}

}  // namespace
