#pragma once
// The "Analyse" window: where the surface comes from, compression of the
// detail coefficients, readouts and the two error curves.
#include <QThreadPool>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <functional>
#include <memory>

struct CurveResult;

class QButtonGroup;
class QComboBox;
class CurveView;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QLineSeries;
class QPushButton;
class QRadioButton;
class QScatterSeries;
class QSlider;
class QTableWidget;

class TfrmAnalyse : public QWidget {
  Q_OBJECT
public:
  TfrmAnalyse();
  ~TfrmAnalyse() override;

  // Level, "Berechne!" or Delta changed elsewhere: readouts now, curves soon.
  void StateChanged();
  // Loads a picture or a table of numbers; a refusal is shown in a message
  // box and changes nothing. True when the surface was taken.
  bool LoadFile(const std::string& path);  // bytes, as the system gave them
  bool LoadFile(const QString& path);
  // The curves are computed at most once per turn of the event loop, and
  // only while the window is shown; this runs a pending computation now and
  // shows its curves before it returns.
  void UpdateCurvesNow();
  // Curves under way: 0..100 % of their points done; -1 when none.
  int CurveProgress() const { return curvesRunning_ ? curvePercent_ : -1; }
  // The scroll bar moved: the hollow marker follows on the curve shown.
  void DeltaMoved();

  QGroupBox* grpQuelle;
  QRadioButton* rbBeispiel;
  QRadioButton* rbFormel;
  QRadioButton* rbDatei;
  QLineEdit* txtFormel;
  QPushButton* butUebernehmen;
  QPushButton* butDatei;
  QLabel* labQuelle;
  QComboBox* cmbAufloesung;  // points per side, 65 to 513
  QPushButton* butBild;

  QGroupBox* grpKompression;
  QDoubleSpinBox* spnAnteil;
  QSlider* sldAnteil;
  QPushButton* butAnwenden;
  QPushButton* butOriginal;
  QLabel* labBehalten;
  QLabel* labGezeigt;  // "Gezeigt: unkomprimiert" / "Gezeigt: p % behalten (Level L)"

  QGroupBox* grpKennzahlen;
  QLabel* labFehler;
  QLabel* labEinweg;
  QTableWidget* tblEnergie;

  QGroupBox* grpKurven;
  CurveView* chtDelta;
  CurveView* chtAnteil;
  QLabel* labMinimum;  // "kleinster Fehler bei Delta = …"
  QLineSeries* serDelta;
  QScatterSeries* markDelta;     // currentDelta, filled
  QScatterSeries* markSchieber;  // the scroll bar's Delta, hollow
  QLineSeries* serAnteil;
  QScatterSeries* markAnteil;

  // After "Anwenden" or "Original" changed the data view's coefficients.
  std::function<void()> appliedToData;

signals:
  // A point of "Fehler über Delta" was clicked: scroll bar position 0..100.
  void deltaPicked(int position);
  // A new surface was taken: the control panel's level controls follow.
  void surfaceChanged();

protected:
  void showEvent(QShowEvent* e) override;
  void hideEvent(QHideEvent* e) override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dropEvent(QDropEvent* e) override;

private:
  void butUebernehmenClick();
  void butDateiClick();
  void rbBeispielClick();
  void rbFormelClick();
  void rbDateiClick();
  void butAnwendenClick();
  void butOriginalClick();
  void cmbAufloesungChange(int index);
  // The level shown is the top level: nothing to compress, no curves.
  static bool AtTop();
  void ShareChanged(double percent);
  void SurfaceTaken();
  void ShowSource();
  void UpdateReadouts();
  void ScheduleCurves();
  void StartCurves();
  void StopCurves();
  void CurvesProgressed(unsigned generation, int percent);
  void CurvesReady(unsigned generation, const CurveResult& result);
  void Refuse(const QString& text);

  QTimer curveTimer_;
  bool curvesPending_ = true;
  // The curves at the resolutions above 65 x 65 are computed on curvePool_.
  // Each job has a generation; whatever a job of an older one reports is dropped.
  QThreadPool curvePool_;
  unsigned curveGeneration_ = 0;
  std::shared_ptr<std::atomic<bool>> curveCancel_;
  bool curvesRunning_ = false;
  int curvePercent_ = 0;
  int curveLevel_ = 0;
  std::string lastFile_;
};

extern TfrmAnalyse* frmAnalyse;
