// The curve job of the "Analyse" window: on the inputs copied from the
// program state it gives the analysis curves bit for bit, with the markers
// where the panel puts them; it reports every point and stops early when asked.
#include "interaction/curve_job.h"

#include <cmath>
#include <cstring>
#include <thread>

#include "analysis/curves.h"
#include "interaction/analysis_panel.h"
#include "interaction/commands.h"
#include "interaction/data_source.h"
#include "interaction_support.h"

namespace {

using namespace interaction;

class CurveJobTest : public InteractionTest {
protected:
  void SetUp() override {
    InteractionTest::SetUp();
    appState.stepData = appState.stepFar = 0.25;  // the redraws only need to happen
    TakeSample();
  }
  void TearDown() override {
    SetResolution(65);
    InteractionTest::TearDown();
  }
};

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// The job's curve against the analysis curve computed without any hook.
void ExpectSameCurve(const Curve& job, const std::vector<analysis::CurvePoint>& plain) {
  ASSERT_EQ(job.points.size(), plain.size());
  for (std::size_t i = 0; i < plain.size(); ++i) {
    EXPECT_TRUE(SameBits(job.points[i].first, plain[i].x)) << i;
    EXPECT_TRUE(SameBits(job.points[i].second, plain[i].rms)) << i;
  }
}

TEST_F(CurveJobTest, TheJobGivesTheAnalysisCurvesBitForBitWithTheMarkers) {
  const struct {
    int points, level;
    double currentDelta, delta, percent;
  } cases[] = {{65, 2, 0.4, 0.4, 20},   {65, 4, 0.73, 0.05, 12.5}, {65, 5, 0.0, 1.0, 100},
               {129, 3, 0.3, 0.61, 7.5}, {129, 6, 1.0, 0.0, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.points << " points, level " << c.level << ", " << c.percent << " %");
    ASSERT_EQ(SetResolution(c.points), "");
    appState.currentDelta = c.currentDelta;
    appState.chosenLevel = c.level;  // the curves read the original only
    appState.delta = c.delta;
    std::vector<int> heard;
    const std::atomic<bool> never{false};
    const CurveResult r = ComputeCurves(CurveInputsNow(c.percent), never, [&](int done) { heard.push_back(done); });
    EXPECT_FALSE(r.cancelled);
    EXPECT_EQ(r.pointsDone, kCurvePoints);
    ASSERT_EQ(heard.size(), static_cast<std::size_t>(kCurvePoints));
    for (int i = 0; i < kCurvePoints; ++i) EXPECT_EQ(heard[static_cast<std::size_t>(i)], i + 1);

    const std::vector<analysis::CurvePoint> overDelta =
        analysis::ErrorOverDelta(appState.originalSurface, c.level, c.percent);
    const std::vector<analysis::CurvePoint> overShare =
        analysis::ErrorOverShare(appState.originalSurface, c.level, c.currentDelta);
    ExpectSameCurve(r.overDelta, overDelta);
    ExpectSameCurve(r.overShare, overShare);
    // The panel's functions are the same job.
    EXPECT_EQ(DeltaCurveNow(c.percent).points, r.overDelta.points);
    EXPECT_EQ(ShareCurveNow(c.percent).marker->y, r.overShare.marker->y);

    // Filled at currentDelta, hollow at the scroll bar's Delta.
    const auto at = [&](double d) { return overDelta[static_cast<std::size_t>(std::lround(d * 100))]; };
    ASSERT_TRUE(r.overDelta.marker && r.overDelta.pending);
    EXPECT_EQ(r.overDelta.marker->x, at(c.currentDelta).x);
    EXPECT_EQ(r.overDelta.marker->y, at(c.currentDelta).rms);
    EXPECT_EQ(r.overDelta.pending->x, at(c.delta).x);
    EXPECT_EQ(r.overDelta.pending->y, at(c.delta).rms);
    ASSERT_TRUE(r.overShare.marker);
    EXPECT_EQ(r.overShare.marker->x, c.percent);
    const auto below = static_cast<std::size_t>(std::floor(c.percent));
    if (c.percent == std::floor(c.percent)) {
      EXPECT_EQ(r.overShare.marker->y, overShare[below].rms);
    } else {
      // Its own point, between those of the whole percents around it: more kept, less error.
      EXPECT_LT(r.overShare.marker->y, overShare[below].rms);
      EXPECT_GT(r.overShare.marker->y, overShare[below + 1].rms);
    }
  }
}

TEST_F(CurveJobTest, ACancelledJobStopsAfterThePointInHand) {
  appState.chosenLevel = 3;
  const CurveInputs inputs = CurveInputsNow(10);
  // At the first point, the Delta curve's last, the share curve's first, and the very last.
  for (const int k : {1, 100, 101, 102, 201, 202}) {
    SCOPED_TRACE(k);
    std::atomic<bool> cancel{false};
    int heard = 0;
    const CurveResult r = ComputeCurves(inputs, cancel, [&](int done) {
      heard = done;
      if (done == k) cancel = true;
    });
    EXPECT_TRUE(r.cancelled);
    EXPECT_EQ(r.pointsDone, k);
    EXPECT_EQ(heard, k);
    EXPECT_EQ(r.overDelta.points.size(), static_cast<std::size_t>(std::min(k, 101)));
    EXPECT_EQ(r.overShare.points.size(), static_cast<std::size_t>(std::max(k - 101, 0)));
    // An incomplete curve has no markers.
    EXPECT_EQ(r.overDelta.marker.has_value(), k >= 101);
    EXPECT_EQ(r.overShare.marker.has_value(), k == 202);
  }
}

TEST_F(CurveJobTest, TheJobReadsItsCopiesOnlyWhileTheProgramGoesOn) {
  appState.chosenLevel = 2;
  const CurveInputs inputs = CurveInputsNow(5);
  const std::atomic<bool> never{false};
  const CurveResult alone = ComputeCurves(inputs, never);
  // On another thread, while this one takes another surface and level (run
  // under ThreadSanitizer, any read of the program state by the job shows).
  std::atomic<int> done{0};
  CurveResult beside;
  std::thread job([&, copy = inputs]() mutable {
    beside = ComputeCurves(std::move(copy), never, [&](int n) { done = n; });
  });
  while (done < 10) std::this_thread::yield();
  ASSERT_EQ(TakeFormula("x*y"), "");
  LevelChanged(4);
  appState.currentDelta = appState.delta = 0.9;
  job.join();
  EXPECT_EQ(beside.overDelta.points, alone.overDelta.points);
  EXPECT_EQ(beside.overShare.points, alone.overShare.points);
  EXPECT_EQ(beside.overDelta.marker->x, 0.4);
  EXPECT_NE(ComputeCurves(CurveInputsNow(5), never).overDelta.points, alone.overDelta.points);
}

TEST_F(CurveJobTest, TwoThreadsGiveTheSameCurvesAndCountEveryPointOnce) {
  ASSERT_EQ(SetResolution(129), "");
  appState.chosenLevel = 3;
  appState.currentDelta = 0.3;
  appState.delta = 0.61;
  const CurveInputs inputs = CurveInputsNow(7.5);
  const std::atomic<bool> never{false};
  const CurveResult one = ComputeCurves(inputs, never);
  std::vector<int> heard;
  const CurveResult two = ComputeCurves(inputs, never, [&](int done) { heard.push_back(done); }, CurveThreads::Two);
  EXPECT_FALSE(two.cancelled);
  EXPECT_EQ(two.pointsDone, kCurvePoints);
  // Told one call at a time: 1, 2, ..., 202, whichever curve made the point.
  ASSERT_EQ(heard.size(), static_cast<std::size_t>(kCurvePoints));
  for (int i = 0; i < kCurvePoints; ++i) EXPECT_EQ(heard[static_cast<std::size_t>(i)], i + 1);
  ASSERT_EQ(two.overDelta.points.size(), one.overDelta.points.size());
  ASSERT_EQ(two.overShare.points.size(), one.overShare.points.size());
  for (std::size_t i = 0; i < one.overDelta.points.size(); ++i) {
    EXPECT_TRUE(SameBits(two.overDelta.points[i].second, one.overDelta.points[i].second)) << i;
    EXPECT_TRUE(SameBits(two.overShare.points[i].second, one.overShare.points[i].second)) << i;
  }
  EXPECT_EQ(two.overDelta.marker->y, one.overDelta.marker->y);
  EXPECT_EQ(two.overDelta.pending->y, one.overDelta.pending->y);
  EXPECT_EQ(two.overShare.marker->y, one.overShare.marker->y);

  // Cancelled: both stop after the point each has in hand, neither curve whole.
  for (const int k : {1, 60, 150}) {
    SCOPED_TRACE(k);
    std::atomic<bool> cancel{false};
    const CurveResult r = ComputeCurves(inputs, cancel, [&](int done) { if (done >= k) cancel = true; },
                                        CurveThreads::Two);
    EXPECT_TRUE(r.cancelled);
    EXPECT_GE(r.pointsDone, k);
    EXPECT_LE(r.pointsDone, k + 1);
    EXPECT_EQ(r.overDelta.points.size() + r.overShare.points.size(), static_cast<std::size_t>(r.pointsDone));
    EXPECT_FALSE(r.overDelta.marker.has_value() && r.overShare.marker.has_value());
  }
}

}  // namespace
