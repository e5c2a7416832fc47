#include "text/language.h"

#include <atomic>
#include <cstddef>
#include <unordered_map>

#include "text/catalogue.h"

namespace {

std::atomic<Language> current{Language::German};

const std::unordered_map<std::string_view, const char*>& English() {
  static const std::unordered_map<std::string_view, const char*> table = [] {
    std::unordered_map<std::string_view, const char*> t;
    t.reserve(kEnglishCount);
    for (std::size_t i = 0; i < kEnglishCount; ++i) t.emplace(kEnglish[i].german, kEnglish[i].english);
    return t;
  }();
  return table;
}

}  // namespace

void SetLanguage(Language language) { current.store(language); }
Language CurrentLanguage() { return current.load(); }

std::optional<Language> LanguageFromCode(std::string_view code) {
  if (code == "de") return Language::German;
  if (code == "en") return Language::English;
  return std::nullopt;
}

const char* LanguageCode(Language language) { return language == Language::English ? "en" : "de"; }

const char* Tr(const char* german) {
  if (current.load() != Language::English || german == nullptr) return german;
  const auto& table = English();
  const auto found = table.find(german);
  return found != table.end() ? found->second : german;
}

std::string TrArgs(const char* german, std::initializer_list<std::string_view> args) {
  const std::string_view text = Tr(german);
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    // %1 .. %9: the argument of that number; anything else as it stands.
    if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
      const std::size_t n = static_cast<std::size_t>(text[i + 1] - '1');
      if (n < args.size()) {
        out.append(*(args.begin() + n));
        ++i;
        continue;
      }
    }
    out.push_back(text[i]);
  }
  return out;
}
