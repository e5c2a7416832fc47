#include "analysis/threshold.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "analysis/blocks.h"

namespace analysis {

namespace {

// Ranking key: the bits of |v| order non-negative doubles (+inf included) like
// their values, as unsigned integers; every NaN maps to one value above +inf,
// so the comparison is a strict total order with no floating-point compare.
struct Key {
  std::uint64_t magnitude;
  std::uint32_t index;  // row-major position in the block
};

constexpr std::uint64_t kNanMagnitude = 0x7FF0000000000001ULL;  // +inf's bits + 1

std::uint64_t MagnitudeOf(double v) {
  return std::isnan(v) ? kNanMagnitude : std::bit_cast<std::uint64_t>(std::fabs(v));
}

bool RanksBefore(const Key& a, const Key& b) {
  return a.magnitude > b.magnitude || (a.magnitude == b.magnitude && a.index < b.index);
}

}  // namespace

int KeptDetailCount(int details, double percent) {
  if (std::isnan(percent)) return details;
  const double p = std::clamp(percent, 0.0, 100.0);
  return static_cast<int>(std::round(p * details / 100.0));
}

KeepCount KeepLargestDetails(Matrix& coefficients, int level, double percent, int top) {
  if (!ValidLevel(level, top) || !HoldsBlock(coefficients, top)) return {};
  const int details = DetailCount(level, top);
  const auto side = static_cast<std::uint32_t>(BlockSide(top));
  const int kept = KeptDetailCount(details, percent);
  if (kept == details) return {kept, details};

  const int n = BlockSide(level);
  const auto stride = static_cast<std::size_t>(coefficients.cols);
  double* data = coefficients.data.get();
  auto at = [&](std::uint32_t index) -> double& {
    return data[index / side * stride + index % side];
  };

  std::vector<Key> keys;
  keys.reserve(static_cast<std::size_t>(details));
  for (std::uint32_t r = 0; r < side; ++r) {
    // 0-based: in the approximation rows the details start at column n(L) + 1.
    for (std::uint32_t c = r < static_cast<std::uint32_t>(n) ? static_cast<std::uint32_t>(n) : 0; c < side; ++c) {
      const std::uint32_t index = r * side + c;
      keys.push_back({MagnitudeOf(at(index)), index});
    }
  }
  // Only the split matters, not the order on either side of it.
  const auto firstDropped = keys.begin() + kept;
  if (kept > 0) std::nth_element(keys.begin(), firstDropped, keys.end(), RanksBefore);
  for (auto it = firstDropped; it != keys.end(); ++it) at(it->index) = 0.0;
  return {kept, details};
}

}  // namespace analysis
