#include "sources/surface_result.h"

#include <charconv>

std::string NumberText(double value) {
  // to_chars ignores the locale, unlike printf and streams.
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}
