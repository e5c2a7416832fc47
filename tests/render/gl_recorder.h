#pragma once
// Recording stand-in for the GL/GLU entry points of the render layer, a fake
// window surface, and the fixture the render tests share. Every GL call, every
// surface operation and every message box lands in one ordered log.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <ostream>
#include <string>
#include <vector>

#include "app/state.h"
#include "render/glwindow.h"

// One recorded call: its name and its arguments as doubles (enums, ints and
// floats convert exactly).
struct GlCall {
  std::string name;
  std::vector<double> args;
  friend bool operator==(const GlCall&, const GlCall&) = default;
};
void PrintTo(const GlCall& call, std::ostream* os);

std::vector<GlCall>& GlLog();
void ClearGlLog();
int CountCalls(const std::string& name);
std::vector<GlCall> CallsNamed(const std::string& name);

// The contents of one glBegin/glEnd pair.
struct Primitive {
  GLenum mode = 0;
  std::vector<std::array<double, 3>> normals;
  std::vector<std::array<double, 3>> vertices;  // as sent, i.e. already centred
  int materials = 0;                            // glMaterialfv calls inside the pair
};
// Every pair in log order; ADD_FAILUREs on unbalanced or nested pairs.
std::vector<Primitive> Primitives();

// A view's window side. Its context handle is the address of a member, so the
// log can tell "this surface's context" (1) from "none" (0) and "another" (-1).
class FakeSurface : public ViewSurface {
  std::string label_;

public:
  explicit FakeSurface(std::string label, int width = 492, int height = 528)
      : label_(std::move(label)), width(width), height(height) {}
  bool ChoosePixelFormat(bool doubleBuffer) override;
  GlContext CreateContext() override;
  void MakeCurrent(GlContext rc) override;
  void DeleteContext(GlContext rc) override;
  void SwapBuffers() override;
  int PixelWidth() const override { return width; }
  int PixelHeight() const override { return height; }
  GlContext Context() { return &token_; }

  bool pixelFormatOk = true;
  bool contextOk = true;
  int width;
  int height;

private:
  double Tag(GlContext rc) { return rc == nullptr ? 0.0 : rc == Context() ? 1.0 : -1.0; }
  void Record(const char* op, std::vector<double> args = {});
  int token_ = 0;
};

// Fresh program state with power tables, message boxes logged as
// "message:<text>", an empty log, and a fixed set of view wavelet coefficients.
class RenderTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;
};

// The vertex CenteredVertex sends for the parameter point (x, y, z).
inline std::array<double, 3> Centred(double x, double y, double z) {
  return {x - 0.5, y - 0.5, z - 0.5};
}
