// Thousands of seeded random user actions on the real windows; after every one
// the labels, the track bar and the data must still agree with the program state.
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QRadioButton>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <cmath>
#include <cstring>
#include <deque>
#include <random>
#include <string>
#include <vector>

#include "windows/Analyse.h"
#include "windows/Daten.h"
#include "windows/Grafik.h"
#include "windows/Kontrolle.h"
#include "windows/program_windows.h"
#include "windows/Prefs.h"
#include "windows/application.h"
#include "interaction/coefficient_record.h"
#include "interaction/commands.h"
#include "state/state.h"
#include "widgets.h"

namespace {

// Reproducible by default; VELTRA_SOAK_SEED, VELTRA_SOAK_ACTIONS and VELTRA_SOAK_BUDGET_S override.
unsigned long EnvNumber(const char* name, unsigned long fallback) {
  bool ok = false;
  const unsigned long n = qgetenv(name).toULong(&ok);
  return ok ? n : fallback;
}

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
  std::vector<double> lastTrip;    // level-6 block after the previous round trip 6 -> 2 -> 6
  bool computedSinceTrip = true;   // "Berechne!" since then: the next trip may differ
  bool compressionEndedInTrip = false;
  int roundTrips = 0;

  int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }
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

  // Runs one action and says what it was.
  std::string RandomAction() {
    static const Qt::Key kViewKeys[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down,
                                        Qt::Key_R,    Qt::Key_T,     Qt::Key_A};
    static const Qt::Key kLevelKeys[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Home, Qt::Key_End};
    int n = 0;
    switch (Pick(15)) {
      case 0:
        k->scrDelta->setValue(n = Pick(101));
        return "Delta scroll bar to " + std::to_string(n);
      case 1:
        QTest::keyClick(k->scrDelta, (n = Pick(2)) ? Qt::Key_Right : Qt::Key_Left);
        return n ? "Delta scroll bar key right" : "Delta scroll bar key left";
      case 2:
        k->trbLevel->setValue(n = 2 + Pick(5));
        return "level track bar to " + std::to_string(n);
      case 3: {
        const Qt::Key key = PickOf(kLevelKeys);
        QTest::keyClick(k->trbLevel, key);
        return "level track bar key " + std::to_string(key);
      }
      case 4:
        QTest::mouseClick(k->butBerechne, Qt::LeftButton);
        computedSinceTrip = true;
        return "Berechne!";
      case 11:
        RoundTrip();  // notes itself before its check
        return {};
      case 12: {
        // Disabled at level 6, where there is nothing to keep.
        const double percent = Pick(1001) / 10.0;
        frmAnalyse->spnAnteil->setValue(percent);
        computedSinceTrip = computedSinceTrip || frmAnalyse->butAnwenden->isEnabled();
        frmAnalyse->butAnwenden->click();
        return "Anwenden keeping " + std::to_string(percent) + " % at level " + std::to_string(appState.chosenLevel);
      }
      case 13: {
        static const char* const kFormulas[] = {"x*y", "0.7*sin(7*x)*sin(3*y)", "x > 0.5 ? 0.5 : 0", "sin(", ""};
        const char* formula = "";
        if (Pick(2)) {
          frmAnalyse->rbBeispiel->click();
        } else {
          formula = PickOf(kFormulas);
          frmAnalyse->txtFormel->setText(formula);
          frmAnalyse->butUebernehmen->click();
        }
        computedSinceTrip = true;
        return std::string("source ") + (*formula ? formula : "Beispielfläche or empty formula");
      }
      case 5: {
        QCheckBox* boxes[] = {k->cbxZoom, k->cbxOnlyData, k->cbxDrahtgitter};
        QCheckBox* box = PickOf(boxes);
        widgets::ClickBox(box);
        return "check box " + box->text().toStdString();
      }
      case 6:
        k->cmbSelect->setCurrentIndex(n = Pick(5));
        emit k->cmbSelect->activated(n);
        return "Auswahl item " + std::to_string(n);
      case 7:
        k->cmbSelect->lineEdit()->selectAll();
        QTest::keyClicks(k->cmbSelect->lineEdit(), "Wav");
        return "typed Auswahl text";
      case 8:
      case 9: {
        GlView* view = Pick(2) ? static_cast<GlView*>(frmGrafik) : static_cast<GlView*>(frmDaten);
        const Qt::Key key = PickOf(kViewKeys);
        const bool shift = Pick(2);
        QTest::keyClick(view, key, shift ? Qt::ShiftModifier : Qt::NoModifier);
        return "key " + std::to_string(key) + (shift ? "+Shift" : "") + " in " + view->title().toStdString();
      }
      case 10:
        SettingsAction();  // notes itself before its checks
        return {};
      default: {
        QPushButton* b = Pick(2) ? k->butAbout : k->butPrefs;
        QTest::mouseClick(b, Qt::LeftButton);
        return "button " + b->text().toStdString();
      }
    }
  }

  // Down to 2 and back up: with no "Berechne!" since the last such trip, the
  // level-6 block must come back bit for bit as that trip left it. A trip in
  // which the compression ended (after "Berechne!" its details were analysed
  // afresh) went down from the kept coefficients, the next from the block it
  // left: from then on the trips agree again.
  void RoundTrip() {
    Note("round trip 6 -> 2 -> 6 from level " + std::to_string(appState.chosenLevel));
    const bool compressed = Compression().has_value();
    for (int level : {6, 2, 6}) k->trbLevel->setValue(level);
    if (compressionEndedInTrip) computedSinceTrip = true;
    compressionEndedInTrip = compressed && !Compression();
    std::vector<double> block;
    for (int i = 1; i <= 65; ++i)
      for (int j = 1; j <= 65; ++j) block.push_back(GetElement(appState.dataMatrix, i, j));
    if (!computedSinceTrip) {
      QVERIFY2(std::memcmp(block.data(), lastTrip.data(), block.size() * sizeof(double)) == 0,
               ("round trip changed the data" + History()).c_str());
    }
    lastTrip = std::move(block);
    computedSinceTrip = false;
    ++roundTrips;
  }

  void SettingsAction() {
    QTest::mouseClick(k->butPrefs, Qt::LeftButton);
    TfrmPrefs* p = frmPrefs;
    const bool bad = Pick(3) == 0;
    QLineEdit* stepFields[] = {p->txthNear, p->txthFar, p->txthDat};
    for (QLineEdit* f : stepFields) widgets::Type(f, PickOf(kGoodSteps));
    widgets::Type(p->txtRotStep, PickOf(kRotSteps));
    widgets::Type(p->txtSteps, PickOf(kGoodCounts));
    if (bad && Pick(2)) widgets::Type(PickOf(stepFields), PickOf(kBadSteps));
    else if (bad) widgets::Type(p->txtSteps, PickOf(kBadCounts));
    const bool cancel = Pick(5) == 0;
    std::string note = std::string("settings ") + (bad ? "with a bad value " : "") + (cancel ? "cancelled:" : "OK:");
    for (QLineEdit* f : {p->txthNear, p->txthFar, p->txthDat, p->txtRotStep, p->txtSteps})
      note += " '" + f->text().toStdString() + "'";
    Note(note);
    const widgets::Settings before = widgets::Settings::Now();
    QTest::mouseClick(cancel ? p->butAbbrechen : p->butOK, Qt::LeftButton);
    if (bad || cancel) QVERIFY2(widgets::Settings::Now() == before, History().c_str());  // nothing taken over
    if (bad && !cancel) {
      QVERIFY2(p->isVisible(), History().c_str());
      QTest::mouseClick(p->butAbbrechen, Qt::LeftButton);
    }
    QVERIFY2(!p->isVisible(), History().c_str());
  }

  void CheckInvariants(bool wholeMatrix) {
    const AppState& s = appState;
    const std::string history = History();
    const char* h = history.c_str();
    // The labels against the numbers formatted another way (Qt's %g, always with a point).
    QVERIFY2(k->labDelta->text() == "Delta: " + QString::number(s.delta, 'g', 6), h);
    QVERIFY2(k->labLevel->text() == "Level: " + QString::number(s.chosenLevel), h);
    QVERIFY2(k->labaktuellesDelta->text() == "aktuelles Delta: " + QString::number(s.currentDelta, 'g', 6), h);
    QVERIFY2(k->trbLevel->value() == s.chosenLevel && s.chosenLevel >= 2 && s.chosenLevel <= 6, h);
    QVERIFY2(s.delta == k->scrDelta->value() * 0.01, h);
    QVERIFY2(k->cbxZoom->isChecked() == s.zoom && k->cbxOnlyData->isChecked() == s.onlyData &&
                 k->cbxDrahtgitter->isChecked() == !s.filledSurfaces,
             h);
    for (const double step : {s.stepNear, s.stepFar, s.stepData}) QVERIFY2(step >= 0.005 && step <= 1, h);
    QVERIFY2(s.transitionSteps >= 1 && s.transitionSteps <= 100 && s.transitionSteps == std::floor(s.transitionSteps), h);
    const int n = wholeMatrix ? kDataMatrixSize : 65;
    for (int i = 1; i <= n; ++i)
      for (int j = 1; j <= n; ++j) {
        const double v = GetElement(s.dataMatrix, i, j);
        // The analysis never writes outside the level-6 block.
        if (!std::isfinite(v) || (v != 0.0 && (i > 65 || j > 65)))
          QFAIL(("dataMatrix(" + std::to_string(i) + ", " + std::to_string(j) + ") = " + std::to_string(v) + history)
                    .c_str());
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
    widgets::BoxCloser closer(0);  // refused settings
    QElapsedTimer clock;
    clock.start();
    unsigned long done = 0;
    for (; done < actions && clock.elapsed() <= budgetMs; ++done) {
      if (std::string what = RandomAction(); !what.empty()) Note(what);
      if (QTest::currentTestFailed()) return;
      QCoreApplication::processEvents();
      CheckInvariants(done % 500 == 0);
      if (QTest::currentTestFailed()) return;
    }
    CheckInvariants(true);
    qInfo("%lu actions in %.1f s, %lld message boxes accepted", done, clock.elapsed() / 1000.0,
          static_cast<long long>(closer.texts.size()));
    QVERIFY2(done == actions, "time budget used up before all actions ran");
    qInfo("%d round trips", roundTrips);
    if (actions >= 10000) QVERIFY(roundTrips >= 200);
  }

  void cleanupTestCase() {
    QTest::mouseClick(k->butEnde, Qt::LeftButton);
    QVERIFY(frmGrafik == nullptr && frmDaten == nullptr);
    DestroyForms();
  }
};

QTEST_MAIN(SoakTest)
#include "tst_soak.moc"
