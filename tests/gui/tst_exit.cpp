// The real program, started as a separate process, ends with status 0 from
// "Ende" and from closing the control panel; closing a view only hides it.
#include <QProcess>
#include <QTest>

#include "xwindows.h"

class ExitTest : public QObject {
  Q_OBJECT

  QProcess program;

  // Waits until the program shows its three windows.
  void StartProgram() {
    program.setProgram(VELTRA_BINARY);
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start();
    QVERIFY(program.waitForStarted(10000));
    QTRY_VERIFY_WITH_TIMEOUT(xwin::Find("Veltra").has_value() && xwin::Find("Daten").has_value() &&
                                 xwin::Find("Skalierungsfunktion und Wavelets").has_value(),
                             30000);
    QTest::qWait(500);  // let the views draw once
  }

  void ExpectCleanExit() {
    QVERIFY(program.waitForFinished(30000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
  }

private slots:
  void endeButtonEndsWithStatusZero() {
    StartProgram();
    const auto panel = xwin::Find("Veltra");
    QVERIFY(panel);
    // "Ende" sits at 696, 77 with size 73 x 25 in the panel's client area.
    xwin::Click(panel->x + 696 + 36, panel->y + 77 + 12);
    ExpectCleanExit();
  }

  void closingThePanelEndsWithStatusZero() {
    StartProgram();
    xwin::RequestClose(xwin::Find("Veltra")->id);
    ExpectCleanExit();
  }

  void closingAViewOnlyHidesIt() {
    StartProgram();
    xwin::RequestClose(xwin::Find("Daten")->id);
    xwin::RequestClose(xwin::Find("Skalierungsfunktion und Wavelets")->id);
    QTRY_VERIFY_WITH_TIMEOUT(!xwin::Find("Daten")->viewable, 5000);
    QTRY_VERIFY_WITH_TIMEOUT(!xwin::Find("Skalierungsfunktion und Wavelets")->viewable, 5000);
    QTest::qWait(300);
    QCOMPARE(program.state(), QProcess::Running);
    QVERIFY(xwin::Find("Veltra")->viewable);
    xwin::RequestClose(xwin::Find("Veltra")->id);
    ExpectCleanExit();
  }

  void cleanup() {
    if (program.state() != QProcess::NotRunning) {
      program.kill();
      program.waitForFinished(5000);
    }
  }
};

QTEST_MAIN(ExitTest)
#include "tst_exit.moc"
