#pragma once
#include <algorithm>
#include <cmath>
// Recording stand-in for the GL/GLU entry points, a fake window surface and
// the render tests' fixture. GL calls, surface operations and message boxes
// all land in one ordered log.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <ostream>
#include <string>
#include <vector>

#include "state/state.h"
#include "render/glwindow.h"

struct GlCall {  // arguments as doubles (enums, ints and floats convert exactly)
  std::string name;
  std::vector<double> args;
  friend bool operator==(const GlCall&, const GlCall&) = default;
};
using Calls = std::vector<GlCall>;
void PrintTo(const GlCall& call, std::ostream* os);

Calls& GlLog();
void ClearGlLog();
int CountCalls(const std::string& name);

// The contents of one glBegin/glEnd pair, or of one quad (else the whole
// draw) of a glDrawArrays call, which GL 1.x defines as such a pair around
// its elements. Normals: one per glNormal3d inside a pair; from arrays, the
// normal array's entry of every vertex (none without a normal array).
struct Primitive {
  GLenum mode = 0;
  std::vector<std::array<double, 3>> normals, vertices;  // vertices as sent, i.e. centred
};
std::vector<Primitive> Primitives();  // in log order; fails on unbalanced or nested pairs
// How many of Primitives() the logged call starts: 1 for glBegin, the quads
// or 1 for glDrawArrays, else 0.
std::size_t PrimitivesStartedBy(const GlCall& call);
// All elements drawn by the glDrawArrays call at position logIndex of the log.
const Primitive& ArrayDrawAt(std::size_t logIndex);

// A view's window side. Context tags in the log: 1 this surface's, 0 none, -1 another.
class FakeSurface : public ViewSurface {
public:
  explicit FakeSurface(std::string label, int width = 492, int height = 528)
      : width(width), height(height), label_(std::move(label)) {}
  bool ChoosePixelFormat(bool doubleBuffer) override;
  GlContext CreateContext() override;
  void MakeCurrent(GlContext rc) override;
  void DeleteContext(GlContext rc) override;
  void SwapBuffers() override;
  int PixelWidth() const override { return width; }
  int PixelHeight() const override { return height; }
  GlContext Context() { return &token_; }
  bool pixelFormatOk = true, contextOk = true;
  int width, height;

private:
  double Tag(GlContext rc) { return rc == nullptr ? 0.0 : rc == Context() ? 1.0 : -1.0; }
  void Record(const char* op, std::vector<double> args = {});
  std::string label_;
  int token_ = 0;
};

// Fresh state with power tables, message boxes logged as "message:<text>",
// an empty log and fixed view wavelet coefficients.
class RenderTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;
};

// Filled cells reach GL in float arrays (what GL keeps of a double anyway):
// a coordinate or normal component sent that way is within this of the
// double it was rounded from (one float step).
inline double SentTolerance(double v) { return 1.2e-7 * std::max(1.0, std::abs(v)); }

// The glVertex3d call CenteredVertex sends for the point (x, y, z).
inline GlCall Vertex(double x, double y, double z) { return {"glVertex3d", {x - 0.5, y - 0.5, z - 0.5}}; }
inline GlCall Diffuse(double r, double g, double b) {
  return {"glMaterialfv", {GL_FRONT_AND_BACK, GL_DIFFUSE, r, g, b, 1}};
}
