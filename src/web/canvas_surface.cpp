#include "web/canvas_surface.h"

#include "gl1es/gl1es.h"

GlContext CanvasSurface::CreateContext() {
  EmscriptenWebGLContextAttributes a;
  emscripten_webgl_init_context_attributes(&a);
  a.majorVersion = 2;
  a.minorVersion = 0;
  a.alpha = false;
  a.depth = true;
  a.stencil = false;
  // Edges as the desktop draws them, without smoothing.
  a.antialias = false;
  // The picture stays readable after the frame (pictures out, tests).
  a.preserveDrawingBuffer = true;
  webgl_ = emscripten_webgl_create_context(selector_.c_str(), &a);
  if (webgl_ <= 0) {
    webgl_ = 0;
    return nullptr;
  }
  emscripten_webgl_make_context_current(webgl_);
  layer_ = Gl1esCreateContext();
  return layer_;
}

void CanvasSurface::MakeCurrent(GlContext rc) {
  if (rc != nullptr && rc == layer_) {
    emscripten_webgl_make_context_current(webgl_);
    Gl1esMakeCurrent(layer_);
  } else {
    emscripten_webgl_make_context_current(0);
    Gl1esMakeCurrent(nullptr);
  }
}

void CanvasSurface::DeleteContext(GlContext rc) {
  if (rc == nullptr || rc != layer_) return;
  emscripten_webgl_make_context_current(webgl_);
  Gl1esDestroyContext(layer_);
  layer_ = nullptr;
  emscripten_webgl_destroy_context(webgl_);
  webgl_ = 0;
}

int CanvasSurface::PixelWidth() const {
  int w = 0, h = 0;
  emscripten_get_canvas_element_size(selector_.c_str(), &w, &h);
  return w;
}

int CanvasSurface::PixelHeight() const {
  int w = 0, h = 0;
  emscripten_get_canvas_element_size(selector_.c_str(), &w, &h);
  return h;
}
