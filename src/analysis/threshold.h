#pragma once
// Compression by keeping only the largest detail coefficients.
#include <cstdint>
#include <vector>

#include "analysis/blocks.h"
#include "linalg/matrix.h"

namespace analysis {

struct KeepCount {
  int kept = 0;     // N
  int details = 0;  // M
};

// N = round(percent * M / 100), halves away from zero. percent is clamped to
// [0, 100]; a NaN percent counts as 100 so that a bad input never wipes data.
int KeptDetailCount(int details, double percent);

// Keeps the N detail coefficients of largest absolute value in the top-left
// n(top) x n(top) block of `coefficients` analysed from `top` down to `level`
// (2..top) and sets all other detail coefficients to +0; the approximation
// block and everything outside the n(top) x n(top) block stay as they are.
// Equal absolute values rank by row-major position in that block, earlier first. A NaN ranks above
// every number (infinities included): a broken coefficient stays visible
// rather than being quietly hidden by the compression.
// Returns {N, M}; an invalid level or a matrix too small for the block is left
// untouched and gives {0, 0}.
KeepCount KeepLargestDetails(Matrix& coefficients, int level, double percent, int top = kTopLevel);

// The detail coefficients of that block in KeepLargestDetails' order, the
// first kept first, as row-major positions in the block; empty for an invalid
// level or a matrix too small. Keeping the first N of them is what
// KeepLargestDetails does for that N, so one ranking serves every share.
std::vector<std::uint32_t> RankDetails(const Matrix& coefficients, int level, int top = kTopLevel);
// Sets the details ranked after the first `kept` to +0.
void DropRankedAfter(Matrix& coefficients, const std::vector<std::uint32_t>& ranking, int kept,
                     int top = kTopLevel);

}  // namespace analysis
