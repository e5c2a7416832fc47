#pragma once
// What every surface source hands back: the level-6 grid or a message in the
// language shown.
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "linalg/matrix.h"
#include "text/language.h"

// Grid points per side of a level-6 surface (2^6 + 1).
inline constexpr int kGridPoints = 65;

// Largest |height| taken from any source. Squares and energy sums over up to
// 513 x 513 points then stay far below the largest double
// (513^2 * 1e300 < 1e306), so no readout turns infinite.
inline constexpr double kMaxMagnitude = 1e150;
inline constexpr const char* kMaxMagnitudeText = "1e150";

// What a source must keep to be resampled again later at any grid size up to
// 513 x 513 without being read again: only the rows and columns that the 513
// grid reads (at most 1026 of each), so a large picture keeps a few MB.
struct SourceSamples {
  int rows = 0;  // of the whole source
  int cols = 0;
  std::vector<int> keptRows;  // source indices, ascending
  std::vector<int> keptCols;
  std::vector<double> values;  // keptRows.size() x keptCols.size(), row by row
};

// Exactly one of grid and error is set: grid on success, error otherwise.
// A file's samples come with its grid, for another resolution later.
struct SurfaceResult {
  std::optional<Matrix> grid;
  std::string error;
  std::optional<SourceSamples> samples;
};

inline SurfaceResult Refused(std::string message) { return {std::nullopt, std::move(message), std::nullopt}; }

// Text in the quotation marks of the language shown: „text“ or “text”.
inline std::string Quoted(std::string_view text) {
  if (CurrentLanguage() == Language::English) return "\u201C" + std::string(text) + "\u201D";
  return "\u201E" + std::string(text) + "\u201C";
}

// Shortest text that reads back as `value`, always with a decimal point.
std::string NumberText(double value);
