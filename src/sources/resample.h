#pragma once
// Bilinear resampling of a rows x cols source onto a points x points grid
// (65 x 65 unless asked otherwise, up to 513 x 513).
//
// Corners are aligned: source row r (0-based) sits at r / (rows - 1) along x,
// grid row i at (i - 1) / (points - 1), and the same for columns along y.
// Grid points that fall on a source sample take its value unchanged, so
// corners are exact copies and a source of the grid's size comes through bit
// for bit. Larger sources are read at the grid positions only (no area
// averaging).
#include <cstddef>
#include <vector>

#include "linalg/matrix.h"
#include "sources/surface_result.h"

// The finest grid a source is resampled to (level 9).
inline constexpr int kMaxGridPoints = 513;

namespace resample_detail {

// Grid index g (0-based) lies between source samples lo and lo + 1, at
// fraction frac. frac is a multiple of 1/(points - 1), hence exact; 0 means
// on lo. The grids of 65, 129 and 257 points read a subset of what the 513
// grid reads, at the same fractions: g of 65 points is 8g of 513.
struct Stop {
  int lo = 0;
  double frac = 0.0;
};

inline std::vector<Stop> Stops(int samples, int points) {
  std::vector<Stop> stops(static_cast<std::size_t>(points));
  const int span = points - 1;
  for (int g = 0; g < points; ++g) {
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
Matrix ResampleWith(int rows, int cols, ValueAt valueAt, int points = kGridPoints) {
  using resample_detail::Lerp;
  const auto xs = resample_detail::Stops(rows, points);
  const auto ys = resample_detail::Stops(cols, points);
  Matrix grid(points, points);
  for (int i = 0; i < points; ++i) {
    const auto& x = xs[static_cast<std::size_t>(i)];
    for (int k = 0; k < points; ++k) {
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
Matrix ResampleToGrid(const std::vector<double>& values, int rows, int cols, int points = kGridPoints);


namespace resample_detail {
// The source indices the 513 grid reads along one side of `samples`.
std::vector<int> IndicesRead(int samples);
}  // namespace resample_detail

template <class ValueAt>
SourceSamples KeepSamples(int rows, int cols, ValueAt valueAt) {
  SourceSamples kept{rows, cols, resample_detail::IndicesRead(rows), resample_detail::IndicesRead(cols), {}};
  kept.values.reserve(kept.keptRows.size() * kept.keptCols.size());
  for (int r : kept.keptRows)
    for (int c : kept.keptCols) kept.values.push_back(valueAt(r, c));
  return kept;
}

// The grid ResampleWith would give from the whole source, bit for bit.
Matrix ResampleKept(const SourceSamples& kept, int points = kGridPoints);

// A source taken: its 65 x 65 grid, and its samples for other grid sizes.
SurfaceResult TakenSamples(SourceSamples kept);
