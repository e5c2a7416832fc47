#pragma once
// The data view's height field: the approximation alone or the multiscale layout.

void DrawDataSurface();
// One mesh cell: a filled quad with its shading normal (gathered, drawn by
// FlushCells) or, for wire frames, a line loop.
void EmitCell(double x, double y, double h, double z00, double z10, double z01, double z11);
