#include "sources/surface_result.h"

#include <version>

#if defined(__cpp_lib_to_chars)
#include <charconv>

std::string NumberText(double value) {
  // to_chars ignores the locale, unlike printf and streams.
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

#else
// The C++ library of the WebAssembly build has no to_chars for double. This
// gives the same text: the fewest significant digits that read back as
// value, written fixed where that is not longer than with an exponent. Its C
// library formats and reads numbers with a decimal point in every locale.
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

bool ReadsBack(const std::string& text, double value) { return std::strtod(text.c_str(), nullptr) == value; }

// text ("d.ddde+XX") with its last digit one higher in magnitude.
std::string OneUp(std::string text) {
  const std::size_t e = text.find('e');
  std::size_t p = e;
  while (p-- > 0) {
    if (text[p] == '.') continue;
    if (text[p] == '-') break;
    if (text[p] != '9') {
      ++text[p];
      return text;
    }
    text[p] = '0';
  }
  // 9.99e+XX became 0.00e+XX: 1.00e+(XX + 1).
  text[p + 1] = '1';
  char exponent[8];
  std::snprintf(exponent, sizeof exponent, "%+03d", std::atoi(text.c_str() + e + 1) + 1);
  return text.substr(0, e + 1) + exponent;
}

// The fewest significant digits that read back as value, closest to it
// among those; "%.*e" style. Where the neighbours of value are not equally
// far (at a power of two) the closest such text may lie beyond the nearer
// one, so the next one up is tried as well.
std::string ShortestScientific(double value) {
  char text[40];
  for (int decimals = 0;; ++decimals) {
    std::snprintf(text, sizeof text, "%.*e", decimals, value);
    if (decimals == 16 || ReadsBack(text, value)) return text;
    const std::string up = OneUp(text);
    if (ReadsBack(up, value)) return up;
  }
}

}  // namespace

std::string NumberText(double value) {
  if (std::isnan(value)) return std::signbit(value) ? "-nan" : "nan";
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
  if (value == 0) return std::signbit(value) ? "-0" : "0";
  const std::string scientific = ShortestScientific(value);
  const std::string sign = value < 0 ? "-" : "";
  // Significant digits and the exponent of the first one.
  const std::size_t e = scientific.find('e');
  std::string digits;
  for (std::size_t p = sign.size(); p < e; ++p)
    if (scientific[p] != '.') digits.push_back(scientific[p]);
  const int exponent = std::atoi(scientific.c_str() + e + 1);
  const int n = static_cast<int>(digits.size());
  std::string fixed;
  if (exponent >= n - 1) {
    // A whole number: its exact digits, as to_chars writes them.
    char whole[400];
    std::snprintf(whole, sizeof whole, "%.0f", value);
    fixed = whole;
  } else if (exponent >= 0) {
    fixed = sign + digits.substr(0, static_cast<std::size_t>(exponent) + 1) + "." +
            digits.substr(static_cast<std::size_t>(exponent) + 1);
  } else {
    fixed = sign + "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
  }
  return fixed.size() <= scientific.size() ? fixed : scientific;
}

#endif
