#include "analysis/blocks.h"

#include <algorithm>
#include <cstddef>

namespace analysis {

int TopLevelOf(const Matrix& surface) {
  for (int top = kTopLevel + 1; top <= kHighestTopLevel; ++top) {
    if (surface.rows == BlockSide(top) && surface.cols == BlockSide(top)) return top;
  }
  return kTopLevel;
}

Matrix CopyBlock(const Matrix& m, int top) {
  const int side = BlockSide(top);
  const auto n = static_cast<std::size_t>(side);
  Matrix block(side, side);
  const auto stride = static_cast<std::size_t>(m.cols);
  for (std::size_t r = 0; r < n; ++r) {
    const double* from = m.data.get() + r * stride;
    std::copy(from, from + n, block.data.get() + r * n);
  }
  return block;
}

}  // namespace analysis
