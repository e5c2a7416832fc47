// The command line: options, the start file and the wrong calls, read without
// the toolkit.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "interaction/command_line.h"

namespace {

// argv as the C runtime hands it over: the program name first.
CommandLine Parse(std::initializer_list<const char*> args) {
  std::vector<const char*> argv{"veltra"};
  argv.insert(argv.end(), args);
  argv.push_back(nullptr);
  return ParseCommandLine(static_cast<int>(argv.size()) - 1, argv.data());
}

const char* Name(CommandLineAction a) {
  switch (a) {
    case CommandLineAction::Run: return "Run";
    case CommandLineAction::Help: return "Help";
    case CommandLineAction::Version: return "Version";
    case CommandLineAction::Error: return "Error";
  }
  return "?";
}

TEST(CommandLineTest, RunsWithoutArgumentsOrWithOneFile) {
  const struct {
    std::initializer_list<const char*> args;
    const char* file;
  } cases[] = {
      {{}, ""},
      {{"bild.png"}, "bild.png"},
      {{"/tmp/mit leerzeichen/tabelle.txt"}, "/tmp/mit leerzeichen/tabelle.txt"},
      {{"--", "-datei-mit-strich.txt"}, "-datei-mit-strich.txt"},
      {{"--", "--help"}, "--help"},
      {{"--", "-"}, "-"},
      {{"tabelle.csv", "--"}, "tabelle.csv"},
      {{"--", "--", }, "--"},
  };
  for (const auto& c : cases) {
    const CommandLine cl = Parse(c.args);
    EXPECT_EQ(cl.action, CommandLineAction::Run) << c.file << ": " << Name(cl.action) << " " << cl.message;
    EXPECT_EQ(cl.file, c.file);
    EXPECT_TRUE(cl.message.empty()) << cl.message;
  }
}

TEST(CommandLineTest, HelpAndVersionInShortAndLongFormDecideAtOnce) {
  const struct {
    std::initializer_list<const char*> args;
    CommandLineAction action;
  } cases[] = {
      {{"-h"}, CommandLineAction::Help},
      {{"--help"}, CommandLineAction::Help},
      {{"-v"}, CommandLineAction::Version},
      {{"--version"}, CommandLineAction::Version},
      // Left to right: the first decisive argument wins, later ones are not read.
      {{"--help", "--bogus"}, CommandLineAction::Help},
      {{"--version", "--help"}, CommandLineAction::Version},
      {{"bild.png", "--help"}, CommandLineAction::Help},
      {{"a.txt", "-v", "b.txt"}, CommandLineAction::Version},
      {{"--bogus", "--help"}, CommandLineAction::Error},
      {{"a.txt", "b.txt", "--help"}, CommandLineAction::Error},
  };
  for (const auto& c : cases) {
    const CommandLine cl = Parse(c.args);
    EXPECT_EQ(cl.action, c.action) << *c.args.begin() << ": got " << Name(cl.action);
    EXPECT_TRUE(cl.file.empty()) << cl.file;
  }
}

TEST(CommandLineTest, UnknownOptionsAreRefusedWithTheirName) {
  // Not the toolkit's own options either: the program takes only its own.
  for (const char* option : {"--bogus", "-x", "-V", "--Help", "--help=ja", "-hv", "---", "-platform",
                             "--versio"}) {
    const CommandLine cl = Parse({option});
    EXPECT_EQ(cl.action, CommandLineAction::Error) << option << ": got " << Name(cl.action);
    EXPECT_EQ(cl.message, std::string("Unbekannte Option: ") + option);
  }
}

TEST(CommandLineTest, MoreThanOneFileAStandardInputDashOrAnEmptyNameAreErrors) {
  CommandLine cl = Parse({"a.png", "b.png"});
  EXPECT_EQ(cl.action, CommandLineAction::Error);
  EXPECT_NE(cl.message.find("Nur eine Datei"), std::string::npos) << cl.message;
  EXPECT_NE(cl.message.find("a.png, b.png"), std::string::npos) << cl.message;

  cl = Parse({"a.png", "--", "b.png"});
  EXPECT_EQ(cl.action, CommandLineAction::Error);

  cl = Parse({"-"});
  EXPECT_EQ(cl.action, CommandLineAction::Error);
  EXPECT_NE(cl.message.find("Standardeingabe"), std::string::npos) << cl.message;

  cl = Parse({""});
  EXPECT_EQ(cl.action, CommandLineAction::Error);
  EXPECT_EQ(cl.message, "Leerer Dateiname.");
}

TEST(CommandLineTest, HelpAndVersionTextsSayWhatAUserNeeds) {
  const std::string help = HelpText();
  EXPECT_EQ(help.rfind("Aufruf: veltra [OPTION] [DATEI]\n", 0), 0u) << help;
  for (const char* expected : {"-h, --help", "-v, --version", "DATEI ist eine Fläche", "Bild", "Tabelle"}) {
    EXPECT_NE(help.find(expected), std::string::npos) << expected;
  }
  EXPECT_EQ(help.back(), '\n');

  const std::string version = VersionText("3.14");
  EXPECT_EQ(version.rfind("veltra 3.14\n", 0), 0u) << version;
  EXPECT_NE(version.find("GPL"), std::string::npos) << version;
  EXPECT_EQ(version.back(), '\n');
}

}  // namespace
