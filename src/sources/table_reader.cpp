#include "sources/table_reader.h"

#include <locale.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string_view>
#include <version>

#if defined(__cpp_lib_to_chars)
#include <charconv>
#include <system_error>
#endif

#include "sources/resample.h"
#include "text/language.h"

namespace {

enum class Parsed { kNumber, kNotNumber, kNotFinite, kTooLarge };

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsSeparator(char c) { return IsBlank(c) || c == ',' || c == ';'; }

locale_t CLocale() {
  static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return cLocale;
}

// Out-of-range text: huge is refused, tiny reads as (subnormal or) zero.
// strtod_l with its own C locale, as the global one may want a decimal comma.
Parsed ParseOutOfRange(std::string_view field, double& value) {
  const std::string copy(field);
  value = strtod_l(copy.c_str(), nullptr, CLocale());
  return std::isinf(value) ? Parsed::kTooLarge : Parsed::kNumber;
}

enum class Read { kWhole, kNotWhole, kOutOfRange };

#if defined(__cpp_lib_to_chars)

// The whole of text as a number the way from_chars reads it: no blanks, no
// '+', no hexadecimal; "inf", "infinity" and "nan" in any case.
Read ReadNumber(std::string_view text, double& value) {
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (ptr != end || ec == std::errc::invalid_argument) return Read::kNotWhole;
  return ec == std::errc::result_out_of_range ? Read::kOutOfRange : Read::kWhole;
}

#else
// The C++ library of the WebAssembly build has no from_chars for double:
// the same grammar is checked here, and strtod_l reads what passed (both
// round correctly, so the values are the same).

bool SameLetters(std::string_view text, std::string_view lower) {
  return text.size() == lower.size() &&
         std::equal(text.begin(), text.end(), lower.begin(), [](char a, char b) { return (a | 0x20) == b; });
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

Read ReadNumber(std::string_view text, double& value) {
  const bool negative = !text.empty() && text[0] == '-';
  const std::string_view rest = text.substr(negative ? 1 : 0);
  if (SameLetters(rest, "inf") || SameLetters(rest, "infinity")) {
    value = negative ? -HUGE_VAL : HUGE_VAL;
    return Read::kWhole;
  }
  if (rest.size() >= 3 && SameLetters(rest.substr(0, 3), "nan")) {
    const std::string_view tail = rest.substr(3);
    const bool plain = tail.empty();
    const bool withChars = tail.size() >= 2 && tail.front() == '(' && tail.back() == ')' &&
                           std::all_of(tail.begin() + 1, tail.end() - 1, [](char c) {
                             return IsDigit(c) || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') || c == '_';
                           });
    if (!plain && !withChars) return Read::kNotWhole;
    value = negative ? -NAN : NAN;
    return Read::kWhole;
  }
  std::size_t p = 0;
  std::size_t digits = 0;
  for (; p < rest.size() && IsDigit(rest[p]); ++p) ++digits;
  if (p < rest.size() && rest[p] == '.')
    for (++p; p < rest.size() && IsDigit(rest[p]); ++p) ++digits;
  if (digits == 0) return Read::kNotWhole;
  if (p < rest.size() && (rest[p] == 'e' || rest[p] == 'E')) {
    ++p;
    if (p < rest.size() && (rest[p] == '+' || rest[p] == '-')) ++p;
    const std::size_t first = p;
    while (p < rest.size() && IsDigit(rest[p])) ++p;
    if (p == first) return Read::kNotWhole;
  }
  if (p != rest.size()) return Read::kNotWhole;
  const std::string copy(text);
  value = strtod_l(copy.c_str(), nullptr, CLocale());
  return std::isinf(value) ? Read::kOutOfRange : Read::kWhole;
}

#endif

Parsed ParseField(std::string_view field, double& value) {
  std::string_view digits = field;
  if (digits.size() > 1 && digits[0] == '+' && digits[1] != '-' && digits[1] != '+') digits.remove_prefix(1);
  const Read read = ReadNumber(digits, value);
  if (digits.empty() || read == Read::kNotWhole) return Parsed::kNotNumber;
  if (read == Read::kOutOfRange) return ParseOutOfRange(field, value);
  if (!std::isfinite(value)) return Parsed::kNotFinite;
  return std::fabs(value) > kMaxMagnitude ? Parsed::kTooLarge : Parsed::kNumber;
}

// A field written with a decimal comma: exactly one comma and no point.
Parsed ParseCommaField(std::string_view field, double& value) {
  if (std::count(field.begin(), field.end(), ',') != 1 || field.find('.') != std::string_view::npos)
    return Parsed::kNotNumber;
  std::string copy(field);
  copy[copy.find(',')] = '.';
  return ParseField(copy, value);
}

// Splits at spaces, tabs, commas and semicolons. A comma or semicolon that
// leaves an empty field ends the split with that empty field; so does one
// field too many, so a huge line cannot take huge memory.
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

// Splits at semicolons only, blanks around them dropped.
void SplitAtSemicolons(std::string_view line, std::vector<std::string_view>& fields) {
  fields.clear();
  while (true) {
    const std::size_t end = std::min(line.find(';'), line.size());
    std::string_view field = line.substr(0, end);
    while (!field.empty() && IsBlank(field.front())) field.remove_prefix(1);
    while (!field.empty() && IsBlank(field.back())) field.remove_suffix(1);
    fields.push_back(field);
    if (end == line.size() || fields.size() > static_cast<std::size_t>(kMaxTableSide)) return;
    line.remove_prefix(end + 1);
  }
}

// Splits at runs of blanks. tabsOnly tells whether every run holds a tab.
void SplitAtBlanks(std::string_view line, std::vector<std::string_view>& fields, bool& tabsOnly) {
  fields.clear();
  tabsOnly = true;
  std::size_t p = 0;
  while (p < line.size() && IsBlank(line[p])) ++p;
  while (p < line.size() && fields.size() <= static_cast<std::size_t>(kMaxTableSide)) {
    const std::size_t start = p;
    while (p < line.size() && !IsBlank(line[p])) ++p;
    fields.push_back(line.substr(start, p - start));
    bool tab = false;
    const std::size_t gap = p;
    for (; p < line.size() && IsBlank(line[p]); ++p) tab = tab || line[p] == '\t';
    if (p < line.size() && p > gap && !tab) tabsOnly = false;
  }
}

// How the commas of a line are meant.
enum class Commas { kNone, kSeparate, kDecimal, kAmbiguous };

// Fields of a data line. With semicolons, or with tabs between numbers that
// hold a comma, commas are decimal marks; a comma inside a number between
// space-separated numbers could be either and is ambiguous (ambiguousField
// gets its 0-based field); otherwise commas separate like blanks.
Commas SplitLine(std::string_view line, std::vector<std::string_view>& fields, std::size_t& ambiguousField) {
  if (line.find(';') != std::string_view::npos) {
    SplitAtSemicolons(line, fields);
    return Commas::kDecimal;
  }
  if (line.find(',') == std::string_view::npos) {
    SplitFields(line, fields);
    return Commas::kNone;
  }
  bool tabsOnly = true;
  SplitAtBlanks(line, fields, tabsOnly);
  const auto inner = std::find_if(fields.begin(), fields.end(), [](std::string_view f) {
    const auto comma = f.find(',', 1);
    return comma != std::string_view::npos && comma + 1 < f.size();
  });
  if (inner == fields.end() || fields.size() == 1) {
    SplitFields(line, fields);
    return Commas::kSeparate;
  }
  if (tabsOnly) return Commas::kDecimal;
  ambiguousField = static_cast<std::size_t>(inner - fields.begin());
  return Commas::kAmbiguous;
}

bool AnyNumber(const std::vector<std::string_view>& fields, bool decimalCommas) {
  double ignored = 0.0;
  for (const auto field : fields) {
    if (field.empty()) continue;
    const bool comma = decimalCommas && field.find(',') != std::string_view::npos;
    if ((comma ? ParseCommaField(field, ignored) : ParseField(field, ignored)) != Parsed::kNotNumber) return true;
  }
  return false;
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

// Next line without its end; \n, \r\n and a lone \r all end a line. Of a
// comment line only the '#' is kept, so a huge comment takes no memory.
bool NextLine(std::streambuf& in, std::string& line) {
  line.clear();
  bool comment = false;
  bool blanksOnly = true;
  using Traits = std::streambuf::traits_type;
  Traits::int_type c = in.sbumpc();
  if (Traits::eq_int_type(c, Traits::eof())) return false;
  while (!Traits::eq_int_type(c, Traits::eof())) {
    const char ch = Traits::to_char_type(c);
    if (ch == '\n') break;
    if (ch == '\r') {
      if (Traits::eq_int_type(in.sgetc(), Traits::to_int_type('\n'))) in.sbumpc();
      break;
    }
    if (!comment) line.push_back(ch);
    if (blanksOnly && !IsBlank(ch)) {
      blanksOnly = false;
      comment = ch == '#';
    }
    c = in.sbumpc();
  }
  return true;
}

}  // namespace

TableResult ReadTable(std::istream& in, const std::string& fileName, std::uintmax_t byteHint) {
  const std::string quoted = Quoted(fileName);
  TableResult result;
  auto refuse = [&](std::string message) {
    result.error = std::move(message);
    return std::move(result);
  };
  Table table;
  std::vector<std::string_view> fields;
  std::string buffer;
  int lineNumber = 0;
  // What earlier lines did with commas and points, so a file cannot switch.
  bool decimalCommaSeen = false;
  bool decimalPointSeen = false;
  bool separatingCommaSeen = false;
  std::streambuf* source = in.rdbuf();
  if (source == nullptr) return refuse(TrArgs("Die Datei %1 lässt sich nicht zu Ende lesen.", {quoted}));
  while (NextLine(*source, buffer)) {
    ++lineNumber;
    std::string_view line = buffer;
    if (lineNumber == 1 && line.starts_with("\xEF\xBB\xBF")) line.remove_prefix(3);
    const auto first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos || line[first] == '#') continue;

    const std::string lineNo = std::to_string(lineNumber);
    if (table.rows == kMaxTableSide)
      return refuse(TrArgs("Die Datei %1 hat mehr als %2 Zeilen mit Zahlen.", {quoted, std::to_string(kMaxTableSide)}));
    std::size_t ambiguous = 0;
    const Commas commas = SplitLine(line, fields, ambiguous);
    // Whatever goes wrong in this line, the file may not be a table at all.
    if (table.rows == 0) result.noNumberInFirstLine = !AnyNumber(fields, commas != Commas::kSeparate);
    // The field's number as messages give it (1-based).
    auto fieldNumber = [](std::size_t c) { return std::to_string(c + 1); };
    if (commas == Commas::kAmbiguous)
      return refuse(TrArgs("Die Datei %1 enthält in Zeile %2, Feld %3 %4: das Komma kann Trennzeichen oder "
                           "Dezimalkomma sein. Dezimalkommas nur mit Semikolon oder Tabulator zwischen den Zahlen, "
                           "sonst bitte Dezimalpunkt (0.5).",
                           {quoted, lineNo, fieldNumber(ambiguous), Shown(fields[ambiguous])}));
    if (commas == Commas::kSeparate) {
      if (decimalCommaSeen)
        return refuse(TrArgs("Die Datei %1 trennt in Zeile %2 die Zahlen mit Kommas, die Zeilen davor haben aber "
                             "Dezimalkommas; mehrdeutig; bitte überall dasselbe Dezimalzeichen verwenden.",
                             {quoted, lineNo}));
      separatingCommaSeen = true;
    }
    const int count = static_cast<int>(fields.size());
    if (count > kMaxTableSide)
      return refuse(TrArgs("Die Datei %1 hat in Zeile %2 mehr als %3 Werte.",
                           {quoted, lineNo, std::to_string(kMaxTableSide)}));
    if (table.rows == 1 && table.values.capacity() < static_cast<std::size_t>(table.cols) * 2) {
      // Every value takes at least two bytes (a digit and what follows it), so
      // the file's size bounds the count: no reallocation copies a large table.
      const std::uintmax_t most = static_cast<std::uintmax_t>(table.cols) * kMaxTableSide;
      table.values.reserve(static_cast<std::size_t>(std::min(most, byteHint / 2 + 1)));
    }
    for (int c = 0; c < count; ++c) {
      const std::string_view field = fields[static_cast<std::size_t>(c)];
      const bool comma = commas == Commas::kDecimal && field.find(',') != std::string_view::npos;
      double value = 0.0;
      const Parsed parsed =
          field.empty() ? Parsed::kNotNumber : comma ? ParseCommaField(field, value) : ParseField(field, value);
      const std::string here = fieldNumber(static_cast<std::size_t>(c));
      if (parsed == Parsed::kNumber) {
        const bool point = field.find('.') != std::string_view::npos;
        if (comma && separatingCommaSeen)
          return refuse(TrArgs("Die Datei %1 enthält in Zeile %2, Feld %3 %4 mit Dezimalkomma, in den Zeilen davor "
                               "trennen Kommas aber die Zahlen; mehrdeutig; bitte überall dasselbe Dezimalzeichen "
                               "verwenden.",
                               {quoted, lineNo, here, Shown(field)}));
        if (comma && decimalPointSeen)
          return refuse(TrArgs("Die Datei %1 enthält in Zeile %2, Feld %3 %4 mit Dezimalkomma, die Zeilen davor aber "
                               "Zahlen mit Dezimalpunkt; bitte überall dasselbe Dezimalzeichen verwenden.",
                               {quoted, lineNo, here, Shown(field)}));
        if (point && decimalCommaSeen)
          return refuse(TrArgs("Die Datei %1 enthält in Zeile %2, Feld %3 %4 mit Punkt, die Zeilen davor aber Zahlen "
                               "mit Dezimalkomma; bitte überall dasselbe Dezimalzeichen verwenden.",
                               {quoted, lineNo, here, Shown(field)}));
        decimalCommaSeen = decimalCommaSeen || comma;
        decimalPointSeen = decimalPointSeen || point;
        table.values.push_back(value);
        continue;
      }
      if (field.empty())
        return refuse(TrArgs("Die Datei %1 enthält in Zeile %2, Feld %3 keine Zahl: das Feld ist leer.",
                             {quoted, lineNo, here}));
      if (parsed == Parsed::kTooLarge)
        return refuse(TrArgs("Die Datei %1 enthält in Zeile %2, Feld %3 eine zu große Zahl: %4; erlaubt sind "
                             "Beträge bis %5.",
                             {quoted, lineNo, here, Shown(field), kMaxMagnitudeText}));
      if (parsed == Parsed::kNotFinite)
        return refuse(TrArgs("Die Datei %1 enthält in Zeile %2, Feld %3 keinen endlichen Wert: %4.",
                             {quoted, lineNo, here, Shown(field)}));
      return refuse(TrArgs("Die Datei %1 enthält in Zeile %2, Feld %3 keine Zahl: %4.",
                           {quoted, lineNo, here, Shown(field)}));
    }
    if (table.rows == 0) {
      table.cols = count;
    } else if (count != table.cols) {
      const std::string before = std::to_string(table.cols);
      if (count == 1)
        return refuse(TrArgs("Die Datei %1 hat in Zeile %2 %3 Wert, die Zeilen davor aber %4.",
                             {quoted, lineNo, std::to_string(count), before}));
      return refuse(TrArgs("Die Datei %1 hat in Zeile %2 %3 Werte, die Zeilen davor aber %4.",
                           {quoted, lineNo, std::to_string(count), before}));
    }
    ++table.rows;
  }
  if (in.bad()) return refuse(TrArgs("Die Datei %1 lässt sich nicht zu Ende lesen.", {quoted}));
  if (table.rows == 0) return refuse(TrArgs("Die Datei %1 enthält keine Zahlen.", {quoted}));
  if (table.rows < 2 || table.cols < 2) {
    // Here at least one of them is 1 (a data line has a field).
    const std::string rows = std::to_string(table.rows);
    const std::string cols = std::to_string(table.cols);
    if (table.rows == 1 && table.cols == 1)
      return refuse(TrArgs("Die Datei %1 hat nur %2 Zeile und %3 Spalte; nötig sind mindestens 2 Zeilen und "
                           "2 Spalten.",
                           {quoted, rows, cols}));
    if (table.rows == 1)
      return refuse(TrArgs("Die Datei %1 hat nur %2 Zeile und %3 Spalten; nötig sind mindestens 2 Zeilen und "
                           "2 Spalten.",
                           {quoted, rows, cols}));
    return refuse(TrArgs("Die Datei %1 hat nur %2 Zeilen und %3 Spalte; nötig sind mindestens 2 Zeilen und "
                         "2 Spalten.",
                         {quoted, rows, cols}));
  }
  result.table = std::move(table);
  return result;
}

std::string TooLargeFileText(const std::string& subject) {
  return TrArgs("%1 ist größer als erlaubt; gelesen werden höchstens %2 Bytes (256 MiB).",
                {subject, std::to_string(kMaxFileBytes)});
}

bool LooksBinary(std::string_view start) {
  return std::any_of(start.begin(), start.end(), [](char ch) {
    const auto c = static_cast<unsigned char>(ch);
    return (c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f' && c != '\v') || c == 0x7F;
  });
}

SurfaceResult SurfaceFromTable(std::istream& in, const std::string& fileName) {
  TableResult read = ReadTable(in, fileName);
  if (!read.table) return Refused(std::move(read.error));
  const Table& t = *read.table;
  return TakenSamples(KeepSamples(t.rows, t.cols, [&](int r, int c) {
    return t.values[static_cast<std::size_t>(r) * static_cast<std::size_t>(t.cols) + static_cast<std::size_t>(c)];
  }));
}

namespace {

// Reads text in place, without a copy.
// The text handed to the reader a MiB at a time, saying how far it got.
class TextBuffer : public std::streambuf {
public:
  TextBuffer(std::string_view text, const TableProgress& progress) : text_(text), progress_(progress) {}

protected:
  int_type underflow() override {
    if (handed_ == text_.size()) return traits_type::eof();
    char* begin = const_cast<char*>(text_.data()) + handed_;  // only ever read
    const std::size_t count = std::min(kChunk, text_.size() - handed_);
    setg(begin, begin, begin + count);
    handed_ += count;
    if (progress_) {
      const int percent = static_cast<int>(static_cast<double>(handed_) * 100.0 / static_cast<double>(text_.size()));
      if (percent != told_) progress_(told_ = percent);
    }
    return traits_type::to_int_type(*begin);
  }

private:
  static constexpr std::size_t kChunk = 1u << 20;
  std::string_view text_;
  const TableProgress& progress_;
  std::size_t handed_ = 0;
  int told_ = -1;
};

}  // namespace

SurfaceResult SurfaceFromTableText(std::string_view text, const std::string& fileName, const TableProgress& progress) {
  const std::string quoted = Quoted(fileName);
  if (text.empty()) return Refused(TrArgs("Die Datei %1 ist leer.", {quoted}));
  if (text.size() > kMaxFileBytes) return Refused(TooLargeFileText(TrArgs("Die Datei %1", {quoted})));
  TextBuffer buffer(text, progress);
  std::istream in(&buffer);
  TableResult read = ReadTable(in, fileName, text.size());
  if (!read.table) {
    // The same 64 KiB a file's start is judged by.
    if (read.noNumberInFirstLine && LooksBinary(text.substr(0, 65536)))
      return Refused(TrArgs("Die Datei %1 ist weder ein Bild noch eine Zahlentabelle.", {quoted}));
    return Refused(std::move(read.error));
  }
  const Table& t = *read.table;
  return TakenSamples(KeepSamples(t.rows, t.cols, [&](int r, int c) {
    return t.values[static_cast<std::size_t>(r) * static_cast<std::size_t>(t.cols) + static_cast<std::size_t>(c)];
  }));
}
