// The settings window and the info window, opened from the control panel and
// filled in by typing: what is shown, what "OK" takes over, what it refuses.
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <climits>
#include <cstdio>

#include "app/About.h"
#include "app/Daten.h"
#include "app/Grafik.h"
#include "app/Kontrolle.h"
#include "app/Prefs.h"
#include "app/application.h"
#include "app/state.h"

namespace {

struct Settings {
  double near, far, data, rot, steps;
  static Settings Now() {
    const AppState& s = appState;
    return {s.stepNear, s.stepFar, s.stepData, s.rotStep, s.transitionSteps};
  }
  bool operator==(const Settings&) const = default;
};

void Type(QLineEdit* field, const QString& text) {
  QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(field, Qt::Key_Backspace);
  QTest::keyClicks(field, text);
}

}  // namespace

class SettingsTest : public QObject {
  Q_OBJECT
  TfrmPrefs* p = nullptr;
  QStringList messages;

  QStringList Fields() {
    return {p->txthNear->text(), p->txthFar->text(), p->txthDat->text(), p->txtRotStep->text(),
            p->txtSteps->text()};
  }
  QLineEdit* Field(const QString& name) {
    if (name == "near") return p->txthNear;
    if (name == "far") return p->txthFar;
    if (name == "data") return p->txthDat;
    if (name == "rot") return p->txtRotStep;
    return p->txtSteps;
  }
  void OpenPrefs() {
    QTest::mouseClick(frmKontrolle->butPrefs, Qt::LeftButton);
    QVERIFY(QTest::qWaitForWindowExposed(p));
  }
  // "OK"; a message box it opens is read and confirmed like a user would.
  void PressOK() {
    QTimer closer;
    closer.setInterval(20);
    connect(&closer, &QTimer::timeout, this, [this] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        messages << box->text();
        box->accept();
      }
    });
    closer.start();
    QTest::mouseClick(p->butOK, Qt::LeftButton);
  }

