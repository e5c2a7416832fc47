// Window places on a 1280 x 1024 screen and a 1920 x 1080 one, with and
// without a window manager's frame (4 pixels, title bar 20 high).
#include "interaction/window_places.h"

#include <gtest/gtest.h>

namespace {

const Box kSmall{0, 0, 1280, 1024};
const Box kWide{0, 0, 1920, 1080};
const Margins kNone{};
const Margins kFrame{4, 24, 4, 4};

TEST(WindowPlaces, ViewsKeepTheirPlaceWithoutAFrameAndShowTheTitleBarsWithOne) {
  const ViewPlaces bare = PlaceViews(kSmall, kNone);
  EXPECT_EQ(bare.grafikX, 1);
  EXPECT_EQ(bare.grafikY, -1);
  EXPECT_EQ(bare.datenX, 493);
  EXPECT_EQ(bare.datenY, -1);
  const ViewPlaces framed = PlaceViews(kSmall, kFrame);
  EXPECT_EQ(framed.grafikX, 5);   // frame at 1
  EXPECT_EQ(framed.grafikY, 24);  // frame at 0: the title bar on the screen
  EXPECT_EQ(framed.datenX, 1 + 4 + 492 + 4 + 4);  // its frame right after the function view's
  EXPECT_EQ(framed.datenY, 24);
  // A panel at the top of the screen pushes them down.
  const ViewPlaces below = PlaceViews({0, 30, 1280, 994}, kFrame);
  EXPECT_EQ(below.grafikY, 54);
}

TEST(WindowPlaces, AnalyseBesideTheViewsWhereThereIsRoom) {
  const Box views{1, 0, 1031 - 1, 556};  // both view frames, right edge 1031
  // 1920 wide: 1031 + 8 + 860 = 1899 fits.
  const Point wide = PlaceBeside(kWide, kFrame, views, 860, 520);
  EXPECT_EQ(wide.x, 1031);
  EXPECT_EQ(wide.y, 0);
  // At the limit and one past it.
  EXPECT_EQ(PlaceBeside({0, 0, 1031 + 868, 1080}, kFrame, views, 860, 520).x, 1031);
  EXPECT_EQ(PlaceBeside({0, 0, 1031 + 867, 1080}, kFrame, views, 860, 520).x, 0);
  const Point small = PlaceBeside(kSmall, kFrame, views, 860, 520);
  EXPECT_EQ(small.x, 0);
  EXPECT_EQ(small.y, 0);
}

TEST(WindowPlaces, HelpDoesNotCoverTheControlPanel) {
  const Box panel{112, 543, 801 + 8, 143 + 28};  // frame of the control panel
  const Box wanted{240, 120, 560, 520};
  // Away from the panel it stays where it was asked for.
  EXPECT_EQ(PlaceHelp(kSmall, kFrame, panel, {240, 0, 560, 300}).y, 0);
  // 1920 x 1080: right of the panel, raised so that its frame ends at the
  // screen's bottom (1080 - 520 - 28); 1091 high it fits beside the panel's top.
  const Box wide = PlaceHelp(kWide, kFrame, panel, wanted);
  EXPECT_EQ(wide.x, 921);
  EXPECT_EQ(wide.y, 532);
  EXPECT_EQ(PlaceHelp({0, 0, 1920, 1091}, kFrame, panel, wanted).y, 543);
  EXPECT_EQ(wide.height, 520);
  // 1280 x 1024: above it, 543 - 28 = 515 rows high, its frame ending where the panel's starts.
  const Box small = PlaceHelp(kSmall, kFrame, panel, wanted);
  EXPECT_EQ(small.height, 515);
  EXPECT_EQ(small.y, 0);
  EXPECT_EQ(small.x, 240);
  EXPECT_FALSE((Box{small.x, small.y, small.width + 8, small.height + 28}).Intersects(panel));
  EXPECT_EQ(small.width, 560);
}

}  // namespace
