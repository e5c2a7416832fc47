#pragma once
// Point evaluation of BLaC scaling functions, wavelets and the 2-D coefficient
// expansions. The "current" family uses currentDelta, synthesisQ and
// dataMatrix; the "view" family uses the live delta and waveletCoeffs.

#include <vector>

#include "linalg/matrix.h"

// What the "current" family reads, passed in: its Delta, the wavelet tables Q
// of each level (index j, as synthesisQ) and the coefficients of the
// expansions (laid out as dataMatrix).
struct CurrentFamily {
  double delta;
  const std::vector<Matrix>* synthesisQ;
  const Matrix* coefficients;
};
// currentDelta, synthesisQ and dataMatrix of appState.
CurrentFamily CurrentFamilyOfAppState();

double PhiCurrentJKOf(const CurrentFamily& f, double x, int k, int j);
double PsiCurrentJKOf(const CurrentFamily& f, double x, int k, int j);
double EvalPhiPhiOf(const CurrentFamily& f, double x, double y, int j);
double EvalPhiPsiOf(const CurrentFamily& f, double x, double y, int j);
double EvalPsiPsiOf(const CurrentFamily& f, double x, double y, int j);
double EvalPsiPhiOf(const CurrentFamily& f, double x, double y, int j);

// The same over appState.
double PhiCurrent(double x);
double PhiView(double x);
double PhiCurrentJK(double x, int k, int j);
double PhiViewJK(double x, int k, int j);
double PhiViewLevel(double x);
double PsiCurrentJK(double x, int k, int j);
double PsiViewJ(double x, int j);
double PsiViewLevel(double x);

// Expansions of dataMatrix at (x, y) on level j; -1.0 for a point left of or
// below the grid (negative cell index).
double EvalPhiPhi(double x, double y, int j);
double EvalPhiPsi(double x, double y, int j);
double EvalPsiPsi(double x, double y, int j);
double EvalPsiPhi(double x, double y, int j);
