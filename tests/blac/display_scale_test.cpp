// The data view's display scale: which pictures stay as they are, the factor
// and offset of the others (worked out by hand below), and the heights the
// rule is given.
#include "blac/display_scale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "blac/decomposition.h"
#include "blac/startup.h"
#include "state/state.h"

namespace {

HeightRange Range(double lo, double hi) {
  HeightRange r;
  r.Add(lo);
  r.Add(hi);
  return r;
}

const HeightRange kNone;

// The approximation alone (its heights decide the shift), or a layout.
DisplayScale For(const HeightRange& approximation, const HeightRange& details) {
  return DisplayScaleFor({approximation, approximation, details});
}

TEST(DisplayScaleRule, HeightsWithinOneStayAsTheyAre) {
  for (const HeightRange& a : {Range(-0.7, 0.7), Range(0, 0.7), Range(-1, 1), Range(0.2, 0.3)}) {
    const DisplayScale s = For(a, kNone);
    EXPECT_EQ(s.factor, 1.0);
    EXPECT_EQ(s.offset, 0.0);
  }
  // Details count as well: at the bound, and one past it.
  EXPECT_TRUE(For(Range(0, 0.7), Range(-1, 1)).IsIdentity());
  EXPECT_FALSE(For(Range(0, 0.7), Range(-1, std::nextafter(1.0, 2.0))).IsIdentity());
  EXPECT_TRUE(For(kNone, kNone).IsIdentity());
}

TEST(DisplayScaleRule, OnePastOneIsScaledToSpanAndDepth) {
  // -1 .. 1 + ulp: crosses 0, so no offset; span 2 + ulp gives 0.7 / 2 just
  // under 0.35, depth 1 gives 0.35 / 1: the smaller, just under 0.35.
  const DisplayScale s = For(Range(-1, std::nextafter(1.0, 2.0)), kNone);
  EXPECT_EQ(s.offset, 0.0);
  EXPECT_NEAR(s.factor, 0.35, 1e-15);
  EXPECT_LE(s.factor, 0.35);
  const DisplayScale below = For(Range(std::nextafter(-1.0, -2.0), 0.5), kNone);
  // Span 1.5 gives 0.4667, depth 1 + ulp gives just under 0.35.
  EXPECT_NEAR(below.factor, 0.35, 1e-15);
  EXPECT_EQ(below.offset, 0.0);
}

TEST(DisplayScaleRule, TerrainStandsOnTheFloor) {
  // 1500 .. 2000 m: from 1500, 500 m shown 0.7 high.
  const DisplayScale s = For(Range(1500, 2000), kNone);
  EXPECT_EQ(s.offset, 1500.0);
  EXPECT_NEAR(s.factor, 0.0014, 1e-18);
  EXPECT_NEAR(ScaledHeight(s, 1500, true), 0.0, 1e-15);
  EXPECT_NEAR(ScaledHeight(s, 1750, true), 0.35, 1e-15);
  EXPECT_NEAR(ScaledHeight(s, 2000, true), 0.7, 1e-15);
  // Below the floor as well: from its lowest point -2000 up to -1500.
  const DisplayScale deep = For(Range(-2000, -1500), kNone);
  EXPECT_EQ(deep.offset, -2000.0);
  EXPECT_NEAR(deep.factor, 0.0014, 1e-18);
  EXPECT_NEAR(ScaledHeight(deep, -1500, true), 0.7, 1e-15);
}

TEST(DisplayScaleRule, SmallTablesFarFromZero) {
  // 0.5, 1.5, 2.5, 3.5: from 0.5, a span of 3 shown 0.7 high.
  const DisplayScale half = For(Range(0.5, 3.5), kNone);
  EXPECT_EQ(half.offset, 0.5);
  EXPECT_NEAR(half.factor, 0.7 / 3, 1e-15);
  // 1, 2, 3, 4: from 1, span 3.
  const DisplayScale whole = For(Range(1, 4), kNone);
  EXPECT_EQ(whole.offset, 1.0);
  EXPECT_NEAR(whole.factor, 0.7 / 3, 1e-15);
}

TEST(DisplayScaleRule, SurfacesAcrossZeroKeepTheirZero) {
  // -500 .. 500: 0.7 / 1000 from the span and 0.35 / 500 from the depth agree.
  const DisplayScale s = For(Range(-500, 500), kNone);
  EXPECT_EQ(s.offset, 0.0);
  EXPECT_NEAR(s.factor, 0.0007, 1e-18);
  // Mostly below the floor: the depth decides, 0.35 / 1000 < 0.7 / 1001.
  const DisplayScale down = For(Range(-1000, 1), kNone);
  EXPECT_EQ(down.offset, 0.0);
  EXPECT_NEAR(down.factor, 0.00035, 1e-18);
  // A spike of 1e6 in zeros: 7e-7.
  const DisplayScale spike = For(Range(0, 1e6), kNone);
  EXPECT_EQ(spike.offset, 0.0);
  EXPECT_NEAR(spike.factor, 7e-7, 1e-21);
  // At the value bound: span 2e150, depth 1e150, both give 3.5e-151.
  const DisplayScale bound = For(Range(-1e150, 1e150), kNone);
  EXPECT_EQ(bound.offset, 0.0);
  EXPECT_NEAR(bound.factor / 3.5e-151, 1.0, 1e-15);
  EXPECT_NEAR(ScaledHeight(bound, -1e150, true), -0.35, 1e-15);
  EXPECT_NEAR(ScaledHeight(bound, 1e150, true), 0.35, 1e-15);
}

TEST(DisplayScaleRule, ConstantAndNearlyFlatSurfacesAreShiftedNotMagnified) {
  const DisplayScale constant = For(Range(1500, 1500), kNone);
  EXPECT_EQ(constant.offset, 1500.0);
  EXPECT_EQ(constant.factor, 1.0);
  EXPECT_EQ(ScaledHeight(constant, 1500, true), 0.0);
  // Half a unit of relief fits as it is; 0.9 is brought down to 0.7.
  const DisplayScale flat = For(Range(1500, 1500.5), kNone);
  EXPECT_EQ(flat.offset, 1500.0);
  EXPECT_EQ(flat.factor, 1.0);
  const DisplayScale steeper = For(Range(1500, 1500.875), kNone);
  EXPECT_NEAR(steeper.factor, 0.8, 1e-12);  // 0.7 / 0.875
}

TEST(DisplayScaleRule, DetailsShareTheApproximationsFactorButNotItsOffset) {
  // Terrain at level 2: approximation 1500 .. 2000, details -60 .. 40. From
  // 1500: -60 .. 500 spans 560, 0.7 / 560 = 0.00125 (the depth allows 0.35 / 60).
  const DisplayScale s = For(Range(1500, 2000), Range(-60, 40));
  EXPECT_EQ(s.offset, 1500.0);
  EXPECT_NEAR(s.factor, 0.00125, 1e-18);
  EXPECT_NEAR(ScaledHeight(s, -60, false), -0.075, 1e-15);
  EXPECT_NEAR(ScaledHeight(s, 40, false), 0.05, 1e-15);
  // Deep details decide: 0 .. 100 with details down to -300 spans 400
  // (0.7 / 400 = 0.00175) but reaches 300 below: 0.35 / 300.
  const DisplayScale deep = For(Range(0, 100), Range(-300, 50));
  EXPECT_EQ(deep.offset, 0.0);
  EXPECT_NEAR(deep.factor, 0.35 / 300, 1e-18);
}

TEST(DisplayScaleRule, TheLayoutIsShiftedAsItsApproximationAlone) {
  // Approximation alone 1400 .. 2200; in the layout the approximation's cells
  // past its block read the details beside it (down to -40) and the details'
  // cells the approximation (up to 860). From 1400: the green heights run
  // -1440 .. 800, with the details -1440 .. 860: span 2300 allows 0.7 / 2300,
  // depth 1440 only 0.35 / 1440, the smaller.
  const DisplayScale s = DisplayScaleFor({Range(1400, 2200), Range(-40, 2200), Range(-1360, 860)});
  EXPECT_EQ(s.offset, 1400.0);
  EXPECT_NEAR(s.factor, 0.35 / 1440, 1e-18);
  EXPECT_NEAR(ScaledHeight(s, -40, true), -0.35, 1e-15);
  EXPECT_NEAR(ScaledHeight(s, 860, false), 860 * 0.35 / 1440, 1e-15);
  // The same surface crossing 0 keeps its zero in the layout too.
  EXPECT_EQ(DisplayScaleFor({Range(-5, 2200), Range(-40, 2200), Range(-1360, 860)}).offset, 0.0);
}

TEST(DisplayScaleRule, ScaleOneDrawsHeightsBitForBit) {
  const DisplayScale one;
  for (const double z : {0.123456789012345, -0.7, -0.0, 1.0, 1e-300}) {
    const double drawn = ScaledHeight(one, z, true);
    EXPECT_EQ(std::memcmp(&drawn, &z, sizeof z), 0) << z;
  }
}

TEST(DisplayScaleRule, NonFiniteHeightsAreNeverDrawnAsSuch) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  HeightRange a = Range(0, 0.5);
  a.Add(nan);
  EXPECT_TRUE(a.nonFinite);
  EXPECT_EQ(a.lo, 0.0);
  EXPECT_EQ(a.hi, 0.5);
  const DisplayScale s = For(a, kNone);
  EXPECT_EQ(s.factor, 1.0);
  for (const DisplayScale& scale : {s, For(Range(1500, 2000), kNone), DisplayScale{}}) {
    EXPECT_EQ(ScaledHeight(scale, nan, true), 0.0);
    EXPECT_TRUE(std::isfinite(ScaledHeight(scale, inf, true)));
    EXPECT_TRUE(std::isfinite(ScaledHeight(scale, -inf, false)));
  }
  // Heights whose span overflows: factor 0, every height on the floor.
  const DisplayScale huge = For(Range(-1e308, 1e308), kNone);
  EXPECT_EQ(huge.factor, 0.0);
  EXPECT_EQ(ScaledHeight(huge, 1e308, true), 0.0);
}

