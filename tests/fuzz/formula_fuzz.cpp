// libFuzzer entry: any bytes as a formula. Built and run by scripts/fuzz.sh.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#include "sources/formula.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const SurfaceResult result = SurfaceFromFormula(std::string(reinterpret_cast<const char*>(data), size));
  if (result.grid.has_value() == !result.error.empty()) __builtin_trap();
  if (result.grid) {
    // Every value taken is finite and within the magnitude bound.
    for (int i = 1; i <= kGridPoints; ++i)
      for (int k = 1; k <= kGridPoints; ++k)
        if (!(std::fabs(GetElement(*result.grid, i, k)) <= kMaxMagnitude)) __builtin_trap();
  }
  return 0;
}
