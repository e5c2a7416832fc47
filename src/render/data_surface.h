#pragma once
// The data view's height field: the approximation alone or the multiscale layout.

void DrawDataSurface();
void EmitCell(double x, double y, double h, double z00, double z10, double z01, double z11);
