#pragma once
// The Gram matrices and projections of one analysis step as functions of
// their arguments: Delta, level, the wavelet templates and the samples.
#include <cstddef>
#include <vector>

#include "linalg/matrix.h"

// Wavelet templates, 1-based (index 0 unused): the left boundary wavelet
// l_1..l_4, the interior wavelet m_1..m_5 and the right boundary wavelet r_1..r_4.
struct Templates {
  double l[5];
  double m[6];
  double r[5];
};

// The templates from a level-2 wavelet table Q (9 x 4): rows 1-4 of column 1,
// rows 2-6 of column 2, rows 6-9 of column 4.
Templates TemplatesFrom(const Matrix& q2);

// Entry k (1-based) goes to out[(k - 1) * stride], so a batch of rows can be
// laid out side by side; s[k] is sample k (s[0] unused).
void CoarseProjectionInto(double delta, int j, const double* s, double* out, std::size_t stride);
void WaveletProjectionInto(double delta, int j, const Templates& tp, const double* s, double* out,
                           std::size_t stride);

// The Gram matrices are tridiagonal: their diagonal and the diagonal beside
// it, from which the steps factor them without forming the full matrix.
struct GramBands {
  std::vector<double> diagonal;     // G(k, k)
  std::vector<double> offDiagonal;  // G(k + 1, k) = G(k, k + 1)
};
GramBands CoarseGramBands(double delta, int j);
GramBands WaveletGramBands(double delta, int j, const Templates& tp);
Matrix GramFromBands(const GramBands& bands);

Matrix CoarseGram(double delta, int j);
Matrix WaveletGramFrom(double delta, int j, const Templates& tp);
