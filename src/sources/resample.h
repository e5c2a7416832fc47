#pragma once
// Bilinear resampling of a rows x cols source onto the 65 x 65 grid.
//
// Corners are aligned: source row r (0-based) sits at r / (rows - 1) along x,
// grid row i at (i - 1) / 64, and the same for columns along y. Grid points
// that fall on a source sample take its value unchanged, so corners are exact
// copies and a 65 x 65 source comes through bit for bit. Larger sources are
// read at the grid positions only (no area averaging).
#include <array>
#include <vector>

#include "linalg/matrix.h"
#include "sources/surface_result.h"

namespace resample_detail {

// Grid index g (0-based) lies between source samples lo and lo + 1, at
// fraction frac. frac is a multiple of 1/64, hence exact; 0 means on lo.
struct Stop {
  int lo = 0;
  double frac = 0.0;
};

inline std::array<Stop, kGridPoints> Stops(int samples) {
  std::array<Stop, kGridPoints> stops{};
  const int span = kGridPoints - 1;
  for (int g = 0; g < kGridPoints; ++g) {
    const int scaled = g * (samples - 1);  // integers keep the positions exact
    stops[static_cast<std::size_t>(g)] = {scaled / span, static_cast<double>(scaled % span) / span};
  }
  return stops;
}

inline double Lerp(double a, double b, double t) {
  // Equal ends give that value exactly, so flat regions stay flat.
  return a == b ? a : (1.0 - t) * a + t * b;
}

}  // namespace resample_detail

// Resamples a source given by valueAt(r, c) (0-based, r < rows along x,
// c < cols along y); reads at most four samples per grid point.
template <class ValueAt>
Matrix ResampleWith(int rows, int cols, ValueAt valueAt) {
  using resample_detail::Lerp;
  const auto xs = resample_detail::Stops(rows);
  const auto ys = resample_detail::Stops(cols);
  Matrix grid(kGridPoints, kGridPoints);
  for (int i = 0; i < kGridPoints; ++i) {
    const auto& x = xs[static_cast<std::size_t>(i)];
    for (int k = 0; k < kGridPoints; ++k) {
      const auto& y = ys[static_cast<std::size_t>(k)];
      auto alongY = [&](int r) {
        const double v = valueAt(r, y.lo);
        return y.frac == 0.0 ? v : Lerp(v, valueAt(r, y.lo + 1), y.frac);
      };
      const double v = alongY(x.lo);
      SetElement(grid, i + 1, k + 1, x.frac == 0.0 ? v : Lerp(v, alongY(x.lo + 1), x.frac));
    }
  }
  return grid;
}

// `values` holds rows x cols samples row by row (rows, cols >= 1).
Matrix ResampleToGrid(const std::vector<double>& values, int rows, int cols);
