#pragma once
// The program's command line, read before the toolkit starts so that --help
// and --version need no display.
#include <string>

#include "text/language.h"

enum class CommandLineAction { Run, Help, Version, Error };

struct CommandLine {
  CommandLineAction action = CommandLineAction::Run;
  // Run: the surface file to load at start, empty if none was given.
  std::string file;
  // Error: one line that says what is wrong (without the help text), in the
  // language chosen.
  std::string message;
  // --lang de|en (German when not given). Chosen before anything else is
  // read, so that help and errors come in that language whatever the order.
  Language language = Language::German;
};

// Reads argv[1] to argv[argc - 1] from left to right; the first help, version
// or error decides. "--" ends the options, so a file name may start with '-'.
// Sets the language (SetLanguage) from --lang before the texts are made.
CommandLine ParseCommandLine(int argc, const char* const* argv);

// What --help prints (in the language chosen, ends with a newline).
std::string HelpText();
// What --version prints: "veltra <version>" and a short licence note.
std::string VersionText(const std::string& version);

// Exit status for a wrong command line (as the GNU tools use it).
inline constexpr int kUsageExitStatus = 2;
