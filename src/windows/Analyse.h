#pragma once
// The "Analyse" window: where the surface comes from, compression of the
// detail coefficients, readouts and the two error curves.
#include <QThreadPool>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "interaction/analyse_curves.h"

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
  int CurveProgress() const { return curves_.Shown().progress; }
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

signals:
  // A point of "Fehler über Delta" was clicked: scroll bar position 0..100.
  void deltaPicked(int position);

protected:
  void showEvent(QShowEvent* e) override;
  void hideEvent(QHideEvent* e) override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dropEvent(QDropEvent* e) override;

private:
  // Creates the groups and their controls and lays them out.
  void LayOut();
  void butUebernehmenClick();
  void butDateiClick();
  void rbBeispielClick();
  void rbFormelClick();
  void rbDateiClick();
  void butAnwendenClick();
  void butOriginalClick();
  void cmbAufloesungChange(int index);
  void ShareChanged();
  void SurfaceTaken();
  void ShowSource();
  void UpdateReadouts();
  // Does what the curve rules answered: stops a job, schedules a start, redraws.
  void Obey(const CurveOrders& orders);
  void StartCurves();
  void ShowCurves();
  void Refuse(const QString& text);
  void Present(bool on);

  AnalyseCurves curves_;
  unsigned shownRevision_ = ~0u;  // the charts' revision last drawn
  QTimer curveTimer_;
  // The jobs the rules order run on curvePool_; the one under way can be cancelled.
  QThreadPool curvePool_;
  std::shared_ptr<std::atomic<bool>> curveCancel_;
  std::string lastFile_;
};

extern TfrmAnalyse* frmAnalyse;
