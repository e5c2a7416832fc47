#pragma once
// One error curve of the "Analyse" window as a chart: the line, its markers
// with a legend, round ticks, the value under the pointer as a tooltip, and a
// sentence in place of the curve while there is none.
#include <QChartView>
#include <QFont>
#include <functional>

#include "interaction/analyse_curves.h"

class QAbstractAxis;
class QLineSeries;
class QScatterSeries;

class CurveView : public QChartView {
public:
  enum class Scale { Linear, Logarithmic };
  // A non-empty `pendingName` adds a hollow marker for Curve::pending.
  CurveView(const ChartTexts& texts, Scale scale);

  // The curve with its markers on the axis given, or, without a curve, the
  // chart in place saying why.
  void Show(const ChartShown& shown);

  QString EmptyText() const { return emptyText_; }
  // For a projector: titles and legend at `textPx`, tick numbers at `tickPx`,
  // and a larger least size; false gives back the usual ones.
  void Present(bool on, int textPx, int tickPx);
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
  QString emptyText_;
  struct Fonts {
    QFont title, legend, axisTitles, ticks;
  };
  Fonts usual_;
};
