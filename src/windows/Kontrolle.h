#pragma once
// The control panel: the program's main window and its only command surface.
#include <QWidget>
#include <functional>

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
  // Level track range and position, the labels and the Delta hint as the state has them.
  void ShowState();

  // What the panel asks of the program's windows, given by whoever owns them.
  struct WindowActions {
    std::function<void()> createViews;  // in the start-up sequence
    std::function<void()> showAnalyse;
    std::function<void()> showViews;
    std::function<void()> end;  // "Ende" or the panel closed
    std::function<void(bool on)> presentation;  // "Präsentation"
  } windows;

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
  QCheckBox* cbxPraesentation;
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
  void closeEvent(QCloseEvent* e) override;
};

extern TfrmKontrolle* frmKontrolle;

