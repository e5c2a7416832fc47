#pragma once
#include "interaction/curve_job.h"
// What the control panel, the keys and the animated selection did, read back
// from the log: which view was redrawn, which camera moves reached which
// context, and what each drawn frame of the function view looked like.
#include <GL/gl.h>

#include <algorithm>
#include <array>
#include <iterator>
#include <string>
#include <vector>

#include "../blac/blac_test_support.h"
#include "blac/filters.h"
#include "gl_recorder.h"
#include "linalg/matrix.h"

namespace interaction {

using blac_test::SameBits;
using Views = std::vector<std::string>;
inline std::string ViewOf(const GlCall& c) { return c.name.substr(0, c.name.find('.')); }  // "G" or "D"
inline bool IsSurfaceCall(const GlCall& c, const char* op) { return c.name.ends_with(std::string(".") + op); }

inline Views Swaps() {  // the views whose buffers were swapped, in order
  Views out;
  for (const GlCall& c : GlLog())
    if (IsSurfaceCall(c, "SwapBuffers")) out.push_back(ViewOf(c));
  return out;
}

// A glTranslated outside every push/pop pair moves the camera of the context
// current at that moment ("" when none of a known view).
struct CameraMove {
  std::string view;
  double x, y, z;
};

// One frame of the function view: from a glClear to its buffer swap.
struct Frame {
  std::vector<std::array<double, 3>> placements;  // (alpha, beta, gamma) of each drawn function
  std::vector<CameraMove> cameraMovesBefore;      // since the previous frame
  double cellWidth = 0;                           // x extent of the first surface quad
};

// The log as frames; camera moves after the last frame go to `trailing`.
inline std::vector<Frame> Frames(std::vector<CameraMove>* trailing = nullptr) {
  std::vector<Frame> out;
  std::vector<CameraMove> pending;
  std::string current;
  int depth = 0;
  bool inQuad = false;
  std::vector<double> quadX, rot;
  for (std::size_t i = 0; i < GlLog().size(); ++i) {
    const GlCall& c = GlLog()[i];
    if (IsSurfaceCall(c, "MakeCurrent")) {
      if (c.args[0] != -1.0) current = c.args[0] == 1.0 ? ViewOf(c) : "";
    } else if (c.name == "glClear") {
      out.push_back({{}, std::move(pending), 0});
      pending.clear();
    } else if (c.name == "glPushMatrix" || c.name == "glPopMatrix") {
      depth += c.name == "glPushMatrix" ? 1 : -1;
    } else if (c.name == "glTranslated" && depth == 0) {
      pending.push_back({current, c.args[0], c.args[1], c.args[2]});
    } else if (c.name == "glRotated" && !out.empty()) {
      rot.push_back(c.args[0]);
      if (rot.size() == 3) out.back().placements.push_back({rot[0], rot[1], rot[2]});
      if (rot.size() == 3) rot.clear();
    } else if (c.name == "glDrawArrays" && c.args[0] == GL_QUADS && !out.empty() &&
               out.back().cellWidth == 0) {
      // The mesh cells come in arrays: the first quad's first two corners.
      const Primitive& drawn = ArrayDrawAt(i);
      if (drawn.vertices.size() >= 2) out.back().cellWidth = drawn.vertices[1][0] - drawn.vertices[0][0];
    } else if (c.name == "glBegin") {
      inQuad = c.args[0] == GL_QUADS && !out.empty() && out.back().cellWidth == 0;
      quadX.clear();
    } else if (c.name == "glVertex3d" && inQuad) {
      quadX.push_back(c.args[0]);
      if (quadX.size() == 2) out.back().cellWidth = quadX[1] - quadX[0];
      inQuad = quadX.size() < 2;
    }
  }
  if (trailing) *trailing = std::move(pending);
  return out;
}

inline std::vector<CameraMove> CameraMoves() {
  std::vector<CameraMove> trailing, all;
  for (const Frame& f : Frames(&trailing)) all.insert(all.end(), f.cameraMovesBefore.begin(), f.cameraMovesBefore.end());
  all.insert(all.end(), trailing.begin(), trailing.end());
  return all;
}

// Every value a key or the mouse may change: alpha, beta, gamma of the four
// functions (0 .. 11), then the function view's camera (12), the data view's
// camera (15) and angles (18).
using Nav = std::array<double, 21>;
constexpr int kGPos = 12, kDPos = 15, kDAngles = 18;
inline Nav NavNow() {
  const AppState& s = appState;
  Nav v{};
  for (int f = 0; f < 4; ++f) {
    const Orientation& o = s.functionOrientation[f];
    v[3 * f] = o.alpha, v[3 * f + 1] = o.beta, v[3 * f + 2] = o.gamma;
  }
  const double rest[] = {s.GPosX, s.GPosY, s.GPosZ, s.DPosX, s.DPosY, s.DPosZ, s.Dalpha, s.Dbeta, s.Dgamma};
  std::copy(std::begin(rest), std::end(rest), v.begin() + kGPos);
  return v;
}

// State as after start-up, both views bound to recording surfaces, the
// function view's title changes collected.
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

// The curves of the state now, as the window's job computes them.
inline Curve DeltaCurveNow(double percent) { return DeltaCurve(CurveInputsNow(percent)); }
inline Curve ShareCurveNow(double percent) { return ShareCurve(CurveInputsNow(percent)); }
