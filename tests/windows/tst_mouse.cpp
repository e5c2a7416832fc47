// The mouse in both views, pictures to the clipboard and to files, drops, the
// help window on F1 and the keys of the settings and info windows, on the real
// windows: what the fields, the views' GL matrices and the screen show after each.
// The arithmetic of every gesture is checked in mouse_navigation_test.
#include <GL/gl.h>

#include <QClipboard>
#include <QDropEvent>
#include <QFileDialog>
#include <QImageReader>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QWheelEvent>
#include <cmath>
#include <functional>

#include "windows/About.h"
#include "windows/Daten.h"
#include "windows/Grafik.h"
#include "windows/Help.h"
#include "windows/Kontrolle.h"
#include "windows/program_windows.h"
#include "windows/Prefs.h"
#include "windows/application.h"
#include "pixels.h"
#include "widgets.h"

using namespace pixels;

namespace {

QImage Shot(QWindow* view) {
  QTest::qWait(30);
  return Grab(view);
}

// Whether the view's own model-view matrix is the camera translation (x, y, z) alone.
bool CameraAt(GlView* view, double x, double y, double z) {
  view->MakeCurrent(view == frmGrafik ? appState.rcGrafik : appState.rcDaten);
  GLdouble m[16];
  glGetDoublev(GL_MODELVIEW_MATRIX, m);
  const double want[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1};
  for (int i = 0; i < 16; ++i)
    if (std::abs(m[i] - want[i]) > 1e-5) return false;
  return true;
}

bool Near(double a, double b) { return std::abs(a - b) < 1e-9; }
bool DatenAt(double x, double y, double z) {
  const AppState& s = appState;
  return Near(s.DPosX, x) && Near(s.DPosY, y) && Near(s.DPosZ, z) && CameraAt(frmDaten, x, y, z);
}
bool Same(const Orientation& a, const Orientation& b) { return a.alpha == b.alpha && a.beta == b.beta && a.gamma == b.gamma; }

// Presses at `from`, moves through `path` and lets go at its end, the modifiers held throughout.
void Drag(QWindow* w, Qt::MouseButton button, QPoint from, std::initializer_list<QPoint> path,
          Qt::KeyboardModifiers modifiers = {}) {
  QTest::mousePress(w, button, modifiers, from);
  QPoint at = from;
  for (const QPoint& p : path) QTest::mouseEvent(QTest::MouseMove, w, Qt::NoButton, modifiers, at = p);
  QTest::mouseRelease(w, button, modifiers, at);
}

void Wheel(QWindow* w, QPoint angle, QPoint pixels = {}) {
  const QPointF at(100, 100);
  QWheelEvent e(at, w->mapToGlobal(at), pixels, angle, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(w, &e);
}

QSize DeviceSize(GlView* v) { return QSize(v->PixelWidth(), v->PixelHeight()); }
QImage Clipboard() { return QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32); }

// What the screen can show of the view: the views sit one pixel above the
// screen's top edge, and a screen grab has no pixels there.
QImage Visible(const QImage& img, QWindow* view) {
  const QRect shown = view->geometry().intersected(view->screen()->geometry()).translated(-view->position());
  const qreal r = view->devicePixelRatio();
  return img.copy(QRect(shown.topLeft() * r, shown.size() * r));
}

// A right click without moving; the menu it opened, or null.
QMenu* OpenMenu(GlView* view) {
  QTest::mouseClick(view, Qt::RightButton, {}, {100, 100});
  (void)QTest::qWaitFor([] { return QApplication::activePopupWidget() != nullptr; }, 2000);
  return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}

// Answers the next file dialog; `proposed` is the file it offered.
class DialogAnswer : public QObject {
public:
  QString proposed;
  explicit DialogAnswer(std::function<void(QFileDialog*)> answer) {
    connect(&timer_, &QTimer::timeout, this, [this, answer] {
      if (auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
        timer_.stop();
        proposed = d->selectedFiles().value(0);
        answer(d);
      }
    });
    timer_.start(20);
  }

private:
  QTimer timer_;
};

}  // namespace

