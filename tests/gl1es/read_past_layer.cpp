#include "read_past_layer.h"

// This file talks to ES directly: the forced include must not route these
// two names to the layer.
#undef glPixelStorei
#undef glReadPixels
#include <GLES3/gl3.h>

#include <cstddef>

std::vector<std::uint8_t> ReadPastLayer(int width, int height) {
  const auto w = static_cast<std::size_t>(width), h = static_cast<std::size_t>(height);
  std::vector<std::uint8_t> rgba(w * h * 4), rgb(w * h * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
  for (std::size_t y = 0; y < h; ++y)
    for (std::size_t x = 0; x < w; ++x)
      for (std::size_t k = 0; k < 3; ++k) rgb[((h - 1 - y) * w + x) * 3 + k] = rgba[(y * w + x) * 4 + k];
  return rgb;
}
