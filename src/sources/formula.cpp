#include "sources/formula.h"

#include <muParser.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <string_view>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace {

#if defined(__x86_64__)
__attribute__((target("avx"))) void ZeroUpperAvx() { _mm256_zeroupper(); }
#endif

// Qt's AVX2 image routines (QImage::fill) can return with the upper halves of
// the vector registers still in use; the SSE code of muparser and libm then
// runs about ten times slower until they are cleared.
void ClearUpperVectorState() {
#if defined(__x86_64__)
  if (__builtin_cpu_supports("avx")) ZeroUpperAvx();
#endif
}

// Characters (UTF-8 code points) in the first `bytes` bytes of text.
int CharacterCount(std::string_view text, std::size_t bytes) {
  int count = 0;
  for (std::size_t b = 0; b < bytes && b < text.size(); ++b)
    if ((static_cast<unsigned char>(text[b]) & 0xC0) != 0x80) ++count;
  return count;
}

bool IsBlank(const std::string& text) {
  for (const char c : text)
    if (!std::isspace(static_cast<unsigned char>(c))) return false;
  return true;
}

// muparser reports an unknown name with the rest of the line; the name ends
// at the next space, operator or bracket.
std::string NameIn(const std::string& token) {
  return token.substr(0, token.find_first_of(" \t\r\n+-*/^(),<>=!&|?:;"));
}

// 1-based character of a comma outside all brackets, or 0. muparser reads
// "0,5" as two results and keeps the last; a German user means 0.5.
int TopLevelComma(std::string_view text) {
  int depth = 0;
  for (std::size_t b = 0; b < text.size(); ++b) {
    if (text[b] == '(') ++depth;
    if (text[b] == ')') --depth;
    if (text[b] == ',' && depth <= 0) return CharacterCount(text, b) + 1;
  }
  return 0;
}

// Where a character the formula must not hold sits: control characters (an
// embedded NUL would cut the formula short) and the logical operators, whose
// int conversion in muparser is undefined for large operands. "!=" stays.
struct Forbidden {
  int character = 0;  // 1-based, 0 if none
  std::string what;
};

Forbidden FindForbidden(std::string_view text) {
  for (std::size_t b = 0; b < text.size(); ++b) {
    const auto c = static_cast<unsigned char>(text[b]);
    const int at = CharacterCount(text, b) + 1;
    if ((c < 0x20 && c != '\t') || c == 0x7F) {
      char code[8];
      std::snprintf(code, sizeof code, "U+%04X", c);
      return {at, std::string("das Steuerzeichen ") + code};
    }
    if (c == '&' || c == '|') {
      const bool doubled = b + 1 < text.size() && text[b + 1] == text[b];
      return {at, "den Operator " + Quoted(text.substr(b, doubled ? 2 : 1))};
    }
    if (c == '!' && (b + 1 >= text.size() || text[b + 1] != '=')) return {at, "den Operator " + Quoted("!")};
  }
  return {};
}

std::string Problem(const mu::ParserError& e) {
  std::string token = e.GetToken();
  token.erase(token.find_last_not_of(" \t\r\n") + 1);
  switch (e.GetCode()) {
    case mu::ecUNEXPECTED_OPERATOR: return "Operator " + Quoted(token) + " an dieser Stelle nicht erwartet";
    case mu::ecUNEXPECTED_VAL: return "Zahl " + Quoted(token) + " an dieser Stelle nicht erwartet";
    case mu::ecUNEXPECTED_VAR: return "Variable " + Quoted(token) + " an dieser Stelle nicht erwartet";
    case mu::ecUNEXPECTED_FUN: return "Funktion " + Quoted(token) + " an dieser Stelle nicht erwartet";
    case mu::ecUNEXPECTED_PARENS: return "Klammer " + Quoted(token) + " an dieser Stelle nicht erwartet";
    case mu::ecUNEXPECTED_ARG_SEP: return "Komma an dieser Stelle nicht erwartet";
    case mu::ecMISSING_PARENS: return "es fehlt eine schließende Klammer";
    case mu::ecTOO_MANY_PARAMS: return "zu viele Argumente für " + Quoted(token);
    case mu::ecTOO_FEW_PARAMS: return "zu wenige Argumente für " + Quoted(token);
    case mu::ecUNEXPECTED_EOF: return "die Formel endet unvollständig";
    case mu::ecMISPLACED_COLON:
    case mu::ecUNEXPECTED_CONDITIONAL:
    case mu::ecMISSING_ELSE_CLAUSE: return "Bedingung mit „?“ und „:“ unvollständig";
    default: return "die Formel ist hier nicht lesbar";
  }
}

