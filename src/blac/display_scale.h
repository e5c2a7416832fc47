#pragma once
// The data view's display scale: a surface of any height range is drawn whole
// at the start camera. The rule looks only at the heights the data view draws;
// the drawing applies the scale (DisplayScale in state/state.h).
#include <limits>
#include <vector>

#include "state/state.h"

// A picture whose heights all lie within +-kUnscaledBound is drawn as it is
// (the sample, pictures mapped to 0..0.7, formulas such as the default one).
constexpr double kUnscaledBound = 1.0;
// Any other picture is drawn at most kScaledSpan high in all and at most
// kScaledDepth below the floor: the height of a picture's 0..0.7, with the
// part below the floor kept where the start camera still sees it.
constexpr double kScaledSpan = 0.7;
constexpr double kScaledDepth = 0.35;

// The corners of the cells that mesh [from, to) with step h, as the drawing
// runs over them: starts by repeated addition while below `to`, and the end
// of the last cell. A cell's far corner is the next cell's start, bit for bit.
std::vector<double> CellCorners(double from, double to, double h);

// The least and the greatest of the finite heights seen; non-finite ones are
// only noted.
struct HeightRange {
  double lo = std::numeric_limits<double>::infinity();
  double hi = -std::numeric_limits<double>::infinity();
  bool nonFinite = false;
  void Add(double z);
  bool Empty() const { return !(lo <= hi); }
};

// The heights of one picture of the data view: `surface` the approximation's
// coefficients at the chosen level (what the shift is taken from: the
// approximation alone lies between them, the scaling functions being positive
// and adding up to 1, and the approximation alone and the layout of one level
// share it), `approximation` the green heights drawn (shifted), `details` the
// red and blue ones (not shifted, already times detailScale).
struct DataViewHeights {
  HeightRange surface;
  HeightRange approximation;
  HeightRange details;
};

// The scale for a picture with these heights:
// - every height drawn finite and within +-kUnscaledBound: factor 1, offset 0;
// - else the offset is the surface's least height when the surface does not
//   reach 0 (a relief over the floor), otherwise 0; and the factor is the
//   largest one up to 1 that keeps the shifted heights within kScaledSpan in
//   all and kScaledDepth below 0. A flat or nearly flat surface is therefore
//   shifted but never magnified.
DisplayScale DisplayScaleFor(const DataViewHeights& heights);

// Where a height is drawn: (z - offset) * factor, with `shifted` false for
// the detail blocks (offset not applied). At scale 1 a finite height is
// drawn as it is; otherwise heights are kept finite and inside the range the
// rule promises (NaN on the floor).
double ScaledHeight(const DisplayScale& scale, double z, bool shifted);

// The approximation's coefficients at the chosen level: the leading block of
// dataMatrix (DataViewHeights::surface).
HeightRange CoefficientRange(const AppState& s);

// The heights DrawDataSurface evaluates for the state as it is (the same
// regions, the same cells, every corner it draws, and the same levels), and
// the approximation's coefficients.
DataViewHeights DataViewHeightsOf(const AppState& s);

// DisplayScaleFor over DataViewHeightsOf: the scale of the data view's picture.
DisplayScale DataViewScale(const AppState& s);
