#include "analysis/threshold.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
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
  if (std::isnan(v)) return kNanMagnitude;
  // memcpy rather than std::bit_cast, which the WebAssembly build's C++ library lacks.
  const double magnitude = std::fabs(v);
  std::uint64_t bits = 0;
  std::memcpy(&bits, &magnitude, sizeof bits);
  return bits;
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

namespace {

std::vector<Key> DetailKeys(const Matrix& coefficients, int level, int top) {
  const int n = BlockSide(level);
  const auto side = static_cast<std::uint32_t>(BlockSide(top));
  const auto stride = static_cast<std::size_t>(coefficients.cols);
  const double* data = coefficients.data.get();
  std::vector<Key> keys;
  keys.reserve(static_cast<std::size_t>(DetailCount(level, top)));
  for (std::uint32_t r = 0; r < side; ++r) {
    const double* row = data + r * stride;
    // 0-based: in the approximation rows the details start at column n(L) + 1.
    for (std::uint32_t c = r < static_cast<std::uint32_t>(n) ? static_cast<std::uint32_t>(n) : 0; c < side; ++c) {
      keys.push_back({MagnitudeOf(row[c]), r * side + c});
    }
  }
  return keys;
}

double& At(Matrix& m, std::uint32_t index, std::uint32_t side) {
  return m.data[index / side * static_cast<std::size_t>(m.cols) + index % side];
}

}  // namespace

KeepCount KeepLargestDetails(Matrix& coefficients, int level, double percent, int top) {
  if (!ValidLevel(level, top) || !HoldsBlock(coefficients, top)) return {};
  const int details = DetailCount(level, top);
  const int kept = KeptDetailCount(details, percent);
  if (kept == details) return {kept, details};
  const auto side = static_cast<std::uint32_t>(BlockSide(top));
  std::vector<Key> keys = DetailKeys(coefficients, level, top);
  // Only the split matters, not the order on either side of it.
  const auto firstDropped = keys.begin() + kept;
  if (kept > 0) std::nth_element(keys.begin(), firstDropped, keys.end(), RanksBefore);
  for (auto it = firstDropped; it != keys.end(); ++it) At(coefficients, it->index, side) = 0.0;
  return {kept, details};
}

std::vector<std::uint32_t> RankDetails(const Matrix& coefficients, int level, int top) {
  std::vector<std::uint32_t> ranking;
  if (!ValidLevel(level, top) || !HoldsBlock(coefficients, top)) return ranking;
  std::vector<Key> keys = DetailKeys(coefficients, level, top);
  std::sort(keys.begin(), keys.end(), RanksBefore);
  ranking.reserve(keys.size());
  for (const Key& k : keys) ranking.push_back(k.index);
  return ranking;
}

void DropRankedAfter(Matrix& coefficients, const std::vector<std::uint32_t>& ranking, int kept,
                     int top) {
  const auto side = static_cast<std::uint32_t>(BlockSide(top));
  for (std::size_t e = static_cast<std::size_t>(std::max(kept, 0)); e < ranking.size(); ++e)
    At(coefficients, ranking[e], side) = 0.0;
}

}  // namespace analysis
