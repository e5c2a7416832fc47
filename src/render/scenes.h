#pragma once
// Composition of the two scenes and the redraw entry points.

void RedrawGrafik();
void RedrawDaten();
void DrawGrafikScene();
void DrawDatenScene();
void DrawAxes(double a, double b, double c);
void PlaceScalingFunction();
void PlaceWavelet1();
void PlaceWavelet2();
void PlaceWavelet3();

// Paint and resize of a view: viewAspect from its client size, then its redraw.
// A view with an empty client area (minimised) is not redrawn.
void GrafikPaintOrResize(int clientWidth, int clientHeight);
void DatenPaintOrResize(int clientWidth, int clientHeight);
