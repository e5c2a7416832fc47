// With the whole interface scaled by 2 (QT_SCALE_FACTOR=2) both views still
// fill their windows - the viewport is the client area in device pixels, not
// in logical ones, which would leave the picture in the lower-left quarter -
// and no caption of the control panel is cut off.
#include <GL/gl.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "app/Daten.h"
#include "app/Grafik.h"
#include "app/Kontrolle.h"
#include "app/application.h"
#include "app/state.h"
#include "pixels.h"
#include "render/scenes.h"

using namespace pixels;

namespace {

// 2 unless the environment asks for another factor.
double ScaleFactor() { return qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(); }
// Logical sizes that put both scaled views side by side on a 1280 x 1024 screen,
// so everything they show can be read back.
const QSize kViewSize(300, 260);

bool IsBackground(QRgb c) { return IsWhite(c); }
bool IsPicture(QRgb c) { return !IsWhite(c); }

void Settle() {
  for (int i = 0; i < 5; ++i) {
    QTest::qWait(40);
    QCoreApplication::processEvents();
  }
}

// The viewport the view's own context holds after its last redraw.
QRect Viewport(GlView* view, GlContext rc) {
  view->MakeCurrent(rc);
  GLint v[4] = {-1, -1, -1, -1};
  glGetIntegerv(GL_VIEWPORT, v);
  return QRect(v[0], v[1], v[2], v[3]);
}

// A strip of background along each edge of the image.
void ExpectBackgroundBorder(const QImage& img, const char* view) {
  const int w = img.width(), h = img.height();
  const int band = 3;
  const QRect edges[] = {{0, 0, w, band}, {0, h - band, w, band}, {0, 0, band, h}, {w - band, 0, band, h}};
  const char* names[] = {"top", "bottom", "left", "right"};
  for (int i = 0; i < 4; ++i) {
    const int area = edges[i].width() * edges[i].height();
    QVERIFY2(Count(img, edges[i], IsBackground) == area,
             qPrintable(QString("%1: %2 edge not white").arg(view, names[i])));
  }
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
    QVERIFY(QTest::qWaitForWindowExposed(frmGrafik));
    QVERIFY(QTest::qWaitForWindowExposed(frmDaten));
    QVERIFY(messages.empty());
    QCOMPARE(frmGrafik->devicePixelRatio(), ScaleFactor());
    QCOMPARE(frmDaten->devicePixelRatio(), ScaleFactor());

    frmGrafik->setPosition(0, 0);
    frmGrafik->resize(kViewSize);
    frmDaten->setPosition(kViewSize.width() + 20, 0);
    frmDaten->resize(kViewSize);
    QTRY_COMPARE(frmGrafik->size(), kViewSize);
    QTRY_COMPARE(frmDaten->size(), kViewSize);
    Settle();
  }

  void functionViewFillsItsWindow() {
    RedrawGrafik();
    const QImage img = Grab(frmGrafik);
    QCOMPARE(img.size(), kViewSize * ScaleFactor());
    ExpectBackgroundBorder(img, "function view");
    // The four functions sit in the four quadrants of the window.
    const int w = img.width(), h = img.height();
    const QRect quadrants[] = {{0, 0, w / 2, h / 2}, {w / 2, 0, w - w / 2, h / 2},
                               {0, h / 2, w / 2, h - h / 2}, {w / 2, h / 2, w - w / 2, h - h / 2}};
    const char* names[] = {"upper left", "upper right", "lower left", "lower right"};
    for (int i = 0; i < 4; ++i) {
      QVERIFY2(Count(img, quadrants[i], IsRed) > quadrants[i].width() * quadrants[i].height() / 200, names[i]);
    }
    // The whole scene spans most of the window, centred.
    const QRect box = BoundingBox(img, IsPicture);
    QVERIFY2(box.width() > 0.7 * w && box.height() > 0.6 * h,
             qPrintable(QString("picture %1x%2 in %3x%4").arg(box.width()).arg(box.height()).arg(w).arg(h)));
    QVERIFY(qAbs(box.center().x() - w / 2) < 0.1 * w);
    QVERIFY(qAbs(box.center().y() - h / 2) < 0.1 * h);
  }

