// Repeated level changes: one trip down and up shows the approximate
// reconstruction, and further trips give back exactly the same data.
#include <algorithm>
#include <cmath>
#include <vector>

#include "blac/decomposition.h"
#include "interaction/commands.h"
#include "interaction/level_history.h"
#include "interaction_support.h"

namespace {

using namespace interaction;

class LevelHistoryTest : public InteractionTest {
protected:
  void SetUp() override {
    InteractionTest::SetUp();
    appState.stepData = appState.stepFar = 0.25;  // the redraws only need to happen
    sample = appState.dataMatrix;
  }
  void Path(std::initializer_list<int> levels) {
    for (int level : levels) LevelChanged(level);
  }
  static double LargestDeviation(const Matrix& a, const Matrix& b) {
    double worst = 0;
    for (int r = 1; r <= 65; ++r)
      for (int c = 1; c <= 65; ++c)
        worst = std::max(worst, std::abs(GetElement(a, r, c) - GetElement(b, r, c)));
    return worst;
  }
  // The level steps run by hand from `start`, leaving dataMatrix as it was.
  template <typename Steps>
  static Matrix ByHand(const Matrix& start, Steps steps) {
    const Matrix saved = appState.dataMatrix;
    appState.dataMatrix = start;
    steps();
    Matrix result = appState.dataMatrix;
    appState.dataMatrix = saved;
    return result;
  }
  Matrix sample{kDataMatrixSize, kDataMatrixSize};
};

TEST_F(LevelHistoryTest, RoundTripsRepeatTheFirstBitForBit) {
  DeltaChanged(25);  // the scroll bar alone: the levels still use the computed Delta
  Path({2, 6});
  const Matrix afterFirst = appState.dataMatrix;
  // The single trip still shows the approximate reconstruction.
  EXPECT_NEAR(LargestDeviation(afterFirst, sample), 0.0235, 0.001);
  for (int trip = 2; trip <= 100; ++trip) {
    Path({2, 6});
    ASSERT_TRUE(SameBits(appState.dataMatrix, afterFirst)) << "trip " << trip;
  }
  // Without the kept blocks the same trips drift away: the steps alone grow the error.
  appState.dataMatrix = afterFirst;
  for (int trip = 0; trip < 10; ++trip) {
    for (int j = 5; j >= 2; --j) DecomposeLevel(j);
    for (int j = 2; j <= 5; ++j) ReconstructLevel(j);
  }
  EXPECT_GT(LargestDeviation(appState.dataMatrix, sample), 0.3);
}

TEST_F(LevelHistoryTest, MixedPathsRepeatTheFirstPass) {
  const std::vector<int> path{3, 4, 2, 5, 6};
  std::vector<Matrix> firstPass;
  for (int level : path) {
    LevelChanged(level);
    firstPass.push_back(appState.dataMatrix);
  }
  for (int pass = 2; pass <= 20; ++pass) {
    for (std::size_t k = 0; k < path.size(); ++k) {
      LevelChanged(path[k]);
      ASSERT_TRUE(SameBits(appState.dataMatrix, firstPass[k])) << "pass " << pass << " level " << path[k];
    }
  }
  // Going down from 4 after 3 -> 4 analysed the block kept at 4, i.e. the
  // sample's own level-4 coefficients, as the straight way down gives them.
  appState.dataMatrix = sample;
  for (int j = 5; j >= 2; --j) DecomposeLevel(j);
  EXPECT_TRUE(SameBits(appState.dataMatrix, firstPass[2]));
}

TEST_F(LevelHistoryTest, BerechneDropsWhatWasKept) {
  Path({3});
  DeltaChanged(10);
  Compute();
  // Up with the new matrices: what the steps give from the level-3 coefficients.
  const Matrix expected = ByHand(appState.dataMatrix, [] {
    for (int j = 3; j <= 5; ++j) ReconstructLevel(j);
  });
  LevelChanged(6);
  ASSERT_TRUE(SameBits(appState.dataMatrix, expected));
  // The next descent works on that surface, not on the sample.
  LevelChanged(2);
  const Matrix fromShown = ByHand(expected, [] {
    for (int j = 5; j >= 2; --j) DecomposeLevel(j);
  });
  ASSERT_TRUE(SameBits(appState.dataMatrix, fromShown));
  // And trips after that are stable again.
  LevelChanged(6);
  const Matrix afterFirst = appState.dataMatrix;
  for (int trip = 0; trip < 10; ++trip) Path({2, 6});
  EXPECT_TRUE(SameBits(appState.dataMatrix, afterFirst));
}

TEST_F(LevelHistoryTest, AChangedBlockIsAnalysedAsShown) {
  Path({2, 6});
  // Something else wrote into the reconstructed block: it is not the ascent's any more.
  SetElement(appState.dataMatrix, 10, 10, 0.5);
  const Matrix shown = appState.dataMatrix;
  LevelChanged(5);
  EXPECT_TRUE(SameBits(appState.dataMatrix, ByHand(shown, [] { DecomposeLevel(5); })));
  // Likewise after ForgetKeptLevels, as a new source or a compression calls it.
  Path({6});
  ForgetKeptLevels();
  const Matrix reconstructed = appState.dataMatrix;
  LevelChanged(5);
  EXPECT_TRUE(SameBits(appState.dataMatrix, ByHand(reconstructed, [] { DecomposeLevel(5); })));
}

}  // namespace
