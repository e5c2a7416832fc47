#pragma once
// What the control panel, the keys and the animated selection did, read back
// from the recorded log: which view was redrawn, which camera moves reached
// which context, and what each drawn frame of the function view looked like.
#include <GL/gl.h>

#include <cstring>
#include <string>
#include <vector>

#include "blac/filters.h"
#include "gl_recorder.h"
#include "linalg/matrix.h"

namespace interaction {

// The view ("G" or "D") a surface call in the log belongs to.
inline std::string ViewOf(const GlCall& c) { return c.name.substr(0, c.name.find('.')); }
inline bool IsSurfaceCall(const GlCall& c, const char* op) {
  const auto dot = c.name.find('.');
  return dot != std::string::npos && c.name.compare(dot + 1, std::string::npos, op) == 0;
}

// The views whose buffers were swapped, in order.
inline std::vector<std::string> Swaps() {
  std::vector<std::string> out;
  for (const GlCall& c : GlLog())
    if (IsSurfaceCall(c, "SwapBuffers")) out.push_back(ViewOf(c));
  return out;
}

// A glTranslated outside every push/pop pair: it stays in the model-view
// matrix, i.e. it moves the camera of the context current at that moment.
struct CameraMove {
  std::string view;  // "" when no context of a known view was current
  double x, y, z;
};

// One frame of the function view: from a glClear to its buffer swap.
struct Frame {
  std::vector<std::array<double, 3>> placements;  // (alpha, beta, gamma) of each drawn function
  std::vector<CameraMove> cameraMovesBefore;      // camera moves since the previous frame
  double cellWidth = 0;                           // x extent of the first surface quad
  std::string swappedView;
};

// The log as frames; camera moves after the last frame go to `trailing`.
inline std::vector<Frame> Frames(std::vector<CameraMove>* trailing = nullptr) {
  std::vector<Frame> out;
  std::vector<CameraMove> pendingMoves;
  std::string current;
  int depth = 0;
  bool inQuad = false;
  std::vector<double> quadX;
  std::vector<double> rot;
  for (const GlCall& c : GlLog()) {
    if (IsSurfaceCall(c, "MakeCurrent")) {
      if (c.args[0] == 1.0) current = ViewOf(c);
      else if (c.args[0] == 0.0) current.clear();
    } else if (c.name == "glClear") {
      out.push_back({});
      out.back().cameraMovesBefore = std::move(pendingMoves);
      pendingMoves.clear();
    } else if (c.name == "glPushMatrix") {
      ++depth;
    } else if (c.name == "glPopMatrix") {
      --depth;
    } else if (c.name == "glTranslated" && depth == 0) {
      pendingMoves.push_back({current, c.args[0], c.args[1], c.args[2]});
    } else if (c.name == "glRotated" && !out.empty()) {
      rot.push_back(c.args[0]);
      if (rot.size() == 3) {
        out.back().placements.push_back({rot[0], rot[1], rot[2]});
        rot.clear();
      }
    } else if (c.name == "glBegin") {
      inQuad = c.args[0] == GL_QUADS && !out.empty() && out.back().cellWidth == 0;
      quadX.clear();
    } else if (c.name == "glVertex3d" && inQuad) {
      quadX.push_back(c.args[0]);
      if (quadX.size() == 2) {
        out.back().cellWidth = quadX[1] - quadX[0];
        inQuad = false;
      }
    } else if (IsSurfaceCall(c, "SwapBuffers") && !out.empty()) {
      out.back().swappedView = ViewOf(c);
    }
  }
  if (trailing) *trailing = std::move(pendingMoves);
  return out;
}

inline std::vector<CameraMove> CameraMoves() {
  std::vector<CameraMove> trailing;
  std::vector<CameraMove> all;
  for (const Frame& f : Frames(&trailing)) all.insert(all.end(), f.cameraMovesBefore.begin(), f.cameraMovesBefore.end());
  all.insert(all.end(), trailing.begin(), trailing.end());
  return all;
}

inline bool SameBits(const Matrix& a, const Matrix& b) {
  return a.rows == b.rows && a.cols == b.cols &&
         std::memcmp(a.data.get(), b.data.get(),
                     sizeof(double) * static_cast<std::size_t>(a.rows) * static_cast<std::size_t>(a.cols)) == 0;
}

// Fresh program state as after start-up, with both views bound to recording
// surfaces and the function view's title changes collected.
class InteractionTest : public RenderTest {
protected:
  void SetUp() override {
    RenderTest::SetUp();
    GenerateSampleSurface(appState.dataLevel);
    RecomputeSynthesisMatrices();
    CreateViewContexts(&grafik, &daten);
    appState.setGrafikCaption = [this](const std::string& c) { captions.push_back(c); };
    ClearGlLog();
  }
  void TearDown() override {
    appState.setGrafikCaption = nullptr;
    RenderTest::TearDown();
  }
  FakeSurface grafik{"G"};
  FakeSurface daten{"D", 531, 528};
  std::vector<std::string> captions;
};

}  // namespace interaction
