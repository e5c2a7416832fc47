#pragma once
// One analysis or one synthesis step of the level-by-level transform on a
// matrix passed in: what DecomposeLevel and ReconstructLevel do to dataMatrix,
// for any matrix, Delta and tables. Only the top-left (2^(j+1) + 1)^2 block is
// read and written, so a 65 x 65 matrix holds a whole level-6 analysis.
#include <memory>
#include <span>
#include <vector>

#include "linalg/matrix.h"

// Analyses the level-(j+1) block of `data` into level j, rows then columns,
// with the wavelet templates of q2 = BuildSynthesisQ(delta, 2). rowBuffer is
// 1-based scratch of at least 2^(j+1) + 2 entries; it ends up holding the
// last column's samples, as the literal one-row-at-a-time step leaves it.
void AnalyseLevel(Matrix& data, int j, double delta, const Matrix& q2, std::span<double> rowBuffer);

// Synthesises the level-(j+1) block of `data` from level j with that level's
// P and Q, columns then rows.
void SynthesiseLevel(Matrix& data, int j, const Matrix& p, const Matrix& q);

// P and Q of the levels 2 to topLevel for one Delta, indexed by level
// (entries 0 and 1 are empty): everything the steps of that Delta need.
// BuildSynthesisTables also keeps the tables' non-zero entries, which the
// synthesis steps would otherwise gather from P and Q at every step; tables
// whose p or q are changed afterwards must drop them (sparse.reset()).
struct SparseTables;
struct SynthesisTables {
  double delta = 0;
  std::vector<Matrix> p;
  std::vector<Matrix> q;
  std::shared_ptr<const SparseTables> sparse;
};
SynthesisTables BuildSynthesisTables(double delta, int topLevel = 6);

// Several steps in a row, as the level track bar runs them: analysis from
// level `from` down to `to`, or synthesis from `from` up to `to`.
void AnalyseDown(Matrix& data, int from, int to, const SynthesisTables& tables);
void SynthesiseUp(Matrix& data, int from, int to, const SynthesisTables& tables);
// The same with tables held elsewhere (appState.synthesisP / synthesisQ).
void SynthesiseUp(Matrix& data, int from, int to, const std::vector<Matrix>& p,
                  const std::vector<Matrix>& q);
