#pragma once
// The settings window: step widths, rotation step, transition frames.
#include <QWidget>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TfrmPrefs : public QWidget {
  Q_OBJECT
public:
  TfrmPrefs();

  // Shows the window (or brings it to the front) and fills the fields from
  // the program state, replacing unconfirmed edits.
  void Open();

  QGroupBox* grpSchrittweite;
  QLabel* labhNear;
  QLineEdit* txthNear;
  QLabel* labFar;
  QLineEdit* txthFar;
  QLabel* Label2;
  QLineEdit* txthDat;
  QGroupBox* GroupBox1;
  QLabel* labRotStep;
  QLineEdit* txtRotStep;
  QGroupBox* grpSchritte;
  QLabel* labSteps;
  QLineEdit* txtSteps;
  QPushButton* butOK;
  QPushButton* butAbbrechen;

public slots:
  void butOKClick();
  void butAbbrechenClick();

protected:
  // Escape acts as "Abbrechen", Return and Enter as "OK", wherever the focus is.
  void keyPressEvent(QKeyEvent* e) override;
};

extern TfrmPrefs* frmPrefs;
