// Energies per block and error measures, against hand-worked values.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>

#include "analysis/curves.h"
#include "analysis/energy.h"
#include "analysis/error.h"
#include "analysis/threshold.h"
#include "blac/level_steps.h"

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

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// Each of max |e|, RMS and PSNR, compared as NaN where NaN is due.
void ExpectMeasures(const analysis::ErrorMeasures& m, double maxAbs, double rms, double psnr,
                    bool exact, bool constant) {
  auto same = [](double got, double want) { return std::isnan(want) ? std::isnan(got) : got == want; };
  EXPECT_TRUE(same(m.maxAbs, maxAbs)) << "max |e| " << m.maxAbs;
  EXPECT_TRUE(same(m.rms, rms)) << "rms " << m.rms;
  EXPECT_TRUE(same(m.psnr, psnr)) << "psnr " << m.psnr;
  EXPECT_EQ(m.exact, exact);
  EXPECT_EQ(m.constantOriginal, constant);
}

// A NaN or an infinity at one point reaches every measure; beyond the 65 x 65
// block it reaches none. The original's range is 4 (4 at (1,1), else 0).
TEST(ErrorMeasures, NaNAndInfinityReachEveryMeasure) {
  const struct {
    int r, c;
    double inOriginal, inSurface;
    double maxAbs, rms, psnr;
  } cases[]{{2, 3, 0, kNaN, kNaN, kNaN, kNaN},   {2, 3, 0, kInf, kInf, kInf, -kInf},
            {65, 65, 0, -kInf, kInf, kInf, -kInf}, {65, 65, kNaN, 0, kNaN, kNaN, kNaN},
            {1, 1, kNaN, 4, kNaN, kNaN, kNaN},     {1, 2, kInf, kInf, kNaN, kNaN, kNaN},
            {66, 2, kNaN, kNaN, 0, 0, kInf},      {3, 66, 0, kInf, 0, 0, kInf}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.r << ", " << c.c);
    Matrix original(66, 66), surface(66, 66);
    SetElement(original, 1, 1, 4);
    SetElement(surface, 1, 1, 4);
    SetElement(original, c.r, c.c, c.inOriginal);
    SetElement(surface, c.r, c.c, c.inSurface);
    const bool exact = c.rms == 0;
    ExpectMeasures(analysis::CompareSurfaces(original, surface), c.maxAbs, c.rms, c.psnr, exact, false);
    ExpectMeasures(analysis::MeasureError(original, surface, 6, {}, {}), c.maxAbs, c.rms, c.psnr,
                   exact, false);
  }
  // A NaN detail spreads over the synthesised surface.
  const auto tables = BuildSynthesisTables(0.4);
  Matrix coefficients(65, 65);
  SetElement(coefficients, 40, 1, kNaN);
  ExpectMeasures(analysis::MeasureError(Matrix(65, 65), coefficients, 5, tables), kNaN, kNaN, kNaN,
                 false, true);

  // Energies: only the block holding it, the total and the shares.
  for (const double bad : {kNaN, kInf}) {
    Matrix m(65, 65);
    SetElement(m, 1, 1, 3);    // approximation at level 5
    SetElement(m, 1, 40, 2);   // row detail
    SetElement(m, 40, 1, bad); // column detail
    const auto report = analysis::MeasureEnergies(m, 5);
    ASSERT_EQ(report.blocks.size(), 4u);
    EXPECT_EQ(report.blocks[0].sumOfSquares, 9);
    EXPECT_EQ(report.blocks[1].sumOfSquares, 4);
    EXPECT_EQ(std::isnan(report.blocks[2].sumOfSquares), std::isnan(bad));
    EXPECT_EQ(report.blocks[3].sumOfSquares, 0);
    EXPECT_EQ(std::isnan(report.total), std::isnan(bad));
    EXPECT_TRUE(report.sharesDefined);
    // x / NaN and inf / inf are NaN, a finite sum over inf is 0.
    for (std::size_t k : {0u, 1u, 3u}) EXPECT_EQ(std::isnan(report.blocks[k].share), std::isnan(bad)) << k;
    EXPECT_TRUE(std::isnan(report.blocks[2].share));
    if (!std::isnan(bad)) {
      EXPECT_EQ(report.total, kInf);
      EXPECT_EQ(report.blocks[0].share, 0);
    }
  }

  // Curves: every point's RMS is NaN, its x stays.
  Matrix broken(65, 65);
  SetElement(broken, 30, 30, kNaN);
  const auto curve = analysis::ErrorOverShare(broken, 5, 0.4);
  ASSERT_EQ(curve.size(), 101u);
  for (int p = 0; p <= 100; ++p) {
    EXPECT_EQ(curve[p].x, p);
    EXPECT_TRUE(std::isnan(curve[p].rms)) << p;
  }
}

