// The picture window's colour bars and the place of a picture in its panel,
// as both shells draw them, against values worked out by hand.
#include "interaction/picture_view.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

void ExpectTicks(const analysis::ColourScale& scale, const std::vector<ColourBarTick>& expected) {
  const std::vector<ColourBarTick> ticks = ColourBarTicks(scale);
  ASSERT_EQ(ticks.size(), expected.size());
  for (std::size_t i = 0; i < ticks.size(); ++i) {
    EXPECT_EQ(ticks[i].text, expected[i].text) << i;
    EXPECT_NEAR(ticks[i].height, expected[i].height, 1e-12) << i;
  }
}

TEST(PictureView, LinearTicksTopFirstAtTheirValues) {
  ExpectTicks({-0.7, 0.7, {-0.5, 0, 0.5}, false},
              {{"0.5", 1.2 / 1.4}, {"0", 0.5}, {"-0.5", 0.2 / 1.4}});
}

TEST(PictureView, LogarithmicTicksNameTheMagnitudes) {
  ExpectTicks({-6.2, 0.3, {-6, -4, -2, 0}, true},
              {{"1", 6.2 / 6.5}, {"0.01", 4.2 / 6.5}, {"0.0001", 2.2 / 6.5}, {"1e-06", 0.2 / 6.5}});
}

TEST(PictureView, AScaleOfOneValueHasItsTickInTheMiddle) {
  ExpectTicks({0, 0, {0}, false}, {{"0", 0.5}});
  ExpectTicks({}, {});
}

TEST(PictureView, BarsRunFromTheHighEndAtTheTop) {
  using R = analysis::Rgba;
  EXPECT_EQ(ColourBarColours(ColourMap::Grey, 3),
            (std::vector<R>{{255, 255, 255, 255}, {128, 128, 128, 255}, {0, 0, 0, 255}}));
  EXPECT_EQ(ColourBarColours(ColourMap::Diverging, 3),
            (std::vector<R>{{178, 24, 43, 255}, {255, 255, 255, 255}, {33, 102, 172, 255}}));
  EXPECT_EQ(ColourBarColours(ColourMap::Viridis, 1), (std::vector<R>{{253, 231, 37, 255}}));
  EXPECT_TRUE(ColourBarColours(ColourMap::Viridis, 0).empty());
}

TEST(PictureView, PicturesKeepTheirAspectCentred) {
  EXPECT_EQ(FitPicture(200, 100, 1), (PicturePlace{50, 0, 100, 100}));
  EXPECT_EQ(FitPicture(160, 160, 4.0 / 3), (PicturePlace{0, 20, 160, 120}));
  // Exactly filling, and one pixel more either way.
  EXPECT_EQ(FitPicture(200, 100, 2), (PicturePlace{0, 0, 200, 100}));
  EXPECT_EQ(FitPicture(200, 101, 2), (PicturePlace{0, 1, 200, 100}));
  EXPECT_EQ(FitPicture(201, 100, 2), (PicturePlace{1, 0, 200, 100}));
  for (double bad : {0.0, -2.0, std::numeric_limits<double>::quiet_NaN(),
                     std::numeric_limits<double>::infinity()}) {
    EXPECT_EQ(FitPicture(200, 100, bad), (PicturePlace{50, 0, 100, 100})) << bad;
  }
}

// Worked by hand with bars of 66, captions of 30 and gaps of 10: one row
// has (w - 9*10 - 4*66) / 4 across and h - 3*10 - 30 down; two rows of two
// (w - 5*10 - 2*66) / 2 across and (h - 5*10 - 2*30) / 2 down.
TEST(PictureView, PanelsForAProjectorTakeTheArrangementWithTheLargerSide) {
  // 1920 x 1080: one row 391, two rows 485.
  EXPECT_EQ(ArrangePanels(1920, 1080, 66, 30, 10), (PanelArrangement{2, 2, 485}));
  // A wide, low screen: one row 440 (height-bound), two rows 195.
  EXPECT_EQ(ArrangePanels(3000, 500, 66, 30, 10), (PanelArrangement{4, 1, 440}));
  // Both give 400 (one row 1954 wide: (1954-354)/4; two rows 910 high: (910-110)/2): the row stays.
  EXPECT_EQ(ArrangePanels(1954, 910, 66, 30, 10), (PanelArrangement{4, 1, 400}));
  // One pixel less high, and two rows give 399 while the row still gives 400.
  EXPECT_EQ(ArrangePanels(1954, 909, 66, 30, 10), (PanelArrangement{4, 1, 400}));
  // One more pixel high: two rows still 400 (integer halves), the row 400; a tie.
  EXPECT_EQ(ArrangePanels(1954, 911, 66, 30, 10), (PanelArrangement{4, 1, 400}));
  EXPECT_EQ(ArrangePanels(1954, 912, 66, 30, 10), (PanelArrangement{2, 2, 401}));
  // No room at all: nothing negative.
  EXPECT_EQ(ArrangePanels(50, 50, 66, 30, 10), (PanelArrangement{4, 1, 0}));
}

}  // namespace
