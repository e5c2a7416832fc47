#pragma once
// Shared helpers of the surface source tests.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <clocale>
#include <filesystem>
#include <fstream>
#include <locale>
#include <string>
#include <vector>

#include "sources/surface_result.h"

namespace sources_test {

// German C and C++ locales (decimal comma) for one scope.
class GermanLocale {
public:
  GermanLocale() : previousC_(std::setlocale(LC_ALL, nullptr)) {
    active_ = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    if (active_) std::locale::global(std::locale("de_DE.UTF-8"));
  }
  ~GermanLocale() {
    std::locale::global(previous_);
    std::setlocale(LC_ALL, previousC_.c_str());
  }
  bool active() const { return active_; }

private:
  std::locale previous_;
  std::string previousC_;
  bool active_ = false;
};

// A fresh directory, removed with everything in it.
struct TempDir {
  std::string path = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "veltra-sources-XXXXXX").string();
    return mkdtemp(pattern.data()) ? pattern : std::string("/mkdtemp-failed");
  }();
  ~TempDir() { std::filesystem::remove_all(path); }
  std::string File(const std::string& name) const { return path + "/" + name; }
  std::string Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(File(name), std::ios::binary) << bytes;
    return File(name);
  }
};

// A refusal without a grid whose message holds every part.
inline void ExpectRefused(const SurfaceResult& result, const std::vector<std::string>& parts) {
  EXPECT_FALSE(result.grid.has_value());
  for (const auto& part : parts) EXPECT_NE(result.error.find(part), std::string::npos) << result.error;
}

}  // namespace sources_test
