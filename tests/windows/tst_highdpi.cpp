// With the whole interface scaled (QT_SCALE_FACTOR, 2 by default) both views
// still fill their windows - the viewport is the client area in device pixels,
// not in logical ones, which would leave the picture in the lower-left quarter -
// and no caption of the control panel is cut off.
#include <GL/gl.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "windows/Daten.h"
#include "windows/Grafik.h"
#include "windows/Kontrolle.h"
#include "windows/program_windows.h"
#include "windows/application.h"
#include "state/state.h"
#include "pixels.h"
#include "render/scenes.h"

using namespace pixels;

namespace {

double Scale() { return qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(); }
// Both scaled views side by side on a 1280 x 1024 screen, so all they show can be read back.
const QSize kViewSize(300, 260);

void Settle() {
  for (int i = 0; i < 5; ++i) QTest::qWait(40);
}

// The viewport the view's own context holds after its last redraw.
QRect Viewport(GlView* view, GlContext rc) {
  view->MakeCurrent(rc);
  GLint v[4] = {-1, -1, -1, -1};
  glGetIntegerv(GL_VIEWPORT, v);
  return QRect(v[0], v[1], v[2], v[3]);
}

// Empty if a white strip runs along each edge of the image, else which edge does not.
QString BorderProblem(const QImage& img) {
  const int w = img.width(), h = img.height(), band = 3;
  for (const QRect& edge : {QRect(0, 0, w, band), QRect(0, h - band, w, band), QRect(0, 0, band, h),
                            QRect(w - band, 0, band, h)})
    if (Count(img, edge, IsWhite) != edge.width() * edge.height())
      return QString("edge at %1,%2 not white").arg(edge.x()).arg(edge.y());
  return {};
}

QString Caption(const QWidget* w) {
  if (auto* b = qobject_cast<const QAbstractButton*>(w)) return b->text();
  if (auto* l = qobject_cast<const QLabel*>(w)) return l->text();
  return w->metaObject()->className();
}

}  // namespace

class HighDpiTest : public QObject {
  Q_OBJECT
  std::vector<std::string> messages;

private slots:
  void initTestCase() {
    InitialiseToolkit(*qApp);
    appState.showMessage = [this](const std::string& text) { messages.push_back(text); };
    CreateForms();
    QVERIFY(QTest::qWaitForWindowExposed(frmKontrolle));
    for (GlView* view : {static_cast<GlView*>(frmGrafik), static_cast<GlView*>(frmDaten)}) {
      QVERIFY(QTest::qWaitForWindowExposed(view));
      QCOMPARE(view->devicePixelRatio(), Scale());
      view->setPosition(view == frmGrafik ? 0 : kViewSize.width() + 20, 0);
      view->resize(kViewSize);
      QTRY_COMPARE(view->size(), kViewSize);
    }
    QVERIFY(messages.empty());
    Settle();
  }

  void functionViewFillsItsWindow() {
    RedrawGrafik();
    const QImage img = Grab(frmGrafik);
    QCOMPARE(img.size(), kViewSize * Scale());
    QVERIFY2(BorderProblem(img).isEmpty(), qPrintable(BorderProblem(img)));
    const int w = img.width(), h = img.height();
    for (const QRect& q : Quadrants(img))  // one function in each quadrant
      QVERIFY2(Count(img, q, IsRed) > q.width() * q.height() / 200, "quadrant");
    // The whole scene spans most of the window, centred.
    const QRect box = BoundingBox(img, [](QRgb c) { return !IsWhite(c); });
    QVERIFY2(box.width() > 0.7 * w && box.height() > 0.6 * h, qPrintable(QString("picture %1x%2 at %3,%4").arg(box.width()).arg(box.height()).arg(box.x()).arg(box.y())));
    QVERIFY(qAbs(box.center().x() - w / 2) < 0.1 * w && qAbs(box.center().y() - h / 2) < 0.1 * h);
  }

