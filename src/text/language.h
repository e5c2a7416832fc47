#pragma once
// The language the user reads: German (the default, and the texts as they
// are written in the code) or English, chosen explicitly (--lang en on the
// desktop, lang=en on the page). The English texts come from the catalogue
// po/en.po, turned into a table at build time.
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

enum class Language { German, English };

// Chosen once at start (and by the page's switch); read from any thread.
void SetLanguage(Language language);
Language CurrentLanguage();

// "de" or "en"; nothing for anything else (the caller refuses it).
std::optional<Language> LanguageFromCode(std::string_view code);
const char* LanguageCode(Language language);

// The text to show for a German text of the program: itself in German, its
// English in English. A text the catalogue lacks stays German (the
// catalogue's test makes sure there is none).
const char* Tr(const char* german);

// Tr with the placeholders %1, %2, ... replaced by args in order (numbers
// are formatted by the caller: the decimal point is the same in both).
std::string TrArgs(const char* german, std::initializer_list<std::string_view> args);
