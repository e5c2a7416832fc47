#include "sources/resample.h"

#include <algorithm>
#include <cstddef>

Matrix ResampleToGrid(const std::vector<double>& values, int rows, int cols, int points) {
  if (rows == points && cols == points) {
    Matrix grid(points, points);
    std::copy_n(values.data(), static_cast<std::size_t>(points) * static_cast<std::size_t>(points),
                grid.data.get());
    return grid;
  }
  const auto stride = static_cast<std::size_t>(cols);
  return ResampleWith(
      rows, cols,
      [&](int r, int c) { return values[static_cast<std::size_t>(r) * stride + static_cast<std::size_t>(c)]; },
      points);
}

namespace resample_detail {

std::vector<int> IndicesRead(int samples) {
  std::vector<int> indices;
  for (const Stop& s : Stops(samples, kMaxGridPoints)) {
    indices.push_back(s.lo);
    if (s.frac != 0.0) indices.push_back(s.lo + 1);
  }
  std::sort(indices.begin(), indices.end());
  indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
  return indices;
}

}  // namespace resample_detail

Matrix ResampleKept(const SourceSamples& kept, int points) {
  // Where each source index sits among the kept ones (-1: not kept, never read).
  std::vector<int> rowAt(static_cast<std::size_t>(kept.rows), -1);
  std::vector<int> colAt(static_cast<std::size_t>(kept.cols), -1);
  for (std::size_t e = 0; e < kept.keptRows.size(); ++e) rowAt[static_cast<std::size_t>(kept.keptRows[e])] = static_cast<int>(e);
  for (std::size_t e = 0; e < kept.keptCols.size(); ++e) colAt[static_cast<std::size_t>(kept.keptCols[e])] = static_cast<int>(e);
  const std::size_t stride = kept.keptCols.size();
  return ResampleWith(
      kept.rows, kept.cols,
      [&](int r, int c) {
        return kept.values[static_cast<std::size_t>(rowAt[static_cast<std::size_t>(r)]) * stride +
                           static_cast<std::size_t>(colAt[static_cast<std::size_t>(c)])];
      },
      points);
}

SurfaceResult TakenSamples(SourceSamples kept) {
  Matrix grid = ResampleKept(kept);
  return {std::move(grid), {}, std::move(kept)};
}
