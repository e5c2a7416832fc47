#pragma once
// Surfaces from a table of numbers in a text file.
//
// One grid row per line: line r, field c is the height at x-index r, y-index
// c. Fields are separated by spaces or tabs (a run counts once) or by a comma
// or a semicolon, with optional spaces around it. Two commas in a row, or one
// at the start or the end of a line, leave an empty field, which is refused.
// Numbers take a decimal point in every locale, or a decimal comma where
// nothing else can be meant: in lines whose fields are separated by
// semicolons, or by tabs alone. A comma inside a number between
// space-separated numbers ("1,25 2,5") could be either and is refused, as is
// a file that mixes decimal commas with decimal points or separating commas.
// |values| above kMaxMagnitude are refused. Empty lines and lines starting
// with '#' are skipped; LF, CRLF and lone CR line ends and a UTF-8 byte order
// mark are accepted.
#include <cstdint>
#include <functional>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sources/surface_result.h"

// Largest file accepted, in bytes (256 MiB). Counted while reading, so a file
// that grows meanwhile stops there too.
inline constexpr std::uintmax_t kMaxFileBytes = 256u * 1024u * 1024u;

// "<subject> ist größer als erlaubt ...": the refusal of a file past kMaxFileBytes.
std::string TooLargeFileText(const std::string& subject);

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

// fileName only names the file in messages. byteHint, the length of the text
// if known (else 0), lets a large table be stored without reallocations.
TableResult ReadTable(std::istream& in, const std::string& fileName, std::uintmax_t byteHint = 0);

// ReadTable, resampled onto the grid.
SurfaceResult SurfaceFromTable(std::istream& in, const std::string& fileName);

// Whether the start of a file holds control bytes that do not occur in text
// (anything below 0x20 but tab, line and page breaks, and 0x7F).
bool LooksBinary(std::string_view start);

// Hears the share of the text read so far, in whole percent, each time it grows.
using TableProgress = std::function<void(int percent)>;

// A table whose file was read elsewhere (a page hands over the bytes):
// refused like a file of that content, with its samples kept like a file's.
// Refuses empty text and text longer than kMaxFileBytes. fileName only names
// the file in messages; progress, if given, hears how far the reading got.
SurfaceResult SurfaceFromTableText(std::string_view text, const std::string& fileName,
                                   const TableProgress& progress = {});
