#include "windows/charts.h"

#include <QChart>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QMouseEvent>
#include <QScatterSeries>
#include <QToolTip>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace {

const QColor kMarkerColour(0xc0, 0x00, 0x00);

QString Text(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

CurveView::CurveView(const ChartTexts& texts, Scale scale)
    : QChartView(new QChart), scale_(scale), xName_(Text(texts.xTitle)) {
  const QString pendingName = Text(texts.pendingName);
  QChart* c = chart();
  c->setTitle(Text(texts.title));
  c->setMargins(QMargins(2, 2, 2, 2));
  c->legend()->setAlignment(Qt::AlignBottom);
  line = new QLineSeries;
  marker = new QScatterSeries;
  marker->setName(Text(texts.markerName));
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
  x->setRange(0, texts.xMax);
  x->setTickCount(6);
  x->setTitleText(xName_);
  x->setLabelFormat("%g");
  if (scale_ == Scale::Logarithmic) {
    auto* y = new QLogValueAxis;
    y->setBase(10);
    y->setLabelFormat("%g");
    y->setTitleText(Text(texts.yTitle));
    yAxis = y;
  } else {
    auto* y = new QValueAxis;
    y->setLabelFormat("%g");
    y->setTitleText(Text(texts.yTitle));
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
  usual_ = {c->titleFont(), c->legend()->font(), yAxis->titleFont(), yAxis->labelsFont()};
}

void CurveView::Present(bool on, int textPx, int tickPx) {
  const auto sized = [on](QFont f, int px) {
    if (on) f.setPixelSize(std::max(px, QFontInfo(f).pixelSize()));
    return f;
  };
  QChart* c = chart();
  c->setTitleFont(sized(usual_.title, textPx));
  c->legend()->setFont(sized(usual_.legend, textPx));
  for (QAbstractAxis* axis : c->axes()) {
    axis->setTitleFont(sized(usual_.axisTitles, textPx));
    axis->setLabelsFont(sized(usual_.ticks, tickPx));
  }
  // Each of the two curves about half a projector's height.
  if (on) setMinimumSize(560, 380);
  else setMinimumSize(340, 220);
}

void CurveView::Show(const ChartShown& shown) {
  emptyText_ = Text(shown.emptyText);
  points_ = shown.curve.points;
  line->clear();
  marker->clear();
  if (pending) pending->clear();
  if (shown.HasCurve()) {
    if (scale_ == Scale::Logarithmic) {
      auto* y = static_cast<QLogValueAxis*>(yAxis);
      y->setRange(shown.decades.floor, shown.decades.ceiling);
      y->setMinorTickCount(8);
    } else {
      auto* y = static_cast<QValueAxis*>(yAxis);
      y->setRange(shown.linear.low, shown.linear.high);
      y->setTickCount(shown.linear.ticks);
    }
    QList<QPointF> pts;
    for (const auto& [px, py] : points_) pts.append(QPointF(px, shown.Drawn(py)));
    line->replace(pts);
    if (const auto& m = shown.curve.marker) marker->append(m->x, shown.Drawn(m->y));
    if (const auto& m = shown.curve.pending; m && pending) pending->append(m->x, shown.Drawn(m->y));
  }
  viewport()->update();
}

QString CurveView::PointText(double x) const {
  if (points_.empty()) return {};
  const auto* nearest = &points_.front();
  for (const auto& p : points_) {
    if (std::abs(p.first - x) < std::abs(nearest->first - x)) nearest = &p;
  }
  return Text(CurvePointText(scale_ == Scale::Logarithmic, xName_.toStdString(), nearest->first, nearest->second));
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
