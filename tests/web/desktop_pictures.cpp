// The desktop's pictures of a state, for the page's tests: both views drawn
// with the fixed-function OpenGL the desktop uses, into off-screen EGL
// buffers of the views' start sizes (the layer tests' EGL buffers), after a list of actions given as
// arguments; written as DIR/grafik.ppm and DIR/daten.ppm.
//
//   desktop_pictures DIR [ACTION ...]
//   ACTION: delta POS | compute | level POS | zoom 0|1 | onlyData 0|1 | wire 0|1
//           | key grafik|daten CODE SHIFT | drag grafik|daten DX DY SHIFT
//           | move grafik|daten DX DY | wheel grafik|daten NOTCHES
//           | formula TEXT | table FILE | resolution POINTS | share PERCENT
//           | compress | original | select ITEM
// Also writes DIR/analyse.json: the "Analyse" readouts and both curves at
// the share given last (10 % unless given), numbers with 17 digits, and the
// data view's caption.
#include <atomic>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "blac/startup.h"
#include "interaction/analysis_panel.h"
#include "interaction/commands.h"
#include "interaction/curve_job.h"
#include "interaction/data_source.h"
#include "interaction/display_scale_text.h"
#include "interaction/readouts.h"
#include "interaction/selection.h"
#include "sources/picture.h"
#include "sources/table_reader.h"
#include "interaction/navigation.h"
#include "render/glwindow.h"
#include "render/readback.h"
#include "render/scenes.h"
#include "state/state.h"
#include "gl1es/egl_pbuffer.h"

namespace {

// One view as an off-screen buffer with a compatibility-profile context.
class PbufferView : public ViewSurface {
public:
  PbufferView(int width, int height) : buffer_(GlApi::FixedFunction, width, height) {}
  bool ChoosePixelFormat(bool) override { return buffer_.Ok(); }
  // The buffer comes with its one context.
  GlContext CreateContext() override { return buffer_.Ok() ? &buffer_ : nullptr; }
  void MakeCurrent(GlContext rc) override {
    if (rc) buffer_.MakeCurrent();
    else EglPbuffer::ReleaseCurrent();
  }
  void DeleteContext(GlContext) override {}
  // An off-screen buffer has nothing to swap; the picture is read from it.
  void SwapBuffers() override {}
  int PixelWidth() const override { return buffer_.Width(); }
  int PixelHeight() const override { return buffer_.Height(); }

private:
  EglPbuffer buffer_;
};

NavView ViewNamed(const std::string& name) { return name == "daten" ? NavView::Daten : NavView::Grafik; }

bool WritePpm(const std::string& file, const std::vector<std::uint8_t>& rgba, int w, int h) {
  std::ofstream out(file, std::ios::binary);
  out << "P6\n" << w << ' ' << h << "\n255\n";
  for (int y = h - 1; y >= 0; --y) {  // GL counts rows from the bottom
    for (int x = 0; x < w; ++x) out.write(reinterpret_cast<const char*>(&rgba[4 * (y * w + x)]), 3);
  }
  return static_cast<bool>(out);
}

std::string Json(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    if (c == '\n') {
      out += "\\n";
      continue;
    }
    out += c;
  }
  return out + "\"";
}

std::string Json(double v) {
  if (!std::isfinite(v)) return "null";
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.17g", v);
  return buf;
}

std::string Json(const Curve& c) {
  std::string xs, ys;
  for (const auto& [x, y] : c.points) {
    xs += (xs.empty() ? "" : ",") + Json(x);
    ys += (ys.empty() ? "" : ",") + Json(y);
  }
  auto marker = [](const std::optional<Marker>& m) {
    return m ? "{\"x\":" + Json(m->x) + ",\"y\":" + Json(m->y) + "}" : std::string("null");
  };
  return "{\"x\":[" + xs + "],\"y\":[" + ys + "],\"marker\":" + marker(c.marker) +
         ",\"pending\":" + marker(c.pending) + "}";
}

