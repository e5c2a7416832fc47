#include "sources/formula.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "sources_test_support.h"

namespace {

using sources_test::ExpectRefused;

TEST(FormulaTest, RowsRunAlongXColumnsAlongY) {
  const SurfaceResult fx = SurfaceFromFormula("x");
  const SurfaceResult fy = SurfaceFromFormula("y");
  ASSERT_TRUE(fx.grid && fy.grid && fx.error.empty()) << fx.error << fy.error;
  for (int i = 1; i <= 65; ++i)
    for (int k = 1; k <= 65; ++k) {
      ASSERT_EQ(GetElement(*fx.grid, i, k), (i - 1) / 64.0);
      ASSERT_EQ(GetElement(*fy.grid, i, k), (k - 1) / 64.0);
    }
}

TEST(FormulaTest, FunctionsConstantsAndDecimalPoint) {
  struct Case {
    std::string text;
    int i, k;
    double want;
  };
  const double pi = 3.141592653589793;
  const std::vector<Case> cases = {
      {"log(100)", 1, 1, 4.605170185988092},  // natural: ln 100
      {"ln(_e^2) + log(_e)", 1, 1, 3},
      {"_pi - pi + _e", 1, 1, 2.718281828459045},
      {"2*x^2 - y", 33, 65, -0.5},
      {"x*y/(1+1)", 65, 33, 0.25},
      {"sqrt(16) + abs(-3) + sign(-2) + min(3, 1, 2) + max(-1, 4)", 1, 1, 11},
      {"sin(pi/2) + cos(0) + tan(0) + asin(1) + acos(1) + atan(1)", 1, 1, 2 + 3 * pi / 4},
      {"sinh(0) + cosh(0) + tanh(0) + exp(1)", 1, 1, 1 + 2.718281828459045},
      {"x > 0.5 ? 1 : -1", 49, 1, 1},
      {kDefaultFormula, 33, 65, 0.7 * std::sin(3.5) * std::sin(3.0)},
  };
  auto check = [&] {
    for (const auto& c : cases) {
      const SurfaceResult result = SurfaceFromFormula(c.text);
      ASSERT_TRUE(result.grid) << c.text << ": " << result.error;
      EXPECT_NEAR(GetElement(*result.grid, c.i, c.k), c.want, 1e-15) << c.text;
    }
  };
  check();
  const sources_test::GermanLocale german;
  if (!german.active()) GTEST_SKIP() << "de_DE.UTF-8 is not installed";
  check();
}

TEST(FormulaTest, Refusals) {
  const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
      {"", {"Die Formel ist leer."}},
      {" \t ", {"Die Formel ist leer."}},
      {std::string(1000, ' ') + "x", {"mit 1001 Zeichen zu lang", "höchstens 1000 Zeichen"}},
      {"1+*2", {"Zeichen 3", "„*“"}},
      {"(x))", {"Zeichen 4", "„)“"}},
      {"sin(x", {"schließende Klammer"}},
      {"z+x", {"Zeichen 1", "unbekannten Namen „z“"}},
      {"x*foo(y)", {"Zeichen 3", "unbekannten Namen „foo“"}},
      {"x² + 1", {"Zeichen 2", "unbekannten Namen „²“."}},
      {"1e999*x", {"Zeichen 1", "ungültige Zahl „1e999“"}},
      {"0,5*x", {"Zeichen 2", "Komma außerhalb einer Funktion"}},
      {"1/x", {"bei x = 0, y = 0 (Gitterpunkt 1, 1) keinen endlichen Wert"}},
      {"1/(y-0.5)", {"bei x = 0, y = 0.5 (Gitterpunkt 1, 33)"}},
      {"ln(0.5-x) + y", {"bei x = 0.5, y = 0 (Gitterpunkt 33, 1)"}},
  };
  for (const auto& [text, parts] : cases) {
    SCOPED_TRACE(text);
    ExpectRefused(SurfaceFromFormula(text), parts);
  }
  EXPECT_TRUE(SurfaceFromFormula(std::string(999, ' ') + "x").grid);
}

}  // namespace
