// The resolution choice: every source taken again at 65 to 513 points, the
// level range following, and 65 exactly as at start-up.
#include "interaction/data_source.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "blac/startup.h"
#include "interaction/commands.h"
#include "analysis/error.h"
#include "interaction/analysis_panel.h"
#include "interaction/picture_view.h"
#include "interaction_support.h"

namespace interaction {
namespace {


class ResolutionTest : public InteractionTest {};

TEST_F(ResolutionTest, ChoicesAndTheLevelRangePerResolution) {
  EXPECT_EQ(ResolutionChoices(), (std::vector<int>{65, 129, 257, 513}));
  EXPECT_EQ(ResolutionText(257), "257 \u00D7 257");
  const struct {
    int points, top;
  } cases[] = {{129, 7}, {513, 9}, {257, 8}, {65, 6}};
  for (const auto& c : cases) {
    ASSERT_EQ(SetResolution(c.points), "") << c.points;
    EXPECT_EQ(Resolution(), c.points);
    EXPECT_EQ(appState.topLevel, c.top);
    EXPECT_EQ(appState.chosenLevel, c.top);
    EXPECT_EQ(LevelTrackRange().lowest, 2);
    EXPECT_EQ(LevelTrackRange().highest, c.top);
    EXPECT_EQ(appState.levelLabel, "Level: " + std::to_string(c.top));
    EXPECT_EQ(appState.originalSurface.rows, c.points);
    EXPECT_EQ(appState.synthesisP[static_cast<std::size_t>(c.top)].rows, 2 * c.points - 1);
  }
  // Not offered: one past the largest, and sizes in between. Nothing changes.
  for (int points : {1025, 100, 64, 0}) {
    EXPECT_EQ(SetResolution(points),
              "Die Auflösung " + std::to_string(points) + " \u00D7 " + std::to_string(points) + " gibt es nicht.");
    EXPECT_EQ(appState.topLevel, 6);
  }
}

// The sample at 129 is the formula evaluated with N = 128; back at 65 the
// whole state is that of start-up, bit for bit.
TEST_F(ResolutionTest, SampleOnTheFinerGridAndBackToStartUp) {
  ResetAppState();
  RunStartupNumerics();
  const Matrix startData = appState.dataMatrix;
  const Matrix startOriginal = appState.originalSurface;
  const Matrix startP5 = appState.synthesisP[5];
  ASSERT_EQ(SetResolution(129), "");
  EXPECT_EQ(GetElement(appState.originalSurface, 1, 1), 0.7 * std::sin(-7 / 128.0) * std::sin(-3 / 128.0));
  EXPECT_EQ(GetElement(appState.originalSurface, 129, 40), 0.7 * std::sin(7 * 127 / 128.0) * std::sin(3 * 38 / 128.0));
  EXPECT_EQ(GetElement(appState.dataMatrix, 130, 1), 0.0);
  LevelChanged(2);
  LevelChanged(7);
  ASSERT_EQ(SetResolution(65), "");
  EXPECT_TRUE(SameBits(appState.dataMatrix, startData));
  EXPECT_TRUE(SameBits(appState.originalSurface, startOriginal));
  EXPECT_TRUE(SameBits(appState.synthesisP[5], startP5));
  EXPECT_EQ(appState.synthesisP[7].rows, 0);
}

// A formula is evaluated again on the finer grid; one that has no finite
// value there is refused and everything stays.
TEST_F(ResolutionTest, FormulasAreEvaluatedAgain) {
  Matrix grid(65, 65);
  for (int i = 1; i <= 65; ++i)
    for (int k = 1; k <= 65; ++k) SetElement(grid, i, k, (i - 1) / 64.0 + 2 * (k - 1) / 64.0);
  TakeSurface(grid, SourceKind::Formula, "x+2*y");
  ASSERT_EQ(SetResolution(257), "");
  EXPECT_EQ(GetElement(appState.originalSurface, 2, 3), 1 / 256.0 + 2 * 2 / 256.0);
  EXPECT_EQ(GetElement(appState.originalSurface, 257, 257), 3.0);

  ASSERT_EQ(SetResolution(65), "");
  TakeSurface(grid, SourceKind::Formula, "1/(x-1/128)");  // x = 1/128 only on the finer grids
  const std::string refused = SetResolution(129);
  EXPECT_NE(refused.find("keinen endlichen Wert"), std::string::npos) << refused;
  EXPECT_EQ(appState.topLevel, 6);
  EXPECT_EQ(appState.sourceName, "1/(x-1/128)");
}

// A file's kept samples give, at every resolution, the grid the whole source
// would give; a 65 x 65 grid taken at 513 is resampled up.
TEST_F(ResolutionTest, FilesAreResampledFromTheirKeptSamples) {
  const int rows = 1500, cols = 301;
  std::vector<double> values(static_cast<std::size_t>(rows * cols));
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c) values[static_cast<std::size_t>(r * cols + c)] = std::sin(0.01 * r) + 0.001 * c * c;
  SourceSamples kept = KeepSamples(rows, cols, [&](int r, int c) { return values[static_cast<std::size_t>(r * cols + c)]; });
  EXPECT_LE(kept.keptRows.size(), 1026u);
  EXPECT_EQ(kept.keptCols.size(), 301u);
  TakeSamples(std::move(kept), SourceKind::File, "tabelle.txt");
  EXPECT_TRUE(SameBits(appState.originalSurface, ResampleToGrid(values, rows, cols)));
  for (int points : {513, 129, 65}) {
    ASSERT_EQ(SetResolution(points), "");
    EXPECT_TRUE(SameBits(appState.originalSurface, ResampleToGrid(values, rows, cols, points))) << points;
    EXPECT_EQ(appState.sourceName, "tabelle.txt");
  }
  ASSERT_EQ(SetResolution(513), "");
  Matrix grid(65, 65);
  for (int i = 1; i <= 65; ++i)
    for (int k = 1; k <= 65; ++k) SetElement(grid, i, k, i + 100.0 * k);
  TakeSurface(grid, SourceKind::File, "bild.png");
  // Grid point (9, 17) of 513 lies on (2, 3) of 65; (5, 1) a half way between (1, 1) and (2, 1).
  EXPECT_EQ(GetElement(appState.originalSurface, 9, 17), 302.0);
  EXPECT_EQ(GetElement(appState.originalSurface, 5, 1), 101.5);
}

}  // namespace
}  // namespace interaction

