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

// Calls visit(value, index) for every detail of the block in row-major order.
template <class Visit>
void ForEachDetail(Matrix& coefficients, int level, int top, Visit visit) {
  const auto n = static_cast<std::uint32_t>(BlockSide(level));
  const auto side = static_cast<std::uint32_t>(BlockSide(top));
  const auto stride = static_cast<std::size_t>(coefficients.cols);
  double* data = coefficients.data.get();
  for (std::uint32_t r = 0; r < side; ++r) {
    double* row = data + r * stride;
    // 0-based: in the approximation rows the details start at column n(L) + 1.
    for (std::uint32_t c = r < n ? n : 0; c < side; ++c) visit(row[c], r * side + c);
  }
}

std::vector<Key> DetailKeys(const Matrix& coefficients, int level, int top) {
  std::vector<Key> keys;
  keys.reserve(static_cast<std::size_t>(DetailCount(level, top)));
  ForEachDetail(const_cast<Matrix&>(coefficients), level, top,
                [&](double v, std::uint32_t index) { keys.push_back({MagnitudeOf(v), index}); });
  return keys;
}

double& At(Matrix& m, std::uint32_t index, std::uint32_t side) {
  return m.data[index / side * static_cast<std::size_t>(m.cols) + index % side];
}

// The first key that is not kept: the one at position `kept` of the ranking.
// A histogram of the top 16 bits of the magnitudes finds the bucket that holds
// it, and only that bucket is partially ordered, instead of all the details.
Key FirstDropped(Matrix& coefficients, int level, int top, std::size_t kept) {
  constexpr int kShift = 48;
  std::vector<std::uint32_t> count(std::size_t{1} << 16, 0);
  ForEachDetail(coefficients, level, top,
                [&](double v, std::uint32_t) { ++count[MagnitudeOf(v) >> kShift]; });
  std::size_t before = 0;  // details in the buckets of larger magnitudes
  std::size_t bucket = count.size() - 1;
  while (before + count[bucket] <= kept) before += count[bucket--];
  std::vector<Key> candidates;
  candidates.reserve(count[bucket]);
  ForEachDetail(coefficients, level, top, [&](double v, std::uint32_t index) {
    const std::uint64_t magnitude = MagnitudeOf(v);
    if ((magnitude >> kShift) == bucket) candidates.push_back({magnitude, index});
  });
  const auto nth = candidates.begin() + static_cast<std::ptrdiff_t>(kept - before);
  std::nth_element(candidates.begin(), nth, candidates.end(), RanksBefore);
  return *nth;
}

}  // namespace

KeepCount KeepLargestDetails(Matrix& coefficients, int level, double percent, int top) {
  if (!ValidLevel(level, top) || !HoldsBlock(coefficients, top)) return {};
  const int details = DetailCount(level, top);
  const int kept = KeptDetailCount(details, percent);
  if (kept == details) return {kept, details};
  // Only the split matters, not the order on either side of it: exactly the
  // details that rank before the first dropped one stay.
  if (kept == 0) {
    ForEachDetail(coefficients, level, top, [](double& v, std::uint32_t) { v = 0.0; });
  } else {
    const Key first = FirstDropped(coefficients, level, top, static_cast<std::size_t>(kept));
    ForEachDetail(coefficients, level, top, [&](double& v, std::uint32_t index) {
      if (!RanksBefore({MagnitudeOf(v), index}, first)) v = 0.0;
    });
  }
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
