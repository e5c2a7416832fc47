// The GL 1.x layer's own parts against values worked out by hand: matrices,
// stacks, primitives and their provoking vertex, the lighting equation, and
// state per context. Calls go through the GL 1.x names (forced include), as
// the drawing code makes them; drawing is into a 64 x 64 ES 3 pbuffer with
// identity matrices, so vertices are in window-normalised coordinates.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>

#include "egl_pbuffer.h"
#include "gl1es/gl1es.h"

namespace {

constexpr int kSize = 64;
using Matrix = std::array<double, 16>;  // column-major
using Rgb = std::array<int, 3>;

class Gl1esLayer : public ::testing::Test {
protected:
  void SetUp() override {
    egl_ = std::make_unique<EglPbuffer>(GlApi::Es3, kSize, kSize);
    ASSERT_TRUE(egl_->Ok()) << egl_->Error();
    egl_->MakeCurrent();
    layer_ = Gl1esCreateContext();
    ASSERT_NE(layer_, nullptr);
    Gl1esMakeCurrent(layer_);
    glViewport(0, 0, kSize, kSize);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  }
  void TearDown() override {
    Gl1esDestroyContext(layer_);
    Gl1esMakeCurrent(nullptr);
    egl_.reset();
  }

  static Matrix Get(GLenum which) {
    Matrix m{};
    m.fill(-99.0);
    glGetDoublev(which, m.data());
    return m;
  }
  static int Depth(GLenum which) {
    GLint depth = -1;
    glGetIntegerv(which, &depth);
    return depth;
  }
  static Rgb Pixel(int x, int y) {
    GLubyte p[4] = {0, 0, 0, 0};
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return {p[0], p[1], p[2]};
  }
  // The whole viewport as one quad at depth z with normal n.
  static void FullQuad(double z = 0.0) {
    glBegin(GL_QUADS);
    glVertex3d(-1, -1, z);
    glVertex3d(1, -1, z);
    glVertex3d(1, 1, z);
    glVertex3d(-1, 1, z);
    glEnd();
  }
  static void Material(GLenum pname, float r, float g, float b) {
    const GLfloat v[4] = {r, g, b, 1.0f};
    glMaterialfv(GL_FRONT_AND_BACK, pname, v);
  }
  static void LightFrom(float x, float y, float z) {
    const GLfloat p[4] = {x, y, z, 0.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, p);
  }

