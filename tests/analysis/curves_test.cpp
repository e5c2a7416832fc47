// The curves' points against the same steps done the program's way on appState.
#include "analysis/curves.h"

#include <gtest/gtest.h>

#include <cmath>

#include "analysis/blocks.h"
#include "analysis/error.h"
#include "analysis/threshold.h"
#include "blac/decomposition.h"
#include "blac/filters.h"
#include "blac/startup.h"
#include "state/state.h"

namespace {

Matrix StartupSample() {
  ResetAppState();
  RunStartupNumerics();
  return analysis::CopyBlock(appState.dataMatrix);
}

// RMS of dataMatrix - original over the 65 x 65 points.
double RmsOfData(const Matrix& original) {
  double sum = 0;
  for (int r = 1; r <= 65; ++r) {
    for (int c = 1; c <= 65; ++c) {
      const double e = GetElement(appState.dataMatrix, r, c) - GetElement(original, r, c);
      sum += e * e;
    }
  }
  return std::sqrt(sum / 4225);
}

// Analysis 6 -> level at Delta, keep, synthesis back.
double ByHand(double delta, int level, double percent) {
  const Matrix original = StartupSample();
  appState.delta = appState.currentDelta = delta;
  RecomputeSynthesisMatrices();
  for (int j = 5; j >= level; --j) DecomposeLevel(j);
  analysis::KeepLargestDetails(appState.dataMatrix, level, percent);
  for (int j = level; j <= 5; ++j) ReconstructLevel(j);
  return RmsOfData(original);
}

TEST(Curves, ErrorOverDeltaMatchesTheProgramsSteps) {
  const auto curve = analysis::ErrorOverDelta(StartupSample(), 2, 10);
  ASSERT_EQ(curve.size(), 101u);
  for (int k : {0, 40, 57, 100}) {  // 57 * 0.01 differs from 57 / 100.0
    EXPECT_EQ(curve[k].x, k * 0.01);
    const double hand = ByHand(k * 0.01, 2, 10);
    EXPECT_NEAR(curve[k].rms, hand, 1e-15 * hand) << k;
  }
}

TEST(Curves, ErrorOverShareMatchesTheProgramsSteps) {
  const auto curve = analysis::ErrorOverShare(StartupSample(), 3, 0.4);
  ASSERT_EQ(curve.size(), 101u);
  for (int p : {0, 37, 100}) {
    EXPECT_EQ(curve[p].x, p);
    const double hand = ByHand(0.4, 3, p);
    EXPECT_NEAR(curve[p].rms, hand, 1e-15 * hand) << p;
  }
  EXPECT_GT(curve[0].rms, curve[100].rms);
}

// Keeping everything is the plain round trip 6 -> 2 -> 6, whose largest error
// is about 0.0235; the readout synthesises a copy, leaving the coefficients.
TEST(Curves, FullShareIsTheRoundTrip) {
  const Matrix original = StartupSample();
  const double lastPoint = analysis::ErrorOverShare(original, 2, 0.4)[100].rms;
  for (int j = 5; j >= 2; --j) DecomposeLevel(j);
  const Matrix analysed = analysis::CopyBlock(appState.dataMatrix);
  const auto trip = analysis::MeasureError(original, appState.dataMatrix, 2, appState.synthesisP,
                                           appState.synthesisQ);
  for (int k = 0; k < 65 * 65; ++k)
    ASSERT_EQ(GetElement(appState.dataMatrix, k / 65 + 1, k % 65 + 1), analysed.data[k]);
  for (int j = 2; j <= 5; ++j) ReconstructLevel(j);
  EXPECT_EQ(trip.rms, RmsOfData(original));
  EXPECT_EQ(lastPoint, trip.rms);
  EXPECT_NEAR(trip.maxAbs, 0.0235, 0.001);
  EXPECT_TRUE(std::isnan(analysis::MeasureError(original, analysed, 2, {}, {}).rms));
}

TEST(Curves, EmptyWhereNothingIsKept) {
  const Matrix original = StartupSample();
  EXPECT_TRUE(analysis::ErrorOverDelta(original, 6, 50).empty());
  EXPECT_TRUE(analysis::ErrorOverShare(original, 6, 0.4).empty());
  EXPECT_TRUE(analysis::ErrorOverShare(Matrix(64, 64), 2, 0.4).empty());
}

}  // namespace
