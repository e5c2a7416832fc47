#pragma once
// The rules of the "Analyse" window's two curves, for either shell: when a
// job is due, which job's results still count, what the charts show meanwhile
// and how their y axes are scaled. A shell tells it what happened and does
// what it answers: it runs a job (a thread, a worker) and draws `Shown()`.
#include <optional>
#include <string>

#include "interaction/curve_job.h"
#include "interaction/readouts.h"

// What a chart says besides its data.
struct ChartTexts {
  std::string title;
  std::string xTitle;
  double xMax = 1;  // the x axis runs from 0 to here in five steps
  std::string yTitle;
  std::string markerName;   // the filled marker
  std::string pendingName;  // the hollow marker; "" for a chart without one
};
// "Fehler über Delta" (linear y) and "Fehler über Anteil" (logarithmic y).
ChartTexts DeltaChartTexts();
ChartTexts ShareChartTexts();

// A curve point's values under the pointer: "Delta = 0.37: RMS = 0.0148",
// "behaltener Anteil in % = 10 %: RMS = 0.0150"; a 0 on a logarithmic axis
// says it is drawn on the floor.
std::string CurvePointText(bool logarithmic, const std::string& xName, double x, double y);

// One chart as it is to be drawn.
struct ChartShown {
  // In place of the curve while there is none ("" while a curve is shown).
  std::string emptyText;
  Curve curve;  // points and markers in the data's units
  // The y axis: linear in round steps around the curve (the Delta curve), or
  // whole decades with values drawn at Drawn() (the share curve).
  bool logarithmic = false;
  AxisRange linear;
  LogRange decades;
  // Where a value is drawn on this chart's y axis.
  double Drawn(double y) const { return logarithmic ? OnLogAxis(decades, y) : y; }
  bool HasCurve() const { return !curve.points.empty(); }
};

struct CurvesShown {
  ChartShown overDelta;
  ChartShown overShare;
  std::string minimum;  // MinimumText of the Delta curve, "" without one
  int progress = -1;    // percent of the points while a job runs, else -1
  // Counts the changes of the charts: a shell draws them again only when it moved.
  unsigned revision = 0;
};

// What the shell must do after telling something.
struct CurveOrders {
  bool dropJob = false;        // the job under way belongs to a state before: stop it
  bool scheduleStart = false;  // call Start() soon (after the events in hand)
};

// A job to run away from the window's thread.
struct CurveJobOrder {
  unsigned generation = 0;
  CurveInputs inputs;
};

class AnalyseCurves {
public:
  AnalyseCurves();

  // Level, Delta in force, coefficients or source changed: the curves are
  // computed anew; at the top level both charts say why there are none.
  CurveOrders StateChanged();
  // The share kept, 0..100 %.
  CurveOrders ShareChanged(double percent);
  double Percent() const { return percent_; }
  // A hidden window computes nothing; showing it catches up.
  CurveOrders VisibilityChanged(bool visible);
  // The scroll bar moved: the hollow marker follows on the curve shown.
  // True when the charts changed.
  bool DeltaMoved();

  // Runs what is due: nothing, the curves at once at 65 x 65 (they take some
  // 20 ms there), or a job for the shell to run on copies.
  std::optional<CurveJobOrder> Start();
  // A job said how far it got, in percent. True when the charts changed.
  bool Progressed(unsigned generation, int percent);
  // A job finished. An overtaken job's results are dropped: false.
  bool Ready(unsigned generation, const CurveResult& result);

  const CurvesShown& Shown() const { return shown_; }
  bool Running() const { return running_; }
  bool Pending() const { return pending_; }

private:
  CurveOrders Drop();
  void ShowEmpty(const std::string& text);
  void ShowCurves(const CurveResult& result);

  CurvesShown shown_;
  double percent_ = 10;
  unsigned generation_ = 0;
  bool visible_ = false;
  bool pending_ = true;
  bool running_ = false;
};
