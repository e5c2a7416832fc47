#pragma once
// The control panel: the program's main window and its only command surface.
#include <QWidget>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class QScrollBar;
class QSlider;

class TfrmKontrolle : public QWidget {
  Q_OBJECT
public:
  TfrmKontrolle();

  // The start-up sequence: numerics, views, info window, GL contexts.
  void FormCreate();

  QLabel* labParams;
  QLabel* labDelta;
  QScrollBar* scrDelta;
  QLabel* labLevel;
  QSlider* trbLevel;
  QPushButton* butBerechne;
  QLabel* labaktuellesDelta;
  QFrame* panStrichlinks;
  QLabel* labZoom;
  QCheckBox* cbxZoom;
  QCheckBox* cbxOnlyData;
  QCheckBox* cbxDrahtgitter;
  QFrame* panStrichMitte;
  QLabel* labSelect;
  QComboBox* cmbSelect;
  QFrame* panStrichRechts;
  QPushButton* butAbout;
  QPushButton* butPrefs;
  QPushButton* butEnde;
  QPushButton* butAnalyse;
  QPushButton* butAnsichten;
  QLabel* labDeltaHinweis;

public slots:
  void scrDeltaChange();
  void trbLevelChange();
  void butBerechneClick();
  void cbxZoomClick();
  void cbxOnlyDataClick();
  void cbxDrahtgitterClick();
  void cmbSelectChange(int itemIndex);
  void butAboutClick();
  void butPrefsClick();
  void butEndeClick();
  void butAnalyseClick();
  void butAnsichtenClick();

protected:
  void ShowDeltaHint();
  void closeEvent(QCloseEvent* e) override;
};

extern TfrmKontrolle* frmKontrolle;

// Gives back both GL contexts, destroys the views and ends the event loop,
// so the program returns 0 from main.
void EndProgram();
