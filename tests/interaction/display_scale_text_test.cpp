// What the data view says about its display scale: the caption's words and
// numbers, with a point in every locale.
#include "interaction/display_scale_text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace {

TEST(DisplayScaleText, ScaleOneKeepsTheCaption) {
  EXPECT_EQ(DisplayScaleText(DisplayScale{}), "");
  EXPECT_EQ(DatenCaption(DisplayScale{}), "Daten");
}

TEST(DisplayScaleText, FactorAndOffsetAsTheReadoutsShowNumbers) {
  EXPECT_EQ(DatenCaption({0.7 / 500, 1500}), "Daten (H\u00f6hen x 0.0014, ab 1500)");
  EXPECT_EQ(DatenCaption({0.7 / 3, 0.5}), "Daten (H\u00f6hen x 0.233, ab 0.5)");
  EXPECT_EQ(DatenCaption({0.7 / 1e6, 0}), "Daten (H\u00f6hen x 7e-7)");
  EXPECT_EQ(DatenCaption({1, 1500}), "Daten (H\u00f6hen ab 1500)");
  EXPECT_EQ(DatenCaption({3.5e-151, 0}), "Daten (H\u00f6hen x 3.5e-151)");
  EXPECT_EQ(DatenCaption({0.0014, -2000}), "Daten (H\u00f6hen x 0.0014, ab -2000)");
  EXPECT_EQ(DisplayScaleText({0.35, 0}), "H\u00f6hen x 0.35");
}

TEST(DisplayScaleText, GermanLocaleKeepsThePoint) {
  const std::string previous = std::setlocale(LC_ALL, nullptr);
  if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "locale de_DE.UTF-8 missing";
  const std::string text = DisplayScaleText({0.7 / 500, 1500.25});
  std::setlocale(LC_ALL, previous.c_str());
  EXPECT_EQ(text, "H\u00f6hen x 0.0014, ab 1500");
}

}  // namespace
