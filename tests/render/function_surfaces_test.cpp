// The four function surfaces: frame, mesh cells, normals, skipping and the
// flat quads of Delta = 0.
#include <GL/gl.h>

#include <cmath>
#include <set>

#include "blac/basis.h"
#include "gl_recorder.h"
#include "render/function_surfaces.h"

namespace {

using Calls = std::vector<GlCall>;
using Vec3 = std::array<double, 3>;

class FunctionSurfaceTest : public RenderTest {};

// Per-loop pass counts need a surface that is non-zero on the whole [0, 2)^2
// square: level 0 (zoom off) with Delta = 1 makes the scaling function the
// hat on (0, 2) in each direction, so no cell is skipped.
TEST_F(FunctionSurfaceTest, LoopsAdvanceByRepeatedAdditionBelowTwo) {
  appState.zoom = false;
  appState.chosenLevel = 0;
  appState.delta = 1.0;
  const struct {
    double h;
    int passes;
  } cases[] = {{0.1, 20}, {0.03, 67}, {0.05, 40}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.h);
    appState.stepFunctions = c.h;
    ClearGlLog();
    DrawScalingSurface();
    const std::vector<Primitive> cells = Primitives();
    ASSERT_EQ(static_cast<int>(cells.size()), c.passes * c.passes);
    std::set<double> xs;
    for (const Primitive& p : cells) xs.insert(p.vertices[0][0] + 0.5);
    EXPECT_EQ(static_cast<int>(xs.size()), c.passes);
    EXPECT_LT(*xs.rbegin(), 2.0);
    EXPECT_GE(*xs.rbegin() + c.h, 2.0 - 1e-12);
    if (c.h == 0.03) {
      // The last cell starts near 1.98 and ends near 2.01.
      EXPECT_NEAR(cells.back().vertices[0][0] + 0.5, 1.98, 1e-9);
      EXPECT_NEAR(cells.back().vertices[1][0] + 0.5, 2.01, 1e-9);
    }
  }
}

// Every emitted cell: corners (x, y), (x+h, y), (x+h, y+h), (x, y+h) with the
// heights of the height function, and the unit normal (o - t, t - o, 2h).
TEST_F(FunctionSurfaceTest, CellsCarryHeightsAndTheirShadingNormal) {
  appState.stepFunctions = 0.1;
  const struct {
    void (*draw)();
    double (*height)(double, double);
  } surfaces[] = {{DrawScalingSurface, ViewPhiPhi},
                  {DrawWavelet1Surface, ViewPhiPsi},
                  {DrawWavelet2Surface, ViewPsiPsi},
                  {DrawWavelet3Surface, ViewPsiPhi}};
  for (const auto& s : surfaces) {
    ClearGlLog();
    s.draw();
    const std::vector<Primitive> cells = Primitives();
    ASSERT_FALSE(cells.empty());
    for (const Primitive& p : cells) {
      ASSERT_EQ(p.mode, static_cast<GLenum>(GL_QUADS));
      ASSERT_EQ(p.vertices.size(), 4u);
      ASSERT_EQ(p.normals.size(), 1u);
      const double x = p.vertices[0][0] + 0.5;
      const double y = p.vertices[0][1] + 0.5;
      const double z00 = s.height(x, y), z10 = s.height(x + 0.1, y);
      const double z11 = s.height(x + 0.1, y + 0.1), z01 = s.height(x, y + 0.1);
      EXPECT_NEAR(p.vertices[1][0] - p.vertices[0][0], 0.1, 1e-12);
      EXPECT_EQ(p.vertices[1][1], p.vertices[0][1]);
      EXPECT_EQ(p.vertices[2][0], p.vertices[1][0]);
      EXPECT_NEAR(p.vertices[2][1] - p.vertices[1][1], 0.1, 1e-12);
      EXPECT_EQ(p.vertices[3][0], p.vertices[0][0]);
      EXPECT_EQ(p.vertices[3][1], p.vertices[2][1]);
      EXPECT_NEAR(p.vertices[0][2], z00 - 0.5, 1e-12);
      EXPECT_NEAR(p.vertices[1][2], z10 - 0.5, 1e-12);
      EXPECT_NEAR(p.vertices[2][2], z11 - 0.5, 1e-12);
      EXPECT_NEAR(p.vertices[3][2], z01 - 0.5, 1e-12);
      const double t = z11 - z00, o = z01 - z10;
      const Vec3 n = p.normals[0];
      const double scale = n[2] / 0.2;  // 2h times 1/length
      EXPECT_NEAR(n[0], (o - t) * scale, 1e-12);
      EXPECT_NEAR(n[1], (t - o) * scale, 1e-12);
      EXPECT_NEAR(n[0] * n[0] + n[1] * n[1] + n[2] * n[2], 1.0, 1e-12);
    }
  }
}

