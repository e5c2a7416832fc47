// Energies per block and error measures, against hand-worked values.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>

#include "analysis/energy.h"
#include "analysis/error.h"

namespace {

using analysis::BlockKind;

// One or two entries in each block of level 4, on block corners; the sums of
// squares are 10, 8, 5, 13, 20, 25, 19 (total 100, so shares equal the sums).
TEST(Energies, PerBlockAndShares) {
  Matrix m(66, 70);
  for (int c = 1; c <= 70; ++c) SetElement(m, 66, c, 50);  // outside the block
  for (int r = 1; r <= 65; ++r) SetElement(m, r, 68, 50);
  const struct {
    int r, c;
    double v;
  } entries[]{{1, 1, 3},   {17, 17, 1}, {17, 18, 2}, {1, 33, -2},  {33, 1, 2},
              {18, 17, 1}, {18, 18, 3}, {33, 33, 2}, {1, 34, 4},   {33, 65, 2},
              {34, 33, 4}, {65, 1, -3}, {34, 34, 3}, {65, 65, -3}, {50, 40, 1}};
  for (const auto& e : entries) SetElement(m, e.r, e.c, e.v);
  const auto report = analysis::MeasureEnergies(m, 4);
  EXPECT_EQ(report.total, 100);
  EXPECT_TRUE(report.sharesDefined);
  using Row =
      std::tuple<BlockKind, int, int, int, int, int, double>;  // kind, j, rows, columns, sum
  const Row expected[]{{BlockKind::Approximation, 4, 1, 17, 1, 17, 10},
                       {BlockKind::RowDetail, 4, 1, 17, 18, 33, 8},
                       {BlockKind::ColumnDetail, 4, 18, 33, 1, 17, 5},
                       {BlockKind::Diagonal, 4, 18, 33, 18, 33, 13},
                       {BlockKind::RowDetail, 5, 1, 33, 34, 65, 20},
                       {BlockKind::ColumnDetail, 5, 34, 65, 1, 33, 25},
                       {BlockKind::Diagonal, 5, 34, 65, 34, 65, 19}};
  ASSERT_EQ(report.blocks.size(), std::size(expected));
  for (std::size_t k = 0; k < std::size(expected); ++k) {
    const auto& b = report.blocks[k];
    EXPECT_TRUE(Row(b.kind, b.level, b.firstRow, b.lastRow, b.firstCol, b.lastCol,
                    b.sumOfSquares) == expected[k])
        << k;
    EXPECT_DOUBLE_EQ(b.share, std::get<6>(expected[k])) << k;
  }
  const auto zero = analysis::MeasureEnergies(Matrix(65, 65), 6);
  ASSERT_EQ(zero.blocks.size(), 1u);
  EXPECT_FALSE(zero.sharesDefined);
  EXPECT_EQ(zero.blocks[0].share, 0);
}

// At 129 and 513 the blocks of levels L..top-1 cover the whole block: their
// sums add up to the total, and the shares to 100 %. The levels run from 2 to
// the top level; one past either end gives an empty report.
TEST(Energies, FinerGridsSumToTheTotal) {
  for (int top : {7, 9}) {
    const int side = (1 << top) + 1;
    Matrix m(side, side);
    for (int r = 1; r <= side; ++r)
      for (int c = 1; c <= side; ++c) SetElement(m, r, c, std::sin(0.37 * r + 0.11 * c * c));
    for (int level : {2, top - 1, top}) {
      const auto report = analysis::MeasureEnergies(m, level, top);
      ASSERT_EQ(report.blocks.size(), 1u + 3u * static_cast<unsigned>(top - level)) << top;
      double sum = 0, shares = 0;
      for (const auto& b : report.blocks) {
        sum += b.sumOfSquares;
        shares += b.share;
      }
      EXPECT_NEAR(sum, report.total, 1e-9 * report.total) << top << " " << level;
      EXPECT_NEAR(shares, 100, 1e-9) << top << " " << level;
      EXPECT_EQ(report.blocks.back().lastRow, side) << top;
    }
    EXPECT_TRUE(analysis::MeasureEnergies(m, top + 1, top).blocks.empty());
    EXPECT_TRUE(analysis::MeasureEnergies(m, 1, top).blocks.empty());
    EXPECT_EQ(analysis::DetailCount(2, top), side * side - 25);
    // The same matrix read as a 65 x 65 block by the functions without a top level.
    EXPECT_EQ(analysis::MeasureEnergies(m, 2).blocks.back().lastRow, 65);
  }
}

// At level 6 the comparison is direct: e = 3 at (2,3), -4 at (65,65), so
// max |e| = 4, RMS = sqrt(25 / 4225) = 1/13, PSNR = 20 log10(4 / (1/13)).
TEST(ErrorMeasures, DirectComparisonAndEdgeCases) {
  Matrix original(65, 65);
  SetElement(original, 1, 1, 4);
  Matrix surface(original);
  SetElement(surface, 2, 3, 3);
  SetElement(surface, 65, 65, -4);
  const auto m = analysis::MeasureError(original, surface, 6, {}, {});
  EXPECT_EQ(m.maxAbs, 4);
  EXPECT_DOUBLE_EQ(m.rms, 1.0 / 13);
  EXPECT_DOUBLE_EQ(m.psnr, 20 * std::log10(52.0));
  EXPECT_FALSE(m.exact || m.constantOriginal);

  const auto same = analysis::CompareSurfaces(original, original);
  EXPECT_TRUE(same.exact);
  EXPECT_FALSE(same.constantOriginal);
  EXPECT_EQ(same.psnr, std::numeric_limits<double>::infinity());

  Matrix flat(65, 65);
  for (int k = 0; k < 65 * 65; ++k) flat.data[k] = 2.5;
  const auto constant = analysis::CompareSurfaces(flat, surface);
  EXPECT_TRUE(constant.constantOriginal);
  EXPECT_FALSE(constant.exact);
  EXPECT_TRUE(std::isnan(constant.psnr));
}

}  // namespace
