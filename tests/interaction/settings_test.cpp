// Reading and checking the settings fields, and numbers shown and read with a
// decimal point whatever the C library's locale is.
#include <climits>
#include <clocale>
#include <cstdio>

#include "interaction/commands.h"
#include "interaction/settings.h"
#include "gl_recorder.h"

namespace {

using SettingsTest = RenderTest;

const SettingsText kDefaults{"0.03", "0.1", "0.02", "5", "10"};

SettingsText With(std::string SettingsText::*field, const std::string& text) {
  SettingsText t = kDefaults;
  t.*field = text;
  return t;
}

TEST_F(SettingsTest, StepWidthsReadTheLongestNumericPrefixAndRefuseUnusableValues) {
  const std::pair<const char*, double> accepted[] = {
      {" 0.5abc", 0.5}, {"\t0.25", 0.25}, {"1", 1}, {"5e-3", 0.005}, {"+0.1x", 0.1}, {"0.99999", 0.99999}, {"0.00501", 0.00501}};
  // A decimal comma ends the number: 0,05 reads as 0.
  const char* const refused[] = {"0,05", "abc", "", "0", "-1", "1e-300", "0.004", "0.00499", "1.00001", "nan", "inf", "1e308", "1.5"};
  const struct {
    std::string SettingsText::*field;
    double SettingsValues::*value;
    const char* label;
  } fields[] = {{&SettingsText::near, &SettingsValues::stepNear, "naher Betrachtung"},
                {&SettingsText::far, &SettingsValues::stepFar, "entfernter Betrachtung"},
                {&SettingsText::data, &SettingsValues::stepData, "den Daten"}};
  for (const auto& f : fields) {
    for (const auto& [text, value] : accepted) {
      const SettingsCheck check = CheckSettings(With(f.field, text));
      ASSERT_TRUE(check.values) << f.label << " '" << text << "': " << check.error;
      EXPECT_EQ((*check.values).*f.value, value) << f.label << " '" << text << "'";
      EXPECT_TRUE(check.error.empty());
    }
    for (const char* text : refused) {  // German, and it names the field and the limits
      const SettingsCheck check = CheckSettings(With(f.field, text));
      EXPECT_FALSE(check.values) << f.label << " '" << text << "'";
      EXPECT_EQ(check.error, std::string("Ungültige Schrittweite bei „") + f.label +
                                 "“: bitte eine Zahl von 0.005 bis 1 eingeben (mit Punkt als "
                                 "Dezimaltrennzeichen).");
    }
  }
}

TEST_F(SettingsTest, TransitionCountMustBeAWholeNumberFromOneToAHundred) {
  for (const char* text : {"1", "100", " 7x", "1e2", "10.0"}) {
    const SettingsCheck check = CheckSettings(With(&SettingsText::steps, text));
    ASSERT_TRUE(check.values) << text;
    EXPECT_EQ(check.values->transitionSteps, std::strtod(text, nullptr)) << text;
  }
  for (const char* text : {"2.5", "0", "0.5", "-3", "101", "1e9", "99999999999999999999", "nan", "inf", "",
                           "zehn"}) {
    const SettingsCheck check = CheckSettings(With(&SettingsText::steps, text));
    EXPECT_FALSE(check.values) << text;
    EXPECT_EQ(check.error, "Ungültige Anzahl Zwischenschritte: bitte eine ganze Zahl von 1 bis 100 eingeben.")
        << text;
  }
}

TEST_F(SettingsTest, RotationStepKeepsTheWholeNumberReadingClampedToIntRange) {
  const std::pair<const char*, double> cases[] = {
      {"2.5", 2}, {"7.9", 7}, {"-7", -7}, {" +12abc", 12}, {"abc", 0}, {"", 0}, {"0", 0},
      {"99999999999999999999", INT_MAX}, {"-99999999999999999999", INT_MIN}, {"2147483648", INT_MAX}};
  for (const auto& [text, value] : cases) {
    const SettingsCheck check = CheckSettings(With(&SettingsText::rotStep, text));
    ASSERT_TRUE(check.values) << text;
    EXPECT_EQ(check.values->rotStep, value) << text;
  }
}

TEST_F(SettingsTest, FirstRefusedFieldIsNamedAndApplyTakesAllFiveOver) {
  const SettingsCheck bad = CheckSettings({"0", "0", "0.02", "5", "0"});
  ASSERT_FALSE(bad.values);
  EXPECT_NE(bad.error.find("naher Betrachtung"), std::string::npos);

  const SettingsCheck good = CheckSettings({"0.5", "0.2", "0.04", "-3", "4"});
  ASSERT_TRUE(good.values);
  ApplySettings(*good.values);
  const AppState& s = appState;
  EXPECT_EQ((std::array<double, 5>{s.stepNear, s.stepFar, s.stepData, s.rotStep, s.transitionSteps}),
            (std::array<double, 5>{0.5, 0.2, 0.04, -3, 4}));
  const SettingsText t = CurrentSettingsText();
  EXPECT_EQ((std::array{t.near, t.far, t.data, t.rotStep, t.steps}),
            (std::array<std::string, 5>{"0.5", "0.2", "0.04", "-3", "4"}));
}

TEST_F(SettingsTest, NumbersAreFormattedAsPercentG) {
  const std::pair<double, const char*> cases[] = {
      {0.4, "0.4"}, {0.07, "0.07"}, {0, "0"}, {1e-05, "1e-05"}, {10, "10"}, {123456789, "1.23457e+08"},
      {100000, "100000"}, {1e6, "1e+06"}, {0.0001, "0.0001"}, {-2.5, "-2.5"}};
  for (const auto& [value, text] : cases) EXPECT_EQ(FormatNumber(value), text);
  const SettingsText t = CurrentSettingsText();
  EXPECT_EQ((std::array{t.near, t.far, t.data, t.rotStep, t.steps}),
            (std::array<std::string, 5>{"0.03", "0.1", "0.02", "5", "10"}));
}

// The window toolkit sets the C library's locale from the environment; under
// a German locale %g writes a comma and strtod stops at a point.
TEST_F(SettingsTest, GermanLocaleChangesNeitherShownNorReadNumbers) {
  const std::string previous = std::setlocale(LC_ALL, nullptr);
  ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr)
      << "locale de_DE.UTF-8 missing: generate it (./test.sh does)";
  char buf[16];
  std::snprintf(buf, sizeof buf, "%g", 0.4);
  const double plainRead = std::strtod("0.05", nullptr);

  const std::string delta = DeltaLabelText(0.4);
  const std::string current = CurrentDeltaLabelText(0.07);
  const std::string level = LevelLabelText(2);
  const SettingsText shown = CurrentSettingsText();
  const double readPoint = ParseDouble("0.05");
  const double readComma = ParseDouble("0,05");
  const SettingsCheck check = CheckSettings({"0.05", "0.1", "0.02", "5", "10"});
  std::setlocale(LC_ALL, previous.c_str());

  ASSERT_STREQ(buf, "0,4") << "precondition: the locale writes a decimal comma";
  ASSERT_EQ(plainRead, 0.0) << "precondition: the locale stops reading at a point";
  EXPECT_EQ(delta, "Delta: 0.4");
  EXPECT_EQ(current, "aktuelles Delta: 0.07");
  EXPECT_EQ(level, "Level: 2");
  EXPECT_EQ(shown.near, "0.03");
  EXPECT_EQ(shown.data, "0.02");
  EXPECT_EQ(readPoint, 0.05);
  EXPECT_EQ(readComma, 0.0);
  ASSERT_TRUE(check.values) << check.error;
  EXPECT_EQ(check.values->stepNear, 0.05);
}

}  // namespace
