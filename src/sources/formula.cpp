#include "sources/formula.h"

#include <muParser.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <string_view>

#include "text/language.h"

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
  bool control = false;  // a control character, else an operator
  std::string shown;     // "U+0000", or the operator quoted
};

Forbidden FindForbidden(std::string_view text) {
  for (std::size_t b = 0; b < text.size(); ++b) {
    const auto c = static_cast<unsigned char>(text[b]);
    const int at = CharacterCount(text, b) + 1;
    if ((c < 0x20 && c != '\t') || c == 0x7F) {
      char code[8];
      std::snprintf(code, sizeof code, "U+%04X", c);
      return {at, true, code};
    }
    if (c == '&' || c == '|') {
      const bool doubled = b + 1 < text.size() && text[b + 1] == text[b];
      return {at, false, Quoted(text.substr(b, doubled ? 2 : 1))};
    }
    if (c == '!' && (b + 1 >= text.size() || text[b + 1] != '=')) return {at, false, Quoted("!")};
  }
  return {};
}

// The message for muparser's error e, at 1-based character `at`.
std::string Problem(const mu::ParserError& e, std::string_view at) {
  std::string token = e.GetToken();
  token.erase(token.find_last_not_of(" \t\r\n") + 1);
  const std::string quoted = Quoted(token);
  switch (e.GetCode()) {
    case mu::ecUNEXPECTED_OPERATOR:
      return TrArgs("Die Formel hat bei Zeichen %1 einen Fehler: Operator %2 an dieser Stelle nicht erwartet.",
                    {at, quoted});
    case mu::ecUNEXPECTED_VAL:
      return TrArgs("Die Formel hat bei Zeichen %1 einen Fehler: Zahl %2 an dieser Stelle nicht erwartet.",
                    {at, quoted});
    case mu::ecUNEXPECTED_VAR:
      return TrArgs("Die Formel hat bei Zeichen %1 einen Fehler: Variable %2 an dieser Stelle nicht erwartet.",
                    {at, quoted});
    case mu::ecUNEXPECTED_FUN:
      return TrArgs("Die Formel hat bei Zeichen %1 einen Fehler: Funktion %2 an dieser Stelle nicht erwartet.",
                    {at, quoted});
    case mu::ecUNEXPECTED_PARENS:
      return TrArgs("Die Formel hat bei Zeichen %1 einen Fehler: Klammer %2 an dieser Stelle nicht erwartet.",
                    {at, quoted});
    case mu::ecUNEXPECTED_ARG_SEP:
      return TrArgs("Die Formel hat bei Zeichen %1 einen Fehler: Komma an dieser Stelle nicht erwartet.", {at});
    case mu::ecMISSING_PARENS:
      return TrArgs("Die Formel hat bei Zeichen %1 einen Fehler: es fehlt eine schließende Klammer.", {at});
    case mu::ecTOO_MANY_PARAMS:
      return TrArgs("Die Formel hat bei Zeichen %1 einen Fehler: zu viele Argumente für %2.", {at, quoted});
    case mu::ecTOO_FEW_PARAMS:
      return TrArgs("Die Formel hat bei Zeichen %1 einen Fehler: zu wenige Argumente für %2.", {at, quoted});
    case mu::ecUNEXPECTED_EOF:
      return TrArgs("Die Formel hat bei Zeichen %1 einen Fehler: die Formel endet unvollständig.", {at});
    case mu::ecMISPLACED_COLON:
    case mu::ecUNEXPECTED_CONDITIONAL:
    case mu::ecMISSING_ELSE_CLAUSE:
      return TrArgs("Die Formel hat bei Zeichen %1 einen Fehler: Bedingung mit „?“ und „:“ unvollständig.", {at});
    default: return TrArgs("Die Formel hat bei Zeichen %1 einen Fehler: die Formel ist hier nicht lesbar.", {at});
  }
}

std::string Message(const mu::ParserError& e, const std::string& text) {
  const int length = CharacterCount(text, text.size());
  int position = e.GetPos() < 0 ? length : CharacterCount(text, static_cast<std::size_t>(e.GetPos())) + 1;
  position = std::clamp(position, 1, std::max(length, 1));
  const std::string at = std::to_string(position);
  if (e.GetCode() == mu::ecUNASSIGNABLE_TOKEN) {
    std::string token = NameIn(e.GetToken());
    if (token.empty()) {
      // Starts with a character no name has: show that character.
      const std::string rest = e.GetToken();
      std::size_t end = rest.empty() ? 0 : 1;
      while (end < rest.size() && (static_cast<unsigned char>(rest[end]) & 0xC0) == 0x80) ++end;
      return TrArgs("Die Formel enthält bei Zeichen %1 das unerwartete Zeichen %2.", {at, Quoted(rest.substr(0, end))});
    }
    if (!token.empty() && (std::isdigit(static_cast<unsigned char>(token[0])) || token[0] == '.'))
      return TrArgs("Die Formel enthält bei Zeichen %1 die ungültige Zahl %2.", {at, Quoted(token)});
    return TrArgs("Die Formel enthält bei Zeichen %1 den unbekannten Namen %2.", {at, Quoted(token)});
  }
  return Problem(e, at);
}

double NaturalLog(double v) { return std::log(v); }

}  // namespace

SurfaceResult SurfaceFromFormula(const std::string& text, int points, const std::function<void(int percent)>& progress) {
  if (IsBlank(text)) return Refused(Tr("Die Formel ist leer."));
  const int length = CharacterCount(text, text.size());
  if (length > kMaxFormulaLength)
    return Refused(TrArgs("Die Formel ist mit %1 Zeichen zu lang; erlaubt sind höchstens %2 Zeichen.",
                          {std::to_string(length), std::to_string(kMaxFormulaLength)}));
  if (const Forbidden bad = FindForbidden(text); bad.character > 0) {
    const std::string at = std::to_string(bad.character);
    if (bad.control)
      return Refused(TrArgs("Die Formel enthält bei Zeichen %1 das Steuerzeichen %2; logische Operatoren und "
                            "Steuerzeichen gibt es hier nicht (Bedingungen mit Vergleichen und ?: schreiben).",
                            {at, bad.shown}));
    return Refused(TrArgs("Die Formel enthält bei Zeichen %1 den Operator %2; logische Operatoren und "
                          "Steuerzeichen gibt es hier nicht (Bedingungen mit Vergleichen und ?: schreiben).",
                          {at, bad.shown}));
  }
  if (const int comma = TopLevelComma(text); comma > 0)
    return Refused(TrArgs("Die Formel enthält bei Zeichen %1 ein Komma außerhalb einer Funktion; Dezimalzahlen "
                          "bitte mit Punkt schreiben (0.5).",
                          {std::to_string(comma)}));

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
          return Refused(TrArgs("Die Formel hat bei x = %1, y = %2 (Gitterpunkt %3, %4) keinen endlichen Wert.",
                                {NumberText(x), NumberText(y), std::to_string(i), std::to_string(k)}));
        if (std::fabs(value) > kMaxMagnitude)
          return Refused(TrArgs("Die Formel hat bei x = %1, y = %2 (Gitterpunkt %3, %4) den Wert %5; erlaubt sind "
                                "Beträge bis %6.",
                                {NumberText(x), NumberText(y), std::to_string(i), std::to_string(k),
                                 NumberText(value), kMaxMagnitudeText}));
        SetElement(grid, i, k, value);
      }
      if (progress && i * 100 / points != (i - 1) * 100 / points) progress(i * 100 / points);
    }
  } catch (const mu::ParserError& e) {
    return Refused(Message(e, text));
  }
  return {std::move(grid), {}, std::nullopt};
}
