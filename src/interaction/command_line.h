#pragma once
// The program's command line, read before the toolkit starts so that --help
// and --version need no display.
#include <string>

enum class CommandLineAction { Run, Help, Version, Error };

struct CommandLine {
  CommandLineAction action = CommandLineAction::Run;
  // Run: the surface file to load at start, empty if none was given.
  std::string file;
  // Error: one German line that says what is wrong (without the help text).
  std::string message;
};

// Reads argv[1] to argv[argc - 1] from left to right; the first help, version
// or error decides. "--" ends the options, so a file name may start with '-'.
CommandLine ParseCommandLine(int argc, const char* const* argv);

// What --help prints (German, ends with a newline).
std::string HelpText();
// What --version prints: "veltra <version>" and a short licence note.
std::string VersionText(const std::string& version);

// Exit status for a wrong command line (as the GNU tools use it).
inline constexpr int kUsageExitStatus = 2;
