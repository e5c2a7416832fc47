#include "interaction/readouts.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <version>

#include "text/language.h"

namespace {

std::string Chars(double value, std::chars_format format, int precision) {
  std::array<char, 64> buf{};
#if defined(__cpp_lib_to_chars)
  const auto r = std::to_chars(buf.data(), buf.data() + buf.size(), value, format, precision);
  return std::string(buf.data(), r.ptr);
#else
  // The C++ library of the WebAssembly build has no to_chars for double; its
  // C library's printf gives the same text, with a point in every locale.
  const char* pattern = format == std::chars_format::scientific ? "%.*e" : "%.*f";
  const int n = std::snprintf(buf.data(), buf.size(), pattern, precision, value);
  return std::string(buf.data(), static_cast<std::size_t>(std::max(n, 0)));
#endif
}

std::string DropTrailingZeros(std::string s) {
  if (s.find('.') == std::string::npos) return s;
  while (s.back() == '0') s.pop_back();
  if (s.back() == '.') s.pop_back();
  return s;
}

// 1.05e-08 -> 1.05e-8, 1.20e+05 -> 1.2e+5
std::string Scientific(double value) {
  const std::string s = Chars(value, std::chars_format::scientific, 2);
  const std::size_t e = s.find('e');
  std::string mantissa = DropTrailingZeros(s.substr(0, e));
  std::string exponent = s.substr(e + 1);
  const char sign = exponent[0];
  exponent = exponent.substr(1);
  while (exponent.size() > 1 && exponent[0] == '0') exponent.erase(0, 1);
  return mantissa + "e" + (sign == '-' ? "-" : "+") + exponent;
}

// 1, 2 or 5 times a power of ten, at least `raw`.
double NiceStep(double raw) {
  const double decade = std::pow(10.0, std::floor(std::log10(raw)));
  for (const double m : {1.0, 2.0, 5.0, 10.0}) {
    // A little slack so that 0.3 / 3 counts as 0.1 and not as 0.2.
    if (m * decade >= raw * (1 - 1e-9)) return m * decade;
  }
  return 10 * decade;
}

}  // namespace

std::string FormatReadout(double value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
  if (value == 0) return "0";
  const double a = std::fabs(value);
  if (a < 1e-4 || a >= 1e4 - 0.5) return Scientific(value);
  // Decimals for 3 significant digits; rounding may carry into the next
  // digit (0.09996 -> 0.1000), which then just has one decimal too many.
  const int magnitude = static_cast<int>(std::floor(std::log10(a)));
  const int decimals = std::max(0, 2 - magnitude);
  return DropTrailingZeros(Chars(value, std::chars_format::fixed, decimals));
}

std::string FixedDecimals(double value, int decimals) { return Chars(value, std::chars_format::fixed, decimals); }

AxisRange NiceAxisFromZero(double top, int maxIntervals) {
  if (!(top > 0) || !std::isfinite(top) || maxIntervals < 1) return {};
  const double step = NiceStep(top / maxIntervals);
  int intervals = static_cast<int>(std::ceil(top / step - 1e-9));
  intervals = std::max(intervals, 1);
  return {0, intervals * step, step, intervals + 1};
}

AxisRange NiceAxisAround(double low, double high, int maxIntervals) {
  low = std::max(low, 0.0);
  if (!std::isfinite(low) || !std::isfinite(high) || maxIntervals < 1 || !(high - low > high * 1e-3))
    return NiceAxisFromZero(high, maxIntervals);
  for (double step = NiceStep((high - low) / maxIntervals);; step = NiceStep(step * 1.5)) {
    // The slack keeps a value on a tick (0.03 / 0.005) from counting as past it.
    const double from = std::floor(low / step + 1e-9) * step;
    const int intervals = std::max(1, static_cast<int>(std::ceil((high - from) / step - 1e-9)));
    if (intervals <= maxIntervals) return {from, from + intervals * step, step, intervals + 1};
  }
}

LogRange LogDecades(const std::vector<double>& values) {
  double lowest = INFINITY, highest = 0;
  for (const double v : values) {
    if (!(v > 0) || !std::isfinite(v)) continue;
    lowest = std::min(lowest, v);
    highest = std::max(highest, v);
  }
  if (highest == 0) return {};
  LogRange r;
  r.floor = std::pow(10.0, std::floor(std::log10(lowest)));
  r.ceiling = std::pow(10.0, std::ceil(std::log10(highest)));
  if (r.ceiling <= r.floor) r.ceiling = r.floor * 10;
  return r;
}

double OnLogAxis(const LogRange& range, double value) {
  return value > range.floor ? value : range.floor;
}

std::string MinimumText(const std::vector<std::pair<double, double>>& points) {
  const std::pair<double, double>* best = nullptr;
  for (const auto& p : points) {
    if (std::isfinite(p.second) && (best == nullptr || p.second < best->second)) best = &p;
  }
  if (best == nullptr) return {};
  return TrArgs("kleinster Fehler bei Delta = %1 (RMS %2)",
                {Chars(best->first, std::chars_format::fixed, 2), FormatReadout(best->second)});
}
