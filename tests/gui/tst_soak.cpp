// Thousands of seeded random user actions on the real windows; after every one
// the labels, the track bar and the data must still agree with the program state.
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <deque>
#include <random>
#include <string>

#include "app/Daten.h"
#include "app/Grafik.h"
#include "app/Kontrolle.h"
#include "app/Prefs.h"
#include "app/application.h"
#include "app/commands.h"
#include "app/state.h"

namespace {

// Reproducible by default; VELTRA_SOAK_SEED and VELTRA_SOAK_ACTIONS override.
unsigned long EnvNumber(const char* name, unsigned long fallback) {
  const QByteArray v = qgetenv(name);
  bool ok = false;
  const unsigned long n = v.toULong(&ok);
  return ok ? n : fallback;
}

// Accepts every message box that opens while an action runs (refused settings).
class BoxCloser : public QObject {
public:
  int closed = 0;
  BoxCloser() {
    timer.setInterval(0);
    connect(&timer, &QTimer::timeout, this, [this] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        box->accept();
        ++closed;
      }
    });
    timer.start();
  }

private:
  QTimer timer;
};

const char* const kGoodSteps[] = {"0.03", "0.1", "0.05", "0.2", " 0.08", "0.12abc"};
const char* const kBadSteps[] = {"", "abc", "0", "-1", "0,05", "1e-300", "nan", "inf", "1e308"};
const char* const kRotSteps[] = {"5", "-7", "2.5", "0", "99999999999999999999", "x", "45"};
const char* const kGoodCounts[] = {"1", "2", "3"};
const char* const kBadCounts[] = {"2.5", "0", "1e12", "-3", "zehn"};

}  // namespace

class SoakTest : public QObject {
  Q_OBJECT
  TfrmKontrolle* k = nullptr;
  std::mt19937_64 rng;
  std::deque<std::string> recent;  // the last actions, shown when a check fails

  int Pick(int n) { return static_cast<int>(std::uniform_int_distribution<int>(0, n - 1)(rng)); }
  template <typename T, std::size_t N>
  const T& PickOf(const T (&items)[N]) {
    return items[Pick(static_cast<int>(N))];
  }

  void Note(std::string action) {
    recent.push_back(std::move(action));
    if (recent.size() > 12) recent.pop_front();
  }

  std::string History() const {
    std::string s;
    for (const auto& a : recent) s += "\n  " + a;
    return s;
  }

