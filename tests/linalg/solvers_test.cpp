#include "linalg/solvers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
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

void ExpectNear(const std::vector<double>& got, const std::vector<double>& want, double tol) {
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t k = 0; k < got.size(); ++k) EXPECT_NEAR(got[k], want[k], tol) << "entry " << k;
}

std::string CapturedStdout(const std::function<void()>& action) {
  testing::internal::CaptureStdout();
  action();
  return testing::internal::GetCapturedStdout();
}

TEST(SolveCholeskyTest, SolvesInPlace) {
  const Matrix a = FromRows(2, 2, {4, 2, 2, 3});
  const Matrix l = CholeskyFactor(a);
  EXPECT_EQ(GetElement(l, 2, 1), 1.0);
  EXPECT_EQ(GetElement(l, 1, 2), 0.0);
  EXPECT_DOUBLE_EQ(GetElement(l, 2, 2), std::sqrt(2.0));
  std::vector<double> b{2, 1};
  const auto x = SolveCholesky(a, b);
  ASSERT_TRUE(x.has_value());
  EXPECT_EQ(x->data(), b.data());
  ExpectNear(b, {0.5, 0}, 1e-15);

  std::vector<double> single{3};
  SolveCholesky(FromRows(1, 1, {9}), single);
  EXPECT_DOUBLE_EQ(single[0], 1.0 / 3.0);
  std::vector<double> dense{6, 1, 14};  // uses every entry of the factor
  SolveCholesky(FromRows(3, 3, {4, 2, 2, 2, 5, 3, 2, 3, 6}), dense);
  ExpectNear(dense, {1, -2, 3}, 1e-14);

  std::vector<double> untouched{1.5, -2.5};
  EXPECT_EQ(CapturedStdout([&] { EXPECT_FALSE(SolveCholesky(Matrix(2, 3), untouched)); }),
            "Fehler in SolveCholesky: Matrix MUSS quadratisch sein!!\n");
  EXPECT_EQ(untouched, (std::vector<double>{1.5, -2.5}));
}

TEST(SolveCholeskyTest, SubstitutionOrderShowsInRounding) {
  // Forward runs over ascending k ((1e17 - 1e17) - 1), backward over descending k.
  std::vector<double> forward{1e17, 1, 1e17};
  ForwardSubstitution(FromRows(3, 3, {1, 0, 0, 0, 1, 0, 1, 1, 1}), forward);
  EXPECT_EQ(forward[2], -1.0);
  std::vector<double> backward{1e17, 1, 1e17};
  BackSubstitution(FromRows(3, 3, {1, 1, 1, 0, 1, 0, 0, 0, 1}), backward);
  EXPECT_EQ(backward[0], -1.0);
}

TEST(NormalizeKoeffTest, HandComputedFactors) {
  // y = (2, -1, 3, 1): S = 1 + 9, T = 7 + 13 + 7, N = 0.75 * 5 + 0.5 * 10 + 0.25 * 27.
  std::vector<double> c(4);
  NormalizeKoeff(std::vector<double>{2, -1, 3}, c, 0.5, 3);
  const double k = std::sqrt(1 / 15.5);
  ExpectNear(c, {2 * k, -k, 3 * k, k}, 1e-15);
  NormalizeKoeff(std::vector<double>{1, 1, 1}, c, 0.0, 3);  // N = 2 + 2 for Delta 0
  ExpectNear(c, {0.5, 0.5, 0.5, 0.5}, 1e-15);
}

TEST(CalcKoeffTest, RefusesWrongShapesAndUnknownKinds) {
  for (Matrix m : {Matrix(3, 3), Matrix(4, 5)}) {
    EXPECT_EQ(CapturedStdout([&] { EXPECT_FALSE(CalcKoeff(m, 0.4, 2, 3, kKoeffLeft)); }),
              "Fehler in CalcKoeff: Matrix muss eine Spalte mehr als Zeilen haben!\n");
  }
  Matrix boundary = LeftWaveletSystem(0.0);
  EXPECT_EQ(CapturedStdout([&] { EXPECT_FALSE(CalcKoeff(boundary, 0.0, 2, 3, 7)); }), "");
}

TEST(CalcKoeffTest, DeltaZeroGivesFixedSetsAndLeavesMatrix) {
  Matrix interior = InteriorWaveletSystem(0.0);
  SetElement(interior, 2, 2, 123.0);
  EXPECT_EQ(CalcKoeff(interior, 0.0, 3, 4, kKoeffInterior),
            (std::vector<double>{0, 0, 0.70444, -0.704449, 0}));
  EXPECT_EQ(GetElement(interior, 2, 2), 123.0);
  EXPECT_EQ(GetElement(interior, 2, 1), 1.0);
  Matrix boundary = LeftWaveletSystem(0.0);
  EXPECT_EQ(CalcKoeff(boundary, 0.0, 2, 3, kKoeffLeft), (std::vector<double>{0, 0.70444, -0.70444, 0}));
  EXPECT_EQ(CalcKoeff(boundary, 0.0, 2, 3, kKoeffRight), (std::vector<double>{0, 0, 0.70444, -0.70444}));
}

TEST(CalcKoeffTest, InteriorSetsSolveTheSystemAndEliminateInPlace) {
  for (double delta : {0.4, 1.0}) {
    const Matrix original = InteriorWaveletSystem(delta);
    Matrix m = original;
    const std::vector<double> c = CalcKoeff(m, delta, 2, 4, kKoeffInterior).value();
    for (int i = 1; i <= 4; ++i) {  // c is a null vector of the original system
      double s = 0;
      for (int k = 1; k <= 5; ++k) s += GetElement(original, i, k) * c[k - 1];
      EXPECT_NEAR(s, 0.0, 1e-15) << i;
    }
    // Row 1 stays, the subdiagonal is gone, row 2 lost f times row 1.
    const double f = GetElement(original, 2, 1) / GetElement(original, 1, 1);
    EXPECT_EQ(GetElement(m, 1, 2), GetElement(original, 1, 2));
    for (int k = 1; k <= 3; ++k) EXPECT_NEAR(GetElement(m, k + 1, k), 0.0, 1e-15);
    EXPECT_DOUBLE_EQ(GetElement(m, 2, 2), GetElement(original, 2, 2) - f * GetElement(original, 1, 2));
    ExpectNear(c, delta == 1.0 ? std::vector<double>{0.0474, -0.3788, 0.6629, -0.3788, 0.0474}
                               : std::vector<double>{0.0090, -0.1792, 0.7167, -0.5824, 0.0358},
               5e-5);
  }
}

}  // namespace
