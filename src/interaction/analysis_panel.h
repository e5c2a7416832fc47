#pragma once
// What the "Analyse" window does, without Qt: taking a formula or a file,
// compressing the coefficients shown, and the readouts and curves of the
// current state. Numbers are formatted in the C locale like the labels.
#include <string>
#include <utility>
#include <vector>

// "" when the surface was taken, else the German reason it was refused
// (nothing changed then).
std::string TakeFormula(const std::string& text);
std::string TakeFile(const std::string& path);

// What keeping `percent` % would keep at the level shown: N of M.
struct KeptCount {
  int kept = 0;
  int total = 0;
};
KeptCount CountKept(double percent);
// Keeps the largest detail coefficients at the level shown, drops what the
// level history kept and redraws the data view.
KeptCount ApplyCompression(double percent);
std::string KeptText(const KeptCount& count);  // "behalten: N von M Detailkoeffizienten"

// "max |e| = …   RMS = …   PSNR = … dB" of the current coefficients against the original.
std::string ErrorText();

struct EnergyRow {
  std::string block;
  std::string energy;
  std::string share;  // of the whole block, in %
};
std::vector<EnergyRow> EnergyRows();

struct Curve {
  std::vector<std::pair<double, double>> points;  // empty at level 6
  double markerX = 0;
  double markerY = 0;
  bool marked = false;
};
// RMS error over Delta = 0, 0.01, ..., 1 keeping `percent` %, marked at currentDelta.
Curve ErrorOverDelta(double percent);
// RMS error over p = 0, 1, ..., 100 at currentDelta, marked at `percent`.
Curve ErrorOverShare(double percent);
