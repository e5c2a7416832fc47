// The rules of the "Analyse" window's curves, as both shells follow them:
// which job's results count, when a job is due, what the charts show
// meanwhile, and how their y axes are scaled.
#include "interaction/analyse_curves.h"

#include <clocale>
#include <cmath>
#include <cstring>

#include "interaction/analysis_panel.h"
#include "interaction/data_source.h"
#include "interaction_support.h"

namespace {

using namespace interaction;

class AnalyseCurvesTest : public InteractionTest {
protected:
  void SetUp() override {
    InteractionTest::SetUp();
    appState.stepData = appState.stepFar = 0.25;  // the redraws only need to happen
    TakeSample();
    appState.chosenLevel = 3;  // the curves read the original only
  }
  void TearDown() override {
    SetResolution(65);
    InteractionTest::TearDown();
  }
  // Another resolution, the level back at 3 below its top.
  void At(int points) {
    ASSERT_EQ(SetResolution(points), "");
    appState.chosenLevel = 3;
  }
  // A window that is shown and has been told the state.
  AnalyseCurves Shown() {
    AnalyseCurves curves;
    curves.VisibilityChanged(true);
    curves.StateChanged();
    return curves;
  }
};

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// A made-up result whose Delta curve rises to `top` at Delta = 1 and whose
// share curve falls from `shareTop` to 0.
CurveResult MadeUp(double top, double shareTop = 0.2) {
  CurveResult r;
  for (int k = 0; k <= 100; ++k) {
    r.overDelta.points.emplace_back(k * 0.01, top * k / 100);
    r.overShare.points.emplace_back(k, shareTop * (100 - k) / 100);
  }
  r.overDelta.marker = Marker{0.4, top * 0.4};
  r.overDelta.pending = Marker{0.4, top * 0.4};
  r.overShare.marker = Marker{10, shareTop * 0.9};
  r.pointsDone = kCurvePoints;
  return r;
}

TEST_F(AnalyseCurvesTest, At65PointsTheCurvesComeAtOnceAndEqualTheJobsBitForBit) {
  AnalyseCurves curves = Shown();
  curves.ShareChanged(20);
  EXPECT_FALSE(curves.Start().has_value());  // nothing left for a thread
  EXPECT_FALSE(curves.Running());
  const CurvesShown& shown = curves.Shown();
  const Curve delta = DeltaCurveNow(20), share = ShareCurveNow(20);
  ASSERT_EQ(shown.overDelta.curve.points.size(), 101u);
  for (std::size_t i = 0; i < 101; ++i) {
    EXPECT_TRUE(SameBits(shown.overDelta.curve.points[i].second, delta.points[i].second)) << i;
    EXPECT_TRUE(SameBits(shown.overShare.curve.points[i].second, share.points[i].second)) << i;
  }
  EXPECT_EQ(shown.overDelta.emptyText, "");
  EXPECT_EQ(shown.minimum, MinimumText(delta.points));
  EXPECT_EQ(shown.progress, -1);
  // Started once, nothing is due until something changes.
  EXPECT_FALSE(curves.Start().has_value());
}

TEST_F(AnalyseCurvesTest, AboveTheJobRunsElsewhereWithProgressAndAnOvertakenJobIsDropped) {
  ASSERT_EQ(SetResolution(129), "");
  appState.chosenLevel = 4;
  AnalyseCurves curves = Shown();
  const std::optional<CurveJobOrder> first = curves.Start();
  ASSERT_TRUE(first.has_value());
  EXPECT_EQ(first->inputs.original.rows, 129);
  EXPECT_EQ(first->inputs.level, 4);
  EXPECT_EQ(first->inputs.percent, 10);  // the window's share until told another
  EXPECT_TRUE(curves.Running());
  EXPECT_EQ(curves.Shown().overDelta.emptyText, "Kurven werden berechnet \u2026 0 %");
  EXPECT_EQ(curves.Shown().overShare.emptyText, "Kurven werden berechnet \u2026 0 %");
  EXPECT_EQ(curves.Shown().progress, 0);

  EXPECT_TRUE(curves.Progressed(first->generation, 37));
  EXPECT_EQ(curves.Shown().overDelta.emptyText, "Kurven werden berechnet \u2026 37 %");
  EXPECT_FALSE(curves.Progressed(first->generation, 37));  // nothing new to draw

  // The share moves: the job under way is stopped, a new one is due.
  const CurveOrders orders = curves.ShareChanged(7.5);
  EXPECT_TRUE(orders.dropJob);
  EXPECT_TRUE(orders.scheduleStart);
  EXPECT_FALSE(curves.Progressed(first->generation, 50));
  EXPECT_FALSE(curves.Ready(first->generation, MadeUp(0.3)));
  EXPECT_FALSE(curves.Shown().overDelta.HasCurve());

  const std::optional<CurveJobOrder> second = curves.Start();
  ASSERT_TRUE(second.has_value());
  EXPECT_NE(second->generation, first->generation);
  EXPECT_EQ(second->inputs.percent, 7.5);
  // A cancelled job's curves are incomplete: never shown.
  CurveResult cancelled = MadeUp(0.3);
  cancelled.cancelled = true;
  EXPECT_FALSE(curves.Ready(second->generation, cancelled));
  EXPECT_TRUE(curves.Ready(second->generation, MadeUp(0.3)));
  EXPECT_FALSE(curves.Running());
  EXPECT_EQ(curves.Shown().progress, -1);
  EXPECT_EQ(curves.Shown().overDelta.curve.points.back().second, 0.3);
  EXPECT_EQ(curves.Shown().minimum, "kleinster Fehler bei Delta = 0.00 (RMS 0)");
  // No second answer for one job.
  EXPECT_FALSE(curves.Ready(second->generation, MadeUp(0.5)));
}

TEST_F(AnalyseCurvesTest, AHiddenWindowComputesNothingAndCatchesUpWhenShown) {
  AnalyseCurves curves;  // created hidden, as the windows are
  EXPECT_FALSE(curves.StateChanged().scheduleStart);
  EXPECT_FALSE(curves.Start().has_value());
  EXPECT_FALSE(curves.Shown().overDelta.HasCurve());
  EXPECT_TRUE(curves.VisibilityChanged(true).scheduleStart);
  curves.Start();
  EXPECT_TRUE(curves.Shown().overDelta.HasCurve());
  // Shown again with nothing changed: nothing to do.
  curves.VisibilityChanged(false);
  EXPECT_FALSE(curves.VisibilityChanged(true).scheduleStart);

  // Hidden while a job runs: it is stopped and runs again once shown.
  ASSERT_EQ(SetResolution(129), "");
  appState.chosenLevel = 5;
  curves.StateChanged();
  const std::optional<CurveJobOrder> job = curves.Start();
  ASSERT_TRUE(job.has_value());
  const CurveOrders hidden = curves.VisibilityChanged(false);
  EXPECT_TRUE(hidden.dropJob);
  EXPECT_FALSE(hidden.scheduleStart);
  EXPECT_FALSE(curves.Ready(job->generation, MadeUp(0.3)));
  EXPECT_TRUE(curves.VisibilityChanged(true).scheduleStart);
  const std::optional<CurveJobOrder> again = curves.Start();
  ASSERT_TRUE(again.has_value());
  EXPECT_EQ(again->inputs.level, 5);
}

TEST_F(AnalyseCurvesTest, AtTheTopLevelBothChartsSayWhyAndNoJobStarts) {
  AnalyseCurves curves = Shown();
  curves.Start();
  ASSERT_TRUE(curves.Shown().overDelta.HasCurve());
  appState.chosenLevel = appState.topLevel;
  curves.StateChanged();
  EXPECT_FALSE(curves.Start().has_value());
  const std::string why =
      "Auf Level 6 gibt es keine Detailkoeffizienten, also keine Kurve: erst mit dem Level-Regler hinabgehen.";
  for (const ChartShown* chart : {&curves.Shown().overDelta, &curves.Shown().overShare}) {
    EXPECT_EQ(chart->emptyText, why);
    EXPECT_FALSE(chart->HasCurve());
  }
  EXPECT_EQ(curves.Shown().minimum, "");
  EXPECT_FALSE(curves.DeltaMoved());
  EXPECT_TRUE(AtTopLevel());
  EXPECT_TRUE(ReadoutsNow(10).atTop);
}

TEST_F(AnalyseCurvesTest, EachRunFitsTheLinearAxisToItsOwnPointsAndMarkers) {
  At(129);
  AnalyseCurves curves = Shown();
  // A Delta curve from `low` at Delta = 0 to `high` at Delta = 1.
  const auto run = [&](double low, double high) {
    CurveResult r = MadeUp(high);
    for (int k = 0; k <= 100; ++k) r.overDelta.points[static_cast<std::size_t>(k)].second = low + (high - low) * k / 100;
    r.overDelta.marker = Marker{0.4, low + (high - low) * 0.4};
    r.overDelta.pending = r.overDelta.marker;
    curves.ShareChanged(curves.Percent() + 1);
    const std::optional<CurveJobOrder> job = curves.Start();
    EXPECT_TRUE(job.has_value());
    if (job) EXPECT_TRUE(curves.Ready(job->generation, r));
    return curves.Shown().overDelta.linear;
  };
  // 0.0282 to 0.0301 in at most five round steps: 0.0005 each, 0.028 to 0.0305.
  AxisRange r = run(0.0282, 0.0301);
  EXPECT_NEAR(r.low, 0.028, 1e-15);
  EXPECT_NEAR(r.high, 0.0305, 1e-15);
  EXPECT_DOUBLE_EQ(r.step, 0.0005);
  EXPECT_EQ(r.ticks, 6);
  // The next run lower down: its own range, nothing kept from before.
  r = run(0, 0.012);
  EXPECT_EQ(r.low, 0);
  EXPECT_DOUBLE_EQ(r.high, 0.015);
  EXPECT_EQ(r.ticks, 4);
  // A flat curve is drawn against zero; an all-zero one on 0 to 1.
  r = run(0.0235, 0.0235);
  EXPECT_EQ(r.low, 0);
  EXPECT_DOUBLE_EQ(r.high, 0.025);
  EXPECT_EQ(r.ticks, 6);
  r = run(0, 0);
  EXPECT_EQ(r.low, 0);
  EXPECT_EQ(r.high, 1);
  EXPECT_FALSE(curves.Shown().overDelta.logarithmic);
  EXPECT_EQ(curves.Shown().overDelta.Drawn(0.012), 0.012);
}

TEST_F(AnalyseCurvesTest, TheShareChartSpansWholeDecadesAndDrawsZeroOnItsFloor) {
  At(129);
  AnalyseCurves curves = Shown();
  const std::optional<CurveJobOrder> job = curves.Start();
  ASSERT_TRUE(job.has_value());
  ASSERT_TRUE(curves.Ready(job->generation, MadeUp(0.3, 0.2)));  // 0.2 down to 0.002, then 0
  const ChartShown& share = curves.Shown().overShare;
  EXPECT_TRUE(share.logarithmic);
  EXPECT_DOUBLE_EQ(share.decades.floor, 1e-3);
  EXPECT_DOUBLE_EQ(share.decades.ceiling, 1);
  EXPECT_DOUBLE_EQ(share.Drawn(0), 1e-3);
  EXPECT_DOUBLE_EQ(share.Drawn(0.05), 0.05);
}

TEST_F(AnalyseCurvesTest, TheHollowMarkerFollowsTheScrollBarOnACurrentCurveOnly) {
  At(129);
  AnalyseCurves curves = Shown();
  const std::optional<CurveJobOrder> job = curves.Start();
  ASSERT_TRUE(job.has_value());
  // The scroll bar moved while the job ran: the marker goes where it is now.
  appState.delta = 0.63;
  ASSERT_TRUE(curves.Ready(job->generation, MadeUp(0.3)));
  ASSERT_TRUE(curves.Shown().overDelta.curve.pending.has_value());
  EXPECT_DOUBLE_EQ(curves.Shown().overDelta.curve.pending->x, 0.63);
  EXPECT_DOUBLE_EQ(curves.Shown().overDelta.curve.pending->y, 0.3 * 63 / 100);
  appState.delta = 0.07;
  EXPECT_TRUE(curves.DeltaMoved());
  EXPECT_DOUBLE_EQ(curves.Shown().overDelta.curve.pending->x, 0.07);
  // New curves are due: the old ones' marker stays where it was.
  curves.ShareChanged(50);
  appState.delta = 0.9;
  EXPECT_FALSE(curves.DeltaMoved());
  EXPECT_DOUBLE_EQ(curves.Shown().overDelta.curve.pending->x, 0.07);
}

}  // namespace

namespace {

TEST(CurvePointTextTest, TheValuesUnderThePointerAsBothShellsWordThem) {
  EXPECT_EQ(CurvePointText(false, "Delta", 0.37, 0.0148), "Delta = 0.37: RMS = 0.0148");
  EXPECT_EQ(CurvePointText(false, "Delta", 1, 0.219), "Delta = 1.00: RMS = 0.219");
  EXPECT_EQ(CurvePointText(true, "behaltener Anteil in %", 10, 0.01504), "behaltener Anteil in % = 10 %: RMS = 0.015");
  EXPECT_EQ(CurvePointText(true, "behaltener Anteil in %", 100, 0),
            "behaltener Anteil in % = 100 %: RMS = 0 (am unteren Rand gezeichnet)");
  // Only the logarithmic axis draws a 0 on its floor.
  EXPECT_EQ(CurvePointText(false, "Delta", 0, 0), "Delta = 0.00: RMS = 0");
  // A point, not a comma, under a German locale as well.
  if (std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr) {
    EXPECT_EQ(CurvePointText(false, "Delta", 0.676, 0.0059), "Delta = 0.68: RMS = 0.0059");
    std::setlocale(LC_ALL, "C");
  }
}

}  // namespace
