#pragma once
// An off-screen GL context on Mesa's EGL: on the surfaceless platform when
// there is one (no display needed), else on the default display; a pbuffer
// is its drawing surface. Both APIs get the same configuration (RGB 8 bits,
// 24 depth bits), so their pictures can be compared pixel by pixel.
#include <string>

enum class GlApi { FixedFunction, Es3 };  // a desktop compatibility context, or ES 3.0

class EglPbuffer {
public:
  EglPbuffer(GlApi api, int width, int height);
  ~EglPbuffer();
  EglPbuffer(const EglPbuffer&) = delete;
  EglPbuffer& operator=(const EglPbuffer&) = delete;

  bool Ok() const { return context_ != nullptr; }
  const std::string& Error() const { return error_; }
  void MakeCurrent() const;
  static void ReleaseCurrent();
  int Width() const { return width_; }
  int Height() const { return height_; }

private:
  void* surface_ = nullptr;  // EGLSurface
  void* context_ = nullptr;  // EGLContext
  int width_, height_;
  std::string error_;
};
