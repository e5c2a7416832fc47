#include "linalg/matrix.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

const std::string kMismatch = " Matrix-Dimensionen stimmen nicht \xFC" "berein!\n";

Matrix FromRows(int rows, int cols, std::initializer_list<double> values) {
  Matrix m(rows, cols);
  int k = 0;
  for (double v : values) m.data[k++] = v;
  return m;
}

template <class Action>
std::string Captured(Action action) {
  testing::internal::CaptureStdout();
  action();
  return testing::internal::GetCapturedStdout();
}

TEST(MatrixTest, ZeroFilledOneBasedRowMajor) {
  Matrix m(3, 2);
  for (int k = 0; k < 6; ++k) EXPECT_TRUE(m.data[k] == 0.0 && !std::signbit(m.data[k]));
  m.data[2] = 7.0;
  EXPECT_EQ(GetElement(m, 2, 1), 7.0);
  SetElement(m, 3, 2, -4.0);
  EXPECT_EQ(m.data[5], -4.0);
}

TEST(MatrixTest, ReportErrorWritesWindows1252) {
  EXPECT_EQ(Captured([] { ReportError("In =: Matrix-Dimensionen stimmen nicht überein!"); }),
            "In =:" + kMismatch);
  EXPECT_EQ(ToWindows1252("Größe €\xE4\xB8\xAD"), "Gr\xF6\xDF" "e \x80?");
}

TEST(MatrixTest, AssignmentCopiesOnlyBetweenEqualShapes) {
  Matrix target = FromRows(4, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
  const Matrix before = target;
  const Matrix sameCount(3, 4);
  EXPECT_EQ(Captured([&] { target = sameCount; }), "In =:" + kMismatch);
  EXPECT_EQ(Captured([&] { target = Matrix(3, 4); }), "In =:" + kMismatch);
  ASSERT_EQ(target.rows, 4);
  ASSERT_EQ(target.cols, 3);
  for (int k = 0; k < 12; ++k) EXPECT_EQ(target.data[k], before.data[k]);

  Matrix vector(5, 1);
  const double* storage = vector.data.get();
  vector = FromRows(5, 1, {1, -2, 3, -4, 5});
  EXPECT_EQ(vector.data.get(), storage);
  for (int i = 1; i <= 5; ++i) EXPECT_EQ(GetElement(vector, i, 1), i % 2 ? i : -i);
}

TEST(MatrixTest, SumAndProducts) {
  const Matrix a = FromRows(2, 3, {1, 2, 3, 4, 5, 6});
  EXPECT_EQ(GetElement((a + FromRows(2, 3, {10, 20, 30, 40, 50, 60})).value(), 2, 1), 44.0);
  std::optional<Matrix> refused;
  EXPECT_EQ(Captured([&] { refused = a + Matrix(3, 2); }), "In +:" + kMismatch);
  EXPECT_FALSE(refused.has_value());
  EXPECT_EQ(Captured([&] { refused = a * a; }), "In *:" + kMismatch);
  EXPECT_FALSE(refused.has_value());

  const Matrix row = FromRows(1, 3, {1, 2, 3});
  const Matrix col = FromRows(3, 1, {4, -5, 6});
  EXPECT_EQ(GetElement((row * col).value(), 1, 1), 12.0);
  const Matrix outer = (col * row).value();
  ASSERT_EQ(outer.rows, 3);
  ASSERT_EQ(outer.cols, 3);
  EXPECT_EQ(GetElement(outer, 2, 3), -15.0);
  EXPECT_EQ(GetElement(outer, 3, 2), 12.0);
  const Matrix ab = (a * FromRows(3, 2, {7, 8, 9, 10, 11, 12})).value();
  EXPECT_EQ(GetElement(ab, 1, 2), 64.0);
  EXPECT_EQ(GetElement(ab, 2, 1), 139.0);

  // Sums start from +0 and run over ascending k: descending k would give 1.
  EXPECT_FALSE(std::signbit(GetElement((FromRows(1, 2, {-0.0, -0.0}) * Matrix(2, 1)).value(), 1, 1)));
  EXPECT_EQ(GetElement((FromRows(1, 3, {1, 1e17, -1e17}) * FromRows(3, 1, {1, 1, 1})).value(), 1, 1), 0.0);
}

}  // namespace
