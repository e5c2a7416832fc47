#include "analysis/blocks.h"

#include <algorithm>
#include <cstddef>

namespace analysis {

Matrix CopyBlock(const Matrix& m) {
  Matrix block(kBlockSize, kBlockSize);
  const auto stride = static_cast<std::size_t>(m.cols);
  for (std::size_t r = 0; r < kBlockSize; ++r) {
    const double* from = m.data.get() + r * stride;
    std::copy(from, from + kBlockSize, block.data.get() + r * kBlockSize);
  }
  return block;
}

}  // namespace analysis
