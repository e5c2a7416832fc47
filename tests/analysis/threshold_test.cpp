// Keeping the largest details, against small cases worked out by hand.
#include "analysis/threshold.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

namespace {

struct Entry {
  int r, c;
  double v;
};
using Entries = std::vector<Entry>;

// The bits of v (the WebAssembly build's C++ library has no std::bit_cast).
std::uint64_t Bits(double v) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &v, sizeof bits);
  return bits;
}

// Zeros in the 65 x 65 block, 7 beyond it (stray writes show), then the entries.
Matrix Make(const Entries& entries) {
  Matrix m(70, 72);
  for (int r = 1; r <= 70; ++r)
    for (int c = 1; c <= 72; ++c) SetElement(m, r, c, r > 65 || c > 65 ? 7.0 : 0.0);
  for (const Entry& e : entries) SetElement(m, e.r, e.c, e.v);
  return m;
}

// Keeps on Make(all); the result must equal Make(survivors) bit for bit (signs of zero too).
void Check(int level, double percent, const Entries& all, const Entries& survivors, int kept,
           int details) {
  Matrix m = Make(all);
  const auto count = analysis::KeepLargestDetails(m, level, percent);
  EXPECT_EQ(count.kept, kept) << percent;
  EXPECT_EQ(count.details, details);
  const Matrix expected = Make(survivors);
  for (int k = 0; k < 70 * 72; ++k) {
    ASSERT_EQ(Bits(m.data[k]), Bits(expected.data[k]))
        << "row " << k / 72 + 1 << ", column " << k % 72 + 1 << ", p = " << percent;
  }
}

constexpr int kDetails5 = 65 * 65 - 33 * 33;  // level 5: 3136
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// At level 5, N = round(p * 31.36): 0.04 -> 1, 0.05 -> 2, 0.1 -> 3, 0.16 -> 5.
// Equal magnitudes keep the earlier row-major entry; (1,34) is the first
// detail, so the zero kept at N = 5 is its -0 while (65,65)'s -0 becomes +0.
// A NaN ranks above infinity.
TEST(KeepLargestDetails, LargestFirstEarlierOnTies) {
  const Entries approx{{1, 1, 1e-300}, {33, 33, -0.0}, {2, 2, -1e-9}};
  const Entry five{40, 1, 5}, minusThree{1, 40, -3}, three{2, 34, 3}, two{50, 50, 2};
  const Entry earlyZero{1, 34, -0.0}, lateZero{65, 65, -0.0};
  Entries all = approx;
  all.insert(all.end(), {five, minusThree, three, two, earlyZero, lateZero});
  auto with = [&](Entries more) {
    more.insert(more.end(), approx.begin(), approx.end());
    return more;
  };
  Check(5, 0.05, all, with({five, minusThree}), 2, kDetails5);
  Check(5, 0.1, all, with({five, minusThree, three}), 3, kDetails5);
  Check(5, 0.16, all, with({five, minusThree, three, two, earlyZero}), 5, kDetails5);

  const Entry nan{65, 65, kNaN}, inf{34, 1, kInf}, minusInf{40, 40, -kInf};
  Check(5, 0.04, {nan, inf, minusInf}, {nan}, 1, kDetails5);
  Check(5, 0.05, {nan, inf, minusInf}, {nan, inf}, 2, kDetails5);
}

// p * M / 100 exactly x.5: 0.78125 * 3136 / 100 = 24.5 (level 5), 1.5625 * 3936 / 100 = 61.5.
TEST(KeepLargestDetails, RoundsHalvesAwayFromZeroAndClamps) {
  EXPECT_EQ(analysis::KeptDetailCount(3936, 1.5625), 62);
  EXPECT_EQ(analysis::KeptDetailCount(4200, 33.3), 1399);  // 1398.6
  EXPECT_EQ(analysis::KeptDetailCount(4200, 150), 4200);
  EXPECT_EQ(analysis::KeptDetailCount(4200, -3), 0);
  EXPECT_EQ(analysis::KeptDetailCount(4200, kNaN), 4200);
  Entries all, kept;  // 30 details 1..30 in row 40: keeping 25 drops 1..5
  for (int c = 1; c <= 30; ++c) (c > 5 ? kept : all).push_back({40, c, double(c)});
  all.insert(all.end(), kept.begin(), kept.end());
  Check(5, 0.78125, all, kept, 25, kDetails5);
}

// p = 0: every detail, -0 too, becomes +0; the approximation keeps even the
// smallest values. p = 100, level 6 (M = 0) and a level that does not exist change nothing.
TEST(KeepLargestDetails, NoneAllAndLevelSix) {
  const Entries approx{{1, 1, 1e-300}, {9, 9, -0.0}};
  const Entries all{{1, 1, 1e-300}, {9, 9, -0.0}, {1, 10, -0.0}, {10, 1, 4}, {65, 65, -2}};
  Check(3, 0, all, approx, 0, 4144);
  Check(3, 100, all, all, 4144, 4144);
  Check(6, 0, all, all, 0, 0);
  Check(1, 0, all, all, 0, 0);
}

}  // namespace
