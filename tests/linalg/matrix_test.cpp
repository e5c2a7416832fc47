#include "linalg/matrix.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

Matrix FromRows(int rows, int cols, std::initializer_list<double> values) {
  Matrix m(rows, cols);
  int k = 0;
  for (double v : values) m.data[k++] = v;
  return m;
}

std::string Captured(auto&& action) {
  testing::internal::CaptureStdout();
  action();
  return testing::internal::GetCapturedStdout();
}

TEST(MatrixTest, ConstructionGivesPositiveZerosAndRowMajorAccess) {
  Matrix m(3, 2);
  EXPECT_EQ(GetRows(m), 3);
  EXPECT_EQ(GetCols(m), 2);
  for (int k = 0; k < 6; ++k) {
    EXPECT_EQ(m.data[k], 0.0);
    EXPECT_FALSE(std::signbit(m.data[k]));
  }
  m.data[2] = 7.0;
  EXPECT_EQ(GetElement(m, 2, 1), 7.0);
  SetElement(m, 3, 2, -4.0);
  EXPECT_EQ(m.data[5], -4.0);
  SetElement(m, 1, 2, 9.0);
  EXPECT_EQ(m.data[1], 9.0);
}

TEST(MatrixTest, ReportErrorWritesWindows1252AndNewline) {
  EXPECT_EQ(Captured([] { ReportError("In =: Matrix-Dimensionen stimmen nicht überein!"); }),
            "In =: Matrix-Dimensionen stimmen nicht \xFC" "berein!\n");
  EXPECT_EQ(ToWindows1252("Größe €"), "Gr\xF6\xDF" "e \x80");
  EXPECT_EQ(ToWindows1252("\xE4\xB8\xAD"), "?");  // U+4E2D has no Windows-1252 byte
}

TEST(MatrixTest, AssignmentCopiesEqualShapesIntoOwnStorage) {
  Matrix target(5, 1);
  const Matrix source = FromRows(5, 1, {1, -2, 3, -4, 5});
  const double* storage = target.data.get();
  target = source;
  for (int i = 1; i <= 5; ++i) EXPECT_EQ(GetElement(target, i, 1), GetElement(source, i, 1));
  EXPECT_EQ(target.data.get(), storage);

  target = FromRows(5, 1, {6, 7, 8, 9, 10});  // from a temporary
  EXPECT_EQ(target.data.get(), storage);
  EXPECT_EQ(GetElement(target, 5, 1), 10.0);
}

TEST(MatrixTest, AssignmentOfOtherShapeIsReportedAndLeavesTargetUntouched) {
  Matrix target = FromRows(4, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
  const Matrix before = target;
  const Matrix source(3, 4);  // same element count, other shape
  const std::string expected = "In =: Matrix-Dimensionen stimmen nicht \xFC" "berein!\n";

  EXPECT_EQ(Captured([&] { target = source; }), expected);
  EXPECT_EQ(Captured([&] { target = Matrix(3, 4); }), expected);
  EXPECT_EQ(target.rows, 4);
  EXPECT_EQ(target.cols, 3);
  for (int k = 0; k < 12; ++k) EXPECT_EQ(target.data[k], before.data[k]);
}

TEST(MatrixTest, SumAddsElementwiseAndRefusesOtherShapes) {
  const Matrix a = FromRows(2, 3, {1, 2, 3, 4, 5, 6});
  const Matrix b = FromRows(2, 3, {10, 20, 30, 40, 50, 60});
  const auto sum = a + b;
  ASSERT_TRUE(sum.has_value());
  EXPECT_EQ(GetElement(*sum, 2, 1), 44.0);
  EXPECT_EQ(GetElement(*sum, 1, 3), 33.0);

  std::optional<Matrix> refused;
  EXPECT_EQ(Captured([&] { refused = a + Matrix(3, 2); }),
            "In +: Matrix-Dimensionen stimmen nicht \xFC" "berein!\n");
  EXPECT_FALSE(refused.has_value());
}

TEST(MatrixTest, ProductShapesDotAndOuterProduct) {
  const Matrix row = FromRows(1, 3, {1, 2, 3});
  const Matrix col = FromRows(3, 1, {4, -5, 6});
  const auto dot = row * col;
  ASSERT_TRUE(dot.has_value());
  EXPECT_EQ(dot->rows, 1);
  EXPECT_EQ(dot->cols, 1);
  EXPECT_EQ(GetElement(*dot, 1, 1), 12.0);

  const auto outer = col * row;
  ASSERT_TRUE(outer.has_value());
  ASSERT_EQ(outer->rows, 3);
  ASSERT_EQ(outer->cols, 3);
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j)
      EXPECT_EQ(GetElement(*outer, i, j), GetElement(col, i, 1) * GetElement(row, 1, j));

  // Non-square factors pin down which index runs where.
  const Matrix a = FromRows(2, 3, {1, 2, 3, 4, 5, 6});
  const Matrix b = FromRows(3, 2, {7, 8, 9, 10, 11, 12});
  const auto ab = a * b;
  ASSERT_TRUE(ab.has_value());
  EXPECT_EQ(GetElement(*ab, 1, 1), 58.0);
  EXPECT_EQ(GetElement(*ab, 1, 2), 64.0);
  EXPECT_EQ(GetElement(*ab, 2, 1), 139.0);
  EXPECT_EQ(GetElement(*ab, 2, 2), 154.0);
}

TEST(MatrixTest, ProductChecksOnlyInnerDimension) {
  std::optional<Matrix> refused;
  EXPECT_EQ(Captured([&] { refused = Matrix(2, 3) * Matrix(2, 3); }),
            "In *: Matrix-Dimensionen stimmen nicht \xFC" "berein!\n");
  EXPECT_FALSE(refused.has_value());
  EXPECT_EQ(Captured([&] { refused = Matrix(4, 2) * Matrix(2, 7); }), "");
  ASSERT_TRUE(refused.has_value());
  EXPECT_EQ(refused->rows, 4);
  EXPECT_EQ(refused->cols, 7);
}

TEST(MatrixTest, ProductAccumulatesFromPositiveZeroInAscendingOrder) {
  const Matrix zeros = FromRows(1, 2, {-0.0, -0.0});
  const auto z = zeros * FromRows(2, 1, {1, 1});
  ASSERT_TRUE(z.has_value());
  EXPECT_FALSE(std::signbit(GetElement(*z, 1, 1)));

  // ((1 + 1e17) - 1e17) is 0, while descending k would give 1.
  const auto ordered = FromRows(1, 3, {1, 1e17, -1e17}) * FromRows(3, 1, {1, 1, 1});
  ASSERT_TRUE(ordered.has_value());
  EXPECT_EQ(GetElement(*ordered, 1, 1), 0.0);
}

}  // namespace
