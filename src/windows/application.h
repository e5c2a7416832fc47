#pragma once
#include <QApplication>

// Shows any exception that reaches the event loop in a message box and keeps
// the program running.
class VeltraApplication : public QApplication {
public:
  VeltraApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;

  static void ShowException(const char* what);
};

// Application-wide font and icon; the message hook for the views.
void InitialiseToolkit(QApplication& app);
