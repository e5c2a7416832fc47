#include "windows/charts.h"

#include <QChart>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QMouseEvent>
#include <QScatterSeries>
#include <QToolTip>
#include <QValueAxis>
#include <cmath>

namespace {

const QColor kMarkerColour(0xc0, 0x00, 0x00);

QString Text(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

CurveView::CurveView(const QString& title, const QString& xTitle, double xMax, Scale scale,
                     const QString& markerName, const QString& pendingName)
    : QChartView(new QChart), scale_(scale), xName_(xTitle) {
  QChart* c = chart();
  c->setTitle(title);
  c->setMargins(QMargins(2, 2, 2, 2));
  c->legend()->setAlignment(Qt::AlignBottom);
  line = new QLineSeries;
  marker = new QScatterSeries;
  marker->setName(markerName);
  marker->setMarkerSize(9);
  marker->setColor(kMarkerColour);
  marker->setBorderColor(kMarkerColour);
  c->addSeries(line);
  c->addSeries(marker);
  if (!pendingName.isEmpty()) {
    pending = new QScatterSeries;
    pending->setName(pendingName);
    pending->setMarkerSize(17);  // a ring around the filled marker when both stand on one Delta
    pending->setColor(Qt::transparent);
    pending->setBorderColor(kMarkerColour);
    QPen pen(kMarkerColour);
    pen.setWidthF(2);
    pending->setPen(pen);
    c->addSeries(pending);
  }
  // The legend names the markers; the line is the chart's title.
  c->legend()->markers(line).first()->setVisible(false);

  auto* x = new QValueAxis;
  x->setRange(0, xMax);
  x->setTickCount(6);
  x->setTitleText(xTitle);
  x->setLabelFormat("%g");
  if (scale_ == Scale::Logarithmic) {
    auto* y = new QLogValueAxis;
    y->setBase(10);
    y->setLabelFormat("%g");
    y->setTitleText("RMS (log)");  // a 0 is drawn on the floor
    yAxis = y;
  } else {
    auto* y = new QValueAxis;
    y->setLabelFormat("%g");
    y->setTitleText("RMS-Fehler");
    yAxis = y;
  }
  c->addAxis(x, Qt::AlignBottom);
  c->addAxis(yAxis, Qt::AlignLeft);
  for (QAbstractSeries* s : c->series()) {
    s->attachAxis(x);
    s->attachAxis(yAxis);
  }
  setRenderHint(QPainter::Antialiasing);
  setMouseTracking(true);
  setMinimumSize(340, 220);
}

void CurveView::ShowCurve(const Curve& curve) {
  emptyText_.clear();
  points_ = curve.points;
  std::vector<double> ys;
  for (const auto& p : points_) ys.push_back(p.second);
  if (scale_ == Scale::Logarithmic) {
    for (const Marker* m : {curve.marker ? &*curve.marker : nullptr}) {
      if (m) ys.push_back(m->y);
    }
    const LogRange r = LogDecades(ys);
    auto* y = static_cast<QLogValueAxis*>(yAxis);
    y->setRange(r.floor, r.ceiling);
    y->setMinorTickCount(8);
    QList<QPointF> pts;
    for (const auto& [px, py] : points_) pts.append(QPointF(px, OnLogAxis(r, py)));
    line->replace(pts);
    marker->clear();
    if (curve.marker) marker->append(curve.marker->x, OnLogAxis(r, curve.marker->y));
  } else {
    double top = 0;
    for (const double v : ys) {
      if (std::isfinite(v)) top = std::max(top, v);
    }
    for (const Marker* m : {curve.marker ? &*curve.marker : nullptr, curve.pending ? &*curve.pending : nullptr}) {
      if (m && std::isfinite(m->y)) top = std::max(top, m->y);
    }
    range_ = rangeSet_ ? KeepOrRescale(range_, top) : NiceAxisFromZero(top);
    rangeSet_ = true;
    auto* y = static_cast<QValueAxis*>(yAxis);
    y->setRange(range_.low, range_.high);
    y->setTickCount(range_.ticks);
    QList<QPointF> pts;
    for (const auto& [px, py] : points_) pts.append(QPointF(px, py));
    line->replace(pts);
    marker->clear();
    if (curve.marker) marker->append(curve.marker->x, curve.marker->y);
  }
  if (pending) {
    pending->clear();
    if (curve.pending) pending->append(curve.pending->x, curve.pending->y);
  }
  viewport()->update();
}

void CurveView::MovePending(int position) {
  if (!pending || points_.size() != 101 || position < 0 || position > 100) return;
  const auto& p = points_[static_cast<std::size_t>(position)];
  pending->clear();
  pending->append(p.first, p.second);
}

void CurveView::ShowEmpty(const QString& why) {
  emptyText_ = why;
  points_.clear();
  line->clear();
  marker->clear();
  if (pending) pending->clear();
  viewport()->update();
}

QString CurveView::PointText(double x) const {
  if (points_.empty()) return {};
  const auto* nearest = &points_.front();
  for (const auto& p : points_) {
    if (std::abs(p.first - x) < std::abs(nearest->first - x)) nearest = &p;
  }
  const QString where = scale_ == Scale::Logarithmic ? Text(FormatReadout(nearest->first)) + " %"
                                                     : QString::asprintf("%.2f", nearest->first);
  QString text = xName_ + " = " + where + ": RMS = " + Text(FormatReadout(nearest->second));
  if (scale_ == Scale::Logarithmic && nearest->second <= 0) text += " (am unteren Rand gezeichnet)";
  return text;
}

void CurveView::mousePressEvent(QMouseEvent* e) {
  const QPointF pos = e->position();
  if (e->button() == Qt::LeftButton && clicked && !points_.empty() && chart()->plotArea().contains(pos)) {
    clicked(chart()->mapToValue(pos, line).x());
    e->accept();
    return;
  }
  QChartView::mousePressEvent(e);
}

void CurveView::mouseMoveEvent(QMouseEvent* e) {
  const QPointF pos = e->position();
  if (!points_.empty() && chart()->plotArea().contains(pos)) {
    QToolTip::showText(e->globalPosition().toPoint(), PointText(chart()->mapToValue(pos, line).x()), this);
  } else {
    QToolTip::hideText();
  }
  QChartView::mouseMoveEvent(e);
}

void CurveView::drawForeground(QPainter* painter, const QRectF& rect) {
  QChartView::drawForeground(painter, rect);
  if (emptyText_.isEmpty()) return;
  const QRectF area = chart()->plotArea().adjusted(8, 8, -8, -8);
  painter->save();
  painter->setPen(palette().color(QPalette::WindowText));
  painter->drawText(area, Qt::AlignCenter | Qt::TextWordWrap, emptyText_);
  painter->restore();
}
