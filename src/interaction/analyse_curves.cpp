#include "interaction/analyse_curves.h"

#include <algorithm>
#include <cmath>

#include "interaction/analysis_panel.h"
#include "state/state.h"
#include "text/language.h"

namespace {

// The point of a full Delta curve at scroll bar position 0..100.
Marker PointAt(const Curve& curve, int position) {
  const auto& p = curve.points[static_cast<std::size_t>(position)];
  return {p.first, p.second};
}

constexpr std::size_t kFullCurve = 101;

}  // namespace

ChartTexts DeltaChartTexts() {
  return {Tr("Fehler über Delta"), "Delta", 1, Tr("RMS-Fehler"), Tr("aktuelles Delta (Daten)"), Tr("Delta des Schiebers")};
}

ChartTexts ShareChartTexts() {
  // A 0 is drawn on the floor of the logarithmic axis.
  return {Tr("Fehler über Anteil"), Tr("behaltener Anteil in %"), 100, "RMS (log)", Tr("gewählter Anteil"), ""};
}

std::string CurvePointText(bool logarithmic, const std::string& xName, double x, double y) {
  const std::string value = logarithmic ? FormatReadout(x) + " %" : FixedDecimals(x, 2);
  if (logarithmic && y <= 0) {
    return TrArgs("%1 = %2: RMS = %3 (am unteren Rand gezeichnet)", {xName, value, FormatReadout(y)});
  }
  return xName + " = " + value + ": RMS = " + FormatReadout(y);
}

AnalyseCurves::AnalyseCurves() {
  shown_.overShare.logarithmic = true;
}

CurveOrders AnalyseCurves::Drop() {
  CurveOrders orders;
  // Whatever is under way belongs to the state before.
  ++generation_;
  orders.dropJob = running_;
  running_ = false;
  shown_.progress = -1;
  pending_ = true;
  orders.scheduleStart = visible_;
  return orders;
}

CurveOrders AnalyseCurves::StateChanged() {
  if (AtTopLevel()) {
    ShowEmpty(NoCurveText());
    shown_.minimum.clear();
  }
  return Drop();
}

CurveOrders AnalyseCurves::ShareChanged(double percent) {
  percent_ = percent;
  return Drop();
}

CurveOrders AnalyseCurves::VisibilityChanged(bool visible) {
  visible_ = visible;
  if (visible) return {false, pending_};
  // Hidden, the curves wait; showing the window starts them again.
  if (running_) {
    CurveOrders orders = Drop();
    orders.scheduleStart = false;
    return orders;
  }
  return {};
}

bool AnalyseCurves::DeltaMoved() {
  Curve& curve = shown_.overDelta.curve;
  if (pending_ || running_ || curve.points.size() != kFullCurve) return false;
  curve.pending = PointAt(curve, NearestDeltaPosition(appState.delta));
  ++shown_.revision;
  return true;
}

std::optional<CurveJobOrder> AnalyseCurves::Start() {
  if (!pending_ || !visible_) return std::nullopt;
  pending_ = false;
  if (AtTopLevel()) return std::nullopt;
  ++generation_;
  // The job works on copies: the windows may change appState meanwhile.
  CurveJobOrder order{generation_, CurveInputsNow(percent_)};
  if (appState.topLevel == kMinTopLevel) {
    // At 65 x 65 at once, without a progress text flickering.
    const std::atomic<bool> never{false};
    Ready(order.generation, ComputeCurves(std::move(order.inputs), never));
    return std::nullopt;
  }
  running_ = true;
  shown_.minimum.clear();
  shown_.progress = -1;
  Progressed(order.generation, 0);
  return order;
}

bool AnalyseCurves::Progressed(unsigned generation, int percent) {
  if (generation != generation_ || !running_ || percent == shown_.progress) return false;
  shown_.progress = percent;
  ShowEmpty(TrArgs("Kurven werden berechnet … %1 %", {std::to_string(percent)}));
  return true;
}

bool AnalyseCurves::Ready(unsigned generation, const CurveResult& result) {
  // A job that was overtaken shows nothing.
  if (generation != generation_ || result.cancelled) return false;
  running_ = false;
  shown_.progress = -1;
  ++generation_;  // one answer per job
  if (result.overDelta.points.empty()) {
    ShowEmpty(NoCurveText());
    return true;
  }
  ShowCurves(result);
  return true;
}

void AnalyseCurves::ShowEmpty(const std::string& text) {
  ++shown_.revision;
  for (ChartShown* chart : {&shown_.overDelta, &shown_.overShare}) {
    chart->emptyText = text;
    chart->curve = {};
  }
}

void AnalyseCurves::ShowCurves(const CurveResult& result) {
  ++shown_.revision;
  ChartShown& delta = shown_.overDelta;
  delta.emptyText.clear();
  delta.curve = result.overDelta;
  // Each run's axis fits its own points and markers, so that a curve that
  // varies little is still seen to vary.
  double low = INFINITY, high = 0;
  const auto span = [&](double y) {
    if (!std::isfinite(y)) return;
    low = std::min(low, y);
    high = std::max(high, y);
  };
  for (const auto& p : delta.curve.points) span(p.second);
  for (const std::optional<Marker>& m : {delta.curve.marker, delta.curve.pending}) {
    if (m) span(m->y);
  }
  delta.linear = NiceAxisAround(low, high);
  // The scroll bar may have moved while the curves were computed.
  if (delta.curve.points.size() == kFullCurve) {
    delta.curve.pending = PointAt(delta.curve, NearestDeltaPosition(appState.delta));
  }
  shown_.minimum = MinimumText(delta.curve.points);

  ChartShown& share = shown_.overShare;
  share.emptyText.clear();
  share.curve = result.overShare;
  std::vector<double> ys;
  for (const auto& p : share.curve.points) ys.push_back(p.second);
  if (share.curve.marker) ys.push_back(share.curve.marker->y);
  share.decades = LogDecades(ys);
}
