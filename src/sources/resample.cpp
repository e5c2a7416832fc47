#include "sources/resample.h"

#include <algorithm>
#include <cstddef>

Matrix ResampleToGrid(const std::vector<double>& values, int rows, int cols) {
  if (rows == kGridPoints && cols == kGridPoints) {
    Matrix grid(kGridPoints, kGridPoints);
    std::copy_n(values.data(), kGridPoints * kGridPoints, grid.data.get());
    return grid;
  }
  const auto stride = static_cast<std::size_t>(cols);
  return ResampleWith(rows, cols, [&](int r, int c) {
    return values[static_cast<std::size_t>(r) * stride + static_cast<std::size_t>(c)];
  });
}
