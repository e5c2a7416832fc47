#include "windows/application.h"

#include <QFont>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QMessageBox>
#include <exception>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "windows/Help.h"
#include "state/state.h"
#include "text/language.h"

namespace {

// A software GL (Mesa's llvmpipe, which a machine without a GPU driver and
// a virtual machine use) copies every draw's vertex arrays into buffers of a
// few megabytes allocated afresh each frame. With glibc's default thresholds
// each is a new mapping whose pages all fault in again: that took about two
// thirds of a 40,000-cell frame. Kept in the heap they are reused. Blocks of
// 64 MiB and more (a large picture) are still mapped and given back at once,
// and the heap is trimmed once 128 MiB lie free at its top.
void KeepFrameBuffersInHeap() {
#ifdef __GLIBC__
  mallopt(M_MMAP_THRESHOLD, 64 << 20);
  mallopt(M_TRIM_THRESHOLD, 128 << 20);
#endif
}

}  // namespace

VeltraApplication::VeltraApplication(int& argc, char** argv) : QApplication(argc, argv) { KeepFrameBuffersInHeap(); }

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
  // Qt's own dialogs (opening a surface, saving a picture) speak the
  // program's language: Qt's German translation, or Qt's own English.
  static QTranslator qtGerman;
  if (CurrentLanguage() == Language::German &&
      qtGerman.load(QLocale(QLocale::German, QLocale::Germany), "qtbase", "_",
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    app.installTranslator(&qtGerman);
  }
  InstallHelpKey(app);
  appState.showMessage = [](const std::string& text) {
    QMessageBox::information(nullptr, "Veltra", QString::fromStdString(text));
  };
}
