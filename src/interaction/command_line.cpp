#include "interaction/command_line.h"

#include <optional>
#include <string_view>
#include <utility>

namespace {

CommandLine Decided(CommandLineAction action, std::string message = {}) {
  CommandLine result;
  result.language = CurrentLanguage();
  result.action = action;
  result.message = std::move(message);
  return result;
}

// The value of a --lang option at argv[i] ("--lang X" or "--lang=X"), with
// how many arguments it takes; nothing if argv[i] is not one.
struct LanguageOption {
  std::string_view value;
  int taken;
  bool missing;
};
std::optional<LanguageOption> LanguageOptionAt(int argc, const char* const* argv, int i) {
  const std::string_view arg = argv[i] != nullptr ? argv[i] : "";
  constexpr std::string_view kJoined = "--lang=";
  if (arg.substr(0, kJoined.size()) == kJoined) return LanguageOption{arg.substr(kJoined.size()), 1, false};
  if (arg != "--lang") return std::nullopt;
  if (i + 1 >= argc || argv[i + 1] == nullptr) return LanguageOption{{}, 1, true};
  return LanguageOption{argv[i + 1], 2, false};
}

}  // namespace

CommandLine ParseCommandLine(int argc, const char* const* argv) {
  CommandLine result;
  // The language first: help and messages below are made in it.
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i] != nullptr ? argv[i] : "";
    if (arg == "--") break;
    if (const auto option = LanguageOptionAt(argc, argv, i)) {
      if (const auto language = LanguageFromCode(option->value)) result.language = *language;
      i += option->taken - 1;
    }
  }
  SetLanguage(result.language);

  bool haveFile = false;
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i] != nullptr ? argv[i] : "";
    if (!optionsEnded && arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (!optionsEnded) {
      if (const auto option = LanguageOptionAt(argc, argv, i)) {
        if (option->missing) return Decided(CommandLineAction::Error, Tr("Nach --lang fehlt die Sprache: de oder en."));
        if (!LanguageFromCode(option->value)) {
          return Decided(CommandLineAction::Error,
                         TrArgs("Unbekannte Sprache: %1 (erlaubt sind de und en).", {option->value}));
        }
        i += option->taken - 1;
        continue;
      }
    }
    if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
      if (arg == "-h" || arg == "--help") return Decided(CommandLineAction::Help);
      if (arg == "-v" || arg == "--version") return Decided(CommandLineAction::Version);
      return Decided(CommandLineAction::Error, TrArgs("Unbekannte Option: %1", {arg}));
    }
    // The surface is read from a named file only; "-" is not standard input.
    if (!optionsEnded && arg == "-") {
      return Decided(CommandLineAction::Error,
                     Tr("Von der Standardeingabe wird nicht gelesen; bitte eine Datei angeben."));
    }
    if (arg.empty()) return Decided(CommandLineAction::Error, Tr("Leerer Dateiname."));
    if (haveFile) {
      return Decided(CommandLineAction::Error,
                     TrArgs("Nur eine Datei kann geladen werden, angegeben sind mehrere: %1, %2", {result.file, arg}));
    }
    result.file = arg;
    haveFile = true;
  }
  return result;
}

std::string HelpText() {
  return Tr("Aufruf: veltra [OPTION] [DATEI]\n"
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
            "  --lang SPRACHE   de (Deutsch, ohne die Option) oder en (Englisch)\n"
            "  --               alles Folgende ist ein Dateiname, auch wenn es mit - beginnt\n"
            "\n"
            "Rückgabewert: 0 bei Erfolg, 2 bei einem falschen Aufruf.\n"
            "Tasten und Maus in den Ansichten: F1 im Programm oder \"man veltra\".\n");
}

std::string VersionText(const std::string& version) {
  return "veltra " + version + "\n" +
         Tr("Lizenz GPLv3+: GNU GPL Version 3 oder neuer <https://gnu.org/licenses/gpl.html>.\n"
            "Dies ist freie Software: Sie dürfen sie ändern und weitergeben.\n"
            "Es gibt KEINE GARANTIE, soweit das Gesetz es zulässt.\n");
}
