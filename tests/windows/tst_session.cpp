// The real program in a separate process, used as a person at the desktop
// would: input reaches it through the X server only, what it shows is read
// back from the screen. "Ende" and closing the panel end it with status 0;
// closing a view only hides it.
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include "pixels.h"
#include "xwindows.h"

using namespace pixels;

namespace {

// Positions of controls in the client areas, as the windows lay them out.
struct Spot {
  int x, y;
};
constexpr Spot kDeltaRightArrow{24 + 145 - 5, 56 + 8}, kBerechne{328 + 32, 48 + 20}, kOnlyData{416 + 6, 56 + 8},
    kSelectText{536 + 30, 48 + 10}, kAbout{696 + 37, 13 + 12}, kPrefs{696 + 37, 45 + 12}, kEnde{696 + 36, 77 + 12},
    kPrefsNear{32 + 144 + 24, 24 + 24 + 10}, kPrefsRotStep{288 + 152 + 24, 24 + 24 + 10}, kPrefsOK{280 + 56, 176 + 12},
    kPrefsAbbrechen{408 + 56, 176 + 12};

void ClickIn(const xwin::Window& w, Spot s) {
  xwin::Click(w.x + s.x, w.y + s.y);
  QTest::qWait(150);
}

void Key(const xwin::Window& w, const char* key, unsigned modifiers = xwin::kNoModifier) {
  xwin::Key(w.id, key, modifiers);
  QTest::qWait(150);
}

// The window's client area on screen once the program has stopped drawing
// (a transition draws for a while; slow builds draw slowly).
QImage Screen(const xwin::Window& w) {
  auto grab = [&] {
    return QGuiApplication::primaryScreen()->grabWindow(0, w.x, w.y, w.width, w.height).toImage().convertToFormat(
        QImage::Format_RGB32);
  };
  QTest::qWait(200);
  QImage last = grab();
  for (int i = 0; i < 50; ++i) {
    QTest::qWait(200);
    QImage now = grab();
    if (now == last) break;
    last = now;
  }
  return last;
}

bool Viewable(const std::string& title) {
  const auto w = xwin::Find(title);
  return w && w->viewable;
}

}  // namespace

class SessionTest : public QObject {
  Q_OBJECT
  QProcess program;

  xwin::Window panel{}, data{}, functions{};
  QImage sampleAtStart;  // the data view of a start without a file

  // Returns once the program shows its three windows.
  void Start(const QStringList& arguments = {}) {
    program.setProgram(VELTRA_BINARY);
    program.setArguments(arguments);
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start();
    QVERIFY(program.waitForStarted(10000));
    QTRY_VERIFY_WITH_TIMEOUT(Viewable("Veltra") && Viewable("Daten") && Viewable("Skalierungsfunktion und Wavelets"),
                             30000);
    QTest::qWait(500);  // let the views draw once
    panel = *xwin::Find("Veltra");
    data = *xwin::Find("Daten");
    functions = *xwin::Find("Skalierungsfunktion und Wavelets");
  }

  void ExpectCleanExit() {
    QTRY_VERIFY_WITH_TIMEOUT(program.state() == QProcess::NotRunning, 30000);
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
  }

private slots:
  void closingAViewOnlyHidesItClosingThePanelEnds() {
    Start();
    sampleAtStart = Screen(data);
    for (const xwin::Window& view : {data, functions}) xwin::RequestClose(view.id);
    QTRY_VERIFY_WITH_TIMEOUT(!Viewable("Daten") && !Viewable("Skalierungsfunktion und Wavelets"), 5000);
    QTest::qWait(300);
    QCOMPARE(program.state(), QProcess::Running);
    QVERIFY(Viewable("Veltra"));
    xwin::RequestClose(panel.id);
    ExpectCleanExit();
  }

