#include <exception>
#include <iostream>

#include "interaction/command_line.h"
#include "windows/Kontrolle.h"
#include "windows/application.h"
#include "windows/program_windows.h"

int main(int argc, char** argv) {
  // Before the toolkit: --help and --version need no display.
  const CommandLine commandLine = ParseCommandLine(argc, argv);
  switch (commandLine.action) {
    case CommandLineAction::Help:
      std::cout << HelpText() << std::flush;
      return 0;
    case CommandLineAction::Version:
      std::cout << VersionText(VELTRA_VERSION) << std::flush;
      return 0;
    case CommandLineAction::Error:
      std::cerr << "veltra: " << commandLine.message << "\n\n" << HelpText() << std::flush;
      return kUsageExitStatus;
    case CommandLineAction::Run:
      break;
  }

  // The toolkit sees only the program name: the command line has been read
  // above, and a file name must not be taken for one of its options.
  int toolkitArgc = 1;
  VeltraApplication app(toolkitArgc, argv);
  // Lets a Wayland compositor match the windows to the menu entry and its icon.
  QGuiApplication::setDesktopFileName(QStringLiteral(VELTRA_APP_ID));
  InitialiseToolkit(app);
  try {
    CreateForms();
    if (!commandLine.file.empty()) OpenStartFile(commandLine.file);
    app.exec();
    DestroyForms();
  } catch (const std::exception& e) {
    VeltraApplication::ShowException(e.what());
  } catch (...) {
    VeltraApplication::ShowException("");
  }
  return 0;
}