  void dataViewFillsItsWindow() {
    RedrawDaten();
    const QImage img = Grab(frmDaten);
    QCOMPARE(img.size(), kViewSize * Scale());
    QVERIFY2(BorderProblem(img).isEmpty(), qPrintable(BorderProblem(img)));
    const int w = img.width(), h = img.height();
    // Surface and axes reach well beyond the middle in both directions.
    const QRect box = BoundingBox(img, [](QRgb c) { return !IsWhite(c); });
    QVERIFY2(box.width() > 0.6 * w && box.height() > 0.6 * h && box.contains(w / 2, h / 2),
             qPrintable(QString("picture %1x%2 at %3,%4").arg(box.width()).arg(box.height()).arg(box.x()).arg(box.y())));
    // The lit surface lies across the middle, not in the lower-left quarter.
    QVERIFY(Count(img, QRect(w / 2, 0, w - w / 2, h), IsGreen) > w * h / 100);
    QVERIFY(Count(img, QRect(0, 0, w, h / 2), IsGreen) > w * h / 100);
  }

  void viewportIsTheDevicePixelArea() {
    RedrawGrafik();
    QCOMPARE(Viewport(frmGrafik, appState.rcGrafik), QRect(QPoint(0, 0), kViewSize * Scale()));
    RedrawDaten();
    QCOMPARE(Viewport(frmDaten, appState.rcDaten), QRect(QPoint(0, 0), kViewSize * Scale()));
    // A resize follows in device pixels too.
    const QSize smaller(240, 200);
    frmGrafik->resize(smaller);
    QTRY_COMPARE(frmGrafik->size(), smaller);
    Settle();
    QCOMPARE(Viewport(frmGrafik, appState.rcGrafik), QRect(QPoint(0, 0), smaller * Scale()));
    const QImage img = Grab(frmGrafik);
    QCOMPARE(img.size(), smaller * Scale());
    QVERIFY2(BorderProblem(img).isEmpty(), qPrintable(BorderProblem(img)));
    QVERIFY(Count(img, Quadrants(img)[1], IsRed) > img.width() * img.height() / 800);
    frmGrafik->resize(kViewSize);
    QTRY_COMPARE(frmGrafik->size(), kViewSize);
  }

  void panelCaptionsAreNotCutOff() {
    TfrmKontrolle* panel = frmKontrolle;
    QCOMPARE(panel->devicePixelRatio(), Scale());
    const QRect inside = panel->rect();
    for (QWidget* w : panel->findChildren<QWidget*>()) {  // buttons need a line of text, labels their hint
      const bool button = qobject_cast<QAbstractButton*>(w);
      if (!button && !qobject_cast<QLabel*>(w)) continue;
      const QSize need(w->sizeHint().width(), button ? w->fontMetrics().height() : w->sizeHint().height());
      QVERIFY2(need.width() <= w->width() && need.height() <= w->height() && inside.contains(w->geometry()),
               qPrintable(QString("\"%1\" needs %2x%3 px, has %4x%5").arg(Caption(w)).arg(need.width())
                              .arg(need.height()).arg(w->width()).arg(w->height())));
    }
    // No control reaches under a vertical bar between the groups, hiding the end of its caption.
    const QList<QWidget*> bars = {panel->panStrichlinks, panel->panStrichMitte, panel->panStrichRechts};
    for (QWidget* bar : bars)
      for (QWidget* w : panel->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        QVERIFY2(bars.contains(w) || !w->geometry().intersects(bar->geometry()),
                 qPrintable(QString("%1 overlaps the bar at x = %2").arg(Caption(w)).arg(bar->x())));
    // The longest item of the selection box can be read in full, 2 pixels free on either side.
    QComboBox* cmb = panel->cmbSelect;
    QVERIFY(inside.contains(cmb->geometry()));
    int widest = 0;
    for (int i = 0; i < cmb->count(); ++i) widest = qMax(widest, cmb->fontMetrics().horizontalAdvance(cmb->itemText(i)));
    QVERIFY2(widest + 4 <= cmb->lineEdit()->width(),
             qPrintable(QString("items need %1 px, the field has %2").arg(widest).arg(cmb->lineEdit()->width())));
  }

  void cleanupTestCase() {
    EndProgram();
    DestroyForms();
  }
};

int main(int argc, char** argv) {
  // Must be in place before the application object reads it.
  if (!qEnvironmentVariableIsSet("QT_SCALE_FACTOR")) qputenv("QT_SCALE_FACTOR", "2");
  VeltraApplication app(argc, argv);
  HighDpiTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "tst_highdpi.moc"