// Too few rows or columns, levels outside 2..6 and missing or misshapen
// tables: NaN measures, empty reports and curves, nothing kept or changed.
TEST(ErrorMeasures, WrongShapesAndLevelsGiveTheDocumentedAnswer) {
  const Matrix good(65, 65);
  const auto tables = BuildSynthesisTables(0.4);
  for (const auto& [rows, cols] : {std::pair{64, 65}, {65, 64}, {1, 65}, {65, 2}}) {
    SCOPED_TRACE(testing::Message() << rows << " x " << cols);
    Matrix bad(rows, cols);
    for (int k = 0; k < rows * cols; ++k) bad.data[k] = 1;
    ExpectMeasures(analysis::CompareSurfaces(bad, good), kNaN, kNaN, kNaN, false, false);
    ExpectMeasures(analysis::CompareSurfaces(good, bad), kNaN, kNaN, kNaN, false, false);
    ExpectMeasures(analysis::MeasureError(good, bad, 6, tables), kNaN, kNaN, kNaN, false, false);
    ExpectMeasures(analysis::MeasureError(good, bad, 3, tables), kNaN, kNaN, kNaN, false, false);
    ExpectMeasures(analysis::MeasureError(bad, good, 3, tables), kNaN, kNaN, kNaN, false, false);
    const auto report = analysis::MeasureEnergies(bad, 4);
    EXPECT_TRUE(report.blocks.empty());
    EXPECT_EQ(report.total, 0);
    EXPECT_TRUE(analysis::ErrorOverDelta(bad, 4, 50).empty());
    EXPECT_TRUE(analysis::ErrorOverShare(bad, 4, 0.4).empty());
    const auto kept = analysis::KeepLargestDetails(bad, 4, 0);
    EXPECT_EQ(kept.kept + kept.details, 0);
    for (int k = 0; k < rows * cols; ++k) ASSERT_EQ(bad.data[k], 1) << k;
  }
  // Levels: 2 and 6 are the ends of the range, 1 and 7 one past them.
  EXPECT_EQ(analysis::MeasureEnergies(good, 2).blocks.size(), 13u);
  EXPECT_EQ(analysis::MeasureEnergies(good, 6).blocks.size(), 1u);
  EXPECT_EQ(analysis::ErrorOverShare(good, 2, 0.4).size(), 101u);
  EXPECT_EQ(analysis::ErrorOverShare(good, 5, 0.4).size(), 101u);
  for (const int level : {1, 7}) {
    SCOPED_TRACE(level);
    EXPECT_TRUE(analysis::MeasureEnergies(good, level).blocks.empty());
    EXPECT_TRUE(analysis::ErrorOverDelta(good, level, 50).empty());
    ExpectMeasures(analysis::MeasureError(good, good, level, tables), kNaN, kNaN, kNaN, false, false);
  }
  ExpectMeasures(analysis::MeasureError(good, good, 2, tables), 0, 0, kNaN, true, true);
  // Tables: the one of level 5 missing (P[0..4] only), or one of the wrong shape.
  auto shortTables = tables;
  shortTables.p.erase(shortTables.p.begin() + 5, shortTables.p.end());
  ExpectMeasures(analysis::MeasureError(good, good, 5, shortTables), kNaN, kNaN, kNaN, false, false);
  for (const bool inQ : {false, true}) {
    // Matrix assignment never reshapes: build the vector anew.
    SynthesisTables wrong{0.4, {}, {}, {}};
    for (std::size_t j = 0; j < tables.p.size(); ++j) {
      const Matrix &p = tables.p[j], &q = tables.q[j];
      wrong.p.push_back(j == 2 && !inQ ? Matrix(p.rows, p.cols + 1) : p);
      wrong.q.push_back(j == 2 && inQ ? Matrix(q.rows, q.cols + 1) : q);
    }
    ExpectMeasures(analysis::MeasureError(good, good, 2, wrong), kNaN, kNaN, kNaN, false, false);
    ExpectMeasures(analysis::MeasureError(good, good, 3, wrong), 0, 0, kNaN, true, true);
  }
}

}  // namespace
