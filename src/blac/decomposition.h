#pragma once
// In-place level-by-level analysis and synthesis of dataMatrix.
#include <vector>

#include "blac/projections.h"  // CoarseGram
#include "linalg/matrix.h"

std::vector<double> CoarseProjection(double delta, int j);   // reads appState.rowBuffer
Matrix WaveletGram(double delta, int j);                     // reads synthesisQ[2]
std::vector<double> WaveletProjection(double delta, int j);  // reads synthesisQ[2], rowBuffer

// Analyses the level-(j+1) block of dataMatrix into level j (rows, then columns).
void DecomposeLevel(int j);
// Synthesises the level-(j+1) block from level j (columns, then rows).
void ReconstructLevel(int j);
