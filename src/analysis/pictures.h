#pragma once
// The four panels of the 2-D picture view as RGBA images, one pixel per grid
// point: the original, its reconstruction from the current coefficients, their
// difference and the coefficients themselves, each with its colour scale.
//
// Orientation is that of the data view seen from above: x (the row index of
// the grid) runs to the right, y (the column index) upwards. Pixel (px, py),
// py counted from the top, shows grid point (px + 1, n - py). A picture taken
// as a surface therefore appears as it was, neither mirrored nor turned.
#include <cstdint>
#include <vector>

#include "linalg/matrix.h"

namespace analysis {

struct Rgba {
  std::uint8_t r, g, b, a;
  bool operator==(const Rgba&) const = default;
};

// width x height pixels, row by row from the top, 4 bytes R, G, B, A each.
struct RgbaImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> bytes;
  Rgba At(int px, int py) const;
};

struct ColourScale {
  double low = 0;   // value at the bottom of the colour bar
  double high = 0;  // value at its top
  // 3 to 5 round values inside [low, high], ascending (one when low == high).
  std::vector<double> ticks;
  // The values are log10 of the magnitudes: tick t stands for 10^t.
  bool logarithmic = false;
};

// A boundary between coefficient blocks, in pixel units of the panel: a
// vertical line at x = position from y = from to y = to, or a horizontal one
// at y = position from x = from to x = to (0 = left or top edge of the panel).
struct BlockLine {
  bool vertical;
  double position, from, to;
};

struct Panel {
  RgbaImage image;
  ColourScale scale;
};

struct Pictures {
  Panel original;        // grey, low = min, high = max of the original
  Panel reconstruction;  // grey on the original's scale
  Panel difference;      // Rekonstruktion - Original, blue-white-red over ±max|e|
  Panel coefficients;    // log10 |c| on a viridis-like map
  std::vector<BlockLine> blockLines;  // between the blocks of the coefficient panel
  bool valid = false;    // false for a bad level, matrix or tables: all empty
};

// The colour maps, t in [0, 1] (clamped); NaN is magenta in all of them.
// Diverging and Viridis are tables of 257 colours: t picks entry round(256 t).
Rgba Grey(double t);
Rgba Diverging(double t);  // 0 blue, 0.5 white, 1 red
Rgba Viridis(double t);

// 3 to 5 round numbers (1, 2, 2.5 or 5 times a power of ten apart) inside [low, high].
std::vector<double> RoundTicks(double low, double high);
// Ticks of a logarithmic scale whose values are log10 of the magnitudes:
// whole decades inside [low, high] (every second one when there are more
// than 5, ending at the top one); with fewer than three decades inside, 1, 2
// and 5 times a power of ten when that gives 2 to 5 ticks, else RoundTicks.
std::vector<double> DecadeTicks(double low, double high);

// The panels for an original of side n(T) (T = TopLevelOf(original)) and the
// coefficients of the top-left n(T) x n(T) block of `coefficients`, analysed
// down to `level`; p and q are the synthesis tables indexed by level, as
// appState.synthesisP / synthesisQ. The reconstruction is ReconstructSurface,
// the very surface MeasureError compares.
Pictures MakePictures(const Matrix& original, const Matrix& coefficients, int level,
                      const std::vector<Matrix>& p, const std::vector<Matrix>& q);

}  // namespace analysis