// The heights the data view draws, read from the state.
class DataViewHeightsTest : public ::testing::Test {
protected:
  void SetUp() override {
    ResetAppState();
    RunStartupNumerics();
  }
  void TearDown() override { ResetAppState(); }
  static void Fill(double value) {
    for (int i = 1; i <= kGridSize; ++i)
      for (int k = 1; k <= kGridSize; ++k) SetElement(appState.dataMatrix, i, k, value);
  }
};

TEST_F(DataViewHeightsTest, SampleStaysAsItIsAtEveryLevelAndInTheLayout) {
  AppState& s = appState;
  for (const bool onlyData : {true, false}) {
    s.onlyData = onlyData;
    const DataViewHeights h = DataViewHeightsOf(s);
    // 0.7 sin(7 i / 64) sin(3 j / 64): within +-0.7, reaching near both.
    EXPECT_GT(h.approximation.lo, -0.7);
    EXPECT_LT(h.approximation.lo, -0.69);
    EXPECT_LT(h.approximation.hi, 0.7);
    EXPECT_GT(h.approximation.hi, 0.69);
    EXPECT_TRUE(h.details.Empty());
    EXPECT_TRUE(DataViewScale(s).IsIdentity());
  }
  while (s.chosenLevel > 2) {
    DecomposeLevel(--s.chosenLevel);
    for (const bool onlyData : {true, false}) {
      s.onlyData = onlyData;
      const DataViewHeights h = DataViewHeightsOf(s);
      EXPECT_EQ(h.details.Empty(), onlyData);
      EXPECT_TRUE(DataViewScale(s).IsIdentity()) << "level " << s.chosenLevel << (onlyData ? "" : " layout");
    }
  }
}

