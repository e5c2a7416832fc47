#pragma once
// Surfaces from a typed formula f(x, y) over [0, 1]^2.
#include <functional>
#include <string>

#include "sources/surface_result.h"

// The start text of the formula field.
inline constexpr const char* kDefaultFormula = "0.7*sin(7*x)*sin(3*y)";

// Longest formula accepted, in characters.
inline constexpr int kMaxFormulaLength = 1000;

// Grid point (i, k) of the points x points grid (65 unless asked otherwise)
// gets f((i - 1) / (points - 1), (k - 1) / (points - 1)). Knows + - * / ^,
// comparisons, ?:, sin cos tan asin acos atan sinh cosh tanh exp log ln sqrt
// abs sign min max (and muparser's other built-ins), the constants pi, _pi
// and _e; log is the natural logarithm. Numbers use a decimal point in every
// locale. Refuses empty or overlong text, control characters, the logical
// operators && || & | ! (kept from muparser), syntax errors, unknown names,
// and values that are not finite or whose magnitude exceeds kMaxMagnitude.
// progress, if given, hears the share of grid rows done, in whole percent,
// each time it grows (a long formula on a fine grid takes seconds).
SurfaceResult SurfaceFromFormula(const std::string& text, int points = kGridPoints,
                                 const std::function<void(int percent)>& progress = {});
