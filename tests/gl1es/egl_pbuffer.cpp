#include "egl_pbuffer.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <cstring>
#include <sstream>

namespace {

bool HasExtension(const char* list, const char* name) {
  if (list == nullptr) return false;
  const std::size_t n = std::strlen(name);
  for (const char* p = std::strstr(list, name); p != nullptr; p = std::strstr(p + n, name))
    if ((p == list || p[-1] == ' ') && (p[n] == ' ' || p[n] == '\0')) return true;
  return false;
}

EGLDisplay Display() {
  static EGLDisplay display = [] {
    EGLDisplay d = EGL_NO_DISPLAY;
    const char* client = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    if (HasExtension(client, "EGL_MESA_platform_surfaceless")) {
      auto getPlatformDisplay =
          reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
      if (getPlatformDisplay != nullptr)
        d = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    }
    if (d == EGL_NO_DISPLAY) d = eglGetDisplay(EGL_DEFAULT_DISPLAY);
    if (d != EGL_NO_DISPLAY && eglInitialize(d, nullptr, nullptr) != EGL_TRUE) d = EGL_NO_DISPLAY;
    return d;
  }();
  return display;
}

std::string Failure(const char* what) {
  std::ostringstream s;
  s << what << " failed, EGL error 0x" << std::hex << eglGetError();
  return s.str();
}

}  // namespace

EglPbuffer::EglPbuffer(GlApi api, int width, int height) : width_(width), height_(height) {
  const EGLDisplay d = Display();
  if (d == EGL_NO_DISPLAY) {
    error_ = "no EGL display";
    return;
  }
  const bool es = api == GlApi::Es3;
  const EGLint configAttributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT,
                                     EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8,
                                     EGL_DEPTH_SIZE, 24,
                                     EGL_RENDERABLE_TYPE, es ? EGL_OPENGL_ES3_BIT : EGL_OPENGL_BIT,
                                     EGL_NONE};
  EGLConfig config = nullptr;
  EGLint count = 0;
  if (eglChooseConfig(d, configAttributes, &config, 1, &count) != EGL_TRUE || count < 1) {
    error_ = Failure("eglChooseConfig");
    return;
  }
  const EGLint surfaceAttributes[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
  surface_ = eglCreatePbufferSurface(d, config, surfaceAttributes);
  if (surface_ == EGL_NO_SURFACE) {
    error_ = Failure("eglCreatePbufferSurface");
    surface_ = nullptr;
    return;
  }
  eglBindAPI(es ? EGL_OPENGL_ES_API : EGL_OPENGL_API);
  // No version asked of desktop GL: Mesa then gives a compatibility context.
  const EGLint es3[] = {EGL_CONTEXT_MAJOR_VERSION, 3, EGL_CONTEXT_MINOR_VERSION, 0, EGL_NONE};
  const EGLint none[] = {EGL_NONE};
  context_ = eglCreateContext(d, config, EGL_NO_CONTEXT, es ? es3 : none);
  if (context_ == EGL_NO_CONTEXT) {
    error_ = Failure("eglCreateContext");
    context_ = nullptr;
  }
}

EglPbuffer::~EglPbuffer() {
  const EGLDisplay d = Display();
  if (context_ != nullptr) {
    if (eglGetCurrentContext() == context_) ReleaseCurrent();
    eglDestroyContext(d, context_);
  }
  if (surface_ != nullptr) eglDestroySurface(d, surface_);
}

void EglPbuffer::MakeCurrent() const {
  eglMakeCurrent(Display(), surface_, surface_, context_);
}

void EglPbuffer::ReleaseCurrent() { eglMakeCurrent(Display(), EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT); }