std::string Message(const mu::ParserError& e, const std::string& text) {
  const int length = CharacterCount(text, text.size());
  int position = e.GetPos() < 0 ? length : CharacterCount(text, static_cast<std::size_t>(e.GetPos())) + 1;
  position = std::clamp(position, 1, std::max(length, 1));
  const std::string at = " bei Zeichen " + std::to_string(position);
  if (e.GetCode() == mu::ecUNASSIGNABLE_TOKEN) {
    std::string token = NameIn(e.GetToken());
    if (token.empty()) {
      // Starts with a character no name has: show that character.
      const std::string rest = e.GetToken();
      std::size_t end = rest.empty() ? 0 : 1;
      while (end < rest.size() && (static_cast<unsigned char>(rest[end]) & 0xC0) == 0x80) ++end;
      return "Die Formel enthält" + at + " das unerwartete Zeichen " + Quoted(rest.substr(0, end)) + ".";
    }
    if (!token.empty() && (std::isdigit(static_cast<unsigned char>(token[0])) || token[0] == '.'))
      return "Die Formel enthält" + at + " die ungültige Zahl " + Quoted(token) + ".";
    return "Die Formel enthält" + at + " den unbekannten Namen " + Quoted(token) + ".";
  }
  return "Die Formel hat" + at + " einen Fehler: " + Problem(e) + ".";
}

double NaturalLog(double v) { return std::log(v); }

}  // namespace

SurfaceResult SurfaceFromFormula(const std::string& text, int points, const std::function<void(int percent)>& progress) {
  if (IsBlank(text)) return Refused("Die Formel ist leer.");
  const int length = CharacterCount(text, text.size());
  if (length > kMaxFormulaLength)
    return Refused("Die Formel ist mit " + std::to_string(length) +
                   " Zeichen zu lang; erlaubt sind höchstens " + std::to_string(kMaxFormulaLength) +
                   " Zeichen.");
  if (const Forbidden bad = FindForbidden(text); bad.character > 0)
    return Refused("Die Formel enthält bei Zeichen " + std::to_string(bad.character) + " " + bad.what +
                   "; logische Operatoren und Steuerzeichen gibt es hier nicht (Bedingungen mit "
                   "Vergleichen und ?: schreiben).");
  if (const int comma = TopLevelComma(text); comma > 0)
    return Refused("Die Formel enthält bei Zeichen " + std::to_string(comma) +
                   " ein Komma außerhalb einer Funktion; Dezimalzahlen bitte mit Punkt schreiben (0.5).");

  double x = 0.0;
  double y = 0.0;
  mu::Parser parser;
  Matrix grid(points, points);
  const double span = points - 1;
  try {
    parser.DefineVar("x", &x);
    parser.DefineVar("y", &y);
    // muparser 2.3.3 has _pi = 3.141592653589 only: both get the full value.
    parser.DefineConst("pi", std::numbers::pi);
    parser.DefineConst("_pi", std::numbers::pi);
    // Some muparser versions take log to base 10; the lecture's log is ln.
    parser.DefineFun("log", NaturalLog);
    parser.SetExpr(text);
    ClearUpperVectorState();
    for (int i = 1; i <= points; ++i) {
      x = (i - 1) / span;
      for (int k = 1; k <= points; ++k) {
        y = (k - 1) / span;
        const double value = parser.Eval();
        if (!std::isfinite(value))
          return Refused("Die Formel hat bei x = " + NumberText(x) + ", y = " + NumberText(y) +
                         " (Gitterpunkt " + std::to_string(i) + ", " + std::to_string(k) +
                         ") keinen endlichen Wert.");
        if (std::fabs(value) > kMaxMagnitude)
          return Refused("Die Formel hat bei x = " + NumberText(x) + ", y = " + NumberText(y) +
                         " (Gitterpunkt " + std::to_string(i) + ", " + std::to_string(k) + ") den Wert " +
                         NumberText(value) + "; erlaubt sind Beträge bis " + kMaxMagnitudeText + ".");
        SetElement(grid, i, k, value);
      }
      if (progress && i * 100 / points != (i - 1) * 100 / points) progress(i * 100 / points);
    }
  } catch (const mu::ParserError& e) {
    return Refused(Message(e, text));
  }
  return {std::move(grid), {}, std::nullopt};
}
