#include "scene_pictures.h"

#include <GL/gl.h>

#include <fstream>
#include <memory>

#include "blac/decomposition.h"
#include "blac/startup.h"
#include "egl_pbuffer.h"
#include "render/glwindow.h"
#include "render/readback.h"
#include "render/scenes.h"
#include "state/state.h"
#ifdef VELTRA_GL1ES
#include "gl1es/gl1es.h"
#endif

namespace {

#ifdef VELTRA_GL1ES
constexpr GlApi kApi = GlApi::Es3;
#else
constexpr GlApi kApi = GlApi::FixedFunction;
#endif

// A context of the view: the EGL one and, over ES, the layer's.
struct ViewContext {
  std::unique_ptr<EglPbuffer> egl;
#ifdef VELTRA_GL1ES
  Gl1esContext* layer = nullptr;
#endif
};

ViewContext* gCurrent = nullptr;

void Bind(ViewContext* rc) {
  if (rc == nullptr) {
    EglPbuffer::ReleaseCurrent();
  } else {
    rc->egl->MakeCurrent();
  }
#ifdef VELTRA_GL1ES
  Gl1esMakeCurrent(rc != nullptr ? rc->layer : nullptr);
#endif
  gCurrent = rc;
}

// A view window stand-in: a pbuffer of the view's client size; one buffer,
// so the swap has nothing to do.
class PbufferView : public ViewSurface {
public:
  PbufferView(int width, int height) : width_(width), height_(height) {}
  bool ChoosePixelFormat(bool) override { return true; }
  GlContext CreateContext() override {
    auto rc = std::make_unique<ViewContext>();
    rc->egl = std::make_unique<EglPbuffer>(kApi, width_, height_);
    if (!rc->egl->Ok()) {
      error = rc->egl->Error();
      return nullptr;
    }
#ifdef VELTRA_GL1ES
    // The layer's objects are made in its ES context; the previous binding
    // comes back afterwards, as creating a context binds nothing.
    ViewContext* previous = gCurrent;
    rc->egl->MakeCurrent();
    rc->layer = Gl1esCreateContext();
    Bind(previous);
    if (rc->layer == nullptr) {
      error = "Gl1esCreateContext failed";
      return nullptr;
    }
#endif
    return rc.release();
  }
  void MakeCurrent(GlContext rc) override { Bind(static_cast<ViewContext*>(rc)); }
  void DeleteContext(GlContext rc) override {
    auto* c = static_cast<ViewContext*>(rc);
#ifdef VELTRA_GL1ES
    ViewContext* previous = gCurrent == c ? nullptr : gCurrent;
    c->egl->MakeCurrent();
    Gl1esDestroyContext(c->layer);
    Bind(previous);
#else
    if (gCurrent == c) Bind(nullptr);
#endif
    delete c;
  }
  void SwapBuffers() override {}
  int PixelWidth() const override { return width_; }
  int PixelHeight() const override { return height_; }
  std::string error;

private:
  int width_, height_;
};

PbufferView gGrafik(kGrafikWidth, kGrafikHeight);
PbufferView gDaten(kDatenWidth, kDatenHeight);

}  // namespace

Picture ReadView(const std::string& name, int width, int height) {
  const std::vector<std::uint8_t> rgba = ReadDrawBuffer(width, height);
  Picture p{name, width, height, {}};
  p.rgb.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
  // GL counts rows from the bottom.
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      for (int k = 0; k < 3; ++k)
        p.rgb[(static_cast<std::size_t>(height - 1 - y) * width + x) * 3 + k] =
            rgba[(static_cast<std::size_t>(y) * width + x) * 4 + k];
  return p;
}

void RedrawFunctionView() { GrafikPaintOrResize(kGrafikWidth, kGrafikHeight); }

std::vector<Picture> DrawScenes(std::string* error) {
  AppState& s = appState;
  RunStartupNumerics();
  CreateViewContexts(&gGrafik, &gDaten);
  if (s.rcGrafik == nullptr || s.rcDaten == nullptr) {
    *error = gGrafik.error + gDaten.error;
    return {};
  }
  std::vector<Picture> pictures;

  RedrawFunctionView();
  pictures.push_back(ReadView("function_overview", kGrafikWidth, kGrafikHeight));

  // Wavelet 1 ("Auswahl" item 2) close up: its orientation, the camera at
  // its target, the fine step.
  const Position3 target = s.viewTargets[2];
  s.selectedFunction = 1;
  s.functionOrientation[1] = s.closeUpOrientation;
  s.closeUp = true;
  s.GPosX = target.x;
  s.GPosY = target.y;
  s.GPosZ = target.z;
  gGrafik.MakeCurrent(s.rcGrafik);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glTranslated(target.x, target.y, target.z);
  RedrawFunctionView();
  pictures.push_back(ReadView("function_closeup", kGrafikWidth, kGrafikHeight));

  DatenPaintOrResize(kDatenWidth, kDatenHeight);
  pictures.push_back(ReadView("data_view", kDatenWidth, kDatenHeight));

  // The level track bar from 6 down to 2, one analysis step per level, and
  // "Zeige nur Daten" off.
  s.onlyData = false;
  while (s.chosenLevel > 2) {
    --s.chosenLevel;
    DecomposeLevel(s.chosenLevel);
  }
  DatenPaintOrResize(kDatenWidth, kDatenHeight);
  pictures.push_back(ReadView("data_level2", kDatenWidth, kDatenHeight));

  s.filledSurfaces = false;
  DatenPaintOrResize(kDatenWidth, kDatenHeight);
  pictures.push_back(ReadView("data_wireframe", kDatenWidth, kDatenHeight));
  s.filledSurfaces = true;
  return pictures;
}

void ReleaseScenes() { ReleaseViewContexts(); }

bool WritePpm(const std::string& path, const Picture& p) {
  std::ofstream out(path, std::ios::binary);
  out << "P6\n" << p.width << ' ' << p.height << "\n255\n";
  out.write(reinterpret_cast<const char*>(p.rgb.data()), static_cast<std::streamsize>(p.rgb.size()));
  return static_cast<bool>(out);
}

bool ReadPpm(const std::string& path, Picture& p) {
  std::ifstream in(path, std::ios::binary);
  std::string magic;
  int maxValue = 0;
  in >> magic >> p.width >> p.height >> maxValue;
  if (!in || magic != "P6" || maxValue != 255 || p.width <= 0 || p.height <= 0) return false;
  in.get();  // the one white-space character before the samples
  p.rgb.resize(static_cast<std::size_t>(p.width) * static_cast<std::size_t>(p.height) * 3);
  in.read(reinterpret_cast<char*>(p.rgb.data()), static_cast<std::streamsize>(p.rgb.size()));
  return static_cast<bool>(in);
}
