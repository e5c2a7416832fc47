#pragma once
// The four tensor-product function surfaces of the function view.

double ViewPhiPhi(double x, double y);
double ViewPhiPsi(double x, double y);
double ViewPsiPsi(double x, double y);
double ViewPsiPhi(double x, double y);

void DrawScalingSurface();
void DrawWavelet1Surface();
void DrawWavelet2Surface();
void DrawWavelet3Surface();

void DrawFlatQuad(double x1, double y1, double z1, double x2, double y2, double z2,
                  double x3, double y3, double z3, double x4, double y4, double z4,
                  double nx, double ny, double nz);