  void ClickBox(QCheckBox* box) { QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2)); }

  void Type(QLineEdit* field, const char* text) {
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, QString::fromLatin1(text));
  }

  void RandomAction() {
    static const Qt::Key kViewKeys[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down,
                                        Qt::Key_R,    Qt::Key_T,     Qt::Key_A};
    switch (Pick(12)) {
      case 0: {
        const int v = Pick(101);
        Note("Delta scroll bar to " + std::to_string(v));
        k->scrDelta->setValue(v);
        break;
      }
      case 1: {
        const bool right = Pick(2);
        Note(std::string("Delta scroll bar key ") + (right ? "right" : "left"));
        QTest::keyClick(k->scrDelta, right ? Qt::Key_Right : Qt::Key_Left);
        break;
      }
      case 2: {
        const int v = 2 + Pick(5);
        Note("level track bar to " + std::to_string(v));
        k->trbLevel->setValue(v);
        break;
      }
      case 3: {
        static const Qt::Key keys[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Home, Qt::Key_End};
        const Qt::Key key = PickOf(keys);
        Note("level track bar key " + std::to_string(key));
        QTest::keyClick(k->trbLevel, key);
        break;
      }
      case 4:
        Note("Berechne!");
        QTest::mouseClick(k->butBerechne, Qt::LeftButton);
        break;
      case 5: {
        QCheckBox* boxes[] = {k->cbxZoom, k->cbxOnlyData, k->cbxDrahtgitter};
        QCheckBox* box = PickOf(boxes);
        Note("check box " + box->text().toStdString());
        ClickBox(box);
        break;
      }
      case 6: {
        const int item = Pick(5);
        Note("Auswahl item " + std::to_string(item));
        k->cmbSelect->setCurrentIndex(item);
        emit k->cmbSelect->activated(item);
        break;
      }
      case 7:
        Note("typed Auswahl text");
        k->cmbSelect->lineEdit()->selectAll();
        QTest::keyClicks(k->cmbSelect->lineEdit(), "Wav");
        break;
      case 8:
      case 9: {
        GlView* view = Pick(2) ? static_cast<GlView*>(frmGrafik) : static_cast<GlView*>(frmDaten);
        const Qt::Key key = PickOf(kViewKeys);
        const bool shift = Pick(2);
        Note(std::string("key ") + std::to_string(key) + (shift ? "+Shift" : "") + " in " +
             view->title().toStdString());
        QTest::keyClick(view, key, shift ? Qt::ShiftModifier : Qt::NoModifier);
        break;
      }
      case 10:
        SettingsAction();
        break;
      default: {
        QPushButton* buttons[] = {k->butAbout, k->butPrefs};
        QPushButton* b = PickOf(buttons);
        Note("button " + b->text().toStdString());
        QTest::mouseClick(b, Qt::LeftButton);
        break;
      }
    }
  }

  void SettingsAction() {
    QTest::mouseClick(k->butPrefs, Qt::LeftButton);
    TfrmPrefs* p = frmPrefs;
    const bool bad = Pick(3) == 0;
    QLineEdit* stepFields[] = {p->txthNear, p->txthFar, p->txthDat};
    for (QLineEdit* f : stepFields) Type(f, PickOf(kGoodSteps));
    Type(p->txtRotStep, PickOf(kRotSteps));
    Type(p->txtSteps, PickOf(kGoodCounts));
    if (bad) {
      if (Pick(2)) {
        Type(PickOf(stepFields), PickOf(kBadSteps));
      } else {
        Type(p->txtSteps, PickOf(kBadCounts));
      }
    }
    const bool cancel = Pick(5) == 0;
    Note(std::string("settings ") + (bad ? "with a bad value " : "") + (cancel ? "cancelled" : "OK") +
         ": " + p->txthNear->text().toStdString() + " " + p->txthFar->text().toStdString() + " " +
         p->txthDat->text().toStdString() + " " + p->txtRotStep->text().toStdString() + " " +
         p->txtSteps->text().toStdString());
    const AppState before = SettingsOf(appState);
    QTest::mouseClick(cancel ? p->butAbbrechen : p->butOK, Qt::LeftButton);
    if (bad || cancel) {
      // Refused or cancelled: nothing taken over.
      QVERIFY2(SameSettings(before, appState), History().c_str());
    }
    if (bad && !cancel) {
      QVERIFY2(p->isVisible(), History().c_str());
      QTest::mouseClick(p->butAbbrechen, Qt::LeftButton);
    }
    QVERIFY2(!p->isVisible(), History().c_str());
  }

  static AppState SettingsOf(const AppState& s) {
    AppState copy;
    copy.stepNear = s.stepNear;
    copy.stepFar = s.stepFar;
    copy.stepData = s.stepData;
    copy.rotStep = s.rotStep;
    copy.transitionSteps = s.transitionSteps;
    return copy;
  }
  static bool SameSettings(const AppState& a, const AppState& b) {
    return a.stepNear == b.stepNear && a.stepFar == b.stepFar && a.stepData == b.stepData &&
           a.rotStep == b.rotStep && a.transitionSteps == b.transitionSteps;
  }

  void CheckInvariants(bool wholeMatrix) {
    const AppState& s = appState;
    const std::string h = History();
    QVERIFY2(k->labDelta->text().toStdString() == DeltaLabelText(s.delta), h.c_str());
    QVERIFY2(k->labLevel->text().toStdString() == LevelLabelText(s.chosenLevel), h.c_str());
    QVERIFY2(k->labaktuellesDelta->text().toStdString() == CurrentDeltaLabelText(s.currentDelta),
             h.c_str());
    QVERIFY2(k->trbLevel->value() == s.chosenLevel, h.c_str());
    QVERIFY2(s.chosenLevel >= 2 && s.chosenLevel <= 6, h.c_str());
    QVERIFY2(std::abs(s.delta - k->scrDelta->value() * 0.01) < 1e-12, h.c_str());
    QVERIFY2(k->cbxZoom->isChecked() == s.zoom, h.c_str());
    QVERIFY2(k->cbxOnlyData->isChecked() == s.onlyData, h.c_str());
    QVERIFY2(k->cbxDrahtgitter->isChecked() == !s.filledSurfaces, h.c_str());
    QVERIFY2(s.stepNear > 0 && s.stepFar > 0 && s.stepData > 0 && s.transitionSteps >= 1, h.c_str());
    const int n = wholeMatrix ? kDataMatrixSize : 65;
    for (int i = 1; i <= n; ++i)
      for (int j = 1; j <= n; ++j)
        if (!std::isfinite(GetElement(s.dataMatrix, i, j))) {
          QFAIL(("dataMatrix(" + std::to_string(i) + ", " + std::to_string(j) + ") is not finite" + h)
                    .c_str());
        }
    if (wholeMatrix) {
      // The analysis never writes outside the level-6 block.
      for (int i = 1; i <= kDataMatrixSize; ++i)
        for (int j = 66; j <= kDataMatrixSize; ++j)
          QVERIFY2(GetElement(s.dataMatrix, i, j) == 0.0 && GetElement(s.dataMatrix, j, i) == 0.0,
                   h.c_str());
    }
  }

private slots:
  void initTestCase() {
    InitialiseToolkit(*qApp);
    CreateForms();
    k = frmKontrolle;
    QVERIFY(QTest::qWaitForWindowExposed(frmGrafik));
    QVERIFY(QTest::qWaitForWindowExposed(frmDaten));
    // Small views keep ten thousand redraws within minutes on a software renderer.
    frmGrafik->resize(200, 200);
    frmDaten->resize(200, 200);
    QTest::qWait(100);
  }

  void randomActions() {
    const unsigned long seed = EnvNumber("VELTRA_SOAK_SEED", 20261208);
    const unsigned long actions = EnvNumber("VELTRA_SOAK_ACTIONS", 10000);
    const qint64 budgetMs = static_cast<qint64>(EnvNumber("VELTRA_SOAK_BUDGET_S", 1500)) * 1000;
    qInfo("seed %lu, %lu actions", seed, actions);
    rng.seed(seed);
    BoxCloser closer;
    QElapsedTimer clock;
    clock.start();
    unsigned long done = 0;
    for (; done < actions; ++done) {
      RandomAction();
      if (QTest::currentTestFailed()) return;
      QCoreApplication::processEvents();
      CheckInvariants(done % 500 == 0);
      if (QTest::currentTestFailed()) return;
      if (clock.elapsed() > budgetMs) break;
    }
    CheckInvariants(true);
    qInfo("%lu actions in %.1f s, %d message boxes accepted", done, clock.elapsed() / 1000.0,
          closer.closed);
    // Bounded in time: a run that did not get through all actions in its budget fails.
    QVERIFY2(done == actions, "time budget used up before all actions ran");
  }

  void cleanupTestCase() {
    QTest::mouseClick(k->butEnde, Qt::LeftButton);
    QVERIFY(frmGrafik == nullptr && frmDaten == nullptr);
    DestroyForms();
  }
};

QTEST_MAIN(SoakTest)
#include "tst_soak.moc"
