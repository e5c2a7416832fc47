// The command line: options, the start file and the wrong calls, read without
// the toolkit.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "interaction/command_line.h"
#include "interaction/commands.h"
#include "text/language.h"

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

// --lang is read before anything else: help and messages come in the chosen
// language whatever the order. A wrong or missing value is refused in the
// language then in force; numbers keep the decimal point in English.
TEST(CommandLineTest, LangChoosesEnglishOrGermanAndRefusesAnythingElse) {
  CommandLine cl = Parse({"--lang", "en", "bild.png"});
  EXPECT_EQ(cl.action, CommandLineAction::Run);
  EXPECT_EQ(cl.file, "bild.png");
  EXPECT_EQ(cl.language, Language::English);
  EXPECT_EQ(CurrentLanguage(), Language::English);
  EXPECT_EQ(CurrentDeltaLabelText(0.25), "current Delta: 0.25");

  cl = Parse({"--help", "--lang=en"});
  EXPECT_EQ(cl.action, CommandLineAction::Help);
  const std::string help = HelpText();
  EXPECT_EQ(help.rfind("Usage: veltra [OPTION] [FILE]\n", 0), 0u) << help;
  EXPECT_NE(help.find("--lang LANGUAGE  de (German, also without the option) or en (English)"), std::string::npos);
  EXPECT_NE(VersionText("2").find("There is NO WARRANTY"), std::string::npos);

  EXPECT_EQ(Parse({"--lang", "en", "-x"}).message, "Unknown option: -x");
  EXPECT_EQ(Parse({"a", "--lang", "en", "b"}).message, "Only one file can be loaded, several were given: a, b");
  EXPECT_EQ(Parse({"--lang", "en", "--lang", "xx"}).message, "Unknown language: xx (de and en are allowed).");

  // German again, also when chosen explicitly.
  cl = Parse({"--lang", "de"});
  EXPECT_EQ(cl.action, CommandLineAction::Run);
  EXPECT_EQ(cl.language, Language::German);
  EXPECT_EQ(HelpText().rfind("Aufruf: veltra [OPTION] [DATEI]\n", 0), 0u);
  EXPECT_NE(HelpText().find("--lang SPRACHE   de (Deutsch, ohne die Option) oder en (Englisch)"), std::string::npos);
  EXPECT_EQ(CurrentDeltaLabelText(0.25), "aktuelles Delta: 0.25");

  const struct {
    std::initializer_list<const char*> args;
    const char* message;
  } refused[] = {
      {{"--lang", "fr"}, "Unbekannte Sprache: fr (erlaubt sind de und en)."},
      {{"--lang=EN"}, "Unbekannte Sprache: EN (erlaubt sind de und en)."},
      {{"--lang="}, "Unbekannte Sprache:  (erlaubt sind de und en)."},
      {{"bild.png", "--lang"}, "Nach --lang fehlt die Sprache: de oder en."},
  };
  for (const auto& r : refused) {
    cl = Parse(r.args);
    EXPECT_EQ(cl.action, CommandLineAction::Error) << r.message;
    EXPECT_EQ(cl.message, r.message);
    EXPECT_EQ(cl.language, Language::German);
  }
  // After "--" it is a file name like any other.
  cl = Parse({"--", "--lang"});
  EXPECT_EQ(cl.file, "--lang");
  EXPECT_EQ(cl.language, Language::German);
}

TEST(LanguageTest, PlaceholdersAreFilledInOrderAndUnknownTextsStayGerman) {
  SetLanguage(Language::English);
  EXPECT_STREQ(Tr("Ende"), "Quit");
  EXPECT_STREQ(Tr("Kein Text des Programms"), "Kein Text des Programms");
  EXPECT_EQ(TrArgs("Nur eine Datei kann geladen werden, angegeben sind mehrere: %1, %2", {"x.png", "y.txt"}),
            "Only one file can be loaded, several were given: x.png, y.txt");
  SetLanguage(Language::German);
  EXPECT_STREQ(Tr("Ende"), "Ende");
  // A placeholder without its argument, and a % that is none, stay as written.
  EXPECT_EQ(TrArgs("%2 und %1, 5 %", {"a"}), "%2 und a, 5 %");
  EXPECT_EQ(LanguageFromCode("en"), Language::English);
  EXPECT_EQ(LanguageFromCode("de"), Language::German);
  EXPECT_FALSE(LanguageFromCode("En").has_value());
  EXPECT_STREQ(LanguageCode(Language::English), "en");
}

}  // namespace
