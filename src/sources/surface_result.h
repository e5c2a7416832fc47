#pragma once
// What every surface source hands back: the level-6 grid or a German message.
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "linalg/matrix.h"

// Grid points per side of a level-6 surface (2^6 + 1).
inline constexpr int kGridPoints = 65;

// Largest |height| taken from any source. Squares and energy sums over up to
// 513 x 513 points then stay far below the largest double
// (513^2 * 1e300 < 1e306), so no readout turns infinite.
inline constexpr double kMaxMagnitude = 1e150;
inline constexpr const char* kMaxMagnitudeText = "1e150";

// Exactly one of the two is set: grid on success, error otherwise.
struct SurfaceResult {
  std::optional<Matrix> grid;
  std::string error;
};

inline SurfaceResult Refused(std::string message) { return {std::nullopt, std::move(message)}; }

// Text in German quotation marks: „text“.
inline std::string Quoted(std::string_view text) { return "\u201E" + std::string(text) + "\u201C"; }

// Shortest text that reads back as `value`, always with a decimal point.
std::string NumberText(double value);
