#include "sources/resample.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// rows x cols samples of f(r, c), row by row.
std::vector<double> Table(int rows, int cols, double (*f)(int, int)) {
  std::vector<double> values;
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c) values.push_back(f(r, c));
  return values;
}

TEST(ResampleTest, SmallSourcesAgainstHandValues) {
  struct Case {
    std::vector<double> source;
    int rows, cols;
    std::vector<std::vector<double>> points;  // i, k, value
  };
  const std::vector<Case> cases = {
      // Rows run along x: (x0, y0) = 1, (x0, y1) = 2, (x1, y0) = 4, (x1, y1) = 8, so
      // f(x, y) = (1-x)(1-y) + 2(1-x)y + 4x(1-y) + 8xy; the centre is the mean.
      {{1, 2, 4, 8},
       2,
       2,
       {{1, 1, 1}, {1, 65, 2}, {65, 1, 4}, {65, 65, 8}, {33, 33, 3.75}, {17, 49, 3.0625}}},
      // 10 r + c^2: grid row 33 lies on source row 1, grid row 17 halfway to it.
      {{0, 1, 4, 10, 11, 14, 20, 21, 24}, 3, 3, {{33, 33, 11}, {17, 17, 5.5}, {49, 49, 17.5}, {9, 1, 2.5}}},
      // Not square. 65 x 2 of r + 100 c: grid row i is source row i - 1, and
      // along y the value climbs by 100 / 64 per grid column.
      {Table(65, 2, [](int r, int c) { return r + 100.0 * c; }), 65, 2,
       {{1, 1, 0}, {65, 65, 164}, {10, 33, 59}, {65, 17, 89}, {2, 2, 2.5625}}},
      // 2 x 65 of 100 r + c: the same turned over.
      {Table(2, 65, [](int r, int c) { return 100.0 * r + c; }), 2, 65,
       {{1, 1, 0}, {65, 65, 164}, {33, 10, 59}, {17, 65, 89}, {65, 1, 100}, {2, 2, 2.5625}}},
      // 3 x 5 of 10 r + c^2: grid row i at source row (i - 1) / 32, grid
      // column k at source column (k - 1) / 16.
      {Table(3, 5, [](int r, int c) { return 10.0 * r + c * c; }), 3, 5,
       {{17, 9, 5.5}, {49, 25, 17.5}, {33, 57, 22.5}, {65, 65, 36}, {1, 65, 16}, {65, 1, 20}, {5, 5, 1.5}}},
  };
  for (const auto& c : cases) {
    const Matrix grid = ResampleToGrid(c.source, c.rows, c.cols);
    for (const auto& p : c.points)
      EXPECT_DOUBLE_EQ(GetElement(grid, int(p[0]), int(p[1])), p[2])
          << c.rows << ": " << p[0] << ", " << p[1];
  }
}

TEST(ResampleTest, SamplesOnGridPointsAreCopiedBitForBit) {
  std::vector<double> same(65 * 65), fine(129 * 129);
  for (std::size_t n = 0; n < same.size(); ++n) same[n] = 0.1 * double(n) - 1e-300 / 3;
  for (std::size_t n = 0; n < fine.size(); ++n) fine[n] = 1.0 / (1.0 + double(n));
  const Matrix copy = ResampleToGrid(same, 65, 65);
  EXPECT_EQ(std::memcmp(copy.data.get(), same.data(), same.size() * sizeof(double)), 0);
  // 129 samples: grid point i sits on sample 2 (i - 1).
  const Matrix down = ResampleToGrid(fine, 129, 129);
  for (int i = 1; i <= 65; ++i)
    for (int k = 1; k <= 65; ++k) ASSERT_EQ(GetElement(down, i, k), fine[(2 * i - 2) * 129 + (2 * k - 2)]);
}

TEST(ResampleTest, BilinearReproducedCornersExactFlatStaysFlat) {
  // 100 x 70 samples of 2x - y + 3xy + 0.1, which bilinear interpolation reproduces.
  std::vector<double> values;
  for (int r = 0; r < 100; ++r)
    for (int c = 0; c < 70; ++c)
      values.push_back(2 * r / 99.0 - c / 69.0 + 3 * (r / 99.0) * (c / 69.0) + 0.1);
  const Matrix grid = ResampleToGrid(values, 100, 70);
  for (int i = 1; i <= 65; ++i)
    for (int k = 1; k <= 65; ++k) {
      const double x = (i - 1) / 64.0, y = (k - 1) / 64.0;
      EXPECT_NEAR(GetElement(grid, i, k), 2 * x - y + 3 * x * y + 0.1, 1e-13);
    }
  EXPECT_EQ(GetElement(grid, 1, 65), values[69]);
  EXPECT_EQ(GetElement(grid, 65, 1), values[99 * 70]);
  EXPECT_EQ(GetElement(grid, 65, 65), values.back());
  // (1 - t) 0.9 + t 0.9 rounds away from 0.9 for some t = k/64.
  const Matrix flat = ResampleToGrid(std::vector<double>(37 * 23, 0.9), 37, 23);
  for (int n = 0; n < 65 * 65; ++n) ASSERT_EQ(flat.data[n], 0.9);
}

}  // namespace
