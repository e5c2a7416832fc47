#include "render/readback.h"

#include <GL/gl.h>

#include <cstddef>

std::vector<std::uint8_t> ReadDrawBuffer(int width, int height) {
  std::vector<std::uint8_t> rgba(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
  // An obscured window's front buffer need not hold its pixels: read where
  // the redraw drew.
  GLint drawBuffer = GL_BACK;
  glGetIntegerv(GL_DRAW_BUFFER, &drawBuffer);
  glReadBuffer(static_cast<GLenum>(drawBuffer));
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
  return rgba;
}
