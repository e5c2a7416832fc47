#include "sources/table_reader.h"

#include <locale.h>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string_view>
#include <system_error>

#include "sources/resample.h"

namespace {

enum class Parsed { kNumber, kNotNumber, kNotFinite, kTooLarge };

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsSeparator(char c) { return IsBlank(c) || c == ',' || c == ';'; }

// Out-of-range text: huge is refused, tiny reads as (subnormal or) zero.
// strtod_l with its own C locale, as the global one may want a decimal comma.
Parsed ParseOutOfRange(std::string_view field, double& value) {
  static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  const std::string copy(field);
  value = strtod_l(copy.c_str(), nullptr, cLocale);
  return std::isinf(value) ? Parsed::kTooLarge : Parsed::kNumber;
}

Parsed ParseField(std::string_view field, double& value) {
  std::string_view digits = field;
  if (digits.size() > 1 && digits[0] == '+' && digits[1] != '-' && digits[1] != '+') digits.remove_prefix(1);
  const char* end = digits.data() + digits.size();
  const auto [ptr, ec] = std::from_chars(digits.data(), end, value);
  if (digits.empty() || ptr != end || ec == std::errc::invalid_argument) return Parsed::kNotNumber;
  if (ec == std::errc::result_out_of_range) return ParseOutOfRange(field, value);
  return std::isfinite(value) ? Parsed::kNumber : Parsed::kNotFinite;
}

// Splits a data line into fields. A comma or semicolon that leaves an empty
// field ends the split with that empty field; so does one field too many, so
// a huge line cannot take huge memory.
void SplitFields(std::string_view line, std::vector<std::string_view>& fields) {
  fields.clear();
  std::size_t p = 0;
  while (p < line.size() && IsBlank(line[p])) ++p;
  while (true) {
    const std::size_t start = p;
    while (p < line.size() && !IsSeparator(line[p])) ++p;
    fields.push_back(line.substr(start, p - start));
    if (fields.back().empty() || fields.size() > static_cast<std::size_t>(kMaxTableSide)) return;
    while (p < line.size() && IsBlank(line[p])) ++p;
    if (p == line.size()) return;
    if (line[p] == ',' || line[p] == ';') {
      ++p;
      while (p < line.size() && IsBlank(line[p])) ++p;
    }
  }
}

bool AnyNumber(const std::vector<std::string_view>& fields) {
  double ignored = 0.0;
  for (const auto field : fields)
    if (!field.empty() && ParseField(field, ignored) != Parsed::kNotNumber) return true;
  return false;
}

std::string Counted(int n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

// A field as shown in a message: control bytes replaced, long text cut.
std::string Shown(std::string_view field) {
  constexpr std::size_t kLongest = 40;
  std::string shown;
  for (const char c : field.substr(0, kLongest))
    shown.push_back(static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? '?' : c);
  if (field.size() > kLongest) shown += "\u2026";
  return Quoted(shown);
}

}  // namespace

TableResult ReadTable(std::istream& in, const std::string& fileName) {
  const std::string file = "Die Datei " + Quoted(fileName);
  TableResult result;
  auto refuse = [&](std::string message) {
    result.error = std::move(message);
    return std::move(result);
  };
  Table table;
  std::vector<std::string_view> fields;
  std::string buffer;
  int lineNumber = 0;
  while (std::getline(in, buffer)) {
    ++lineNumber;
    std::string_view line = buffer;
    if (lineNumber == 1 && line.starts_with("\xEF\xBB\xBF")) line.remove_prefix(3);
    if (line.ends_with('\r')) line.remove_suffix(1);
    const auto first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos || line[first] == '#') continue;

    const std::string at = " in Zeile " + std::to_string(lineNumber);
    if (table.rows == kMaxTableSide)
      return refuse(file + " hat mehr als " + std::to_string(kMaxTableSide) + " Zeilen mit Zahlen.");
    SplitFields(line, fields);
    // Whatever goes wrong in this line, the file may not be a table at all.
    if (table.rows == 0) result.noNumberInFirstLine = !AnyNumber(fields);
    if (line.find(',') != std::string_view::npos && line.find(';') != std::string_view::npos)
      return refuse(file + " enthält" + at +
                    " Kommas und Semikolons; Dezimalzahlen bitte mit Punkt schreiben (0.5).");
    const int count = static_cast<int>(fields.size());
    if (count > kMaxTableSide)
      return refuse(file + " hat" + at + " mehr als " + std::to_string(kMaxTableSide) + " Werte.");
    for (int c = 0; c < count; ++c) {
      const std::string_view field = fields[static_cast<std::size_t>(c)];
      double value = 0.0;
      const Parsed parsed = field.empty() ? Parsed::kNotNumber : ParseField(field, value);
      if (parsed == Parsed::kNumber) {
        table.values.push_back(value);
        continue;
      }
      const std::string where = file + " enthält" + at + ", Feld " + std::to_string(c + 1);
      if (field.empty()) return refuse(where + " keine Zahl: das Feld ist leer.");
      if (parsed == Parsed::kTooLarge) return refuse(where + " eine zu große Zahl: " + Shown(field) + ".");
      if (parsed == Parsed::kNotFinite)
        return refuse(where + " keinen endlichen Wert: " + Shown(field) + ".");
      return refuse(where + " keine Zahl: " + Shown(field) + ".");
    }
    if (table.rows == 0) {
      table.cols = count;
    } else if (count != table.cols) {
      return refuse(file + " hat" + at + " " + Counted(count, "Wert", "Werte") + ", die Zeilen davor aber " +
                    std::to_string(table.cols) + ".");
    }
    ++table.rows;
  }
  if (in.bad()) return refuse(file + " lässt sich nicht zu Ende lesen.");
  if (table.rows == 0) return refuse(file + " enthält keine Zahlen.");
  if (table.rows < 2 || table.cols < 2)
    return refuse(file + " hat nur " + Counted(table.rows, "Zeile", "Zeilen") + " und " +
                  Counted(table.cols, "Spalte", "Spalten") +
                  "; nötig sind mindestens 2 Zeilen und 2 Spalten.");
  result.table = std::move(table);
  return result;
}

SurfaceResult SurfaceFromTable(std::istream& in, const std::string& fileName) {
  TableResult read = ReadTable(in, fileName);
  if (!read.table) return Refused(std::move(read.error));
  return {ResampleToGrid(read.table->values, read.table->rows, read.table->cols), {}};
}