  void dataViewFillsItsWindow() {
    RedrawDaten();
    const QImage img = Grab(frmDaten);
    QCOMPARE(img.size(), kViewSize * ScaleFactor());
    ExpectBackgroundBorder(img, "data view");
    const int w = img.width(), h = img.height();
    // Surface and axes reach well beyond the window's middle in both directions.
    const QRect box = BoundingBox(img, IsPicture);
    QVERIFY2(box.width() > 0.6 * w && box.height() > 0.6 * h && box.contains(w / 2, h / 2),
             qPrintable(QString("picture at %1,%2 %3x%4 in %5x%6")
                            .arg(box.x()).arg(box.y()).arg(box.width()).arg(box.height()).arg(w).arg(h)));
    // The lit surface lies across the middle, not in the lower-left quarter.
    QVERIFY(Count(img, QRect(w / 2, 0, w - w / 2, h), IsGreen) > w * h / 100);
    QVERIFY(Count(img, QRect(0, 0, w, h / 2), IsGreen) > w * h / 100);
  }

  void viewportIsTheDevicePixelArea() {
    RedrawGrafik();
    QCOMPARE(Viewport(frmGrafik, appState.rcGrafik), QRect(QPoint(0, 0), kViewSize * ScaleFactor()));
    RedrawDaten();
    QCOMPARE(Viewport(frmDaten, appState.rcDaten), QRect(QPoint(0, 0), kViewSize * ScaleFactor()));

    // A resize follows in device pixels too.
    const QSize smaller(240, 200);
    frmGrafik->resize(smaller);
    QTRY_COMPARE(frmGrafik->size(), smaller);
    Settle();
    QCOMPARE(Viewport(frmGrafik, appState.rcGrafik), QRect(QPoint(0, 0), smaller * ScaleFactor()));
    const QImage img = Grab(frmGrafik);
    QCOMPARE(img.size(), smaller * ScaleFactor());
    ExpectBackgroundBorder(img, "resized function view");
    const int w = img.width(), h = img.height();
    QVERIFY(Count(img, QRect(w / 2, 0, w - w / 2, h / 2), IsRed) > w * h / 800);
    frmGrafik->resize(kViewSize);
    QTRY_COMPARE(frmGrafik->size(), kViewSize);
    Settle();
  }

  void panelCaptionsAreNotCutOff() {
    TfrmKontrolle* panel = frmKontrolle;
    QCOMPARE(panel->devicePixelRatio(), ScaleFactor());
    const QRect inside = panel->rect();
    for (QAbstractButton* b : panel->findChildren<QAbstractButton*>()) {
      const QSize hint = b->sizeHint();
      QVERIFY2(hint.width() <= b->width(),
               qPrintable(QString("\"%1\" needs %2 px, has %3").arg(b->text()).arg(hint.width()).arg(b->width())));
      QVERIFY2(inside.contains(b->geometry()), qPrintable(b->text()));
      QVERIFY2(b->fontMetrics().height() <= b->height(), qPrintable(b->text()));
    }
    // No control reaches under one of the vertical bars between the groups,
    // which would hide the end of its caption.
    const QList<QWidget*> bars = {panel->panStrichlinks, panel->panStrichMitte, panel->panStrichRechts};
    for (QWidget* bar : bars) {
      for (QWidget* w : panel->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (bars.contains(w)) continue;
        QVERIFY2(!w->geometry().intersects(bar->geometry()),
                 qPrintable(QString("%1 overlaps the bar at x = %2").arg(Caption(w)).arg(bar->x())));
      }
    }
    for (QLabel* l : panel->findChildren<QLabel*>()) {
      QVERIFY2(l->sizeHint().width() <= l->width() && l->sizeHint().height() <= l->height(),
               qPrintable(l->text()));
      QVERIFY2(inside.contains(l->geometry()), qPrintable(l->text()));
    }
    // The longest item of the selection box can be read in full.
    QComboBox* cmb = panel->cmbSelect;
    QVERIFY(inside.contains(cmb->geometry()));
    int widest = 0;
    for (int i = 0; i < cmb->count(); ++i) widest = qMax(widest, cmb->fontMetrics().horizontalAdvance(cmb->itemText(i)));
    // The line edit keeps 2 pixels free on either side of its text.
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