  std::unique_ptr<EglPbuffer> egl_;
  Gl1esContext* layer_ = nullptr;
};

void ExpectMatrix(const Matrix& expected, const Matrix& actual) {
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(expected[i], actual[i], 1e-12) << "element " << i << " (column-major)";
}

void ExpectColour(const Rgb& expected, const Rgb& actual, int tolerance = 1) {
  for (int k = 0; k < 3; ++k) EXPECT_NEAR(expected[k], actual[k], tolerance) << "channel " << k;
}

TEST_F(Gl1esLayer, PerspectiveIsGluFrustumMultipliedOntoTheCurrentMatrix) {
  glMatrixMode(GL_PROJECTION);
  gluPerspective(60.0, 1.5, 1.0, 20.0);
  // cot(30 deg) = sqrt(3); depth terms (f + n) / (n - f) and 2 f n / (n - f).
  const double f = std::sqrt(3.0);
  ExpectMatrix({f / 1.5, 0, 0, 0, 0, f, 0, 0, 0, 0, -21.0 / 19.0, -1, 0, 0, -40.0 / 19.0, 0}, Get(GL_PROJECTION_MATRIX));

  // Onto a translation by (0, 0, -2): T * P, whose third column gains 2.
  glLoadIdentity();
  glTranslated(0.0, 0.0, -2.0);
  gluPerspective(60.0, 1.5, 1.0, 20.0);
  ExpectMatrix({f / 1.5, 0, 0, 0, 0, f, 0, 0, 0, 0, 17.0 / 19.0, -1, 0, 0, -40.0 / 19.0, 0}, Get(GL_PROJECTION_MATRIX));
  ExpectMatrix({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, Get(GL_MODELVIEW_MATRIX));
}

TEST_F(Gl1esLayer, PerspectiveOfAnEmptyDepthRangeChangesNothing) {
  glMatrixMode(GL_PROJECTION);
  gluPerspective(60.0, 1.0, 5.0, 5.0);
  ExpectMatrix({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, Get(GL_PROJECTION_MATRIX));
  gluPerspective(90.0, 1.0, 5.0, 6.0);  // cot(45 deg) = 1, depth -11 and -60
  ExpectMatrix({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -11, -1, 0, 0, -60, 0}, Get(GL_PROJECTION_MATRIX));
}

TEST_F(Gl1esLayer, RotationsMatchHandComputedMatrices) {
  // A quarter turn about z (axis not of unit length): x to y, y to -x.
  glRotated(90.0, 0.0, 0.0, 2.0);
  ExpectMatrix({0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, Get(GL_MODELVIEW_MATRIX));
  // A third of a turn about the diagonal takes x to y, y to z, z to x.
  glLoadIdentity();
  glRotated(120.0, 1.0, 1.0, 1.0);
  ExpectMatrix({0, 1, 0, 0, 0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0, 1}, Get(GL_MODELVIEW_MATRIX));
  // -60 degrees about x: cos 1/2, sin -sqrt(3)/2.
  glLoadIdentity();
  glRotated(-60.0, 1.0, 0.0, 0.0);
  const double s = std::sqrt(3.0) / 2.0;
  ExpectMatrix({1, 0, 0, 0, 0, 0.5, -s, 0, 0, s, 0.5, 0, 0, 0, 0, 1}, Get(GL_MODELVIEW_MATRIX));
  // Right-multiplied: translate then rotate keeps the translation column.
  glLoadIdentity();
  glTranslated(1.0, 2.0, 3.0);
  glRotated(90.0, 0.0, 0.0, 1.0);
  ExpectMatrix({0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 1, 2, 3, 1}, Get(GL_MODELVIEW_MATRIX));
  // No axis, no rotation.
  glRotated(30.0, 0.0, 0.0, 0.0);
  ExpectMatrix({0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 1, 2, 3, 1}, Get(GL_MODELVIEW_MATRIX));
}

TEST_F(Gl1esLayer, PopRestoresThePushedMatrixPerStack) {
  glTranslated(1.0, 0.0, 0.0);
  glPushMatrix();
  EXPECT_EQ(2, Depth(GL_MODELVIEW_STACK_DEPTH));
  EXPECT_EQ(1, Depth(GL_PROJECTION_STACK_DEPTH));
  glRotated(90.0, 0.0, 0.0, 1.0);
  glTranslated(0.0, 5.0, 0.0);
  glPopMatrix();
  EXPECT_EQ(1, Depth(GL_MODELVIEW_STACK_DEPTH));
  ExpectMatrix({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 0, 0, 1}, Get(GL_MODELVIEW_MATRIX));
  // The last entry stays.
  glPopMatrix();
  EXPECT_EQ(1, Depth(GL_MODELVIEW_STACK_DEPTH));
  ExpectMatrix({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 0, 0, 1}, Get(GL_MODELVIEW_MATRIX));
}

TEST_F(Gl1esLayer, StackHoldsThirtyTwoMatrices) {
  glTranslated(0.0, 0.0, 7.0);
  for (int i = 0; i < 31; ++i) glPushMatrix();
  EXPECT_EQ(32, Depth(GL_MODELVIEW_STACK_DEPTH));
  glPushMatrix();  // one past: refused
  EXPECT_EQ(32, Depth(GL_MODELVIEW_STACK_DEPTH));
  glLoadIdentity();
  for (int i = 0; i < 31; ++i) glPopMatrix();
  EXPECT_EQ(1, Depth(GL_MODELVIEW_STACK_DEPTH));
  EXPECT_DOUBLE_EQ(7.0, Get(GL_MODELVIEW_MATRIX)[14]);
}

TEST_F(Gl1esLayer, SmoothQuadIsSplitAlongItsFirstAndThirdVertex) {
  glBegin(GL_QUADS);
  glColor4f(1, 0, 0, 1);
  glVertex3d(-1, -1, 0);
  glColor4f(0, 1, 0, 1);
  glVertex3d(1, -1, 0);
  glColor4f(0, 0, 1, 1);
  glVertex3d(1, 1, 0);
  glColor4f(0, 0, 0, 1);
  glVertex3d(-1, 1, 0);
  glEnd();
  // Pixel (24, 16), centre (-0.234375, -0.484375), lies below the diagonal
  // from v0 to v2, in triangle v0 v1 v2: weights v0 0.617, v1 0.125, v2 0.258
  // (split along v1 v3 it would have no blue).
  ExpectColour({157, 32, 66}, Pixel(24, 16));
  // Pixel (40, 48), centre (0.265625, 0.515625), in triangle v0 v2 v3:
  // weights v0 0.242, v2 0.633, v3 0.125, nothing of v1.
  ExpectColour({62, 0, 161}, Pixel(40, 48));
}

TEST_F(Gl1esLayer, FlatQuadIsSplitAlongItsSecondAndLastVertexAndTakesTheLastColour) {
  // v2 in front (z -0.5), the rest at z 0.5. Split along v1 v3 the depth is
  // 0.5 left of that diagonal and 0.5 - (x + y)/2 right of it; split along
  // v0 v2 it would be -y/2 below that one and -x/2 above.
  glEnable(GL_DEPTH_TEST);
  glShadeModel(GL_FLAT);
  glBegin(GL_QUADS);
  glColor4f(1, 0, 0, 1);
  glVertex3d(-1, -1, 0.5);
  glColor4f(0, 1, 0, 1);
  glVertex3d(1, -1, 0.5);
  glColor4f(0, 0, 1, 1);
  glVertex3d(1, 1, -0.5);
  glColor4f(1, 1, 0, 1);
  glVertex3d(-1, 1, 0.5);
  glEnd();
  ExpectColour({255, 255, 0}, Pixel(8, 8), 0);   // in v0 v1 v3
  ExpectColour({255, 255, 0}, Pixel(56, 8), 0);  // in v1 v2 v3
  // A grey square at depth 0 hides the quad wherever it lies behind 0.
  glColor4f(0.5f, 0.5f, 0.5f, 1);
  FullQuad(0.0);
  // Centres (0.516, 0.203) and (0.203, 0.516): depth 0.14 here, -0.10 with
  // the other split.
  ExpectColour({128, 128, 128}, Pixel(48, 38), 1);
  ExpectColour({128, 128, 128}, Pixel(38, 48), 1);
  // Centre (0.828, 0.641): depth -0.23, in front.
  ExpectColour({255, 255, 0}, Pixel(58, 52), 0);
}

TEST_F(Gl1esLayer, FlatTrianglesAndLinesTakeTheirLastVertexAndALoopClosesWithItsFirst) {
  glShadeModel(GL_FLAT);
  glBegin(GL_TRIANGLES);  // lower left half
  glColor4f(1, 0, 0, 1);
  glVertex3d(-1, -1, 0);
  glColor4f(0, 1, 0, 1);
  glVertex3d(1, -1, 0);
  glColor4f(0, 0, 1, 1);
  glVertex3d(-1, 1, 0);
  glEnd();
  ExpectColour({0, 0, 255}, Pixel(4, 4), 0);

  glClear(GL_COLOR_BUFFER_BIT);
  // A square outline through pixel centres 16.5 and 47.5.
  const double a = 16.5 / 32.0 - 1.0, b = 47.5 / 32.0 - 1.0;
  glBegin(GL_LINE_LOOP);
  glColor4f(1, 0, 0, 1);
  glVertex3d(a, a, 0);
  glColor4f(0, 1, 0, 1);
  glVertex3d(b, a, 0);
  glColor4f(0, 0, 1, 1);
  glVertex3d(b, b, 0);
  glColor4f(1, 1, 1, 1);
  glVertex3d(a, b, 0);
  glEnd();
  ExpectColour({0, 255, 0}, Pixel(32, 16), 0);     // v0 to v1
  ExpectColour({0, 0, 255}, Pixel(47, 32), 0);     // v1 to v2
  ExpectColour({255, 255, 255}, Pixel(32, 47), 0); // v2 to v3
  ExpectColour({255, 0, 0}, Pixel(16, 32), 0);     // v3 back to v0
  ExpectColour({0, 0, 0}, Pixel(32, 32), 0);
}

// Two lit quads side by side, each with its own normal at every corner
// (left: straight at the light, right: tilted) from client arrays; the
// normal array has a stride, and the current normal stays as it was.
TEST_F(Gl1esLayer, ArrayQuadsAreTheirElementsBetweenBeginAndEnd) {
  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
  Material(GL_AMBIENT, 0, 1, 0);
  Material(GL_DIFFUSE, 1, 0, 0);
  const GLdouble vertices[] = {-1, -1, 0, 0, -1, 0, 0, 1, 0, -1, 1, 0,
                               0, -1, 0, 1, -1, 0, 1, 1, 0, 0, 1, 0};
  // x, y, z and one unused float per normal.
  GLfloat normals[8 * 4] = {};
  for (int v = 0; v < 8; ++v) {
    normals[v * 4 + 0] = v < 4 ? 0.0f : 0.6f;
    normals[v * 4 + 2] = v < 4 ? 1.0f : 0.8f;
  }
  glNormal3d(0.0, 0.0, -1.0);  // facing away: unlit but for the ambient
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_NORMAL_ARRAY);
  glVertexPointer(3, GL_DOUBLE, 0, vertices);
  glNormalPointer(GL_FLOAT, 4 * sizeof(GLfloat), normals);
  glDrawArrays(GL_QUADS, 0, 8);
  glDisableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_VERTEX_ARRAY);
  // Red 1 * (n . L) with L = (0, 0, 1): 1 and 0.8; green 0.2 * 1 from the ambient.
  ExpectColour({255, 51, 0}, Pixel(16, 32));
  ExpectColour({204, 51, 0}, Pixel(48, 32));
  // Drawn in immediate mode the same quads give the same pixels.
  std::array<Rgb, 2> fromArrays{Pixel(16, 32), Pixel(48, 32)};
  glClear(GL_COLOR_BUFFER_BIT);
  for (int q = 0; q < 2; ++q) {
    glBegin(GL_QUADS);
    for (int v = q * 4; v < q * 4 + 4; ++v) {
      glNormal3d(normals[v * 4], normals[v * 4 + 1], normals[v * 4 + 2]);
      glVertex3d(vertices[v * 3], vertices[v * 3 + 1], vertices[v * 3 + 2]);
    }
    glEnd();
  }
  EXPECT_EQ(Pixel(16, 32), fromArrays[0]);
  EXPECT_EQ(Pixel(48, 32), fromArrays[1]);
  // The normal before the array draw is still current: a quad without
  // normals of its own faces away from the light.
  glClear(GL_COLOR_BUFFER_BIT);
  glNormal3d(0.0, 0.0, -1.0);
  glEnableClientState(GL_VERTEX_ARRAY);
  glVertexPointer(3, GL_DOUBLE, 0, vertices);
  glDrawArrays(GL_QUADS, 0, 8);
  ExpectColour({0, 51, 0}, Pixel(16, 32));
  // Without the vertex array nothing is drawn.
  glClear(GL_COLOR_BUFFER_BIT);
  glDisableClientState(GL_VERTEX_ARRAY);
  glDrawArrays(GL_QUADS, 0, 8);
  ExpectColour({0, 0, 0}, Pixel(16, 32));
}

TEST_F(Gl1esLayer, DefaultMaterialAndLightGiveFixedFunctionGrey) {
  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
  // Light 0 from (0, 0, 1), white; material ambient 0.2, diffuse 0.8; light
  // model ambient 0.2: 0.2 * 0.2 + 0.8 * 1 = 0.84.
  FullQuad();
  ExpectColour({214, 214, 214}, Pixel(32, 32));
}

TEST_F(Gl1esLayer, LightingAddsSceneAmbientAndDiffuse) {
  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
  Material(GL_AMBIENT, 0, 1, 0);
  Material(GL_DIFFUSE, 1, 0, 0);
  LightFrom(0, 0, 3);  // a direction: normalised to (0, 0, 1)
  glNormal3d(0.6, 0.0, 0.8);
  FullQuad();
  // Red: 0.8 * 1 (n . L); green: 0.2 * 1 (light model ambient).
  ExpectColour({204, 51, 0}, Pixel(32, 32));

  // Facing away: ambient only.
  glNormal3d(0.0, 0.0, -1.0);
  FullQuad();
  ExpectColour({0, 51, 0}, Pixel(32, 32));

  // Light 0 off: still the light model's ambient.
  glDisable(GL_LIGHT0);
  glNormal3d(0.6, 0.0, 0.8);
  FullQuad();
  ExpectColour({0, 51, 0}, Pixel(32, 32));
}

TEST_F(Gl1esLayer, LightPositionIsTakenThroughTheModelViewMatrixOfTheMoment) {
  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
  Material(GL_AMBIENT, 0, 0, 0);
  Material(GL_DIFFUSE, 1, 1, 1);
  glRotated(90.0, 0.0, 1.0, 0.0);  // turns (0, 0, 1) into (1, 0, 0)
  LightFrom(0, 0, 1);
  glLoadIdentity();
  glNormal3d(0.6, 0.0, 0.8);
  FullQuad();
  ExpectColour({153, 153, 153}, Pixel(32, 32));  // 0.6, not 0.8
}

TEST_F(Gl1esLayer, NormalsFollowTheModelViewMatrixUnnormalisedUnlessAsked) {
  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
  Material(GL_AMBIENT, 0, 0, 0);
  Material(GL_DIFFUSE, 1, 1, 1);
  LightFrom(0.0f, 0.6f, 0.8f);
  // A quarter turn about z carries the normal (0.6, 0, 0.8) onto the light:
  // n . L = 1 (untransformed it would be 0.64).
  glRotated(90.0, 0.0, 0.0, 1.0);
  glNormal3d(0.6, 0.0, 0.8);
  FullQuad();
  ExpectColour({255, 255, 255}, Pixel(32, 32));

  glLoadIdentity();
  LightFrom(0, 0, 1);
  glNormal3d(0.0, 0.0, 0.6);  // length 0.6 is kept
  FullQuad();
  ExpectColour({153, 153, 153}, Pixel(32, 32));
  glEnable(GL_NORMALIZE);
  FullQuad();
  ExpectColour({255, 255, 255}, Pixel(32, 32));
}

TEST_F(Gl1esLayer, MaterialChangedInsideBeginEndAppliesToTheVerticesAfter) {
  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
  Material(GL_AMBIENT, 0, 1, 0);
  Material(GL_DIFFUSE, 1, 0, 0);
  glBegin(GL_QUADS);
  Material(GL_DIFFUSE, 0, 0, 0);  // as the axes set black
  glVertex3d(-1, -1, 0);
  glVertex3d(1, -1, 0);
  glVertex3d(1, 1, 0);
  glVertex3d(-1, 1, 0);
  glEnd();
  ExpectColour({0, 51, 0}, Pixel(32, 32));
}

TEST_F(Gl1esLayer, WithoutLightingTheCurrentColourIsDrawnClamped) {
  FullQuad();
  ExpectColour({255, 255, 255}, Pixel(32, 32), 0);  // initial colour white
  glColor4f(0.2f, 0.4f, 1.5f, 1.0f);
  FullQuad();
  ExpectColour({51, 102, 255}, Pixel(32, 32));
}

TEST_F(Gl1esLayer, GeometryIsDrawnWithTheStateItWasGiven) {
  // Two quads over the left half, the second moved right by a translation
  // that comes after the first: each half shows its own quad.
  auto leftHalf = [] {
    glBegin(GL_QUADS);
    glVertex3d(-1, -1, 0);
    glVertex3d(0, -1, 0);
    glVertex3d(0, 1, 0);
    glVertex3d(-1, 1, 0);
    glEnd();
  };
  glColor4f(1, 0, 0, 1);
  leftHalf();
  glTranslated(1.0, 0.0, 0.0);
  glColor4f(0, 0, 1, 1);
  leftHalf();
  ExpectColour({255, 0, 0}, Pixel(16, 32), 0);
  ExpectColour({0, 0, 255}, Pixel(48, 32), 0);

  // Depth test (passed on to ES): the nearer quad wins though drawn first.
  glLoadIdentity();
  glEnable(GL_DEPTH_TEST);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glColor4f(1, 0, 0, 1);
  FullQuad(-0.5);
  glColor4f(0, 1, 0, 1);
  FullQuad(0.5);
  ExpectColour({255, 0, 0}, Pixel(32, 32), 0);
}

TEST_F(Gl1esLayer, DrawBufferIsTheOneEsDrawsInto) {
  EXPECT_EQ(GL_BACK, Depth(GL_DRAW_BUFFER));
}

TEST_F(Gl1esLayer, EachContextKeepsItsOwnStateAndNoneIgnoresCalls) {
  Gl1esContext* other = Gl1esCreateContext();
  ASSERT_NE(other, nullptr);
  glTranslated(1.0, 2.0, 3.0);
  Gl1esMakeCurrent(other);
  EXPECT_DOUBLE_EQ(0.0, Get(GL_MODELVIEW_MATRIX)[12]);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  Gl1esMakeCurrent(layer_);
  EXPECT_DOUBLE_EQ(1.0, Get(GL_MODELVIEW_MATRIX)[12]);
  EXPECT_EQ(1, Depth(GL_PROJECTION_STACK_DEPTH));

  Gl1esMakeCurrent(nullptr);
  glTranslated(5.0, 0.0, 0.0);
  glColor4f(1, 0, 0, 1);
  FullQuad();
  EXPECT_DOUBLE_EQ(-99.0, Get(GL_MODELVIEW_MATRIX)[12]);  // nothing written
  Gl1esMakeCurrent(layer_);
  EXPECT_DOUBLE_EQ(1.0, Get(GL_MODELVIEW_MATRIX)[12]);
  ExpectColour({0, 0, 0}, Pixel(32, 32), 0);
  Gl1esDestroyContext(other);
}

}  // namespace
