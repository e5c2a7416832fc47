#include "state/state.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(AppStateTest, DefaultsAndTableShapes) {
  ResetAppState();
  const AppState& s = appState;
  EXPECT_EQ(s.delta, 0.4);
  EXPECT_EQ(s.currentDelta, 0.4);
  EXPECT_EQ(s.chosenLevel, 6);
  EXPECT_EQ(s.dataMatrix.rows, 513);
  EXPECT_EQ(s.rowBuffer.size(), 514u);  // numbered from 1
  for (int j : {2, 6}) {
    EXPECT_EQ(s.synthesisP[j].rows, (2 << j) + 1);
    EXPECT_EQ(s.synthesisP[j].cols, (1 << j) + 1);
    EXPECT_EQ(s.synthesisQ[j].cols, 1 << j);
  }
  EXPECT_EQ(s.initialOrientation[1].gamma, s.functionOrientation[1].gamma);
}

}  // namespace