TEST_F(DataViewHeightsTest, ConstantSurfaceIsShiftedToTheFloorAndStaysWhole) {
  AppState& s = appState;
  Fill(1500);
  // The scaling functions add up to 1: 1500 wherever both neighbours hold
  // 1500, the cells just past the square (up to one step width) included.
  for (const bool onlyData : {true, false}) {
    s.onlyData = onlyData;
    const DataViewHeights h = DataViewHeightsOf(s);
    EXPECT_NEAR(h.approximation.lo, 1500, 1e-9);
    EXPECT_NEAR(h.approximation.hi, 1500, 1e-9);
    const DisplayScale scale = DataViewScale(s);
    EXPECT_EQ(scale.factor, 1.0);
    EXPECT_EQ(scale.offset, h.surface.lo);
  }
  // Further down the least-squares levels do not keep the constant exactly,
  // and in the layout the blocks' edge cells read their neighbours: the
  // heights spread, the shift stays that of the approximation alone.
  while (s.chosenLevel > 2) DecomposeLevel(--s.chosenLevel);
  s.onlyData = false;
  const DataViewHeights h = DataViewHeightsOf(s);
  ASSERT_FALSE(h.details.Empty());
  const DisplayScale scale = DataViewScale(s);
  EXPECT_GT(h.surface.lo, 0.0);
  EXPECT_EQ(scale.offset, h.surface.lo);
  for (const double z : {h.approximation.lo, h.approximation.hi}) {
    EXPECT_GE(ScaledHeight(scale, z, true), -kScaledDepth);
    EXPECT_LE(ScaledHeight(scale, z, true), kScaledSpan);
  }
  for (const double z : {h.details.lo, h.details.hi}) {
    EXPECT_GE(ScaledHeight(scale, z, false), -kScaledDepth);
    EXPECT_LE(ScaledHeight(scale, z, false), kScaledSpan);
  }
}

