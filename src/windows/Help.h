#pragma once
// The help window: every key and mouse action of the two views. F1 opens it
// from any window of the program.
#include <QWidget>

class QCoreApplication;
class QTextBrowser;

class TfrmHelp : public QWidget {
  Q_OBJECT
public:
  TfrmHelp();
  QTextBrowser* txtHilfe;

protected:
  void keyPressEvent(QKeyEvent* e) override;
};

// The one help window; null until it is first shown.
extern TfrmHelp* frmHelp;

// Shows the help window (made on first use) and brings it to the front.
void ShowHelp();

// Makes F1 open the help window in every window of the application, the GL
// views included, and in windows made later.
void InstallHelpKey(QCoreApplication& app);
