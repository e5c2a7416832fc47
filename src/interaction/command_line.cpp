#include "interaction/command_line.h"

#include <string_view>
#include <utility>

namespace {

CommandLine Decided(CommandLineAction action, std::string message = {}) {
  CommandLine result;
  result.action = action;
  result.message = std::move(message);
  return result;
}

}  // namespace

CommandLine ParseCommandLine(int argc, const char* const* argv) {
  CommandLine result;
  bool haveFile = false;
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i] != nullptr ? argv[i] : "";
    if (!optionsEnded && arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
      if (arg == "-h" || arg == "--help") return Decided(CommandLineAction::Help);
      if (arg == "-v" || arg == "--version") return Decided(CommandLineAction::Version);
      return Decided(CommandLineAction::Error, "Unbekannte Option: " + std::string(arg));
    }
    // The surface is read from a named file only; "-" is not standard input.
    if (!optionsEnded && arg == "-") {
      return Decided(CommandLineAction::Error,
                     "Von der Standardeingabe wird nicht gelesen; bitte eine Datei angeben.");
    }
    if (arg.empty()) return Decided(CommandLineAction::Error, "Leerer Dateiname.");
    if (haveFile) {
      return Decided(CommandLineAction::Error,
                     "Nur eine Datei kann geladen werden, angegeben sind mehrere: " + result.file +
                         ", " + std::string(arg));
    }
    result.file = arg;
    haveFile = true;
  }
  return result;
}

std::string HelpText() {
  return "Aufruf: veltra [OPTION] [DATEI]\n"
         "Zeigt die zweidimensionale Multiskalenanalyse mit BLaC-Wavelets: ein Kontrollfenster\n"
         "und zwei OpenGL-Ansichten (Skalierungsfunktion und Wavelets, Daten).\n"
         "\n"
         "DATEI ist eine Fläche, die beim Start in die Datenansicht geladen wird: ein Bild\n"
         "(Grauwert als Höhe, z. B. PNG, JPEG, GIF, BMP, TIFF, WebP) oder eine Tabelle von\n"
         "Zahlen (eine Zeile je Gitterzeile, getrennt durch Leerzeichen, Tabulator, Komma\n"
         "oder Semikolon). Ohne DATEI zeigt Veltra die eingebaute Beispielfläche.\n"
         "\n"
         "Optionen:\n"
         "  -h, --help       diese Hilfe anzeigen und beenden\n"
         "  -v, --version    Versionsangabe anzeigen und beenden\n"
         "  --               alles Folgende ist ein Dateiname, auch wenn es mit - beginnt\n"
         "\n"
         "Rückgabewert: 0 bei Erfolg, 2 bei einem falschen Aufruf.\n"
         "Tasten und Maus in den Ansichten: F1 im Programm oder \"man veltra\".\n";
}

std::string VersionText(const std::string& version) {
  return "veltra " + version +
         "\n"
         "Lizenz GPLv3+: GNU GPL Version 3 oder neuer <https://gnu.org/licenses/gpl.html>.\n"
         "Dies ist freie Software: Sie dürfen sie ändern und weitergeben.\n"
         "Es gibt KEINE GARANTIE, soweit das Gesetz es zulässt.\n";
}