// What the "Analyse" window shows at `percent`, as JSON.
bool WriteAnalyse(const std::string& file, double percent) {
  std::string energy;
  for (const EnergyRow& r : EnergyRows())
    energy += (energy.empty() ? "[" : ",[") + Json(r.share) + "," + Json(r.block) + "," + Json(r.energy) + "]";
  std::string out = "{\"behalten\":" + Json(KeptReadoutText(percent)) + ",\"gezeigt\":" + Json(ShownStateText()) +
                    ",\"fehler\":" + Json(ErrorText()) + ",\"quelle\":" + Json(SourceText()) +
                    ",\"energie\":[" + energy + "]" +
                    ",\"datenTitel\":" + Json(DatenCaption(appState.dataViewScale));
  if (appState.chosenLevel < appState.topLevel) {
    const std::atomic<bool> never{false};
    const CurveResult r = ComputeCurves(CurveInputsNow(percent), never);
    out += ",\"overDelta\":" + Json(r.overDelta) + ",\"overShare\":" + Json(r.overShare) +
           ",\"minimum\":" + Json(MinimumText(r.overDelta.points));
  }
  out += "}\n";
  std::ofstream f(file, std::ios::binary);
  f << out;
  return static_cast<bool>(f);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s DIR [ACTION ...]\n", argv[0]);
    return 2;
  }
  const std::string dir = argv[1];
  const std::vector<std::string> a(argv + 2, argv + argc);
  PbufferView grafik(492, 528), daten(531, 528);
  appState.showMessage = [](const std::string& text) { std::fprintf(stderr, "%s\n", text.c_str()); };
  RunStartupNumerics();
  CreateViewContexts(&grafik, &daten);
  if (appState.rcGrafik == nullptr || appState.rcDaten == nullptr) return 1;
  GrafikPaintOrResize(492, 528);
  DatenPaintOrResize(531, 528);

  double percent = 10;
  // A refused source or resolution is an error of the test that asked for it.
  bool refused = false;
  auto report = [&](const std::string& error) {
    if (error.empty()) return;
    std::fprintf(stderr, "%s\n", error.c_str());
    refused = true;
  };
  for (std::size_t i = 0; i < a.size();) {
    const std::string& op = a[i];
    auto arg = [&](std::size_t k) { return k < a.size() ? a[k] : std::string("0"); };
    if (op == "delta") { DeltaChanged(std::stoi(arg(i + 1))); i += 2; }
    else if (op == "compute") { Compute(); i += 1; }
    else if (op == "level") { LevelChanged(std::stoi(arg(i + 1))); i += 2; }
    else if (op == "zoom") { ZoomChanged(arg(i + 1) == "1"); i += 2; }
    else if (op == "onlyData") { OnlyDataChanged(arg(i + 1) == "1"); i += 2; }
    else if (op == "wire") { WireframeChanged(arg(i + 1) == "1"); i += 2; }
    else if (op == "key") {
      const int code = std::stoi(arg(i + 2));
      const bool shift = arg(i + 3) == "1";
      if (ViewNamed(arg(i + 1)) == NavView::Daten) DatenKeyDown(code, shift);
      else GrafikKeyDown(code, shift);
      i += 4;
    } else if (op == "drag") { DragTurn(ViewNamed(arg(i + 1)), std::stod(arg(i + 2)), std::stod(arg(i + 3)), arg(i + 4) == "1"); i += 5; }
    else if (op == "move") { DragMove(ViewNamed(arg(i + 1)), std::stod(arg(i + 2)), std::stod(arg(i + 3))); i += 4; }
    else if (op == "wheel") { WheelMove(ViewNamed(arg(i + 1)), std::stod(arg(i + 2))); i += 3; }
    else if (op == "formula") { report(TakeFormula(arg(i + 1))); i += 2; }
    else if (op == "table") {
      // The bytes of the file, as a page hands them over.
      std::ifstream in(arg(i + 1), std::ios::binary);
      const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      const std::string name = arg(i + 1).substr(arg(i + 1).find_last_of('/') + 1);
      report(TakeFileResult(SurfaceFromTableText(bytes, name), name));
      i += 2;
    }
    else if (op == "picture") {
      // Read as the desktop reads a picture file it is given.
      const std::string name = arg(i + 1).substr(arg(i + 1).find_last_of('/') + 1);
      report(TakeFileResult(SurfaceFromPicture(arg(i + 1)), name));
      i += 2;
    }
    else if (op == "resolution") { report(SetResolution(std::stoi(arg(i + 1)))); i += 2; }
    else if (op == "share") { percent = std::stod(arg(i + 1)); i += 2; }
    else if (op == "compress") { ApplyCompression(percent); i += 1; }
    else if (op == "original") { RestoreOriginal(); i += 1; }
    else if (op == "select") { SelectFunction(std::stoi(arg(i + 1))); i += 2; }
    else {
      std::fprintf(stderr, "unknown action %s\n", op.c_str());
      return 2;
    }
  }

  // Each picture freshly drawn and read from its own context.
  GrafikPaintOrResize(492, 528);
  const std::vector<std::uint8_t> g = ReadDrawBuffer(492, 528);
  DatenPaintOrResize(531, 528);
  const std::vector<std::uint8_t> d = ReadDrawBuffer(531, 528);
  const bool ok = WritePpm(dir + "/grafik.ppm", g, 492, 528) && WritePpm(dir + "/daten.ppm", d, 531, 528) &&
                  WriteAnalyse(dir + "/analyse.json", percent) && !refused;
  ReleaseViewContexts();
  return ok ? 0 : 1;
}