  void aWholeSessionEndsWithEndeAndStatusZero() {
    Start();
    const QImage dataAtStart = Screen(data);
    QVERIFY(Count(dataAtStart, IsGreen) > 5000);
    QCOMPARE(dataAtStart, sampleAtStart);  // each start shows the same

    // Delta: one step with the arrow, then down to 0 with the keyboard; the data view waits for "Berechne!".
    ClickIn(panel, kDeltaRightArrow);
    QTRY_VERIFY(Viewable("Keine Nullen"));
    Key(panel, "Home");
    QTRY_VERIFY(Viewable("Nullmatrix"));
    QCOMPARE(Screen(data), dataAtStart);
    ClickIn(panel, kBerechne);
    const QImage dataDelta0 = Screen(data);  // the samples with box functions
    QVERIFY(dataDelta0 != dataAtStart);

    // The level: from the scroll bar to the track bar, down to 2 in one jump.
    ClickIn(panel, kDeltaRightArrow);  // the focus back on the scroll bar
    Key(panel, "Home");
    Key(panel, "Tab");
    Key(panel, "Home");
    const QImage dataLevel2 = Screen(data);
    QVERIFY(dataLevel2 != dataDelta0);
    QCOMPARE(Count(dataLevel2, IsBlue), 0);
    // The multiscale layout shows the detail blocks; switch back.
    ClickIn(panel, kOnlyData);
    const QImage layout = Screen(data);
    QVERIFY(Count(layout, IsBlue) > 2000 && Count(layout, IsRed) > 2000);
    ClickIn(panel, kOnlyData);
    QCOMPARE(Screen(data), dataLevel2);
    // Back through the tab order to the track bar, and up to 6 again.
    for (int i = 0; i < 5; ++i) Key(panel, "Tab", xwin::kShift);
    Key(panel, "End");
    const QImage dataBack = Screen(data);
    QVERIFY(Count(dataBack, IsBlue) == 0);  // the data alone again
    // The trip moved the heights a little: far nearer where it started than level 2 was.
    QVERIFY2(PictureDistance(dataBack, dataDelta0) * 10 < PictureDistance(dataLevel2, dataDelta0),
             qPrintable(QString("%1 vs %2").arg(PictureDistance(dataBack, dataDelta0)).arg(PictureDistance(dataLevel2, dataDelta0))));

    // Each function close up, then all four again, with the arrow keys in the selection box.
    ClickIn(panel, kSelectText);
    QImage previous = Screen(functions);
    for (int item = 1; item <= 5; ++item) {
      Key(panel, "Down");
      const QImage now = Screen(functions);
      if (item > 1) {
        const QRect box = BoundingBox(now, IsRed);
        QVERIFY2(now != previous && std::abs(box.center().x() - now.width() / 2) < now.width() / 5,
                 qPrintable(QString("item %1 different and in the middle").arg(item - 1)));
      }
      previous = now;
    }
    for (int i = 0; i < 4; ++i) Key(panel, "Up");  // ... "Alle Funktionen"
    const QImage all = Screen(functions);
    for (const QRect& q : Quadrants(all)) QVERIFY(Count(all, q, IsRed) > 300);

    // Turn and move both scenes with the keys.
    Key(functions, "Down");
    const QImage turned = Screen(functions);
    QVERIFY(turned != all);
    Key(functions, "t");
    Key(functions, "Up");
    Key(functions, "Up", xwin::kShift);
    QVERIFY(Screen(functions) != turned);
    Key(data, "Left");  // the mode is shared: this moves the data view
    const QImage moved = Screen(data);
    QVERIFY(moved != dataBack);
    Key(data, "r");
    Key(data, "Down", xwin::kShift);
    QVERIFY(Screen(data) != moved);

    // The info window comes and goes with its title bar.
    ClickIn(panel, kAbout);
    QTRY_VERIFY(Viewable("Info"));
    xwin::RequestClose(xwin::Find("Info")->id);
    QTRY_VERIFY(!Viewable("Info"));

    // Settings: a refused step width first (the window and the message are shown), ...
    ClickIn(panel, kPrefs);
    QTRY_VERIFY(Viewable("Einstellungen"));
    const xwin::Window prefs = *xwin::Find("Einstellungen");
    ClickIn(prefs, kPrefsNear);
    Key(prefs, "a", xwin::kControl);
    xwin::Type(prefs.id, "0,05");
    ClickIn(prefs, kPrefsOK);
    auto shown = [] {
      int n = 0;
      for (const auto& win : xwin::FindAll("Einstellungen")) n += win.viewable ? 1 : 0;
      return n;
    };
    QTRY_COMPARE(shown(), 2);
    for (const auto& win : xwin::FindAll("Einstellungen"))
      if (win.viewable && win.id != prefs.id) Key(win, "Return");
    QTRY_COMPARE(shown(), 1);
    QVERIFY(Viewable("Einstellungen"));  // still open
    ClickIn(prefs, kPrefsAbbrechen);
    QTRY_VERIFY(!Viewable("Einstellungen"));
    // ... then a rotation step of 90: four quarter turns make a full one, one does not.
    ClickIn(panel, kPrefs);
    QTRY_VERIFY(Viewable("Einstellungen"));
    ClickIn(prefs, kPrefsRotStep);
    Key(prefs, "a", xwin::kControl);
    xwin::Type(prefs.id, "90");
    ClickIn(prefs, kPrefsOK);
    QTRY_VERIFY(!Viewable("Einstellungen"));
    const QImage before = Screen(data);
    Key(data, "Left");
    QVERIFY(Screen(data) != before);
    for (int i = 0; i < 3; ++i) Key(data, "Left");
    QCOMPARE(Screen(data), before);

    QCOMPARE(program.state(), QProcess::Running);
    ClickIn(panel, kEnde);
    ExpectCleanExit();
  }

  void aFileNamedAtStartIsShownABrokenOneIsRefused() {
    QTemporaryDir dir;
    auto write = [&](const QString& name, const QByteArray& text) {
      QFile f(dir.filePath(name));
      if (f.open(QIODevice::WriteOnly)) f.write(text);
      return dir.filePath(name);
    };
    // A flat table: the green surface without the sample's hills.
    Start({write("flach.dat", "0.35 0.35\n0.35 0.35\n")});
    QVERIFY(!Viewable("Analyse"));  // no message
    const QImage flat = Screen(data);
    QVERIFY(Count(flat, IsGreen) > 5000);
    ClickIn(panel, kEnde);
    ExpectCleanExit();

    // Rows of different lengths: a message, then the sample as usual.
    Start({write("kaputt.csv", "1 2\n3\n")});
    QTRY_VERIFY_WITH_TIMEOUT(Viewable("Analyse"), 10000);
    Key(*xwin::Find("Analyse"), "Return");
    QTRY_VERIFY(!Viewable("Analyse"));
    const QImage sample = Screen(data);
    QVERIFY2(!sampleAtStart.isNull(), "the first case records a plain start's picture");
    QCOMPARE(sample, sampleAtStart);
    QVERIFY(sample != flat);
    ClickIn(panel, kEnde);
    ExpectCleanExit();
  }

  void cleanup() {
    if (program.state() != QProcess::NotRunning) {
      program.kill();
      program.waitForFinished(5000);
    }
  }
};

QTEST_MAIN(SessionTest)
#include "tst_session.moc"
