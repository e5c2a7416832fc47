#pragma once
// The info window: the product name and what it is for.
#include <QWidget>

class QLabel;

class TfrmAbout : public QWidget {
  Q_OBJECT
public:
  TfrmAbout();
  QLabel* Label1;
  QLabel* Label2;
  QLabel* Label3;
  QLabel* Label4;
  QLabel* Label5;

protected:
  void keyPressEvent(QKeyEvent* e) override;
};

extern TfrmAbout* frmAbout;
