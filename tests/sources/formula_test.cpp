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
      // Control characters: an embedded NUL must not cut the formula to "x".
      {std::string("x\0+y", 4), {"bei Zeichen 2 das Steuerzeichen U+0000"}},
      {"x +\ny", {"bei Zeichen 4 das Steuerzeichen U+000A"}},
      {"ä\x7F", {"bei Zeichen 2 das Steuerzeichen U+007F"}},
      // Logical operators never reach muparser.
      {"x && y", {"bei Zeichen 3 den Operator „&&“;"}},
      {"x & y", {"bei Zeichen 3 den Operator „&“;"}},
      {"x||y", {"bei Zeichen 2 den Operator „||“;"}},
      {"x | y", {"bei Zeichen 3 den Operator „|“;"}},
      {"!x", {"bei Zeichen 1 den Operator „!“;"}},
      {"x>0.5 ? 00000300000000000||0000 : 1", {"bei Zeichen 26 den Operator „||“"}},
      // Magnitude: 1e150 is the largest taken (see the accepted cases).
      {"1.0000000000000002e150*x*y", {"bei x = 1, y = 1 (Gitterpunkt 65, 65) den Wert 1.0000000000000002e+150",
                                      "erlaubt sind Beträge bis 1e150."}},
      {"1e200*x*y", {"(Gitterpunkt 2, 2) den Wert 2.44140625e+196"}},
  };
  for (const auto& [text, parts] : cases) {
    SCOPED_TRACE(text);
    ExpectRefused(SurfaceFromFormula(text), parts);
  }
  EXPECT_TRUE(SurfaceFromFormula(std::string(999, ' ') + "x").grid);
  // Exactly at the magnitude bound, and "!=" is a comparison, not "!".
  const SurfaceResult atBound = SurfaceFromFormula("-1e150*x*y");
  ASSERT_TRUE(atBound.grid) << atBound.error;
  EXPECT_EQ(GetElement(*atBound.grid, 65, 65), -1e150);
  const SurfaceResult unequal = SurfaceFromFormula("x != y");
  ASSERT_TRUE(unequal.grid) << unequal.error;
  EXPECT_EQ(GetElement(*unequal.grid, 5, 5), 0.0);
  EXPECT_EQ(GetElement(*unequal.grid, 5, 6), 1.0);
  // Whatever muparser cannot read, the message never names an empty name.
  for (const char* text : {"x;y", "x $ y", "x @ y", "x ~ y", "=x", "x (y)", "x ? : y", "x # y"}) {
    const SurfaceResult result = SurfaceFromFormula(text);
    EXPECT_FALSE(result.grid) << text;
    EXPECT_EQ(result.error.find("„“"), std::string::npos) << text << ": " << result.error;
  }
}

}  // namespace

namespace {

TEST(FormulaTest, ProgressByRowsInWholePercentUpToAHundred) {
  // 65 rows: percent i * 100 / 65 rounded down changes at every row but
  // 1 (1 % first at row 1), so 65 reports, the last 100; 200 points report
  // each percent once, 0 never.
  std::vector<int> told;
  const SurfaceResult r = SurfaceFromFormula("x*y", 65, [&](int p) { told.push_back(p); });
  ASSERT_TRUE(r.grid) << r.error;
  ASSERT_EQ(told.size(), 65u);
  EXPECT_EQ(told.front(), 1);
  EXPECT_EQ(told[31], 49);  // row 32: 3200 / 65 = 49.2
  EXPECT_EQ(told.back(), 100);
  told.clear();
  ASSERT_TRUE(SurfaceFromFormula("x-y", 200, [&](int p) { told.push_back(p); }).grid);
  std::vector<int> each(100);
  for (int p = 0; p < 100; ++p) each[static_cast<std::size_t>(p)] = p + 1;
  EXPECT_EQ(told, each);
  // The same grid as without anyone listening.
  const SurfaceResult quiet = SurfaceFromFormula("x*y", 65);
  for (int i = 1; i <= 65; ++i)
    for (int k = 1; k <= 65; ++k) ASSERT_EQ(GetElement(*r.grid, i, k), GetElement(*quiet.grid, i, k));
  // A refused formula stops where it failed: 1/x at row 1 reports nothing.
  told.clear();
  EXPECT_FALSE(SurfaceFromFormula("1/x", 65, [&](int p) { told.push_back(p); }).grid);
  EXPECT_TRUE(told.empty());
}

}  // namespace