private slots:
  void initTestCase() {
    if (qEnvironmentVariable("LC_ALL").startsWith("de_DE")) {
      char buf[16];
      std::snprintf(buf, sizeof buf, "%g", 0.4);
      QVERIFY2(QByteArray(buf) == "0,4", "precondition: de_DE.UTF-8 must exist and be in force");
    }
    InitialiseToolkit(*qApp);
    CreateForms();
    p = frmPrefs;
    QVERIFY(QTest::qWaitForWindowExposed(frmKontrolle));
    QVERIFY(!p->isVisible());
  }

  void init() { messages.clear(); }

  void infoWindowShowsNameAndDescription() {
    QTest::mouseClick(frmKontrolle->butAbout, Qt::LeftButton);
    QVERIFY(QTest::qWaitForWindowExposed(frmAbout));
    QCOMPARE(frmAbout->windowTitle(), QString("Info"));
    QCOMPARE(frmAbout->Label1->text(), QString("Veltra"));
    QCOMPARE(frmAbout->Label2->text() + frmAbout->Label3->text(),
             QString("Dient der Veranschaulichung einer zweidimensionalen Multiskalenanalyse mit BLaC-Wavelets."));
    QVERIFY(!frmAbout->Label4->text().isEmpty() && !frmAbout->Label5->text().isEmpty());
    // Modeless: the panel still works while it is open.
    QTest::mouseClick(frmKontrolle->butAbout, Qt::LeftButton);
    frmKontrolle->scrDelta->setValue(41);
    QCOMPARE(frmKontrolle->labDelta->text(), QString("Delta: 0.41"));
    frmKontrolle->scrDelta->setValue(40);
    frmAbout->close();
    QVERIFY(!frmAbout->isVisible());
    QVERIFY(frmKontrolle->isVisible());
  }

  void openingFillsTheFieldsFromTheProgramState() {
    OpenPrefs();
    QCOMPARE(p->windowTitle(), QString("Einstellungen"));
    QCOMPARE(Fields(), (QStringList{"0.03", "0.1", "0.02", "5", "10"}));
    // Unconfirmed edits are replaced when "Einstellungen" is pressed again.
    Type(p->txthNear, "0.7");
    Type(p->txtSteps, "3");
    OpenPrefs();
    QCOMPARE(Fields(), (QStringList{"0.03", "0.1", "0.02", "5", "10"}));
    QTest::mouseClick(p->butAbbrechen, Qt::LeftButton);
    QVERIFY(!p->isVisible());
  }

  void abbrechenKeepsEverything() {
    const Settings before = Settings::Now();
    OpenPrefs();
    Type(p->txthNear, "0.5");
    Type(p->txtRotStep, "12");
    QTest::mouseClick(p->butAbbrechen, Qt::LeftButton);
    QVERIFY(!p->isVisible());
    QVERIFY(Settings::Now() == before);
    OpenPrefs();
    QCOMPARE(Fields(), (QStringList{"0.03", "0.1", "0.02", "5", "10"}));
    QTest::mouseClick(p->butAbbrechen, Qt::LeftButton);
  }

  void okTakesTheTypedValuesOver() {
    OpenPrefs();
    Type(p->txthNear, " 0.5abc");
    Type(p->txthFar, "0.2");
    Type(p->txthDat, "0.04");
    Type(p->txtRotStep, "2.5");
    Type(p->txtSteps, "4");
    PressOK();
    QVERIFY(messages.isEmpty());
    QVERIFY(!p->isVisible());
    QVERIFY((Settings::Now() == Settings{0.5, 0.2, 0.04, 2, 4}));
    OpenPrefs();
    QCOMPARE(Fields(), (QStringList{"0.5", "0.2", "0.04", "2", "4"}));

    // The next rotation key uses the new step.
    const double alpha = appState.Dalpha;
    QTest::keyClick(frmDaten, Qt::Key_Down);
    QCOMPARE(appState.Dalpha, alpha + 2);

    // The rotation step may be any whole number; a huge one is clamped.
    Type(p->txtRotStep, "99999999999999999999");
    PressOK();
    QCOMPARE(appState.rotStep, double(INT_MAX));
    OpenPrefs();
    Type(p->txtRotStep, "-7");
    Type(p->txthNear, "0.03");
    Type(p->txthFar, "0.1");
    Type(p->txthDat, "0.02");
    Type(p->txtSteps, "10");
    PressOK();
    QVERIFY(messages.isEmpty());
    QVERIFY((Settings::Now() == Settings{0.03, 0.1, 0.02, -7, 10}));
  }

  void unusableValuesAreRefusedNamingTheField_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("named");
    const char* const stepWidths[] = {"0,05", "abc", "", "0", "-1", "1e-300", "nan", "inf", "1e308"};
    for (const char* text : stepWidths) {
      QTest::addRow("near '%s'", text) << "near" << text << QString("naher Betrachtung");
    }
    QTest::addRow("far '0'") << "far" << "0" << QString("entfernter Betrachtung");
    QTest::addRow("data '0,02'") << "data" << "0,02" << QString("den Daten");
    for (const char* text : {"2.5", "0", "1e9", "-1", "nan"}) {
      QTest::addRow("steps '%s'", text) << "steps" << text << QString("Zwischenschritte");
    }
  }

  void unusableValuesAreRefusedNamingTheField() {
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, named);
    const Settings before = Settings::Now();
    OpenPrefs();
    Type(Field("rot"), "9");  // a valid edit that must not be taken over either
    Type(Field(field), text);
    PressOK();
    QCOMPARE(messages.size(), 1);
    QVERIFY2(messages[0].contains(named), qPrintable(messages[0]));
    QVERIFY2(messages[0].contains(QString::fromUtf8("Ungültig")), qPrintable(messages[0]));
    // The window stays open with what was typed, and nothing is taken over.
    QVERIFY(p->isVisible());
    QCOMPARE(Field(field)->text(), text);
    QVERIFY(Settings::Now() == before);
    QTest::mouseClick(p->butAbbrechen, Qt::LeftButton);
  }

  void cleanupTestCase() {
    QTest::mouseClick(frmKontrolle->butEnde, Qt::LeftButton);
    QVERIFY(frmGrafik == nullptr);
    DestroyForms();
  }
};

QTEST_MAIN(SettingsTest)
#include "tst_settings.moc"
