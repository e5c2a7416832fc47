#pragma once
// The browser side of one 3D view: a canvas with its own WebGL 2 context and
// the GL 1.x layer's state for it.
#include <emscripten/html5_webgl.h>

#include <string>

#include "render/glwindow.h"

struct Gl1esContext;

class CanvasSurface : public ViewSurface {
public:
  // selector: the canvas's CSS selector, e.g. "#grafik".
  explicit CanvasSurface(std::string selector) : selector_(std::move(selector)) {}

  // A canvas takes its pixel format with its context; there is nothing to refuse.
  bool ChoosePixelFormat(bool) override { return true; }
  GlContext CreateContext() override;
  void MakeCurrent(GlContext rc) override;
  void DeleteContext(GlContext rc) override;
  // The browser shows what was drawn once the event handler returns.
  void SwapBuffers() override {}
  int PixelWidth() const override;
  int PixelHeight() const override;

private:
  std::string selector_;
  EMSCRIPTEN_WEBGL_CONTEXT_HANDLE webgl_ = 0;
  Gl1esContext* layer_ = nullptr;
};
