#include "interaction/settings.h"

#include <locale.h>

#include <array>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <version>

#include "state/state.h"
#include "text/language.h"

namespace {

// The toolkit sets the C library's locale from the environment; numbers are
// read in the C locale all the same, so "0.05" means 0.05 under any locale.
locale_t CLocale() {
  static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return c;
}

bool StepWidthOk(double v) { return std::isfinite(v) && v >= kMinStepWidth && v <= kMaxStepWidth; }

std::string StepWidthError(const char* field) {
  return TrArgs("Ungültige Schrittweite bei „%1“: bitte eine Zahl von %2 bis %3 eingeben "
                "(mit Punkt als Dezimaltrennzeichen).",
                {field, FormatNumber(kMinStepWidth), FormatNumber(kMaxStepWidth)});
}

}  // namespace

double ParseDouble(const std::string& text) { return strtod_l(text.c_str(), nullptr, CLocale()); }

long ParseWholeNumber(const std::string& text) {
#if defined(__EMSCRIPTEN__)
  // The WebAssembly C library has no strtoll_l; it reads whole numbers alike in every locale.
  const long long v = std::strtoll(text.c_str(), nullptr, 10);
#else
  const long long v = strtoll_l(text.c_str(), nullptr, 10, CLocale());
#endif
  if (v > INT_MAX) return INT_MAX;
  if (v < INT_MIN) return INT_MIN;
  return static_cast<long>(v);
}

std::string FormatNumber(double value) {
  std::array<char, 64> buf{};
#if defined(__cpp_lib_to_chars)
  const auto r = std::to_chars(buf.data(), buf.data() + buf.size(), value,
                               std::chars_format::general, 6);
  return std::string(buf.data(), r.ptr);
#else
  // The C++ library of the WebAssembly build has no to_chars for double; its
  // C library's printf gives the same text, with a point in every locale.
  const int n = std::snprintf(buf.data(), buf.size(), "%.6g", value);
  return std::string(buf.data(), static_cast<std::size_t>(n > 0 ? n : 0));
#endif
}

SettingsText CurrentSettingsText() {
  const AppState& s = appState;
  return {FormatNumber(s.stepNear), FormatNumber(s.stepFar), FormatNumber(s.stepData),
          FormatNumber(s.rotStep), FormatNumber(s.transitionSteps)};
}

SettingsCheck CheckSettings(const SettingsText& text) {
  SettingsValues v{};
  v.stepNear = ParseDouble(text.near);
  v.stepFar = ParseDouble(text.far);
  v.stepData = ParseDouble(text.data);
  v.transitionSteps = ParseDouble(text.steps);
  v.rotStep = static_cast<double>(ParseWholeNumber(text.rotStep));

  if (!StepWidthOk(v.stepNear)) return {std::nullopt, StepWidthError(Tr("naher Betrachtung"))};
  if (!StepWidthOk(v.stepFar)) return {std::nullopt, StepWidthError(Tr("entfernter Betrachtung"))};
  if (!StepWidthOk(v.stepData)) return {std::nullopt, StepWidthError(Tr("den Daten"))};
  const double n = v.transitionSteps;
  if (!(std::isfinite(n) && n >= 1 && n <= kMaxTransitionSteps && n == std::floor(n))) {
    return {std::nullopt, TrArgs("Ungültige Anzahl Zwischenschritte: bitte eine ganze Zahl von 1 bis %1 eingeben.",
                                 {FormatNumber(kMaxTransitionSteps)})};
  }
  return {v, {}};
}

void ApplySettings(const SettingsValues& v) {
  AppState& s = appState;
  s.stepNear = v.stepNear;
  s.stepFar = v.stepFar;
  s.stepData = v.stepData;
  s.transitionSteps = v.transitionSteps;
  s.rotStep = v.rotStep;
}