namespace interaction {
namespace {

// The window's panels at 257 after a descent to level 2 and compression: the
// difference scale is the readout's max |e|; a 2:1 table is shown 2:1.
TEST_F(ResolutionTest, PicturesOfTheCurrentState) {
  ASSERT_EQ(SetResolution(257), "");
  LevelChanged(2);
  ApplyCompression(5);
  const analysis::Pictures p = CurrentPictures();
  ASSERT_TRUE(p.valid);
  EXPECT_EQ(p.coefficients.image.width, 257);
  const analysis::ErrorMeasures e = analysis::MeasureError(appState.originalSurface, appState.dataMatrix, 2,
                                                           appState.synthesisP, appState.synthesisQ);
  EXPECT_EQ(p.difference.scale.high, e.maxAbs);
  EXPECT_GT(e.maxAbs, 0);
  EXPECT_EQ(SourceAspectRatio(), 1.0);
  TakeSamples(KeepSamples(201, 101, [](int r, int c) { return r + c; }), SourceKind::File, "t.txt");
  EXPECT_EQ(SourceAspectRatio(), 2.0);
}

}  // namespace
}  // namespace interaction

namespace interaction {
namespace {

// The level history at 513: a second descent after a round trip starts from
// the block kept at level 9 and repeats the first bit for bit.
TEST_F(ResolutionTest, LevelHistoryAtTheTopLevelNine) {
  ASSERT_EQ(SetResolution(513), "");
  LevelChanged(3);
  const Matrix first = appState.dataMatrix;
  LevelChanged(9);
  EXPECT_EQ(appState.keptBlocks[9].size(), 513u * 513u);
  LevelChanged(3);
  EXPECT_TRUE(SameBits(appState.dataMatrix, first));
}

}  // namespace
}  // namespace interaction
