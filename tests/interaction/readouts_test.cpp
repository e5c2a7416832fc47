// Numbers for people and the axes of the curves, worked out by hand.
#include "interaction/readouts.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>

namespace {

TEST(Readouts, ThreeSignificantDigitsInTheCLocale) {
  // Under a German locale the point must stay a point.
  const bool german = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
  const struct {
    double value;
    const char* text;
  } cases[] = {
      {0.023541, "0.0235"}, {-0.023541, "-0.0235"}, {57.14, "57.1"},   {100, "100"},
      {0.5, "0.5"},         {32.567, "32.6"},       {1.049e-8, "1.05e-8"},
      {0.0001, "0.0001"},   {0.000099999, "1e-4"},  {1234.4, "1234"},  {9999.4, "9999"},
      {9999.5, "1e+4"},     {12345, "1.23e+4"},     {0.0072891, "0.00729"}, {0, "0"},
      {std::numeric_limits<double>::quiet_NaN(), "NaN"}, {INFINITY, "inf"}, {-INFINITY, "-inf"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatReadout(c.value), c.text) << c.value;
  if (german) std::setlocale(LC_ALL, "C");
}

TEST(Readouts, LinearTicksInStepsOfOneTwoFive) {
  const struct {
    double top;
    double high, step;
    int ticks;
  } cases[] = {
      {0.0235, 0.025, 0.005, 6}, {0.02, 0.02, 0.005, 5}, {1, 1, 0.2, 6},  {0.3, 0.3, 0.1, 4},
      {0.7, 0.8, 0.2, 5},        {7.3, 8, 2, 5},         {0.0251, 0.03, 0.01, 4},
      {1e-9, 1e-9, 2e-10, 6},    {0, 1, 0.2, 6},         {-3, 1, 0.2, 6},
      {std::numeric_limits<double>::quiet_NaN(), 1, 0.2, 6},
  };
  for (const auto& c : cases) {
    const AxisRange a = NiceAxisFromZero(c.top);
    EXPECT_EQ(a.low, 0) << c.top;
    EXPECT_NEAR(a.high, c.high, 1e-12 * c.high) << c.top;
    EXPECT_NEAR(a.step, c.step, 1e-12 * c.step) << c.top;
    EXPECT_EQ(a.ticks, c.ticks) << c.top;
  }
}

TEST(Readouts, LogarithmicDecadesWithZeroOnTheFloor) {
  const LogRange r = LogDecades({0, 0.0035, 0.0207, std::numeric_limits<double>::quiet_NaN()});
  EXPECT_NEAR(r.floor, 1e-3, 1e-18);
  EXPECT_NEAR(r.ceiling, 0.1, 1e-16);
  EXPECT_EQ(OnLogAxis(r, 0), r.floor);
  EXPECT_EQ(OnLogAxis(r, -1), r.floor);
  EXPECT_EQ(OnLogAxis(r, 0.0035), 0.0035);
  // Exact decades stay where they are; one value gets one decade above it.
  const LogRange exact = LogDecades({0.001, 0.01});
  EXPECT_NEAR(exact.floor, 0.001, 1e-18);
  EXPECT_NEAR(exact.ceiling, 0.01, 1e-17);
  const LogRange one = LogDecades({0.01});
  EXPECT_NEAR(one.ceiling / one.floor, 10, 1e-12);
  const LogRange none = LogDecades({0, 0});
  EXPECT_EQ(none.floor, 1e-4);
  EXPECT_EQ(none.ceiling, 1);
}

TEST(Readouts, TheMinimumOfTheCurve) {
  EXPECT_EQ(MinimumText({{0, 0.03}, {0.79, 0.0073}, {0.8, 0.0072891}, {0.81, 0.0072891}, {1, 0.01}}),
            "kleinster Fehler bei Delta = 0.80 (RMS 0.00729)");
  EXPECT_EQ(MinimumText({{0, std::numeric_limits<double>::quiet_NaN()}, {0.05, 0.02}}),
            "kleinster Fehler bei Delta = 0.05 (RMS 0.02)");
  EXPECT_EQ(MinimumText({}), "");
}

TEST(ReadoutsTest, AnAxisAroundTheDataStartsAtAMultipleOfItsStep) {
  const struct {
    double low, high;
    double from, to, step;
    int ticks;
  } cases[] = {
      {0.0282, 0.0301, 0.028, 0.0305, 0.0005, 6},
      {0.0147, 0.0162, 0.0145, 0.0165, 0.0005, 5},
      {3, 47, 0, 50, 10, 6},
      // Rounding the bottom down can need a coarser step: at 0.1 it would
      // take six steps from 0.2 to 0.8.
      {0.29, 0.79, 0.2, 0.8, 0.2, 4},
      // A spread of exactly a thousandth of the top is flat: drawn from zero.
      {999, 1000, 0, 1000, 200, 6},
      {998.9, 1000, 998.5, 1000, 0.5, 4},
      {-0.5, 2, 0, 2, 0.5, 5},  // errors are never below 0
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.low << " .. " << c.high);
    const AxisRange a = NiceAxisAround(c.low, c.high);
    EXPECT_NEAR(a.low, c.from, 1e-12);
    EXPECT_NEAR(a.high, c.to, 1e-12);
    EXPECT_NEAR(a.step, c.step, 1e-15);
    EXPECT_EQ(a.ticks, c.ticks);
  }
  const AxisRange none = NiceAxisAround(INFINITY, 0);
  EXPECT_EQ(none.low, 0);
  EXPECT_EQ(none.high, 1);
}

}  // namespace
