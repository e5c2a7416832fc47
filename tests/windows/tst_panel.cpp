// The control panel, the keys of the two views, the settings and the info
// window, driven as a user would; then the program state, the labels, the
// captions and the pixels shown.
#include <GL/gl.h>

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSlider>
#include <QWheelEvent>
#include <climits>
#include <cmath>

#include "windows/About.h"
#include "windows/Daten.h"
#include "windows/Grafik.h"
#include "windows/Kontrolle.h"
#include "windows/program_windows.h"
#include "windows/Prefs.h"
#include "windows/application.h"
#include "pixels.h"
#include "widgets.h"

using namespace pixels;
using widgets::ClickBox;
using widgets::Settings;
using widgets::Type;

namespace {

QImage Shot(QWindow* view) {
  QTest::qWait(30);
  return Grab(view);
}

// Whether the view's model-view matrix holds the camera translation (x, y, z).
bool CameraAt(GlView* view, GlContext rc, double x, double y, double z) {
  view->MakeCurrent(rc);
  GLdouble m[16];
  glGetDoublev(GL_MODELVIEW_MATRIX, m);
  return std::abs(m[12] - x) < 1e-5 && std::abs(m[13] - y) < 1e-5 && std::abs(m[14] - z) < 1e-5;
}

const QStringList kStartSettings{"0.03", "0.1", "0.02", "5", "10"};

}  // namespace

class PanelTest : public QObject {
  Q_OBJECT
  TfrmKontrolle* k = nullptr;
  TfrmPrefs* p = nullptr;
  widgets::BoxCloser boxes;

  // Picks an item from the open list with the mouse.
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
  void ExpectLabels(const QString& delta, const QString& level, const QString& current) {
    QCOMPARE(k->labDelta->text(), "Delta: " + delta);
    QCOMPARE(k->labLevel->text(), "Level: " + level);
    QCOMPARE(k->labaktuellesDelta->text(), "aktuelles Delta: " + current);
  }
  QList<QLineEdit*> Fields() { return {p->txthNear, p->txthFar, p->txthDat, p->txtRotStep, p->txtSteps}; }
  QStringList Texts() {
    QStringList t;
    for (QLineEdit* f : Fields()) t << f->text();
    return t;
  }
  void TypeAll(const QStringList& texts) {
    for (int i = 0; i < texts.size(); ++i) Type(Fields()[i], texts[i]);
  }
  void OpenPrefs() {
    QTest::mouseClick(k->butPrefs, Qt::LeftButton);
    QVERIFY(QTest::qWaitForWindowExposed(p));
  }

private slots:
  void initTestCase() {
    // Labels and settings must show and read decimal points under a German locale too.
    QVERIFY2(widgets::GermanLocaleInForceIfAsked(), "precondition: de_DE.UTF-8 must exist and be in force");
    InitialiseToolkit(*qApp);
    CreateForms();
    k = frmKontrolle;
    p = frmPrefs;
    QVERIFY(QTest::qWaitForWindowExposed(k));
    QVERIFY(QTest::qWaitForWindowExposed(frmGrafik));
    QVERIFY(QTest::qWaitForWindowExposed(frmDaten));
    QVERIFY(!p->isVisible());
    ExpectLabels("0.4", "6", "0.4");
    QCOMPARE(frmGrafik->title(), QString("Skalierungsfunktion und Wavelets"));
  }

  // Each case starts from the start switches and the overview.
  void init() {
    boxes.texts.clear();
    if (!appState.filledSurfaces) ClickBox(k->cbxDrahtgitter);
    if (!appState.onlyData) ClickBox(k->cbxOnlyData);
    if (!appState.zoom) ClickBox(k->cbxZoom);
    if (appState.closeUp) k->cmbSelectChange(0);
  }