class MouseTest : public QObject {
  Q_OBJECT
  QImage firstGrafik, firstDaten;  // the views' first frames
  widgets::BoxCloser boxes;
  QTemporaryDir dir;

private slots:
  void initTestCase() {
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QVERIFY(dir.isValid());
    InitialiseToolkit(*qApp);
    CreateForms();
    QVERIFY(QTest::qWaitForWindowExposed(frmGrafik));
    QVERIFY(QTest::qWaitForWindowExposed(frmDaten));
    firstGrafik = Shot(frmGrafik);
    firstDaten = Shot(frmDaten);
    QVERIFY(Count(firstGrafik, IsRed) > 2000 && Count(firstDaten, IsGreen) > 5000);
  }

  void init() { boxes.texts.clear(); }

  void mouseDrivesBothViewsAndADoubleClickGivesTheFirstFrameBack() {
    AppState& s = appState;
    QTest::keyClick(frmDaten, Qt::Key_T);  // the mouse does not care about the mode
    // Left: 25 px right in three moves turn by two and a half steps about z; with Shift, up about y.
    Drag(frmDaten, Qt::LeftButton, {100, 300}, {{110, 300}, {120, 300}, {125, 300}});
    Drag(frmDaten, Qt::LeftButton, {100, 300}, {{100, 290}}, Qt::ShiftModifier);
    QVERIFY(s.Dalpha == -60 && s.Dbeta == 8 - 5 && s.Dgamma == -9 + 12.5);
    QVERIFY(DatenAt(0, 0.2, -1.8));
    QVERIFY(Shot(frmDaten) != firstDaten);
    // Right: a wobble within the click slop moves nothing; past it, the whole
    // way from the press at once, and the picture follows the pointer.
    const QRect before = BoundingBox(Shot(frmDaten), IsGreen);
    QTest::mousePress(frmDaten, Qt::RightButton, {}, {200, 200});
    QTest::mouseMove(frmDaten, {202, 201});
    QVERIFY(DatenAt(0, 0.2, -1.8));
    QTest::mouseMove(frmDaten, {240, 260});
    QTest::mouseRelease(frmDaten, Qt::RightButton, {}, {240, 260});
    QVERIFY(QApplication::activePopupWidget() == nullptr);  // a drag opens no menu
    QVERIFY(DatenAt(0.2, -0.1, -1.8));
    const QRect after = BoundingBox(Shot(frmDaten), IsGreen);
    QVERIFY2(after.center().x() > before.center().x() + 20 && after.center().y() > before.center().y() + 30,
             "the picture moved right and down");
    Drag(frmDaten, Qt::MiddleButton, {300, 300}, {{290, 300}, {280, 300}});  // at once
    QVERIFY(DatenAt(0.1, -0.1, -1.8));
    // The wheel: a notch forward is one Up press of translate mode; pixels count as in a drag.
    Wheel(frmDaten, {0, 120});
    Wheel(frmDaten, {0, 0}, {0, 40});
    QVERIFY(DatenAt(0.1, -0.1, -1.5));
    QTest::keyClick(frmDaten, Qt::Key_Up);  // keys in between act on the same fields and matrix
    QVERIFY(DatenAt(0.1, -0.1, -1.4));
    QCOMPARE(s.navMode, NavMode::Translate);
    QTest::mouseDClick(frmDaten, Qt::LeftButton, {}, {150, 150});
    QVERIFY(s.Dalpha == -60 && s.Dbeta == 8 && s.Dgamma == -9);
    QVERIFY(DatenAt(0, 0.2, -1.8));
    QCOMPARE(Shot(frmDaten), firstDaten);
    QCOMPARE(s.navMode, NavMode::Translate);
    QTest::keyClick(frmDaten, Qt::Key_R);

    // The function view: all four turn; the double click gives the first frame back.
    const Orientation start[4] = {{-60, 10, -6}, {-56, -6, -34}, {-84, 1, -20}, {-84, -2, -32}};
    Drag(frmGrafik, Qt::LeftButton, {100, 100}, {{110, 100}});
    QVERIFY(s.functionOrientation[0].gamma == -6 + 5 && s.functionOrientation[3].gamma == -32 + 5);
    Wheel(frmGrafik, {0, -120});
    QVERIFY(Shot(frmGrafik) != firstGrafik);
    QTest::mouseDClick(frmGrafik, Qt::LeftButton, {}, {150, 150});
    for (int f = 0; f < 4; ++f) QVERIFY(Same(s.functionOrientation[f], start[f]));
    QVERIFY(CameraAt(frmGrafik, -0.1, 0.2, -4.7));
    QCOMPARE(Shot(frmGrafik), firstGrafik);
    // Close-up of wavelet 1: turned alone; the double click goes back to where
    // the close-up began and keeps the selection.
    frmKontrolle->cmbSelectChange(2);
    const double beta = s.functionOrientation[1].beta;
    Drag(frmGrafik, Qt::LeftButton, {100, 100}, {{100, 120}}, Qt::ShiftModifier);
    QVERIFY(s.functionOrientation[1].beta == beta + 10 && Same(s.functionOrientation[0], start[0]));
    QTest::mouseDClick(frmGrafik, Qt::LeftButton, {}, {150, 150});
    QVERIFY(Same(s.functionOrientation[1], s.closeUpOrientation));
    QVERIFY(s.GPosX == -1.2 && s.GPosY == -1.2 && s.GPosZ == -2.2 && CameraAt(frmGrafik, -1.2, -1.2, -2.2));
    QVERIFY(s.closeUp && int(s.selectedFunction) == 1);
    // "Alle Funktionen" stops the camera a little off its start.
    frmKontrolle->cmbSelectChange(0);
    QVERIFY(Shot(frmGrafik) != firstGrafik);
    QTest::mouseDClick(frmGrafik, Qt::LeftButton, {}, {150, 150});
    QCOMPARE(Shot(frmGrafik), firstGrafik);
    QCOMPARE(Shot(frmDaten), firstDaten);
  }

