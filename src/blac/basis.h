#pragma once
// Point evaluation of BLaC scaling functions, wavelets and the 2-D coefficient
// expansions. The "current" family uses currentDelta, synthesisQ and
// dataMatrix; the "view" family uses the live delta and waveletCoeffs.

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
