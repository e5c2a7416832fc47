// The control panel and the keys of the two views, driven as a user would:
// clicks, key presses and typed text on the real windows; then the program
// state, the labels, the captions and the pixels the views show.
#include <GL/gl.h>

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <cmath>
#include <cstdio>

#include "app/Daten.h"
#include "app/Grafik.h"
#include "app/Kontrolle.h"
#include "app/application.h"
#include "app/state.h"
#include "pixels.h"

using namespace pixels;

namespace {

QImage Shot(QWindow* view) {
  QTest::qWait(30);
  return Grab(view);
}

int Reds(const QImage& img) { return Count(img, img.rect(), IsRed); }

// A check box toggles when its indicator is clicked; its centre may lie past a short caption.
void ClickBox(QCheckBox* box) { QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2)); }

// The camera translation held in a view's model-view matrix.
std::array<double, 3> CameraInMatrix(GlView* view, GlContext rc) {
  view->MakeCurrent(rc);
  GLdouble m[16];
  glGetDoublev(GL_MODELVIEW_MATRIX, m);
  return {m[12], m[13], m[14]};
}

}  // namespace

class PanelTest : public QObject {
  Q_OBJECT
  TfrmKontrolle* k = nullptr;

  QString Label(QLabel* l) { return l->text(); }

  // Picks an item from the open list, as with the mouse.
  void ChooseItem(int index) {
    k->cmbSelect->showPopup();
    QAbstractItemView* list = k->cmbSelect->view();
    QTRY_VERIFY(list->isVisible());
    QTest::qWait(500);  // a release right after opening does not count as a choice
    const QRect r = list->visualRect(list->model()->index(index, 0));
    QTest::mouseMove(list->viewport(), r.center());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
    QTRY_VERIFY(!list->isVisible());
  }

private slots:
  // Each case starts from the start switches and the overview.
  void init() {
    if (!k) return;
    if (!appState.filledSurfaces) ClickBox(k->cbxDrahtgitter);
    if (!appState.onlyData) ClickBox(k->cbxOnlyData);
    if (!appState.zoom) ClickBox(k->cbxZoom);
    if (appState.closeUp) k->cmbSelectChange(0);
  }

  void initTestCase() {
    // Under a German locale the C library writes and reads decimal commas once
    // the toolkit has set the locale from the environment: the labels must not.
    if (qEnvironmentVariable("LC_ALL").startsWith("de_DE")) {
      char buf[16];
      std::snprintf(buf, sizeof buf, "%g", 0.4);
      QVERIFY2(QByteArray(buf) == "0,4", "precondition: de_DE.UTF-8 must exist and be in force");
    }
    InitialiseToolkit(*qApp);
    CreateForms();
    k = frmKontrolle;
    QVERIFY(QTest::qWaitForWindowExposed(k));
    QVERIFY(QTest::qWaitForWindowExposed(frmGrafik));
    QVERIFY(QTest::qWaitForWindowExposed(frmDaten));
    QCOMPARE(Label(k->labDelta), QString("Delta: 0.4"));
    QCOMPARE(Label(k->labLevel), QString("Level: 6"));
    QCOMPARE(Label(k->labaktuellesDelta), QString("aktuelles Delta: 0.4"));
    QCOMPARE(frmGrafik->title(), QString("Skalierungsfunktion und Wavelets"));
  }