// On the ramp of PhiView(2x) (x < Delta/2) times the plateau of PhiView(2y)
// the scaling surface is the plane z = 5x (Delta = 0.4): the cell at
// (0.1, 0.25) is sent as one quad with the normal ∝ (-2ah, 2ah, 2h).
TEST_F(FunctionSurfaceTest, PlaneCellIsOneQuadWithNormalMinusTwoAhTwoAhTwoH) {
  const double h = 0.05, a = 5.0;
  appState.stepFunctions = h;
  DrawScalingSurface();
  const Calls& log = GlLog();
  // The cell's first vertex is the one two calls after its glBegin.
  std::size_t at = 2;
  while (at < log.size() && !(log[at - 2].name == "glBegin" && std::abs(log[at].args[0] + 0.4) < 1e-9 &&
                              std::abs(log[at].args[1] + 0.25) < 1e-9))
    ++at;
  ASSERT_LE(at + 5, log.size());
  const double len = std::sqrt(8 * a * a * h * h + 4 * h * h);
  EXPECT_EQ(log[at - 2], (GlCall{"glBegin", {GL_QUADS}}));
  ASSERT_EQ(log[at - 1].name, "glNormal3d");
  EXPECT_NEAR(log[at - 1].args[0], -2 * a * h / len, 1e-12);
  EXPECT_NEAR(log[at - 1].args[1], 2 * a * h / len, 1e-12);
  EXPECT_NEAR(log[at - 1].args[2], 2 * h / len, 1e-12);
  const double corners[4][2] = {{0.1, 0.25}, {0.15, 0.25}, {0.15, 0.3}, {0.1, 0.3}};
  for (int v = 0; v < 4; ++v) {
    const GlCall& c = log[at + static_cast<std::size_t>(v)];
    ASSERT_EQ(c.name, "glVertex3d");
    EXPECT_NEAR(c.args[0], corners[v][0] - 0.5, 1e-12);
    EXPECT_NEAR(c.args[1], corners[v][1] - 0.5, 1e-12);
    EXPECT_NEAR(c.args[2], a * corners[v][0] - 0.5, 1e-12);
  }
  EXPECT_EQ(log[at + 4], (GlCall{"glEnd", {}}));
}

// Zoom off at level 6: the scaling function is non-zero only below
// (1 + 0.4)/64 = 0.021875, so with h = 0.01 only the 3 x 3 corner cells remain.
TEST_F(FunctionSurfaceTest, AllZeroCellsAreSkippedAndPartlyZeroCellsDrawn) {
  appState.zoom = false;
  appState.stepFunctions = 0.01;
  DrawScalingSurface();
  const std::vector<Primitive> cells = Primitives();
  ASSERT_EQ(cells.size(), 9u);
  for (std::size_t c = 0; c < 9; ++c) {
    EXPECT_NEAR(cells[c].vertices[0][0] + 0.5, 0.01 * static_cast<double>(c / 3), 1e-12);
    EXPECT_NEAR(cells[c].vertices[0][1] + 0.5, 0.01 * static_cast<double>(c % 3), 1e-12);
  }
  // Corner (0.03, 0.03) of the last cell is outside the support: height 0.
  EXPECT_EQ(cells[8].vertices[2][2], -0.5);
  EXPECT_GT(cells[8].vertices[0][2], -0.5);
  EXPECT_EQ(static_cast<int>(GlLog().size()), 2 + 9 * 7);

  // With h = 0.1 even the corner cell has four zero heights: nothing at all.
  appState.stepFunctions = 0.1;
  ClearGlLog();
  DrawScalingSurface();
  EXPECT_EQ(GlLog().size(), 2u);
}

TEST_F(FunctionSurfaceTest, WireFrameMeshHasLineLoopsWithoutNormals) {
  appState.filledSurfaces = false;
  appState.stepFunctions = 0.1;
  DrawWavelet1Surface();
  const std::vector<Primitive> cells = Primitives();
  ASSERT_FALSE(cells.empty());
  for (const Primitive& p : cells) {
    EXPECT_EQ(p.mode, static_cast<GLenum>(GL_LINE_LOOP));
    EXPECT_TRUE(p.normals.empty());
    EXPECT_EQ(p.vertices.size(), 4u);
  }
  EXPECT_EQ(CountCalls("glNormal3d"), 0);
}

TEST_F(FunctionSurfaceTest, SmallestPositiveDeltaStillTakesTheMeshPath) {
  appState.delta = 0.01;
  appState.stepFunctions = 0.1;
  DrawScalingSurface();
  // Plateau [0, 0.5]^2 sampled on a 0.1 grid: cells starting at 0 .. 0.5.
  EXPECT_EQ(Primitives().size(), 36u);
}

Calls FlatQuad(GLenum mode, std::initializer_list<Vec3> corners, Vec3 normal) {
  Calls c = {{"glBegin", {static_cast<double>(mode)}}, {"glNormal3d", {normal[0], normal[1], normal[2]}}};
  for (const Vec3& v : corners) {
    const Vec3 sent = Centred(v[0], v[1], v[2]);
    c.push_back({"glVertex3d", {sent[0], sent[1], sent[2]}});
  }
  c.push_back({"glEnd", {}});
  return c;
}