  void deltaDrivesTheFunctionViewAndBerechneTheDataView() {
    const QImage data = Shot(frmDaten), functions = Shot(frmGrafik);
    QScrollBar* bar = k->scrDelta;
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() - 5, bar->height() / 2));  // right arrow
    QCOMPARE(appState.delta, 0.41);
    ExpectLabels("0.41", "6", "0.4");
    QCOMPARE(frmGrafik->title(), QString("Keine Nullen"));
    QTest::keyClick(bar, Qt::Key_End);
    ExpectLabels("1", "6", "0.4");
    QTest::keyClick(bar, Qt::Key_Home);
    QCOMPARE(appState.delta, 0.0);
    ExpectLabels("0", "6", "0.4");
    QCOMPARE(frmGrafik->title(), QString("Nullmatrix"));
    QVERIFY(Shot(frmGrafik) != functions);  // piecewise constant functions now
    QCOMPARE(Shot(frmDaten), data);         // the data side waits for "Berechne!"
    QTest::mouseClick(k->butBerechne, Qt::LeftButton);
    QCOMPARE(appState.currentDelta, 0.0);
    ExpectLabels("0", "6", "0");
    QVERIFY(Shot(frmDaten) != data);  // the same samples with box functions
    bar->setValue(40);
    QTest::mouseClick(k->butBerechne, Qt::LeftButton);
    ExpectLabels("0.4", "6", "0.4");
    QCOMPARE(Shot(frmDaten), data);
    QCOMPARE(Shot(frmGrafik), functions);
  }

  // Focused, the arrow keys step by 0.01 (Right: larger) and Page Up/Down by 0.1; the wheel
  // steps by 0.01 a notch; a click beside the handle pages by 0.1.
  void deltaScrollBarKeysWheelAndPages() {
    QScrollBar* bar = k->scrDelta;
    QCOMPARE(bar->value(), 40);
    QCOMPARE(bar->minimum(), 0);
    QCOMPARE(bar->maximum(), 100);
    bar->setFocus();
    QTest::keyClick(bar, Qt::Key_Right);
    ExpectLabels("0.41", "6", "0.4");
    QTest::keyClick(bar, Qt::Key_Left);
    QTest::keyClick(bar, Qt::Key_Left);
    QCOMPARE(appState.delta, 0.39);
    QTest::keyClick(bar, Qt::Key_PageUp);
    QCOMPARE(bar->value(), 49);
    QTest::keyClick(bar, Qt::Key_PageDown);
    QTest::keyClick(bar, Qt::Key_PageDown);
    ExpectLabels("0.29", "6", "0.4");
    const QPointF centre(bar->width() / 2.0, bar->height() / 2.0);
    const auto wheel = [&](int angle) {
      QWheelEvent e(centre, bar->mapToGlobal(centre), QPoint(), QPoint(0, angle), Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
      QCoreApplication::sendEvent(bar, &e);
    };
    wheel(-120);  // backward: one step towards the end
    QCOMPARE(bar->value(), 30);
    wheel(120);
    wheel(120);
    QCOMPARE(bar->value(), 28);
    wheel(60);  // half a notch is not yet a step
    QCOMPARE(bar->value(), 28);
    wheel(60);
    QCOMPARE(bar->value(), 27);
    // Beside the handle: a page towards the click.
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() - 24, bar->height() / 2));
    QCOMPARE(bar->value(), 37);
    QCOMPARE(appState.delta, 0.37);
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(20, bar->height() / 2));
    QCOMPARE(bar->value(), 27);
    bar->setValue(40);
    QCOMPARE(appState.currentDelta, 0.4);
  }

  // "Ansichten" shows both closed views again where they were.
  void ansichtenBringsClosedViewsBack() {
    QCOMPARE(k->butAnsichten->text(), QString("Ansichten"));
    const QRect grafik = frmGrafik->geometry(), daten = frmDaten->geometry();
    frmGrafik->close();
    frmDaten->close();
    QTRY_VERIFY(!frmGrafik->isVisible() && !frmDaten->isVisible());
    QTest::mouseClick(k->butAnsichten, Qt::LeftButton);
    QVERIFY(QTest::qWaitForWindowExposed(frmGrafik));
    QVERIFY(QTest::qWaitForWindowExposed(frmDaten));
    QTRY_COMPARE(frmGrafik->geometry(), grafik);
    QTRY_COMPARE(frmDaten->geometry(), daten);
    // Drawn again, with their pictures.
    QVERIFY(Count(Shot(frmDaten), IsGreen) > 1000);
    // The button sits in free space: within the panel, clear of every other control.
    const QRect own = k->butAnsichten->geometry();
    QVERIFY(k->rect().contains(own));
    for (QWidget* w : k->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      if (w != k->butAnsichten && w->isVisible()) QVERIFY2(!w->geometry().intersects(own), qPrintable(w->objectName() + " " + QString::number(w->x())));
    }
  }

  void levelTrackBarAndOnlyData() {
    QSlider* level = k->trbLevel;
    QSignalSpy changes(level, &QSlider::valueChanged);
    const QImage six = Shot(frmDaten);
    QTest::keyClick(level, Qt::Key_Home);  // 6 -> 2 in one change
    QCOMPARE(changes.count(), 1);
    QCOMPARE(appState.chosenLevel, 2);
    ExpectLabels("0.4", "2", "0.4");
    const QImage two = Shot(frmDaten);
    QCOMPARE(Count(two, IsBlue), 0);  // the approximation alone
    ClickBox(k->cbxOnlyData);                     // the whole layout: coloured detail blocks
    QVERIFY(!appState.onlyData);
    QImage img = Shot(frmDaten);
    QVERIFY2(Count(img, IsBlue) > 2000 && Count(img, IsRed) > 2000, "detail blocks");
    QTest::keyClick(level, Qt::Key_End);
    ExpectLabels("0.4", "6", "0.4");
    img = Shot(frmDaten);
    QVERIFY(Count(img, IsBlue) == 0 && Count(img, IsRed) == 0);  // no detail blocks at level 6
    // The trip moved the heights by about 0.02: far nearer the start than level 2 was.
    QVERIFY2(PictureDistance(img, six) * 10 < PictureDistance(two, six),
             qPrintable(QString("%1 vs %2").arg(PictureDistance(img, six)).arg(PictureDistance(two, six))));
    QTest::keyClick(level, Qt::Key_Left);
    QCOMPARE(k->labLevel->text(), QString("Level: 5"));
    QTest::keyClick(level, Qt::Key_Right);
    QCOMPARE(appState.chosenLevel, 6);
  }

  void zoomAndDrahtgitterRedraw() {
    const QImage functions = Shot(frmGrafik), data = Shot(frmDaten);
    ClickBox(k->cbxZoom);
    QVERIFY(!appState.zoom);
    QVERIFY(Shot(frmGrafik) != functions);
    QCOMPARE(Shot(frmDaten), data);
    ClickBox(k->cbxZoom);
    QCOMPARE(Shot(frmGrafik), functions);
    // Wire frames: fewer red pixels, and the background shows through the data mesh.
    const QRect surface = BoundingBox(data, IsGreen);
    const int whites = Count(data, surface, IsWhite);
    ClickBox(k->cbxDrahtgitter);
    QVERIFY(!appState.filledSurfaces);
    QVERIFY2(Count(Shot(frmGrafik), IsRed) * 2 < Count(functions, IsRed), "outlines only");
    QVERIFY2(Count(Shot(frmDaten), surface, IsWhite) > whites + whites / 4, "outlines only");
    ClickBox(k->cbxDrahtgitter);
    QVERIFY(appState.filledSurfaces);
    QCOMPARE(Shot(frmGrafik), functions);
    QCOMPARE(Shot(frmDaten), data);
  }

  // The close-up chosen with the mouse, as the real contexts hold and show it; then a
  // key in the shared mode moves the data view's own camera alone. The exact state
  // changes are checked in the render tests, the key paths in tst_session.
  void closeUpAndKeysMoveOnlyTheirOwnGlCamera() {
    AppState& s = appState;
    const QImage overview = Shot(frmGrafik), data = Shot(frmDaten);
    const double dx = s.DPosX, dy = s.DPosY, dz = s.DPosZ;
    ChooseItem(1);  // "Skalierungsfunktion"
    QVERIFY(s.closeUp && int(s.selectedFunction) == 0);
    QVERIFY(CameraAt(frmGrafik, s.rcGrafik, 1.4, -1.3, -2.2));
    // Alone, centred and several times as large as in its quarter of the overview.
    const QImage close = Shot(frmGrafik);
    const QRect box = BoundingBox(close, IsRed);
    const QRect before = BoundingBox(overview.copy(Quadrants(overview)[0]), IsRed);
    QVERIFY2(box.width() * box.height() > 3 * before.width() * before.height(), "close up");
    QVERIFY2(std::abs(box.center().x() - close.width() / 2) < close.width() / 5 &&
                 std::abs(box.center().y() - close.height() / 2) < close.height() / 5,
             "in the middle");
    QCOMPARE(Shot(frmDaten), data);
    QTest::keyClick(frmGrafik, Qt::Key_T);
    QTest::keyClick(frmDaten, Qt::Key_Down);
    QTest::keyClick(frmDaten, Qt::Key_R, Qt::ShiftModifier);
    QVERIFY(Shot(frmDaten) != data);
    QCOMPARE(Shot(frmGrafik), close);
    QVERIFY(CameraAt(frmGrafik, s.rcGrafik, 1.4, -1.3, -2.2));
    QVERIFY(CameraAt(frmDaten, s.rcDaten, dx, dy, dz - 0.1));
    ChooseItem(0);  // "Alle Funktionen"
    QVERIFY(!s.closeUp && CameraAt(frmGrafik, s.rcGrafik, 0.0, 0.1, -4.7));
    const QImage all = Shot(frmGrafik);
    for (const QRect& q : Quadrants(all)) QVERIFY(Count(all, q, IsRed) > 300);
  }

  void typedComboTextChangesNothing() {
    const AppState& s = appState;
    k->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(k));
    const QImage before = Shot(frmGrafik);
    const auto orientation = s.functionOrientation;
    const double gx = s.GPosX, gz = s.GPosZ;
    QLineEdit* edit = k->cmbSelect->lineEdit();
    for (const char* text : {"w", "Wavelet 3", "skalierungsfunktion", "Unsinn"}) {
      k->cmbSelect->setFocus();
      QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
      QTest::keyClicks(edit, text);
      QTest::keyClick(edit, Qt::Key_Return);
      k->scrDelta->setFocus();  // leaving the field
      QTest::qWait(20);
    }
    QVERIFY(int(s.selectedFunction) == 4 && !s.closeUp);
    QCOMPARE(s.GPosX, gx);
    QCOMPARE(s.GPosZ, gz);
    QCOMPARE(s.functionOrientation[2].alpha, orientation[2].alpha);
    QCOMPARE(Shot(frmGrafik), before);
  }

  void infoWindowShowsNameAndDescription() {
    QTest::mouseClick(k->butAbout, Qt::LeftButton);
    QVERIFY(QTest::qWaitForWindowExposed(frmAbout));
    QCOMPARE(frmAbout->windowTitle(), QString("Info"));
    QCOMPARE(frmAbout->Label1->text(), QString("Veltra"));
    QCOMPARE(frmAbout->Label2->text() + frmAbout->Label3->text(),
             QString("Dient der Veranschaulichung einer zweidimensionalen Multiskalenanalyse mit BLaC-Wavelets."));
    QVERIFY(!frmAbout->Label4->text().isEmpty() && !frmAbout->Label5->text().isEmpty());
    QTest::mouseClick(k->butAbout, Qt::LeftButton);  // modeless: the panel still works
    k->scrDelta->setValue(41);
    QCOMPARE(k->labDelta->text(), QString("Delta: 0.41"));
    k->scrDelta->setValue(40);
    frmAbout->close();
    QVERIFY(!frmAbout->isVisible() && k->isVisible());
  }

  // The fields show the program state on every opening; "Abbrechen" keeps everything.
  void settingsOpenFilledAndAbbrechenKeepsThem() {
    const Settings before = Settings::Now();
    OpenPrefs();
    QCOMPARE(p->windowTitle(), QString("Einstellungen"));
    QCOMPARE(Texts(), kStartSettings);
    TypeAll({"0.7", "0.5", "0.3", "12", "3"});
    OpenPrefs();  // unconfirmed edits are replaced
    QCOMPARE(Texts(), kStartSettings);
    TypeAll({"0.7", "0.5", "0.3", "12", "3"});
    QTest::mouseClick(p->butAbbrechen, Qt::LeftButton);
    QVERIFY(!p->isVisible());
    QVERIFY(Settings::Now() == before);
    OpenPrefs();
    QCOMPARE(Texts(), kStartSettings);
    QTest::mouseClick(p->butAbbrechen, Qt::LeftButton);
  }

  void settingsOkTakesTheTypedValuesOver() {
    OpenPrefs();
    TypeAll({" 0.5abc", "0.2", "0.04", "2.5", "4"});
    QTest::mouseClick(p->butOK, Qt::LeftButton);
    QVERIFY(boxes.texts.isEmpty() && !p->isVisible());
    QVERIFY((Settings::Now() == Settings{0.5, 0.2, 0.04, 2, 4}));
    OpenPrefs();
    QCOMPARE(Texts(), (QStringList{"0.5", "0.2", "0.04", "2", "4"}));
    const double alpha = appState.Dalpha;
    QTest::keyClick(frmDaten, Qt::Key_Down);  // the next rotation key uses the new step
    QCOMPARE(appState.Dalpha, alpha + 2);
    // The rotation step may be any whole number; a huge one is clamped.
    Type(p->txtRotStep, "99999999999999999999");
    QTest::mouseClick(p->butOK, Qt::LeftButton);
    QCOMPARE(appState.rotStep, double(INT_MAX));
    OpenPrefs();
    TypeAll({"0.03", "0.1", "0.02", "-7", "10"});
    QTest::mouseClick(p->butOK, Qt::LeftButton);
    QVERIFY(boxes.texts.isEmpty());
    QVERIFY((Settings::Now() == Settings{0.03, 0.1, 0.02, -7, 10}));
  }

  void settingsRefuseUnusableValuesNamingTheField_data() {
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("named");
    for (const char* text : {"0,05", "abc", "", "0", "-1", "1e-300", "nan", "inf", "1e308"})
      QTest::addRow("near '%s'", text) << 0 << text << QString("naher Betrachtung");
    QTest::addRow("far '0'") << 1 << "0" << QString("entfernter Betrachtung");
    QTest::addRow("data '0,02'") << 2 << "0,02" << QString("den Daten");
    for (const char* text : {"2.5", "0", "1e9", "-1", "nan"})
      QTest::addRow("steps '%s'", text) << 4 << text << QString("Zwischenschritte");
  }

  void settingsRefuseUnusableValuesNamingTheField() {
    QFETCH(int, field);
    QFETCH(QString, text);
    QFETCH(QString, named);
    const Settings before = Settings::Now();
    OpenPrefs();
    Type(p->txtRotStep, "9");  // a valid edit that must not be taken over either
    Type(Fields()[field], text);
    QTest::mouseClick(p->butOK, Qt::LeftButton);
    QCOMPARE(boxes.texts.size(), 1);
    const QString expected =
        field == 4 ? QString::fromUtf8("Ungültige Anzahl Zwischenschritte: bitte eine ganze Zahl von 1 bis 100 eingeben.")
                   : QString::fromUtf8("Ungültige Schrittweite bei „%1“: bitte eine Zahl von 0.005 bis 1 eingeben "
                                       "(mit Punkt als Dezimaltrennzeichen).").arg(named);
    QCOMPARE(boxes.texts[0], expected);
    // The window stays open with what was typed, and nothing is taken over.
    QVERIFY(p->isVisible());
    QCOMPARE(Fields()[field]->text(), text);
    QVERIFY(Settings::Now() == before);
    QTest::mouseClick(p->butAbbrechen, Qt::LeftButton);
  }

  void endeEndsTheProgram() {
    QTest::mouseClick(k->butEnde, Qt::LeftButton);
    QVERIFY(frmGrafik == nullptr && frmDaten == nullptr && !k->isVisible());
    DestroyForms();
  }
};

QTEST_MAIN(PanelTest)
#include "tst_panel.moc"