  void picturesToTheClipboardAndToFiles() {
    Drag(frmGrafik, Qt::LeftButton, {100, 100}, {{130, 110}});  // not the start picture
    const QImage functions = Shot(frmGrafik);
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(frmGrafik, Qt::Key_C, Qt::ControlModifier);
    QImage clip = Clipboard();
    QCOMPARE(clip.size(), DeviceSize(frmGrafik));
    QCOMPARE(Visible(clip, frmGrafik), Visible(functions, frmGrafik));
    QCOMPARE(Shot(frmGrafik), functions);  // copying changes nothing

    // The right-click menu of the data view copies its picture.
    QMenu* menu = OpenMenu(frmDaten);
    QVERIFY(menu != nullptr);
    QCOMPARE(menu->actions().size(), 2);
    QCOMPARE(menu->actions()[0]->text(), QString("Bild kopieren\tStrg+C"));
    QCOMPARE(menu->actions()[1]->text(), QString::fromUtf8("Bild speichern…\tStrg+S"));
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(menu->actions()[0]).center());
    QTRY_VERIFY(QApplication::activePopupWidget() == nullptr);
    clip = Clipboard();
    QCOMPARE(clip.size(), DeviceSize(frmDaten));
    const QImage data = Shot(frmDaten);
    QCOMPARE(Visible(clip, frmDaten), Visible(data, frmDaten));
    QCOMPARE(data, firstDaten);  // the click moved nothing

    // Files: PNG, or JPEG by the name's ending.
    const QString png = dir.filePath("daten.png"), jpeg = dir.filePath("daten.JPG"), other = dir.filePath("daten.bild");
    for (const QString& path : {png, jpeg, other}) QVERIFY(frmDaten->SavePicture(path));
    QCOMPARE(Visible(QImage(png).convertToFormat(QImage::Format_RGB32), frmDaten), Visible(data, frmDaten));
    QCOMPARE(QImageReader(jpeg).format(), QByteArray("jpeg"));
    QCOMPARE(QImage(jpeg).size(), DeviceSize(frmDaten));
    QCOMPARE(QImageReader(other).format(), QByteArray("png"));
    // Into a folder that does not exist: the German message, and nothing else.
    const QString missing = dir.filePath("fehlt/daten.png");
    QVERIFY(!frmDaten->SavePicture(missing));
    QCOMPARE(boxes.texts, QStringList{"Das Bild konnte nicht gespeichert werden: " + QDir::toNativeSeparators(missing)});
    QCOMPARE(Shot(frmDaten), data);

