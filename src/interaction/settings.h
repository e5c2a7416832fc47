#pragma once
// Reading and checking the settings window's five fields.
#include <optional>
#include <string>

// The C library's string-to-double and string-to-integer readings, in the C
// locale: leading blanks skipped, the longest numeric prefix taken, 0 if none.
double ParseDouble(const std::string& text);
// Whole number; out-of-range values are clamped to the int range.
long ParseWholeNumber(const std::string& text);
// %g in the C locale.
std::string FormatNumber(double value);

// Bounds that keep a redraw finite and responsive.
constexpr double kMinStepWidth = 0.005;
constexpr double kMaxStepWidth = 1.0;
constexpr double kMaxTransitionSteps = 100;

struct SettingsText {
  std::string near, far, data, rotStep, steps;
};

struct SettingsValues {
  double stepNear, stepFar, stepData, rotStep, transitionSteps;
};

// The fields as the settings window shows them when it opens.
SettingsText CurrentSettingsText();

// Checks all five fields. On success the converted values; otherwise the
// German message that names the first offending field.
struct SettingsCheck {
  std::optional<SettingsValues> values;
  std::string error;
};
SettingsCheck CheckSettings(const SettingsText& text);

// Takes checked values over into the program state.
void ApplySettings(const SettingsValues& values);