  void deltaScrollBarDrivesOnlyTheFunctionView() {
    AppState& s = appState;
    const QImage dataBefore = Shot(frmDaten);
    const QImage functionsBefore = Shot(frmGrafik);
    // The right arrow: one step.
    QScrollBar* bar = k->scrDelta;
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() - 5, bar->height() / 2));
    QCOMPARE(bar->value(), 41);
    QCOMPARE(s.delta, 0.41);
    QCOMPARE(Label(k->labDelta), QString("Delta: 0.41"));
    QCOMPARE(frmGrafik->title(), QString("Keine Nullen"));

    bar->setFocus();
    QTest::keyClick(bar, Qt::Key_Home);
    QCOMPARE(s.delta, 0.0);
    QCOMPARE(Label(k->labDelta), QString("Delta: 0"));
    QCOMPARE(frmGrafik->title(), QString("Nullmatrix"));
    QVERIFY(Shot(frmGrafik) != functionsBefore);  // piecewise constant functions now

    QTest::keyClick(bar, Qt::Key_End);
    QCOMPARE(Label(k->labDelta), QString("Delta: 1"));
    QCOMPARE(frmGrafik->title(), QString("Keine Nullen"));
    bar->setValue(7);
    QCOMPARE(Label(k->labDelta), QString("Delta: 0.07"));

    // The data side waits for "Berechne!".
    QCOMPARE(s.currentDelta, 0.4);
    QCOMPARE(Label(k->labaktuellesDelta), QString("aktuelles Delta: 0.4"));
    QCOMPARE(Shot(frmDaten), dataBefore);
  }

  void berechneTakesDeltaOverForTheDataView() {
    AppState& s = appState;
    k->scrDelta->setValue(0);
    const QImage before = Shot(frmDaten);
    QTest::mouseClick(k->butBerechne, Qt::LeftButton);
    QCOMPARE(s.currentDelta, 0.0);
    QCOMPARE(Label(k->labaktuellesDelta), QString("aktuelles Delta: 0"));
    QCOMPARE(s.chosenLevel, 6);
    // The same samples shown with box functions: a different surface.
    QVERIFY(Shot(frmDaten) != before);

    k->scrDelta->setValue(40);
    QTest::mouseClick(k->butBerechne, Qt::LeftButton);
    QCOMPARE(Label(k->labaktuellesDelta), QString("aktuelles Delta: 0.4"));
    QCOMPARE(Shot(frmDaten), before);
  }

  void levelTrackBarJumpsAndComesBack() {
    AppState& s = appState;
    QSlider* level = k->trbLevel;
    QSignalSpy changes(level, &QSlider::valueChanged);
    level->setFocus();
    QTest::keyClick(level, Qt::Key_Home);  // 6 -> 2 in one change
    QCOMPARE(changes.count(), 1);
    QCOMPARE(s.chosenLevel, 2);
    QCOMPARE(Label(k->labLevel), QString("Level: 2"));
    QImage img = Shot(frmDaten);
    QCOMPARE(Count(img, img.rect(), IsBlue), 0);  // the approximation alone

    // The whole multiscale layout: coloured detail blocks.
    ClickBox(k->cbxOnlyData);
    QVERIFY(!s.onlyData);
    img = Shot(frmDaten);
    QVERIFY2(Count(img, img.rect(), IsBlue) > 2000, "diagonal detail blocks");
    QVERIFY2(Count(img, img.rect(), IsRed) > 2000, "mixed detail blocks");

    QTest::keyClick(level, Qt::Key_End);
    QCOMPARE(s.chosenLevel, 6);
    QCOMPARE(Label(k->labLevel), QString("Level: 6"));
    img = Shot(frmDaten);
    QCOMPARE(Count(img, img.rect(), IsBlue), 0);
    QCOMPARE(Count(img, img.rect(), IsRed), 0);
    QVERIFY(Count(img, img.rect(), IsGreen) > 5000);

    // Steps of one through the keyboard, as the arrow keys give them.
    QTest::keyClick(level, Qt::Key_Left);
    QCOMPARE(Label(k->labLevel), QString("Level: 5"));
    QTest::keyClick(level, Qt::Key_Right);
    QCOMPARE(Label(k->labLevel), QString("Level: 6"));
    ClickBox(k->cbxOnlyData);
    QVERIFY(s.onlyData);
  }

  void zoomRedrawsTheFunctionView() {
    const QImage zoomed = Shot(frmGrafik);
    ClickBox(k->cbxZoom);
    QVERIFY(!appState.zoom);
    QVERIFY(Shot(frmGrafik) != zoomed);
    ClickBox(k->cbxZoom);
    QVERIFY(appState.zoom);
    QCOMPARE(Shot(frmGrafik), zoomed);
  }

  void drahtgitterTurnsBothViewsIntoWireFrames() {
    const int functionReds = Reds(Shot(frmGrafik));
    QImage data = Shot(frmDaten);
    const QRect surface = BoundingBox(data, IsGreen);
    const int dataWhites = Count(data, surface, IsWhite);
    ClickBox(k->cbxDrahtgitter);
    QVERIFY(!appState.filledSurfaces);
    QVERIFY2(Reds(Shot(frmGrafik)) * 2 < functionReds, "outlines only");
    // The background shows through the data surface's mesh.
    data = Shot(frmDaten);
    QVERIFY2(Count(data, surface, IsWhite) > dataWhites + dataWhites / 4, "outlines only");
    ClickBox(k->cbxDrahtgitter);
    QVERIFY(appState.filledSurfaces);
    QCOMPARE(Reds(Shot(frmGrafik)), functionReds);
    data = Shot(frmDaten);
    QCOMPARE(Count(data, surface, IsWhite), dataWhites);
  }

  void auswahlBringsOneFunctionCloseAndAllBack() {
    AppState& s = appState;
    const QImage overview = Shot(frmGrafik);
    const QImage data = Shot(frmDaten);
    ChooseItem(1);  // "Skalierungsfunktion"
    QVERIFY(s.closeUp);
    QCOMPARE(int(s.selectedFunction), 0);
    QCOMPARE(s.GPosX, 1.4);
    QCOMPARE(s.GPosY, -1.3);
    QCOMPARE(s.GPosZ, -2.2);
    const auto camera = CameraInMatrix(frmGrafik, s.rcGrafik);
    QVERIFY(std::abs(camera[0] - 1.4) < 1e-5 && std::abs(camera[1] + 1.3) < 1e-5 &&
            std::abs(camera[2] + 2.2) < 1e-5);
    // One function alone, in the middle and several times as large as in
    // its quarter of the overview.
    const QImage close = Shot(frmGrafik);
    const QRect box = BoundingBox(close, IsRed);
    const QRect before = BoundingBox(overview.copy(0, 0, overview.width() / 2, overview.height() / 2), IsRed);
    QVERIFY2(box.width() * box.height() > 3 * before.width() * before.height(), "close up");
    QVERIFY2(std::abs(box.center().x() - close.width() / 2) < close.width() / 5 &&
                 std::abs(box.center().y() - close.height() / 2) < close.height() / 5,
             "in the middle");
    QCOMPARE(Shot(frmDaten), data);

    ChooseItem(0);  // "Alle Funktionen"
    QVERIFY(!s.closeUp);
    QCOMPARE(int(s.selectedFunction), 4);
    for (int f = 0; f < 4; ++f) {
      QVERIFY(std::abs(s.functionOrientation[f].alpha - s.initialOrientation[f].alpha) < 1e-9);
      QVERIFY(std::abs(s.functionOrientation[f].gamma - s.initialOrientation[f].gamma) < 1e-9);
    }
    QCOMPARE(s.GPosX, 0.0);
    QCOMPARE(s.GPosY, 0.1);
    const QImage all = Shot(frmGrafik);
    const int w = all.width(), h = all.height();
    for (const QRect& q : {QRect(0, 0, w / 2, h / 2), QRect(w / 2, 0, w / 2, h / 2),
                           QRect(0, h / 2, w / 2, h / 2), QRect(w / 2, h / 2, w / 2, h / 2)})
      QVERIFY(Count(all, q, IsRed) > 300);
  }

  void typedComboTextChangesNothing() {
    AppState& s = appState;
    k->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(k));
    const QImage before = Shot(frmGrafik);
    const auto orientation = s.functionOrientation;
    const double gx = s.GPosX, gz = s.GPosZ;
    QLineEdit* edit = k->cmbSelect->lineEdit();
    k->cmbSelect->setFocus();
    for (const char* text : {"w", "Wavelet 3", "skalierungsfunktion", "Unsinn"}) {
      QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
      QTest::keyClicks(edit, text);
      QTest::keyClick(edit, Qt::Key_Return);
      k->scrDelta->setFocus();  // leaving the field
      QTest::qWait(20);
      k->cmbSelect->setFocus();
    }
    QCOMPARE(int(s.selectedFunction), 4);
    QVERIFY(!s.closeUp);
    QCOMPARE(s.GPosX, gx);
    QCOMPARE(s.GPosZ, gz);
    QCOMPARE(s.functionOrientation[2].alpha, orientation[2].alpha);
    QCOMPARE(Shot(frmGrafik), before);
    k->scrDelta->setFocus();
  }

  void keysTurnAndMoveEachViewOnItsOwn() {
    AppState& s = appState;
    const auto orientation = s.functionOrientation;
    const double dalpha = s.Dalpha, dz = s.DPosZ, gz = s.GPosZ, gy = s.GPosY;
    const QImage functions = Shot(frmGrafik);
    const QImage data = Shot(frmDaten);

    QTest::keyClick(frmGrafik, Qt::Key_Down);
    for (int f = 0; f < 4; ++f) QCOMPARE(s.functionOrientation[f].alpha, orientation[f].alpha + 5);
    QTest::keyClick(frmGrafik, Qt::Key_Up, Qt::ShiftModifier);
    QCOMPARE(s.functionOrientation[3].beta, orientation[3].beta - 5);
    QVERIFY(Shot(frmGrafik) != functions);
    QCOMPARE(Shot(frmDaten), data);

    QTest::keyClick(frmGrafik, Qt::Key_T);
    QTest::keyClick(frmGrafik, Qt::Key_Up);
    QTest::keyClick(frmGrafik, Qt::Key_Up, Qt::ShiftModifier);
    QCOMPARE(s.GPosZ, gz + 0.1);
    QCOMPARE(s.GPosY, gy + 0.1);
    // The shared mode: the data view moves too.
    QTest::keyClick(frmDaten, Qt::Key_Down);
    QCOMPARE(s.DPosZ, dz - 0.1);
    QCOMPARE(s.Dalpha, dalpha);
    QVERIFY(Shot(frmDaten) != data);
    QTest::keyClick(frmDaten, Qt::Key_R, Qt::ShiftModifier);
    QTest::keyClick(frmDaten, Qt::Key_Left);
    QCOMPARE(s.Dgamma, -9.0 - 5);
    QCOMPARE(s.GPosZ, gz + 0.1);

    // Each context holds its own camera, equal to its position fields.
    const auto g = CameraInMatrix(frmGrafik, s.rcGrafik);
    const auto d = CameraInMatrix(frmDaten, s.rcDaten);
    QVERIFY(std::abs(g[0] - s.GPosX) < 1e-5 && std::abs(g[1] - s.GPosY) < 1e-5 && std::abs(g[2] - s.GPosZ) < 1e-5);
    QVERIFY(std::abs(d[0] - s.DPosX) < 1e-5 && std::abs(d[1] - s.DPosY) < 1e-5 && std::abs(d[2] - s.DPosZ) < 1e-5);
  }

  void endeEndsTheProgram() {
    QTest::mouseClick(k->butEnde, Qt::LeftButton);
    QVERIFY(frmGrafik == nullptr);
    QVERIFY(frmDaten == nullptr);
    QVERIFY(!k->isVisible());
    DestroyForms();
  }
};

QTEST_MAIN(PanelTest)
#include "tst_panel.moc"
