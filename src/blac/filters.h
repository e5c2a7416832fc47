#pragma once
// Synthesis matrices P and Q of the BLaC multiscale analysis.
#include "linalg/matrix.h"

Matrix InteriorWaveletSystem(double delta);  // 4 x 5
Matrix LeftWaveletSystem(double delta);      // 3 x 4
Matrix RightWaveletSystem(double delta);     // 3 x 4

Matrix BuildSynthesisP(double delta, int j);  // (2^(j+1)+1) x (2^j+1)
Matrix BuildSynthesisQ(double delta, int j);  // (2^(j+1)+1) x 2^j

// synthesisP[j], synthesisQ[j] for j = dataLevel down to 2, from currentDelta.
void RecomputeSynthesisMatrices();
// waveletCoeffs from delta; sets the function view's title once it exists.
void FitWavelet();
