// The picture panels: colours at hand-computed pixels, scale ends, ticks, the
// orientation of an asymmetric surface and the agreement with the error readout.
#include "analysis/pictures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "analysis/blocks.h"
#include "analysis/error.h"
#include "blac/level_steps.h"

namespace {

using analysis::Rgba;

TEST(PicturesTest, ColourMapsAtTheirAnchors) {
  struct Case {
    Rgba got, want;
  };
  const Case cases[] = {
      {analysis::Grey(0), {0, 0, 0, 255}},
      {analysis::Grey(1), {255, 255, 255, 255}},
      {analysis::Grey(0.5), {128, 128, 128, 255}},  // 127.5 rounds up
      {analysis::Grey(1.5), {255, 255, 255, 255}},
      {analysis::Diverging(0), {33, 102, 172, 255}},
      {analysis::Diverging(0.5), {255, 255, 255, 255}},
      {analysis::Diverging(1), {178, 24, 43, 255}},
      // Half way from white to red: 255 - 77 / 2, 255 - 231 / 2, 255 - 212 / 2.
      {analysis::Diverging(0.75), {217, 140, 149, 255}},
      {analysis::Viridis(0), {68, 1, 84, 255}},
      {analysis::Viridis(1), {253, 231, 37, 255}},
      {analysis::Viridis(0.5), {33, 144, 141, 255}},
      {analysis::Viridis(-1), {68, 1, 84, 255}},
      // Entry 26 of 257 (t = 26/256): 0.8125 of the way to the second anchor.
      {analysis::Viridis(0.1), {70, 36, 115, 255}},
      {analysis::Grey(std::nan("")), {255, 0, 255, 255}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.got, c.want) << int(c.got.r) << " " << int(c.got.g) << " " << int(c.got.b);
  }
}

TEST(PicturesTest, RoundTicksInsideTheScale) {
  struct Case {
    double low, high;
    std::vector<double> want;
  };
  const Case cases[] = {
      {0, 1, {0, 0.25, 0.5, 0.75, 1}},
      {-0.35, 0.35, {-0.2, 0, 0.2}},  // steps of 0.1 would give 7
      {-3, 0, {-3, -2, -1, 0}},
      {0.13, 0.87, {0.2, 0.4, 0.6, 0.8}},
      {2, 2, {2}},
  };
  for (const Case& c : cases) {
    const std::vector<double> got = analysis::RoundTicks(c.low, c.high);
    ASSERT_EQ(got.size(), c.want.size()) << c.low << ".." << c.high;
    for (std::size_t k = 0; k < got.size(); ++k) EXPECT_NEAR(got[k], c.want[k], 1e-15) << c.low;
  }
}

TEST(PicturesTest, DecadeTicksOfTheCoefficientScale) {
  struct Case {
    double low, high;
    std::vector<double> want;  // log10 of the values
  };
  const double two = std::log10(2.0), five = std::log10(5.0);
  const Case cases[] = {
      {-3, 0, {-3, -2, -1, 0}},                                       // 0.001 .. 1
      {-4.2, 0.3, {-4, -3, -2, -1, 0}},                               // five decades: all
      {-5.7, 0.3, {-4, -2, 0}},                                       // six: every second, the top one kept
      {-6, 0, {-6, -4, -2, 0}},                                       // seven
      {-1.6, -0.3, {-2 + five, -1, -1 + two, -1 + five}},             // 0.05, 0.1, 0.2, 0.5
      {-2.5, -0.1, {-3 + five, -2, -2 + five, -1, -1 + five}},        // 1-2-5 gives 7: 1 and 5
      {-0.65, -0.45, {-0.65, -0.6, -0.55, -0.5, -0.45}},              // no such value inside: round steps
  };
  for (const Case& c : cases) {
    const std::vector<double> got = analysis::DecadeTicks(c.low, c.high);
    ASSERT_EQ(got.size(), c.want.size()) << c.low << ".." << c.high;
    for (std::size_t k = 0; k < got.size(); ++k) EXPECT_NEAR(got[k], c.want[k], 1e-12) << c.low;
  }
}

// 129 x 129, values 2 * (i - 1) + (k - 1) / 128: rising to the right (x, the
// first index) and, less steeply, upwards (y). At the top level the
// coefficients are the surface itself.
TEST(PicturesTest, OrientationAndGreyValuesAt129) {
  Matrix surface(129, 129);
  for (int i = 1; i <= 129; ++i)
    for (int k = 1; k <= 129; ++k) SetElement(surface, i, k, 2.0 * (i - 1) + (k - 1) / 128.0);
  const analysis::Pictures p = analysis::MakePictures(surface, surface, 7, {}, {});
  ASSERT_TRUE(p.valid);
  ASSERT_EQ(p.original.image.width, 129);
  EXPECT_EQ(p.original.scale.low, 0.0);
  EXPECT_EQ(p.original.scale.high, 257.0);
  // Top left is grid point (1, 129): 1 / 257 of the range, 0.99 -> 1.
  EXPECT_EQ(p.original.image.At(0, 0), (Rgba{1, 1, 1, 255}));
  // Bottom left is (1, 1), the minimum; bottom right (129, 1): 256 / 257 -> 254.
  EXPECT_EQ(p.original.image.At(0, 128), (Rgba{0, 0, 0, 255}));
  EXPECT_EQ(p.original.image.At(128, 128), (Rgba{254, 254, 254, 255}));
  EXPECT_EQ(p.original.image.At(128, 0), (Rgba{255, 255, 255, 255}));
  // Pixel (10, 20) shows (11, 110): (20 + 109 / 128) / 257 * 255 = 20.69 -> 21.
  EXPECT_EQ(p.reconstruction.image.At(10, 20), (Rgba{21, 21, 21, 255}));
  // Nothing to reconstruct: no difference, a scale of ±0, all white.
  EXPECT_EQ(p.difference.scale.high, 0.0);
  EXPECT_EQ(p.difference.image.At(64, 64), (Rgba{255, 255, 255, 255}));
  EXPECT_TRUE(p.blockLines.empty());
}

// Level 2 at 129 after keeping a few details: the reconstruction panel is
// ReconstructSurface, the difference scale is the readout's max |e|, and the
// pixel where |e| is largest is fully blue or red.
TEST(PicturesTest, ReconstructionIsWhatTheReadoutCompares) {
  Matrix original(129, 129);
  for (int i = 1; i <= 129; ++i)
    for (int k = 1; k <= 129; ++k)
      SetElement(original, i, k, std::sin(0.05 * i * i / 10.0) * std::cos(0.03 * k) + (i > 60 ? 0.5 : 0));
  const SynthesisTables tables = BuildSynthesisTables(0.4, 6);
  Matrix coefficients(original);
  AnalyseDown(coefficients, 7, 2, tables);
  const analysis::Pictures p = analysis::MakePictures(original, coefficients, 2, tables.p, tables.q);
  ASSERT_TRUE(p.valid);
  const analysis::ErrorMeasures e = analysis::MeasureError(original, coefficients, 2, tables);
  EXPECT_EQ(p.difference.scale.high, e.maxAbs);
  EXPECT_EQ(p.difference.scale.low, -e.maxAbs);
  const Matrix surface = *analysis::ReconstructSurface(coefficients, 2, 7, tables.p, tables.q);
  int saturated = 0;
  for (int i = 1; i <= 129; ++i) {
    for (int k = 1; k <= 129; ++k) {
      const double t = (GetElement(surface, i, k) - p.original.scale.low) /
                       (p.original.scale.high - p.original.scale.low);
      ASSERT_EQ(p.reconstruction.image.At(i - 1, 129 - k), analysis::Grey(t)) << i << "," << k;
      const double err = GetElement(surface, i, k) - GetElement(original, i, k);
      if (std::fabs(err) == e.maxAbs) {
        ++saturated;
        EXPECT_EQ(p.difference.image.At(i - 1, 129 - k), analysis::Diverging(err > 0 ? 1 : 0));
      }
    }
  }
  EXPECT_GE(saturated, 1);
  // Lines between the blocks of the levels 2 to 6, a vertical and a horizontal
  // one each (position, from, to in pixels): level 2's blocks fill the lowest
  // 9 x 9 pixels on the left, split at x = 5 and y = 129 - 5; level 6's cross
  // the whole picture at x = 65 and y = 129 - 65.
  ASSERT_EQ(p.blockLines.size(), 10u);
  const std::pair<std::size_t, analysis::BlockLine> lines[] = {
      {0, {true, 5, 120, 129}}, {1, {false, 124, 0, 9}}, {8, {true, 65, 0, 129}}, {9, {false, 64, 0, 129}}};
  for (const auto& [i, want] : lines) {
    const analysis::BlockLine& l = p.blockLines[i];
    EXPECT_TRUE(l.vertical == want.vertical && l.position == want.position && l.from == want.from && l.to == want.to)
        << "line " << i << ": " << l.position << " " << l.from << " " << l.to;
  }
}

// Coefficients of magnitudes 100, 0.001 and 0: log10 from 2 down to -3.
TEST(PicturesTest, CoefficientsOnALogarithmicScale) {
  Matrix original(65, 65);
  Matrix coefficients(65, 65);
  SetElement(coefficients, 1, 1, -100);
  SetElement(coefficients, 40, 2, 0.001);
  SetElement(coefficients, 3, 50, 0.1);  // log10 = -1: (-1 + 3) / 5 = 0.4 of the map
  const SynthesisTables tables = BuildSynthesisTables(0.4, 5);
  const analysis::Pictures p = analysis::MakePictures(original, coefficients, 5, tables.p, tables.q);
  ASSERT_TRUE(p.valid);
  EXPECT_TRUE(p.coefficients.scale.logarithmic);
  EXPECT_DOUBLE_EQ(p.coefficients.scale.high, 2);
  EXPECT_DOUBLE_EQ(p.coefficients.scale.low, -3);
  EXPECT_EQ(p.coefficients.image.At(0, 64), analysis::Viridis(1));
  EXPECT_EQ(p.coefficients.image.At(39, 63), analysis::Viridis(0));
  EXPECT_EQ(p.coefficients.image.At(10, 10), analysis::Viridis(0));
  EXPECT_EQ(p.coefficients.image.At(2, 15), analysis::Viridis(0.4));
  // A constant original has no grey range: the middle grey.
  EXPECT_EQ(p.original.image.At(5, 5), (Rgba{128, 128, 128, 255}));
  // Six decades at most: a magnitude of 1e-9 does not stretch the scale.
  SetElement(coefficients, 5, 5, 1e-9);
  EXPECT_DOUBLE_EQ(analysis::MakePictures(original, coefficients, 5, tables.p, tables.q).coefficients.scale.low, -4);
  // Below the top level the tables are needed.
  EXPECT_FALSE(analysis::MakePictures(original, coefficients, 4, {}, {}).valid);
}

}  // namespace
