#include "app/state.h"

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

TEST(AppStateTest, StartupNumerics) {
  ResetAppState();
  RunStartupNumerics();
  for (int i = 0; i <= 9; ++i) {
    EXPECT_EQ(appState.pow2[i], std::ldexp(1.0, i));
    EXPECT_EQ(appState.invPow2[i], std::ldexp(1.0, -i));
    EXPECT_EQ(appState.intPow2[i], 1 << i);
  }
  const Matrix& d = appState.dataMatrix;
  // Row index i + 2 goes with 7 i / 64, column index j + 2 with 3 j / 64.
  EXPECT_DOUBLE_EQ(GetElement(d, 1, 1), 0.7 * std::sin(-7.0 / 64) * std::sin(-3.0 / 64));
  EXPECT_EQ(GetElement(d, 2, 2), 0.0);
  EXPECT_DOUBLE_EQ(GetElement(d, 10, 3), 0.7 * std::sin(56.0 / 64) * std::sin(3.0 / 64));
  EXPECT_DOUBLE_EQ(GetElement(d, 65, 65), 0.7 * std::sin(441.0 / 64) * std::sin(189.0 / 64));
  for (int r = 1; r <= 513; ++r) {
    for (int k = 66; k <= 513; ++k) {
      ASSERT_EQ(GetElement(d, r, k), 0.0);
      ASSERT_EQ(GetElement(d, k, r), 0.0);
    }
  }
  EXPECT_NEAR(GetElement(appState.synthesisQ[6], 1, 1), -0.1722, 5e-5);
  EXPECT_NEAR(appState.waveletCoeffs[3], -0.5824, 5e-5);
}

}  // namespace
