// Views whose OpenGL context cannot be created: both messages appear, the
// program keeps running and the views draw nothing.
#include <QCheckBox>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QTest>

#include "windows/Daten.h"
#include "windows/Grafik.h"
#include "windows/Kontrolle.h"
#include "windows/program_windows.h"
#include "windows/application.h"
#include "interaction/navigation.h"
#include "state/state.h"

class ContextFailureTest : public QObject {
  Q_OBJECT
  std::vector<std::string> messages;

private slots:
  void initTestCase() {
    InitialiseToolkit(*qApp);
    appState.showMessage = [this](const std::string& text) { messages.push_back(text); };  // instead of boxes
    GlView::SetContextCreationFails(true);
    CreateForms();
    QVERIFY(QTest::qWaitForWindowExposed(frmKontrolle));
  }

  void bothFailuresAreReportedInOrder() {
    QCOMPARE(messages, (std::vector<std::string>{"wglMakeCurrent bei Grafik-Fenster nicht erfolgreich",
                                                 "wglMakeCurrent bei Daten-Fenster nicht erfolgreich"}));
    QVERIFY(appState.rcGrafik == nullptr && appState.rcDaten == nullptr);
  }

  // Every command that redraws runs through without a context, and without new messages.
  void theProgramKeepsWorkingWithoutPictures() {
    frmKontrolle->scrDelta->setValue(0);
    QCOMPARE(appState.delta, 0.0);
    QCOMPARE(frmGrafik->title(), QString("Nullmatrix"));
    frmKontrolle->trbLevel->setValue(3);
    QCOMPARE(appState.chosenLevel, 3);
    QTest::mouseClick(frmKontrolle->butBerechne, Qt::LeftButton);
    QCOMPARE(appState.currentDelta, 0.0);
    QTest::mouseClick(frmKontrolle->cbxDrahtgitter, Qt::LeftButton);
    QVERIFY(!appState.filledSurfaces);
    const double gz = appState.GPosZ;
    GrafikKeyDown(kKeyT, false);
    GrafikKeyDown(kKeyUp, false);
    DatenKeyDown(kKeyLeft, true);
    QCOMPARE(appState.GPosZ, gz + 0.1);
    frmKontrolle->cmbSelectChange(2);
    QVERIFY(appState.closeUp);
    frmGrafik->resize(300, 200);
    frmDaten->requestUpdate();
    QTest::qWait(100);
    QCOMPARE(messages.size(), std::size_t(2));
  }

  void endsCleanly() {
    QTest::mouseClick(frmKontrolle->butEnde, Qt::LeftButton);
    QVERIFY(frmGrafik == nullptr && frmDaten == nullptr);
    DestroyForms();
  }
};

QTEST_MAIN(ContextFailureTest)
#include "tst_context_failure.moc"
