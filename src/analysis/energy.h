#pragma once
// Sums of squares of the approximation and of every detail block.
#include <vector>

#include "analysis/blocks.h"
#include "linalg/matrix.h"

namespace analysis {

// Where a block sits in the n(top) x n(top) block at level j (n = n(j), n' = n(j+1)).
// The display's first index is x and its second y.
enum class BlockKind {
  Approximation,  // rows 1..n(L) x columns 1..n(L)
  RowDetail,      // rows 1..n x columns n+1..n': coarse along x, wavelet along y
  ColumnDetail,   // rows n+1..n' x columns 1..n: wavelet along x, coarse along y
  Diagonal,       // rows and columns n+1..n': wavelet along both
};

struct BlockEnergy {
  BlockKind kind;
  int level;                                 // j of the detail block; L for the approximation
  int firstRow, lastRow, firstCol, lastCol;  // 1-based
  double sumOfSquares;
  double share;  // % of the whole block's sum of squares; 0 if that is 0
};

struct EnergyReport {
  // The approximation first, then for j = L..top-1 RowDetail, ColumnDetail, Diagonal.
  std::vector<BlockEnergy> blocks;
  double total = 0;            // sum of squares of the whole n(top) x n(top) block
  bool sharesDefined = false;  // false when total is 0 (all shares are then 0)
};

// The energies of the top-left n(top) x n(top) block of `coefficients`
// analysed from `top` down to `level` (2..top). An invalid level or a matrix
// too small for the block gives an empty report.
EnergyReport MeasureEnergies(const Matrix& coefficients, int level, int top = kTopLevel);

}  // namespace analysis
