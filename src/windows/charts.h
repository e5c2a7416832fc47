#pragma once
// One error curve of the "Analyse" window as a chart: the line, its markers
// with a legend, round ticks, the value under the pointer as a tooltip, and a
// sentence in place of the curve while there is none.
#include <QChartView>
#include <functional>

#include "interaction/analysis_panel.h"
#include "interaction/readouts.h"

class QAbstractAxis;
class QLineSeries;
class QScatterSeries;

class CurveView : public QChartView {
public:
  enum class Scale { Linear, Logarithmic };
  // `pendingName` non-empty adds a hollow marker for Curve::pending.
  CurveView(const QString& title, const QString& xTitle, double xMax, Scale scale, const QString& markerName,
            const QString& pendingName = {});

  // Shows the curve; a linear axis keeps its range while the data fit in it.
  void ShowCurve(const Curve& curve);
  // No curve: the chart stays in place and says why.
  void ShowEmpty(const QString& why);
  // The next curve chooses its range afresh (another level or surface).
  void ForgetRange() { rangeSet_ = false; }
  // The hollow marker to the curve's point at scroll bar position 0..100.
  void MovePending(int position);

  QString EmptyText() const { return emptyText_; }
  // The text the tooltip shows for the point nearest to the x value `x`.
  QString PointText(double x) const;

  QLineSeries* line = nullptr;
  QScatterSeries* marker = nullptr;   // filled
  QScatterSeries* pending = nullptr;  // hollow; null without one
  QAbstractAxis* yAxis = nullptr;

  // Left click in the plot area, in value coordinates.
  std::function<void(double)> clicked;

protected:
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void drawForeground(QPainter* painter, const QRectF& rect) override;

private:
  const Scale scale_;
  const QString xName_;
  std::vector<std::pair<double, double>> points_;
  AxisRange range_;
  bool rangeSet_ = false;
  QString emptyText_;
};
