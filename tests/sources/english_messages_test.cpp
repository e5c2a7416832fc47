// Refusals in English: the catalogue's templates put the names, places and
// values where an English sentence wants them (placeholders in another
// order than in German), with English quotes and the decimal point.
#include <gtest/gtest.h>

#include <string>

#include "sources/formula.h"
#include "sources/table_reader.h"
#include "text/language.h"

namespace {

struct English : ::testing::Test {
  void SetUp() override { SetLanguage(Language::English); }
  void TearDown() override { SetLanguage(Language::German); }
};

TEST_F(English, FormulaErrorsSayWhereAndWhat) {
  EXPECT_EQ(SurfaceFromFormula("x & y").error,
            "The formula contains the operator “&” at character 3; logical operators and control characters "
            "are not available here (write conditions with comparisons and ?:).");
  EXPECT_EQ(SurfaceFromFormula("1e200*x*y").error,
            "The formula has the value 2.44140625e+196 at x = 0.015625, y = 0.015625 (grid point 2, 2); "
            "magnitudes up to 1e150 are allowed.");
  EXPECT_EQ(SurfaceFromFormula("sin(x").error,
            "The formula has an error at character 5: a closing parenthesis is missing.");
}

TEST_F(English, TableRefusalsNameFileLineAndField) {
  EXPECT_EQ(SurfaceFromTableText("1 2\n3 abc\n", "t.txt").error, "The file “t.txt” has no number in line 2, field 2: “abc”.");
  EXPECT_EQ(SurfaceFromTableText("1 2 3\n", "t.txt").error,
            "The file “t.txt” has only 1 line and 3 columns; at least 2 lines and 2 columns are needed.");
  EXPECT_EQ(SurfaceFromTableText("1 2\n# x\n3 4 5\n", "t.txt").error,
            "The file “t.txt” has 3 values in line 3, but the lines before it have 2.");
  // German again: the same refusal as ever.
  SetLanguage(Language::German);
  EXPECT_EQ(SurfaceFromTableText("1 2\n3 abc\n", "t.txt").error, "Die Datei „t.txt“ enthält in Zeile 2, Feld 2 keine Zahl: „abc“.");
}

}  // namespace
