// Pictures decoded elsewhere (the browser) and handed over as RGBA bytes:
// heights, orientation and refusals against values worked out by hand.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sources/pixels.h"
#include "sources_test_support.h"

namespace {

using sources_test::ExpectRefused;

std::string Rgba(const std::vector<std::vector<int>>& pixels) {
  std::string bytes;
  for (const auto& p : pixels) {
    for (const int v : p) bytes.push_back(static_cast<char>(v));
  }
  return bytes;
}

TEST(PixelsTest, GreyHeightsSeenFromAboveNotMirrored) {
  // 3 x 2 pixels, rows from the top: grey, pure red, white / black, pure green, pure blue.
  const std::string bytes = Rgba({{51, 51, 51, 255}, {255, 0, 0, 255}, {255, 255, 255, 0},
                                  {0, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}});
  const SurfaceResult r = SurfaceFromRgba(bytes, 3, 2, "bild.png");
  ASSERT_TRUE(r.grid) << r.error;
  // Bottom left pixel at grid (1, 1), top right at (65, 65); grey = (11 r + 16 g + 5 b) / 32
  // rounded down: red 87, green 127, blue 39; alpha does not count.
  EXPECT_EQ(GetElement(*r.grid, 1, 1), 0.0);
  EXPECT_EQ(GetElement(*r.grid, 33, 1), 127 / 255.0 * 0.7);
  EXPECT_EQ(GetElement(*r.grid, 65, 1), 39 / 255.0 * 0.7);
  EXPECT_EQ(GetElement(*r.grid, 1, 65), 51 / 255.0 * 0.7);
  EXPECT_EQ(GetElement(*r.grid, 33, 65), 87 / 255.0 * 0.7);
  EXPECT_EQ(GetElement(*r.grid, 65, 65), 0.7);
  ASSERT_TRUE(r.samples);
  EXPECT_EQ(r.samples->rows, 3);
  EXPECT_EQ(r.samples->cols, 2);
}

TEST(PixelsTest, SizesAndByteCountsOutOfRangeAreRefused) {
  const std::string two(2 * 2 * 4, '\x80');
  EXPECT_TRUE(SurfaceFromRgba(two, 2, 2, "b.png").grid);  // the smallest accepted
  ExpectRefused(SurfaceFromRgba(std::string(1 * 2 * 4, '\0'), 1, 2, "b.png"),
                {"Das Bild \u201Eb.png\u201C ist mit 1 x 2 Pixeln zu klein; nötig sind mindestens 2 x 2."});
  // Checked before any byte is looked at: no 8193-pixel buffer needed.
  ExpectRefused(SurfaceFromRgba("", 8193, 2, "b.png"),
                {"Das Bild \u201Eb.png\u201C ist mit 8193 x 2 Pixeln zu groß; erlaubt sind höchstens 8192 x 8192."});
  ExpectRefused(SurfaceFromRgba(two.substr(1), 2, 2, "b.png"), {"Das Bild \u201Eb.png\u201C ist unvollständig."});
}

}  // namespace
