#pragma once
// How the "Analyse" window shows numbers and scales its curves: pure
// functions, so the window only moves their results onto labels and axes.
#include <string>
#include <utility>
#include <vector>

// 3 significant digits for people to read, in the C locale: 0.0235, 57.1,
// 1234 (a whole number up to 9999 keeps its digits), 1.05e-8 and 1.23e+5
// only for values below 1e-4 or from 1e4 up. Trailing zeros after the point
// are dropped ("0.5", "100"); NaN is "NaN", infinities "inf" / "-inf".
std::string FormatReadout(double value);

// `decimals` decimals with a point, whatever the locale: FixedDecimals(0.676, 2) is "0.68".
std::string FixedDecimals(double value, int decimals);

// A linear axis from `low` to `high` in `step`s of 1, 2 or 5 times a power of ten.
struct AxisRange {
  double low = 0;
  double high = 1;
  double step = 0.2;
  int ticks = 6;  // marks from low to high, both included
};
// The smallest axis from 0 whose ticks (at most `maxIntervals` steps) cover
// `top`. top <= 0 or not finite gives 0..1.
AxisRange NiceAxisFromZero(double top, int maxIntervals = 5);
// The smallest axis in round steps (at most `maxIntervals`) from a multiple of
// the step at or below `low` (never below 0) to one at or above `high`, so
// that data varying little still fill the plot. Data that hardly vary (by
// less than a thousandth of `high`), or that are not finite, get
// NiceAxisFromZero(high).
AxisRange NiceAxisAround(double low, double high, int maxIntervals = 5);

// A logarithmic axis over whole decades. `floor` is where 0 (and anything
// below it) is drawn.
struct LogRange {
  double floor = 1e-4;
  double ceiling = 1;
};
// The decades around the positive finite values; without any: 1e-4..1.
LogRange LogDecades(const std::vector<double>& values);
// Where a value is drawn on that axis: at least the floor.
double OnLogAxis(const LogRange& range, double value);

// "kleinster Fehler bei Delta = 0.80 (RMS 0.00729)": the first smallest
// finite RMS of the curve; "" when it has none.
std::string MinimumText(const std::vector<std::pair<double, double>>& points);