TEST_F(DataViewHeightsTest, OneSpikeGivesItsHeightWhereTheGridMeetsIt) {
  AppState& s = appState;
  Fill(0);
  // Coefficient 31 (matrix index 33) is the only scaling function that is 1
  // at x = 0.5 (64 x - 31 = 1, the end of its plateau), and 0.5 is a corner of
  // the 0.02 cells (25 steps): the spike's full height is drawn there.
  SetElement(s.dataMatrix, 33, 33, 1e6);
  const DataViewHeights h = DataViewHeightsOf(s);
  EXPECT_EQ(h.approximation.lo, 0.0);
  EXPECT_NEAR(h.approximation.hi, 1e6, 1e-3);
  const DisplayScale scale = DataViewScale(s);
  EXPECT_EQ(scale.offset, 0.0);
  EXPECT_NEAR(scale.factor, 7e-7, 1e-15);
}

TEST_F(DataViewHeightsTest, NoStepWidthNoHeights) {
  appState.stepData = 0.0;
  const DataViewHeights h = DataViewHeightsOf(appState);
  EXPECT_TRUE(h.approximation.Empty());
  EXPECT_TRUE(DataViewScale(appState).IsIdentity());
}

}  // namespace

namespace {

// At a step width of 0.1 the approximation alone is drawn up to x = 1.1,
// where its cells read the detail coefficients beside the coarse block; the
// shift still comes from the coarse coefficients, all above 1000 here.
TEST_F(DataViewHeightsTest, TheShiftComesFromTheCoarseCoefficients) {
  AppState& s = appState;
  for (int i = 1; i <= kGridSize; ++i)
    for (int k = 1; k <= kGridSize; ++k)
      SetElement(s.dataMatrix, i, k, 1500 + 500 * std::sin((i - 1) / 9.0) * std::cos((k - 1) / 13.0));
  while (s.chosenLevel > 2) DecomposeLevel(--s.chosenLevel);
  s.stepData = 0.1;
  const DataViewHeights h = DataViewHeightsOf(s);
  double least = GetElement(s.dataMatrix, 1, 1);
  for (int i = 1; i <= 5; ++i)
    for (int k = 1; k <= 5; ++k) least = std::min(least, GetElement(s.dataMatrix, i, k));
  EXPECT_GT(least, 900.0);
  EXPECT_EQ(h.surface.lo, least);
  EXPECT_LT(h.approximation.lo, 0.0);  // what the cells past the square read
  const DisplayScale scale = DataViewScale(s);
  EXPECT_EQ(scale.offset, least);
  EXPECT_GE(ScaledHeight(scale, h.approximation.lo, true), -kScaledDepth);
}

}  // namespace
