#pragma once
// The layout shared by the compression lesson: a level-6 analysis lives in the
// top-left 65 x 65 block of a matrix; at level L its approximation is the
// top-left n(L) x n(L) corner and everything else in the block is detail.
#include "linalg/matrix.h"

namespace analysis {

inline constexpr int kBlockSize = 65;  // n(6)
inline constexpr int kTopLevel = 6;
inline constexpr int kLowestLevel = 2;

// n(j) = 2^j + 1, the side of the level-j approximation.
constexpr int BlockSide(int j) { return (1 << j) + 1; }

// M: the number of detail coefficients of the 65 x 65 block at level L.
constexpr int DetailCount(int level) {
  return kBlockSize * kBlockSize - BlockSide(level) * BlockSide(level);
}

constexpr bool ValidLevel(int level) { return level >= kLowestLevel && level <= kTopLevel; }

// True when the matrix is large enough to hold the 65 x 65 block.
inline bool HoldsBlock(const Matrix& m) {
  return m.data && m.rows >= kBlockSize && m.cols >= kBlockSize;
}

// A 65 x 65 copy of the top-left block: the level steps and the comparisons
// only need that much, and copying a whole 513 x 513 data matrix would cost
// more than the work itself. Precondition: HoldsBlock(m).
Matrix CopyBlock(const Matrix& m);

}  // namespace analysis