    // Ctrl+S proposes the view's name and writes where the dialog says.
    const QString chosen = dir.filePath("gewaehlt.png");
    {
      DialogAnswer answer([&](QFileDialog* d) {
        if (QWidget* field = d->focusWidget()) field->clearFocus();  // a focused name field keeps its text
        d->selectFile(chosen);
        static_cast<QDialog*>(d)->accept();  // through the public slot
      });
      QTest::keyClick(frmDaten, Qt::Key_S, Qt::ControlModifier);
      QCOMPARE(QFileInfo(answer.proposed).fileName(), QString("veltra-daten.png"));
    }
    QCOMPARE(QImage(chosen).size(), DeviceSize(frmDaten));
    {  // from the function view's menu, cancelled
      DialogAnswer answer([](QFileDialog* d) { d->reject(); });
      menu = OpenMenu(frmGrafik);
      QVERIFY(menu != nullptr);
      QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(menu->actions()[1]).center());
      QTRY_COMPARE(QFileInfo(answer.proposed).fileName(), QString("veltra-funktionen.png"));
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 4);
    QTest::mouseDClick(frmGrafik, Qt::LeftButton, {}, {150, 150});
  }

  void settingsAndInfoWindowKeys() {
    TfrmPrefs* p = frmPrefs;
    auto edit = [p](QLineEdit* field, const char* text) {
      p->Open();
      widgets::Type(field, text);
    };
    edit(p->txtRotStep, "9");
    QTest::keyClick(p->txtRotStep, Qt::Key_Escape);  // "Abbrechen"
    QVERIFY(!p->isVisible() && appState.rotStep == 5);
    edit(p->txtRotStep, "9");
    QTest::keyClick(p->txtRotStep, Qt::Key_Return);  // "OK"
    QVERIFY(!p->isVisible() && appState.rotStep == 9);
    // Enter checks as "OK" does: a refused value keeps the window open.
    edit(p->txthNear, "0");
    widgets::Type(p->txtRotStep, "5");
    QTest::keyClick(p->txthNear, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(boxes.texts, QStringList{QString::fromUtf8(
                              "Ungültige Schrittweite bei „naher Betrachtung“: bitte eine Zahl von 0.005 bis 1 "
                              "eingeben (mit Punkt als Dezimaltrennzeichen).")});
    QVERIFY(p->isVisible() && appState.rotStep == 9);
    QTest::keyClick(p->butAbbrechen, Qt::Key_Return);  // on a focused button: that button
    QVERIFY(!p->isVisible() && appState.rotStep == 9);
    edit(p->txtRotStep, "5");
    QTest::keyClick(p, Qt::Key_Return);
    QVERIFY(!p->isVisible() && appState.rotStep == 5);

    frmKontrolle->butAboutClick();
    TfrmAbout* a = frmAbout;
    QVERIFY(QTest::qWaitForWindowExposed(a));
    QCOMPARE(a->size(), QSize(377, 161));
    // The first line leaves the left margin free on the right too, as drawn.
    const QImage info = Grab(a->windowHandle());
    const QRect ink = BoundingBox(info.copy(0, 40, info.width(), 16), [](QRgb c) { return qGray(c) < 100; });
    QVERIFY2(ink.left() >= 24 && info.width() - 1 - ink.right() >= ink.left() - 2,
             qPrintable(QString("ink from %1 to %2").arg(ink.left()).arg(ink.right())));
    QCOMPARE(a->Label3->pos(), QPoint(24, 56));
    QCOMPARE(a->Label5->pos(), QPoint(24, 104));
    QTest::keyClick(a, Qt::Key_Escape);
    QVERIFY(!a->isVisible());
  }

  void f1OpensTheOneHelpWindowFromEveryWindow() {
    QVERIFY(frmHelp == nullptr);
    QTest::keyClick(frmDaten, Qt::Key_F1);
    QVERIFY(frmHelp != nullptr && frmHelp->isVisible());
    TfrmHelp* help = frmHelp;
    QCOMPARE(help->windowTitle(), QString("Hilfe"));
    const QString text = help->txtHilfe->toPlainText();
    for (const char* item : {"R\nDrehen", "T\nVerschieben", "← / →", "Umschalt + ↑ / ↓", "Strg+C", "Strg+S", "F1",
                             "Umschalt + Ziehen mit der linken Taste", "Ziehen mit der rechten oder mittleren Taste",
                             "Mausrad", "Doppelklick", "Rechtsklick", "Ansichten", "aktuelles Delta", "Zoom",
                             "Berechne!", "Unterrichtsablauf", "Summe der Quadrate",
                             "Koeffizienten mit Delta 0.4 berechnet, Synthese mit Delta 0.2"})
      QVERIFY2(text.contains(QString::fromUtf8(item)), item);
    // The help leaves the control panel free.
    QVERIFY(!help->frameGeometry().intersects(frmKontrolle->frameGeometry()));
    QTest::keyClick(help->txtHilfe, Qt::Key_Escape);
    QVERIFY(!help->isVisible());

    auto opensFrom = [help](const std::function<void()>& press) {
      help->hide();
      press();
      return frmHelp == help && help->isVisible();
    };
    QVERIFY(opensFrom([] { QTest::keyClick(frmGrafik, Qt::Key_F1); }));
    // The panel: through its window as the display delivers keys, and on a control.
    QVERIFY(opensFrom([] { QTest::keyClick(frmKontrolle->windowHandle(), Qt::Key_F1); }));
    QVERIFY(opensFrom([] { QTest::keyClick(frmKontrolle->cbxZoom, Qt::Key_F1); }));
    QVERIFY(appState.zoom);
    frmPrefs->Open();
    QVERIFY(opensFrom([] { QTest::keyClick(frmPrefs->txthNear, Qt::Key_F1); }));
    QVERIFY(frmPrefs->isVisible());
    QTest::keyClick(frmPrefs, Qt::Key_Escape);
    {
      QWidget later;  // a window made after the start
      later.show();
      QVERIFY(QTest::qWaitForWindowExposed(&later));
      QVERIFY(opensFrom([&later] { QTest::keyClick(&later, Qt::Key_F1); }));
    }
    help->close();  // only hides it
    QVERIFY(frmHelp == help && !help->isVisible());
    QCOMPARE(Shot(frmGrafik), firstGrafik);
  }

  void dropsOfOneLocalFileReachTheSeam() {
    QMimeData one, two, web;
    one.setUrls({QUrl::fromLocalFile("/tmp/daten.csv")});
    two.setUrls({QUrl::fromLocalFile("/tmp/a.csv"), QUrl::fromLocalFile("/tmp/b.csv")});
    web.setUrls({QUrl("https://example.org/daten.csv")});
    auto accepted = [](const QMimeData* m, QEvent::Type type) {
      QDropEvent e(QPointF(50, 50), Qt::CopyAction, m, Qt::NoButton, Qt::NoModifier, type);
      QCoreApplication::sendEvent(frmDaten, &e);
      return e.isAccepted();
    };
    const auto wired = frmDaten->fileDropped;  // whatever the program does with a drop
    frmDaten->fileDropped = nullptr;
    QVERIFY(!accepted(&one, QEvent::DragMove));  // nobody to take it
    QStringList dropped;
    frmDaten->fileDropped = [&dropped](const std::string& path) { dropped << QString::fromStdString(path); };
    QVERIFY(accepted(&one, QEvent::DragMove));
    QVERIFY(!accepted(&two, QEvent::DragMove) && !accepted(&web, QEvent::DragMove) && !accepted(&two, QEvent::Drop));
    QVERIFY(dropped.isEmpty());
    QVERIFY(accepted(&one, QEvent::Drop));
    QCOMPARE(dropped, QStringList{"/tmp/daten.csv"});
    frmDaten->fileDropped = wired;
  }

  void cleanupTestCase() {
    frmKontrolle->butEndeClick();
    DestroyForms();
  }
};

QTEST_MAIN(MouseTest)
#include "tst_mouse.moc"
