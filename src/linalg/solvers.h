#pragma once
// Cholesky solver and the coefficient fit of the wavelet filters.
// Right-hand sides, solutions and coefficients are 0-based arrays.
#include <optional>
#include <span>
#include <vector>

#include "linalg/matrix.h"

// Solves A x = b for symmetric positive definite A; b is overwritten with x and
// returned. No result (b untouched) when A is not square.
std::optional<std::span<double>> SolveCholesky(const Matrix& a, std::span<double> b);
// The lower factor L (A = L L^T) exactly as SolveCholesky computes it, for
// callers that solve many right-hand sides with one matrix. A must be square.
Matrix CholeskyFactor(const Matrix& a);
std::span<double> ForwardSubstitution(const Matrix& l, std::span<double> y);
std::span<double> BackSubstitution(const Matrix& u, std::span<double> y);
Matrix Transpose(const Matrix& a);

// Filter coefficients (n + 1 of them) of one wavelet from its n x (n + 1)
// orthogonality system, which is overwritten. For delta == 0 a fixed set is
// chosen by koeffMode (1 left, 0 right, 12345 interior). No result on a wrong
// shape or an unknown koeffMode at delta 0.
std::optional<std::vector<double>> CalcKoeff(Matrix& m, double delta, int j, int n, int koeffMode);
std::span<double> NormalizeKoeff(std::span<const double> x, std::span<double> c, double delta, int n);

constexpr int kKoeffLeft = 1;
constexpr int kKoeffRight = 0;
constexpr int kKoeffInterior = 12345;
