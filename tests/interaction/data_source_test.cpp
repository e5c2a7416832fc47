// Taking a new surface: where its values go, what is reset and what stays,
// and that both views are redrawn, each in its own context.
#include "interaction/commands.h"
#include "interaction/data_source.h"
#include "interaction_support.h"

namespace {

using namespace interaction;

class DataSourceTest : public InteractionTest {
protected:
  void SetUp() override {
    InteractionTest::SetUp();
    appState.stepData = appState.stepFar = 0.25;  // the redraws only need to happen
    sample = appState.dataMatrix;
  }
  // Both views drawn and swapped once, function view first, each with its own
  // context current from its glClear to its swap.
  static void ExpectBothViewsRedrawnInTheirContexts() {
    EXPECT_EQ(Swaps(), (Views{"G", "D"}));
    std::string current, cleared;
    for (const GlCall& c : GlLog()) {
      if (IsSurfaceCall(c, "MakeCurrent") && c.args[0] != -1.0) current = c.args[0] == 1.0 ? ViewOf(c) : "";
      if (c.name == "glClear") cleared = current;
      if (IsSurfaceCall(c, "SwapBuffers")) {
        EXPECT_EQ(current, ViewOf(c));
        EXPECT_EQ(cleared, ViewOf(c));
        cleared.clear();
      }
    }
    EXPECT_EQ(CountCalls("glClear"), 2);
  }
  // Level 3 reached from 6 and back to 4 (blocks kept), Delta 0.1 computed.
  static void LeaveTheStart() {
    DeltaChanged(10);
    Compute();
    LevelChanged(3);
    LevelChanged(4);
    appState.stepNear = 0.5;
    ClearGlLog();
  }
  Matrix sample{kDataMatrixSize, kDataMatrixSize};
};

TEST_F(DataSourceTest, TakeSurfaceFillsTheLevelSixBlockClearsTheRestResetsTheLevelAndRedrawsBothViews) {
  AppState& s = appState;
  LeaveTheStart();
  ASSERT_FALSE(s.keptBlocks[4].empty() || s.keptBlocks[6].empty());
  ASSERT_EQ(s.ascentLevel, 4);
  Matrix grid(kGridSize, kGridSize);
  for (int i = 1; i <= kGridSize; ++i)
    for (int k = 1; k <= kGridSize; ++k) SetElement(grid, i, k, 0.01 * i - 0.001 * k * k);
  TakeSurface(grid, SourceKind::File, "hang.csv");
  for (int i = 1; i <= kDataMatrixSize; ++i) {
    for (int k = 1; k <= kDataMatrixSize; ++k) {
      const bool inGrid = i <= kGridSize && k <= kGridSize;
      ASSERT_EQ(GetElement(s.dataMatrix, i, k), inGrid ? GetElement(grid, i, k) : 0.0) << i << ", " << k;
      if (inGrid) {
        ASSERT_EQ(GetElement(s.originalSurface, i, k), GetElement(grid, i, k)) << i << ", " << k;
      }
    }
  }
  EXPECT_EQ(s.sourceKind, SourceKind::File);
  EXPECT_EQ(s.sourceName, "hang.csv");
  EXPECT_EQ(s.chosenLevel, 6);
  EXPECT_EQ(s.levelLabel, "Level: 6");
  for (std::size_t j = 0; j < s.keptBlocks.size(); ++j) EXPECT_TRUE(s.keptBlocks[j].empty()) << j;
  EXPECT_TRUE(s.ascentBlock.empty());
  EXPECT_EQ(s.ascentLevel, 0);
  // Delta and the settings stay.
  EXPECT_EQ(s.currentDelta, 0.1);
  EXPECT_EQ(s.delta, 0.1);
  EXPECT_EQ(s.stepNear, 0.5);
  ExpectBothViewsRedrawnInTheirContexts();
}

TEST_F(DataSourceTest, TakeSampleBringsBackTheStartUpSurface) {
  AppState& s = appState;
  TakeSurface(Matrix(kGridSize, kGridSize), SourceKind::Formula, "0");
  LeaveTheStart();
  TakeSample();
  EXPECT_TRUE(SameBits(s.dataMatrix, sample));
  for (int i = 1; i <= kGridSize; ++i)
    for (int k = 1; k <= kGridSize; ++k)
      ASSERT_EQ(GetElement(s.originalSurface, i, k), GetElement(sample, i, k)) << i << ", " << k;
  EXPECT_EQ(s.sourceKind, SourceKind::Sample);
  EXPECT_EQ(s.sourceName, "");
  EXPECT_EQ(s.chosenLevel, 6);
  EXPECT_EQ(s.levelLabel, "Level: 6");
  EXPECT_TRUE(s.keptBlocks[4].empty() && s.keptBlocks[5].empty());
  EXPECT_EQ(s.currentDelta, 0.1);
  ExpectBothViewsRedrawnInTheirContexts();
}

}  // namespace
