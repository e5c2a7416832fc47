#include "analysis/energy.h"

#include "analysis/blocks.h"

namespace analysis {

namespace {

double SumOfSquares(const Matrix& m, int firstRow, int lastRow, int firstCol, int lastCol) {
  double sum = 0;
  for (int r = firstRow; r <= lastRow; ++r) {
    for (int c = firstCol; c <= lastCol; ++c) {
      const double v = GetElement(m, r, c);
      sum += v * v;
    }
  }
  return sum;
}

}  // namespace

EnergyReport MeasureEnergies(const Matrix& coefficients, int level, int top) {
  EnergyReport report;
  if (!ValidLevel(level, top) || !HoldsBlock(coefficients, top)) return report;

  auto add = [&](BlockKind kind, int j, int r0, int r1, int c0, int c1) {
    report.blocks.push_back(
        {kind, j, r0, r1, c0, c1, SumOfSquares(coefficients, r0, r1, c0, c1), 0});
  };
  const int n = BlockSide(level);
  add(BlockKind::Approximation, level, 1, n, 1, n);
  for (int j = level; j < top; ++j) {
    const int coarse = BlockSide(j);
    const int fine = BlockSide(j + 1);
    add(BlockKind::RowDetail, j, 1, coarse, coarse + 1, fine);
    add(BlockKind::ColumnDetail, j, coarse + 1, fine, 1, coarse);
    add(BlockKind::Diagonal, j, coarse + 1, fine, coarse + 1, fine);
  }

  report.total = SumOfSquares(coefficients, 1, BlockSide(top), 1, BlockSide(top));
  report.sharesDefined = report.total != 0;
  if (report.sharesDefined) {
    for (auto& b : report.blocks) b.share = 100 * b.sumOfSquares / report.total;
  }
  return report;
}

}  // namespace analysis
