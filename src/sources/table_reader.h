#pragma once
// Surfaces from a table of numbers in a text file.
//
// One grid row per line: line r, field c is the height at x-index r, y-index
// c. Fields are separated by spaces or tabs (a run counts once) or by a comma
// or a semicolon, with optional spaces around it. Two commas in a row, or one
// at the start or the end of a line, leave an empty field, which is refused.
// Numbers take a decimal point in every locale; a line with both commas and
// semicolons is refused, as it most likely holds decimal commas. Empty lines
// and lines starting with '#' are skipped; CRLF line ends and a UTF-8 byte
// order mark are accepted.
#include <istream>
#include <optional>
#include <string>
#include <vector>

#include "sources/surface_result.h"

// Largest number of rows or columns accepted.
inline constexpr int kMaxTableSide = 8192;

struct Table {
  std::vector<double> values;  // row by row
  int rows = 0;
  int cols = 0;
};

struct TableResult {
  std::optional<Table> table;
  std::string error;
  // Set when the first data line holds no number at all: then the file may
  // not be meant as a table in the first place.
  bool noNumberInFirstLine = false;
};

// fileName only names the file in messages.
TableResult ReadTable(std::istream& in, const std::string& fileName);

// ReadTable, resampled onto the grid.
SurfaceResult SurfaceFromTable(std::istream& in, const std::string& fileName);
