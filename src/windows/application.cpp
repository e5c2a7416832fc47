#include "windows/application.h"

#include <QFont>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QMessageBox>
#include <exception>

#include "windows/Help.h"
#include "state/state.h"

VeltraApplication::VeltraApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool VeltraApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& e) {
    ShowException(e.what());
  } catch (...) {
    ShowException("");
  }
  return false;
}

void VeltraApplication::ShowException(const char* what) {
  QMessageBox::critical(nullptr, "Veltra", QString::fromLocal8Bit(what));
}

void InitialiseToolkit(QApplication& app) {
  QFont font = QApplication::font();
  font.setStyleHint(QFont::SansSerif);
  font.setPointSize(8);
  QApplication::setFont(font);
  app.setWindowIcon(QIcon(":/veltra.png"));
  app.setApplicationName("Veltra");
  // Qt's own dialogs (opening a surface, saving a picture) speak German too.
  static QTranslator qtGerman;
  if (qtGerman.load(QLocale(QLocale::German, QLocale::Germany), "qtbase", "_",
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    app.installTranslator(&qtGerman);
  }
  InstallHelpKey(app);
  appState.showMessage = [](const std::string& text) {
    QMessageBox::information(nullptr, "Veltra", QString::fromStdString(text));
  };
}
