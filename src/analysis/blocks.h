#pragma once
// The layout shared by the compression lesson: an analysis from the top level
// T (6..9) lives in the top-left n(T) x n(T) block of a matrix; at level L its
// approximation is the top-left n(L) x n(L) corner and everything else in the
// block is detail. Functions that take no top level work at level 6 (65 x 65).
#include "linalg/matrix.h"

namespace analysis {

inline constexpr int kBlockSize = 65;  // n(6)
inline constexpr int kTopLevel = 6;
inline constexpr int kHighestTopLevel = 9;
inline constexpr int kLowestLevel = 2;

// n(j) = 2^j + 1, the side of the level-j approximation.
constexpr int BlockSide(int j) { return (1 << j) + 1; }

constexpr bool ValidTopLevel(int top) { return top >= kTopLevel && top <= kHighestTopLevel; }

// M: the number of detail coefficients of the n(top) x n(top) block at level L.
constexpr int DetailCount(int level, int top = kTopLevel) {
  return BlockSide(top) * BlockSide(top) - BlockSide(level) * BlockSide(level);
}

constexpr bool ValidLevel(int level, int top = kTopLevel) {
  return ValidTopLevel(top) && level >= kLowestLevel && level <= top;
}

// The top level of a surface: T for a square n(T) x n(T) matrix with T in
// 7..9, else 6 (a 65 x 65 surface, or the 65 x 65 block of a larger matrix).
int TopLevelOf(const Matrix& surface);

// True when the matrix is large enough to hold the n(top) x n(top) block.
inline bool HoldsBlock(const Matrix& m, int top = kTopLevel) {
  return ValidTopLevel(top) && m.data && m.rows >= BlockSide(top) && m.cols >= BlockSide(top);
}

// An n(top) x n(top) copy of the top-left block: the level steps and the
// comparisons only need that much, and copying a whole 513 x 513 data matrix
// would cost more than the work itself at level 6. Precondition: HoldsBlock(m, top).
Matrix CopyBlock(const Matrix& m, int top = kTopLevel);

}  // namespace analysis