Calls SurfaceFrame() {
  return {{"glMaterialfv", {GL_FRONT_AND_BACK, GL_DIFFUSE, 1, 0, 0, 1}}, {"glShadeModel", {GL_SMOOTH}}};
}

void Append(Calls& to, const Calls& more) { to.insert(to.end(), more.begin(), more.end()); }

// Delta = 0 with zoom: side a = 0.5; the box plateau has height 1 whatever the step.
TEST_F(FunctionSurfaceTest, DeltaZeroScalingIsOnePlateauOverHalfSquare) {
  appState.delta = 0.0;
  for (double h : {0.1, 0.03}) {
    appState.stepFunctions = h;
    ClearGlLog();
    DrawScalingSurface();
    Calls expected = SurfaceFrame();
    Append(expected, FlatQuad(GL_QUADS, {{0, 0, 1}, {0.5, 0, 1}, {0.5, 0.5, 1}, {0, 0.5, 1}}, {0, 0, 1}));
    EXPECT_EQ(GlLog(), expected);
  }
}

// Heights come from the view wavelet coefficients of the fixture
// (w2 = 0.7): the plateau of PsiViewJ sits on [a, 1.5a) at w2.
TEST_F(FunctionSurfaceTest, DeltaZeroWaveletsFollowTheQuadTable) {
  appState.delta = 0.0;
  const double a = 0.5, m = 0.75, e = 1.0;  // a, 1.5a, 2a
  {
    ClearGlLog();
    DrawWavelet1Surface();
    const double c = 0.7;  // PhiView(0.5) * w2
    Calls expected = SurfaceFrame();
    Append(expected, FlatQuad(GL_QUADS, {{0, a, c}, {a, a, c}, {a, m, c}, {0, m, c}}, {0, 0, 1}));
    Append(expected, FlatQuad(GL_QUADS, {{0, m, -c}, {a, m, -c}, {a, e, -c}, {0, e, -c}}, {0, 0, 1}));
    Append(expected, FlatQuad(GL_QUADS, {{0, m, c}, {a, m, c}, {a, m, -c}, {0, m, -c}}, {0, 0, 1}));
    EXPECT_EQ(GlLog(), expected);
  }
  {
    ClearGlLog();
    DrawWavelet2Surface();
    const double c = 0.7 * 0.7;
    Calls expected = SurfaceFrame();
    Append(expected, FlatQuad(GL_QUADS, {{a, a, c}, {m, a, c}, {m, m, c}, {a, m, c}}, {0, 0, 1}));
    Append(expected, FlatQuad(GL_QUADS, {{m, m, c}, {e, m, c}, {e, e, c}, {m, e, c}}, {0, 0, 1}));
    Append(expected, FlatQuad(GL_QUADS, {{m, a, -c}, {e, a, -c}, {e, m, -c}, {m, m, -c}}, {0, 0, 1}));
    Append(expected, FlatQuad(GL_QUADS, {{m, m, -c}, {m, e, -c}, {a, e, -c}, {a, m, -c}}, {0, 0, 1}));
    Append(expected, FlatQuad(GL_QUADS, {{a, m, c}, {e, m, c}, {e, m, -c}, {a, m, -c}}, {0, -1, 0}));
    Append(expected, FlatQuad(GL_QUADS, {{m, a, c}, {m, e, c}, {m, e, -c}, {m, a, -c}}, {1, 0, 0}));
    EXPECT_EQ(GlLog(), expected);
  }
}

// Zoom off: side 2^-chosenLevel; wire frame keeps the flat quads' normals.
TEST_F(FunctionSurfaceTest, DeltaZeroWithoutZoomUsesLevelSideAndWireFrameKeepsNormals) {
  appState.delta = 0.0;
  appState.zoom = false;
  appState.chosenLevel = 3;
  appState.filledSurfaces = false;
  DrawWavelet3Surface();
  const double a = 0.125, m = 0.1875, e = 0.25;
  const double c = 0.7;  // PsiViewLevel(1.5a) * PhiViewLevel(0.5a) = w2 * 1
  Calls expected = SurfaceFrame();
  Append(expected, FlatQuad(GL_LINE_LOOP, {{a, 0, c}, {m, 0, c}, {m, a, c}, {a, a, c}}, {0, 0, 1}));
  Append(expected, FlatQuad(GL_LINE_LOOP, {{m, 0, -c}, {e, 0, -c}, {e, a, -c}, {m, a, -c}}, {0, 0, 1}));
  Append(expected, FlatQuad(GL_LINE_LOOP, {{m, 0, c}, {m, a, c}, {m, a, -c}, {m, 0, -c}}, {0, 0, 1}));
  EXPECT_EQ(GlLog(), expected);
}

}  // namespace
