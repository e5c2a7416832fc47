// A whole session with the real program, as a person at the desktop would
// have it: clicks, key presses and typed text reach the program through the X
// server only; what it shows is read back from the screen, and "Ende" must
// end it with status 0.
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QTest>

#include "pixels.h"
#include "xwindows.h"

using namespace pixels;

namespace {

// Positions of controls in the client areas, as the windows lay them out.
struct Spot {
  int x, y;
};
constexpr Spot kDeltaRightArrow{24 + 145 - 5, 56 + 8};
constexpr Spot kBerechne{328 + 32, 48 + 20};
constexpr Spot kOnlyData{416 + 6, 56 + 8};
constexpr Spot kSelectText{536 + 30, 48 + 10};
constexpr Spot kAbout{696 + 37, 13 + 12};
constexpr Spot kPrefs{696 + 37, 45 + 12};
constexpr Spot kEnde{696 + 36, 77 + 12};
constexpr Spot kPrefsNear{32 + 144 + 24, 24 + 24 + 10};
constexpr Spot kPrefsRotStep{288 + 152 + 24, 24 + 24 + 10};
constexpr Spot kPrefsOK{280 + 56, 176 + 12};
constexpr Spot kPrefsAbbrechen{408 + 56, 176 + 12};

void ClickIn(const xwin::Window& w, Spot s) {
  xwin::Click(w.x + s.x, w.y + s.y);
  QTest::qWait(150);
}

void Key(const xwin::Window& w, const char* key, unsigned modifiers = xwin::kNoModifier) {
  xwin::Key(w.id, key, modifiers);
  QTest::qWait(150);
}

// What the screen shows of a window's client area once the program has
// finished drawing it (a transition draws for a while; slow builds draw slowly).
QImage Screen(const xwin::Window& w) {
  auto grab = [&] {
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, w.x, w.y, w.width, w.height)
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
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

int Coloured(const QImage& img, bool (*pred)(QRgb)) { return Count(img, img.rect(), pred); }

}  // namespace

class SessionTest : public QObject {
  Q_OBJECT
  QProcess program;

private slots:
  void aWholeSessionEndsWithStatusZero() {
    program.setProgram(VELTRA_BINARY);
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start();
    QVERIFY(program.waitForStarted(10000));
    QTRY_VERIFY_WITH_TIMEOUT(Viewable("Veltra") && Viewable("Daten") &&
                                 Viewable("Skalierungsfunktion und Wavelets"),
                             30000);
    QTest::qWait(500);
    const xwin::Window panel = *xwin::Find("Veltra");
    const xwin::Window functions = *xwin::Find("Skalierungsfunktion und Wavelets");
    const xwin::Window data = *xwin::Find("Daten");
    const QImage dataAtStart = Screen(data);
    QVERIFY(Coloured(dataAtStart, IsGreen) > 5000);

    // Delta: one step with the arrow, then down to 0 with the keyboard.
    ClickIn(panel, kDeltaRightArrow);
    QTRY_VERIFY(Viewable("Keine Nullen"));
    Key(panel, "Home");
    QTRY_VERIFY(Viewable("Nullmatrix"));
    QCOMPARE(Screen(data), dataAtStart);  // the data view waits for "Berechne!"

    // "Berechne!": the samples are now shown with box functions.
    ClickIn(panel, kBerechne);
    const QImage dataDelta0 = Screen(data);
    QVERIFY(dataDelta0 != dataAtStart);

    // The level: from the scroll bar to the track bar, down to 2 in one jump.
    ClickIn(panel, kDeltaRightArrow);  // back to Delta 0.01 and the focus on the scroll bar
    Key(panel, "Home");
    Key(panel, "Tab");
    Key(panel, "Home");
    const QImage dataLevel2 = Screen(data);
    QVERIFY(dataLevel2 != dataDelta0);
    QCOMPARE(Coloured(dataLevel2, IsBlue), 0);

    // The multiscale layout shows the detail blocks; switch back.
    ClickIn(panel, kOnlyData);
    const QImage layout = Screen(data);
    QVERIFY(Coloured(layout, IsBlue) > 2000);
    QVERIFY(Coloured(layout, IsRed) > 2000);
    ClickIn(panel, kOnlyData);
    QCOMPARE(Screen(data), dataLevel2);

    // Back through the tab order to the track bar, and up to 6 again.
    for (int i = 0; i < 5; ++i) Key(panel, "Tab", xwin::kShift);
    Key(panel, "End");
    const QImage dataBack = Screen(data);
    QVERIFY(dataBack != dataLevel2);
    QCOMPARE(Coloured(dataBack, IsBlue), 0);
    QVERIFY(Coloured(dataBack, IsGreen) > 5000);

    // Each function close up, then all four again, with the arrow keys in
    // the selection box.
    ClickIn(panel, kSelectText);
    const QImage overview = Screen(functions);
    QImage previous = overview;
    for (int item = 0; item <= 4; ++item) {
      Key(panel, "Down");
      const QImage now = Screen(functions);
      if (item > 0) {
        QVERIFY2(now != previous, qPrintable(QString("item %1").arg(item)));
        const QRect box = BoundingBox(now, IsRed);
        QVERIFY2(std::abs(box.center().x() - now.width() / 2) < now.width() / 5,
                 qPrintable(QString("item %1 in the middle").arg(item)));
      }
      previous = now;
    }
    for (int i = 0; i < 4; ++i) Key(panel, "Up");  // ... "Alle Funktionen"
    const QImage all = Screen(functions);
    const int w = all.width(), h = all.height();
    for (const QRect& q : {QRect(0, 0, w / 2, h / 2), QRect(w / 2, 0, w / 2, h / 2),
                           QRect(0, h / 2, w / 2, h / 2), QRect(w / 2, h / 2, w / 2, h / 2)})
      QVERIFY(Count(all, q, IsRed) > 300);

    // Turn and move both scenes with the keys.
    Key(functions, "Down");
    QImage turned = Screen(functions);
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

    // Settings: a refused step width first, then a rotation step of 90.
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
    QTRY_COMPARE(shown(), 2);  // the settings window and the message about the field
    for (const auto& win : xwin::FindAll("Einstellungen"))
      if (win.viewable && win.id != prefs.id) Key(win, "Return");
    QTRY_COMPARE(shown(), 1);
    QVERIFY(Viewable("Einstellungen"));  // still open
    ClickIn(prefs, kPrefsAbbrechen);
    QTRY_VERIFY(!Viewable("Einstellungen"));

    ClickIn(panel, kPrefs);
    QTRY_VERIFY(Viewable("Einstellungen"));
    ClickIn(prefs, kPrefsRotStep);
    Key(prefs, "a", xwin::kControl);
    xwin::Type(prefs.id, "90");
    ClickIn(prefs, kPrefsOK);
    QTRY_VERIFY(!Viewable("Einstellungen"));
    // Four quarter turns make a full one; one does not.
    const QImage before = Screen(data);
    Key(data, "Left");
    QVERIFY(Screen(data) != before);
    for (int i = 0; i < 3; ++i) Key(data, "Left");
    QCOMPARE(Screen(data), before);

    // "Ende".
    QCOMPARE(program.state(), QProcess::Running);
    xwin::Click(panel.x + kEnde.x, panel.y + kEnde.y);
    QTRY_VERIFY_WITH_TIMEOUT(program.state() == QProcess::NotRunning, 30000);
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
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
