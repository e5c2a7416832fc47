// The data view's surface and the four function surfaces: cells, normals,
// loops, skipping, the flat quads of Delta = 0 and the multiscale layout.
#include <GL/gl.h>

#include <cmath>
#include <set>

#include "blac/startup.h"
#include "blac/basis.h"
#include "blac/decomposition.h"
#include "blac/display_scale.h"
#include "gl_recorder.h"
#include "render/cell_batch.h"
#include "render/data_surface.h"
#include "render/function_surfaces.h"

namespace {

using Vec3 = std::array<double, 3>;
using SurfaceTest = RenderTest;

// Four corners (x, y), (x+h, y), (x+h, y+h), (x, y+h) at the heights of e, and
// for quads the normal (o - t, t - o, 2h) / length with t = z11 - z00, o = z01 - z10.
template <class Height>
void ExpectCell(const Primitive& p, double h, Height e, double x0 = 0.0, double y0 = 0.0) {
  ASSERT_EQ(p.vertices.size(), 4u);
  // Outlines go out as doubles; filled cells as floats, so the cell's start
  // is taken as the step of the mesh (from x0, y0) nearest the one sent.
  const bool floats = p.mode == GL_QUADS;
  const auto start = [&](double sent, double origin) {
    return floats ? origin + std::round((sent - origin) / h) * h : sent;
  };
  const double x = start(p.vertices[0][0] + 0.5, x0), y = start(p.vertices[0][1] + 0.5, y0);
  const double dx[] = {0, h, h, 0}, dy[] = {0, 0, h, h}, z[4] = {e(x, y), e(x + h, y), e(x + h, y + h), e(x, y + h)};
  for (int v = 0; v < 4; ++v) {
    const double tol = floats ? SentTolerance(z[v]) : 1e-12;
    EXPECT_NEAR(p.vertices[v][0] + 0.5, x + dx[v], tol);
    EXPECT_NEAR(p.vertices[v][1] + 0.5, y + dy[v], tol);
    EXPECT_NEAR(p.vertices[v][2] + 0.5, z[v], tol) << "at " << x + dx[v] << ", " << y + dy[v];
  }
  if (p.mode != GL_QUADS) {
    EXPECT_TRUE(p.normals.empty());
    return;
  }
  // Filled cells come from the arrays: the cell's normal at each corner.
  ASSERT_EQ(p.normals.size(), 4u);
  const double t = z[2] - z[0], o = z[3] - z[1], len = std::sqrt(2 * (o - t) * (o - t) + 4 * h * h);
  for (const Vec3& n : p.normals) {
    EXPECT_NEAR(n[0], (o - t) / len, SentTolerance(1));
    EXPECT_NEAR(n[1], (t - o) / len, SentTolerance(1));
    EXPECT_NEAR(n[2], 2 * h / len, SentTolerance(1));
  }
}

// On a plane z = a x + b y the normal is (-2ah, 2ah, 2h) / length whatever b is.
// Outlines go out at once as line loops; filled cells wait in the arrays
// until FlushCells draws them as quads with the normal at every corner and
// leaves the last cell's normal current, as immediate mode would.
TEST_F(SurfaceTest, EmitCellSendsNormalThenCornersCounterClockwise) {
  const double a = 0.3, h = 0.1, x = 0.2, y = 0.4;
  for (double b : {0.0, 0.7, -2.0}) {
    const auto v = [&](double px, double py) { return Vertex(px, py, a * px + b * py); };
    const Calls corners{v(x, y), v(x + h, y), v(x + h, y + h), v(x, y + h)};
    const double len = std::sqrt(8 * a * a * h * h + 4 * h * h);
    const Vec3 normal{-2 * a * h / len, 2 * a * h / len, 2 * h / len};
    const auto emit = [&] {
      EmitCell(x, y, h, a * x + b * y, a * (x + h) + b * y, a * x + b * (y + h), a * (x + h) + b * (y + h));
    };

    appState.filledSurfaces = false;
    ClearGlLog();
    emit();
    Calls loop{{"glBegin", {GL_LINE_LOOP}}};
    loop.insert(loop.end(), corners.begin(), corners.end());
    loop.push_back({"glEnd", {}});
    EXPECT_EQ(GlLog(), loop);

    appState.filledSurfaces = true;
    ClearGlLog();
    emit();
    EXPECT_TRUE(GlLog().empty());
    emit();  // a second cell, the same one
    FlushCells();
    const Calls& log = GlLog();
    ASSERT_EQ(log.size(), 8u);
    EXPECT_EQ(Calls(log.begin(), log.begin() + 5),
              (Calls{{"glEnableClientState", {GL_VERTEX_ARRAY}},
                     {"glEnableClientState", {GL_NORMAL_ARRAY}},
                     {"glVertexPointer", {3, GL_FLOAT, 0}},
                     {"glNormalPointer", {GL_FLOAT, 0}},
                     {"glDrawArrays", {GL_QUADS, 0, 8}}}));
    EXPECT_EQ(log[5], (GlCall{"glDisableClientState", {GL_NORMAL_ARRAY}}));
    EXPECT_EQ(log[6], (GlCall{"glDisableClientState", {GL_VERTEX_ARRAY}}));
    ASSERT_EQ(log[7].name, "glNormal3d");
    for (int k = 0; k < 3; ++k)
      EXPECT_NEAR(log[7].args[static_cast<std::size_t>(k)], normal[static_cast<std::size_t>(k)], SentTolerance(1));
    const std::vector<Primitive> cells = Primitives();
    ASSERT_EQ(cells.size(), 2u);
    for (const Primitive& p : cells) {
      EXPECT_EQ(p.mode, static_cast<GLenum>(GL_QUADS));
      ASSERT_EQ(p.vertices.size(), 4u);
      for (std::size_t k = 0; k < 4; ++k)
        for (std::size_t a = 0; a < 3; ++a) EXPECT_NEAR(p.vertices[k][a], corners[k].args[a], SentTolerance(1));
      ASSERT_EQ(p.normals.size(), 4u);
      for (const Vec3& n : p.normals)
        for (std::size_t k = 0; k < 3; ++k) EXPECT_NEAR(n[k], normal[k], SentTolerance(1));
    }
    // Nothing gathered, nothing sent.
    ClearGlLog();
    FlushCells();
    EXPECT_TRUE(GlLog().empty());

    // The immediate-mode submission the frame benchmark compares with: a
    // pair per cell with the normal first.
    SetCellSubmission(CellSubmission::kImmediate);
    ClearGlLog();
    emit();
    FlushCells();
    SetCellSubmission(CellSubmission::kArrays);
    ASSERT_EQ(GlLog().size(), 7u);
    EXPECT_EQ(GlLog()[0], (GlCall{"glBegin", {GL_QUADS}}));
    ASSERT_EQ(GlLog()[1].name, "glNormal3d");
    for (std::size_t k = 0; k < 3; ++k) EXPECT_NEAR(GlLog()[1].args[k], normal[k], SentTolerance(1));
    for (std::size_t c = 2; c < 7; ++c) {
      ASSERT_EQ(GlLog()[c].name, loop[c - 1].name);
      ASSERT_EQ(GlLog()[c].args.size(), loop[c - 1].args.size());
      for (std::size_t a = 0; a < loop[c - 1].args.size(); ++a)
        EXPECT_NEAR(GlLog()[c].args[a], loop[c - 1].args[a], SentTolerance(1));
    }
  }
}

TEST_F(SurfaceTest, ApproximationOnlyIsOneGreenSurface) {
  RunStartupNumerics();
  appState.stepData = 0.1;
  for (const auto& [onlyData, level] : {std::pair{true, 4}, {false, 6}}) {  // K = 0: the same
    appState.onlyData = onlyData;
    appState.chosenLevel = level;
    ClearGlLog();
    DrawDataSurface();
    ASSERT_GE(GlLog().size(), 2u);
    EXPECT_EQ(GlLog()[0], Diffuse(0, 1, 0));
    EXPECT_EQ(GlLog()[1], (GlCall{"glShadeModel", {GL_SMOOTH}}));
    EXPECT_EQ(CountCalls("glMaterialfv"), 1);
    // Ten additions of 0.1 stay just below 1: an eleventh column and row run to about 1.1.
    const std::vector<Primitive> cells = Primitives();
    ASSERT_EQ(cells.size(), 121u);
    EXPECT_NEAR(cells.back().vertices[2][0] + 0.5, 1.1, SentTolerance(1.1));
    EXPECT_NEAR(cells.back().vertices[2][1] + 0.5, 1.1, SentTolerance(1.1));
    // A copy: clang before 16 cannot capture a structured binding.
    const int shownLevel = level;
    for (const Primitive& p : cells)
      ExpectCell(p, 0.1, [&](double x, double y) { return EvalPhiPhi(x, y, shownLevel); });
  }
  appState.stepData = 0.02;
  ClearGlLog();
  DrawDataSurface();
  EXPECT_EQ(Primitives().size(), 2500u);
}

// chosenLevel 2 (K = 4), h = 0.1: the approximation and the blocks of n = 4
// (width 1/16) get one cell each, n = 3 two per axis, n = 2 three; n = 1
// starts at 0.5 and its running coordinate stays below 1 after five steps, so
// six columns there against five over [0, 0.5). Each block is one colour.
TEST_F(SurfaceTest, LayoutDrawsGreenThenRedBlueRedFromSmallestBlocks) {
  RunStartupNumerics();
  appState.chosenLevel = 2;
  appState.onlyData = false;
  appState.stepData = 0.1;
  appState.detailScale = 3;
  DrawDataSurface();
  EXPECT_EQ(GlLog().at(1), (GlCall{"glShadeModel", {GL_SMOOTH}}));
  struct Block {
    GlCall colour;
    std::vector<Primitive> cells;
  };
  std::vector<Block> blocks;
  const std::vector<Primitive> prims = Primitives();
  for (std::size_t next = 0; const GlCall& c : GlLog()) {
    if (c.name == "glMaterialfv") blocks.push_back({c, {}});
    for (std::size_t k = PrimitivesStartedBy(c); k > 0; --k) {
      ASSERT_FALSE(blocks.empty()) << "cell before any colour";
      blocks.back().cells.push_back(prims.at(next++));
    }
  }
  ASSERT_EQ(blocks.size(), 13u);
  // Tripled, the sample's details pass 1: the picture is drawn at a display
  // scale, one factor for all blocks and, the sample crossing 0, no offset.
  const DisplayScale shown = appState.dataViewScale;
  EXPECT_LT(shown.factor, 1.0);
  EXPECT_EQ(shown.offset, 0.0);
  const auto check = [&](const Block& b, const GlCall& colour, double x0, double y0, std::size_t count,
                         double (*e)(double, double, int), double scale) {
    EXPECT_EQ(b.colour, colour);
    ASSERT_EQ(b.cells.size(), count);
    EXPECT_EQ(b.cells[0].vertices[0][0] + 0.5, x0);
    EXPECT_EQ(b.cells[0].vertices[0][1] + 0.5, y0);
    for (const Primitive& p : b.cells)
      ExpectCell(p, 0.1, [&](double x, double y) { return scale * e(x, y, 6) * shown.factor; }, x0, y0);
  };
  check(blocks[0], Diffuse(0, 1, 0), 0, 0, 1, EvalPhiPhi, 1);
  const std::size_t right[] = {0, 6, 3, 2, 1}, below[] = {0, 5, 3, 2, 1};  // columns right of / below b(n)
  for (int n = 4, b = 1; n >= 1; --n, b += 3) {
    SCOPED_TRACE(n);
    const double edge = std::ldexp(1.0, -n);
    check(blocks[b], Diffuse(1, 0, 0), edge, 0, right[n] * below[n], EvalPsiPhi, 3);
    check(blocks[b + 1], Diffuse(0, 0, 1), edge, edge, right[n] * right[n], EvalPsiPsi, 3);
    check(blocks[b + 2], Diffuse(1, 0, 0), 0, edge, below[n] * right[n], EvalPhiPsi, 3);
  }
}

// Level 0 (zoom off) with Delta = 1: the surface is non-zero on all of [0, 2)^2.
TEST_F(SurfaceTest, LoopsAdvanceByRepeatedAdditionBelowTwo) {
  appState.zoom = false;
  appState.chosenLevel = 0;
  appState.delta = 1.0;
  for (const auto& [h, passes] : {std::pair{0.1, 20}, {0.05, 40}, {0.03, 67}}) {
    SCOPED_TRACE(h);
    appState.stepFunctions = h;
    ClearGlLog();
    DrawScalingSurface();
    const std::vector<Primitive> cells = Primitives();
    ASSERT_EQ(static_cast<int>(cells.size()), passes * passes);
    std::set<double> xs;
    for (const Primitive& p : cells) xs.insert(p.vertices[0][0] + 0.5);
    EXPECT_EQ(static_cast<int>(xs.size()), passes);
    EXPECT_LT(*xs.rbegin(), 2.0);
    EXPECT_GE(*xs.rbegin() + h, 2.0 - SentTolerance(2));
  }
  EXPECT_NEAR(Primitives().back().vertices[0][0] + 0.5, 1.98, SentTolerance(2));  // h = 0.03: last cell
  EXPECT_NEAR(Primitives().back().vertices[1][0] + 0.5, 2.01, SentTolerance(2));
}

TEST_F(SurfaceTest, CellsCarryHeightsAndTheirShadingNormal) {
  appState.stepFunctions = 0.1;
  const std::pair<void (*)(), double (*)(double, double)> surfaces[] = {
      {DrawScalingSurface, ViewPhiPhi}, {DrawWavelet1Surface, ViewPhiPsi},
      {DrawWavelet2Surface, ViewPsiPsi}, {DrawWavelet3Surface, ViewPsiPhi}};
  for (const auto& [draw, height] : surfaces) {
    ClearGlLog();
    draw();
    ASSERT_FALSE(Primitives().empty());
    for (const Primitive& p : Primitives()) {
      ASSERT_EQ(p.mode, static_cast<GLenum>(GL_QUADS));
      ExpectCell(p, 0.1, height);
    }
  }
  // On the ramp of PhiView(2x) times the plateau of PhiView(2y) the scaling
  // surface is the plane z = 5x (Delta = 0.4).
  appState.stepFunctions = 0.05;
  ClearGlLog();
  DrawScalingSurface();
  const double len = std::sqrt(8 * 25 * 0.05 * 0.05 + 4 * 0.05 * 0.05);
  int found = 0;
  for (const Primitive& p : Primitives()) {
    if (std::abs(p.vertices[0][0] + 0.4) > 1e-6 || std::abs(p.vertices[0][1] + 0.25) > 1e-6) continue;
    ++found;
    ExpectCell(p, 0.05, [](double x, double) { return 5 * x; });
    EXPECT_NEAR(p.normals.at(0)[0], -2 * 5 * 0.05 / len, SentTolerance(1));
  }
  EXPECT_EQ(found, 1);
}

// Zoom off at level 6: non-zero only below (1 + 0.4)/64 = 0.021875, so with
// h = 0.01 only the 3 x 3 corner cells remain; with h = 0.1 none.
TEST_F(SurfaceTest, AllZeroCellsAreSkippedAndPartlyZeroCellsDrawn) {
  appState.zoom = false;
  appState.stepFunctions = 0.01;
  DrawScalingSurface();
  const std::vector<Primitive> cells = Primitives();
  ASSERT_EQ(cells.size(), 9u);
  for (std::size_t c = 0; c < 9; ++c) {
    EXPECT_NEAR(cells[c].vertices[0][0] + 0.5, 0.01 * static_cast<double>(c / 3), SentTolerance(1));
    EXPECT_NEAR(cells[c].vertices[0][1] + 0.5, 0.01 * static_cast<double>(c % 3), SentTolerance(1));
  }
  EXPECT_EQ(cells[8].vertices[2][2], -0.5);  // corner (0.03, 0.03) is outside the support
  EXPECT_GT(cells[8].vertices[0][2], -0.5);
  // The red frame calls, then one array draw of the nine quads (8 calls).
  EXPECT_EQ(GlLog().size(), 2u + 8u);
  EXPECT_EQ(CountCalls("glDrawArrays"), 1);
  EXPECT_EQ(CountCalls("glBegin"), 0);
  appState.stepFunctions = 0.1;
  ClearGlLog();
  DrawScalingSurface();
  EXPECT_EQ(GlLog().size(), 2u);
}

// The smallest positive Delta still takes the mesh path: plateau [0, 0.5]^2, 6 x 6 cells.
TEST_F(SurfaceTest, WireFrameMeshHasLineLoopsWithoutNormals) {
  appState.filledSurfaces = false;
  appState.delta = 0.01;
  appState.stepFunctions = 0.1;
  DrawScalingSurface();
  ASSERT_EQ(Primitives().size(), 36u);
  for (const Primitive& p : Primitives()) {
    EXPECT_EQ(p.mode, static_cast<GLenum>(GL_LINE_LOOP));
    ExpectCell(p, 0.1, ViewPhiPhi);
  }
}

// Flat quads: corners and normal per quad, after the red frame calls.
Calls FlatQuads(GLenum mode, std::initializer_list<std::pair<std::array<Vec3, 4>, Vec3>> quads) {
  Calls c = {Diffuse(1, 0, 0), {"glShadeModel", {GL_SMOOTH}}};
  for (const auto& [corners, n] : quads) {
    c.push_back({"glBegin", {static_cast<double>(mode)}});
    c.push_back({"glNormal3d", {n[0], n[1], n[2]}});
    for (const Vec3& v : corners) c.push_back(Vertex(v[0], v[1], v[2]));
    c.push_back({"glEnd", {}});
  }
  return c;
}

// Delta = 0 with zoom: side a = 0.5, heights from the fixture's w2 = 0.7.
TEST_F(SurfaceTest, DeltaZeroSurfacesFollowTheQuadTable) {
  appState.delta = 0.0;
  const Vec3 up{0, 0, 1};
  for (double h : {0.1, 0.03}) {  // the box plateau whatever the step
    appState.stepFunctions = h;
    ClearGlLog();
    DrawScalingSurface();
    EXPECT_EQ(GlLog(), FlatQuads(GL_QUADS, {{{{{0, 0, 1}, {0.5, 0, 1}, {0.5, 0.5, 1}, {0, 0.5, 1}}}, up}}));
  }
  const double a = 0.5, m = 0.75, e = 1.0, c = 0.7, cc = c * c;
  ClearGlLog();
  DrawWavelet1Surface();
  EXPECT_EQ(GlLog(), FlatQuads(GL_QUADS, {{{{{0, a, c}, {a, a, c}, {a, m, c}, {0, m, c}}}, up},
                                          {{{{0, m, -c}, {a, m, -c}, {a, e, -c}, {0, e, -c}}}, up},
                                          {{{{0, m, c}, {a, m, c}, {a, m, -c}, {0, m, -c}}}, up}}));
  ClearGlLog();
  DrawWavelet2Surface();
  EXPECT_EQ(GlLog(), FlatQuads(GL_QUADS, {{{{{a, a, cc}, {m, a, cc}, {m, m, cc}, {a, m, cc}}}, up},
                                          {{{{m, m, cc}, {e, m, cc}, {e, e, cc}, {m, e, cc}}}, up},
                                          {{{{m, a, -cc}, {e, a, -cc}, {e, m, -cc}, {m, m, -cc}}}, up},
                                          {{{{m, m, -cc}, {m, e, -cc}, {a, e, -cc}, {a, m, -cc}}}, up},
                                          {{{{a, m, cc}, {e, m, cc}, {e, m, -cc}, {a, m, -cc}}}, {0, -1, 0}},
                                          {{{{m, a, cc}, {m, e, cc}, {m, e, -cc}, {m, a, -cc}}}, {1, 0, 0}}}));
  // Zoom off: side 2^-chosenLevel; the wire frame keeps the flat quads' normals.
  appState.zoom = false;
  appState.chosenLevel = 3;
  appState.filledSurfaces = false;
  const double s = 0.125, sm = 0.1875, se = 0.25;
  ClearGlLog();
  DrawWavelet3Surface();
  EXPECT_EQ(GlLog(), FlatQuads(GL_LINE_LOOP, {{{{{s, 0, c}, {sm, 0, c}, {sm, s, c}, {s, s, c}}}, up},
                                              {{{{sm, 0, -c}, {se, 0, -c}, {se, s, -c}, {sm, s, -c}}}, up},
                                              {{{{sm, 0, c}, {sm, s, c}, {sm, s, -c}, {sm, 0, -c}}}, up}}));
}

}  // namespace

namespace {

// Fills the 65 x 65 block as a surface of that size is taken.
template <class Height>
void FillGrid(Height height) {
  for (int i = 1; i <= kGridSize; ++i)
    for (int k = 1; k <= kGridSize; ++k) SetElement(appState.dataMatrix, i, k, height(i - 1, k - 1));
}

struct DrawnRange {
  double lo = 1e300, hi = -1e300;
  bool finite = true;
};
// The heights of every vertex drawn, back in parameter units, and whether
// every coordinate and normal sent was finite.
DrawnRange Drawn() {
  DrawnRange r;
  for (const Primitive& p : Primitives()) {
    for (const auto& n : p.normals)
      for (const double c : n) r.finite = r.finite && std::isfinite(c);
    for (const auto& v : p.vertices) {
      for (const double c : v) r.finite = r.finite && std::isfinite(c);
      r.lo = std::min(r.lo, v[2] + 0.5);
      r.hi = std::max(r.hi, v[2] + 0.5);
    }
  }
  return r;
}

}  // namespace

// A redraw with nothing changed reuses the heights of the last frame; any
// change of what they come from (a coefficient, currentDelta, the synthesis
// tables, the step, the level) gives the freshly evaluated heights.
TEST_F(SurfaceTest, HeightsKeptBetweenFramesFollowEveryChangeOfWhatTheyComeFrom) {
  RunStartupNumerics();
  appState.onlyData = true;
  appState.chosenLevel = 4;
  appState.stepData = 0.05;
  // Every corner and normal drawn (the log holds the arrays' pointers only).
  const auto drawn = [] {
    ClearGlLog();
    DrawDataSurface();
    std::vector<std::array<double, 3>> sent;
    for (const Primitive& p : Primitives()) {
      sent.insert(sent.end(), p.vertices.begin(), p.vertices.end());
      sent.insert(sent.end(), p.normals.begin(), p.normals.end());
    }
    return sent;
  };
  const auto expectFresh = [](int level, double h) {
    const std::vector<Primitive> cells = Primitives();
    ASSERT_FALSE(cells.empty());
    for (const Primitive& p : cells) ExpectCell(p, h, [&](double x, double y) { return EvalPhiPhi(x, y, level); });
  };
  const auto first = drawn();
  EXPECT_EQ(drawn(), first);  // the same frame again, from kept heights
  expectFresh(4, 0.05);

  SetElement(appState.dataMatrix, 3, 5, GetElement(appState.dataMatrix, 3, 5) + 0.25);
  EXPECT_NE(drawn(), first);
  expectFresh(4, 0.05);

  appState.currentDelta = 0.9;
  const auto delta = drawn();
  expectFresh(4, 0.05);
  appState.currentDelta = 0.4;
  EXPECT_NE(drawn(), delta);
  expectFresh(4, 0.05);

  appState.stepData = 0.04;
  drawn();
  expectFresh(4, 0.04);
  appState.chosenLevel = 3;
  drawn();
  expectFresh(3, 0.04);

  // The details read the synthesis tables.
  appState.onlyData = false;
  appState.chosenLevel = 2;
  const auto layout = drawn();
  EXPECT_EQ(drawn(), layout);
  const auto scaleTables = [](double f) {
    for (Matrix& q : appState.synthesisQ)
      if (q.rows >= 2 && q.cols >= 2) SetElement(q, 2, 2, GetElement(q, 2, 2) * f);
  };
  scaleTables(2.0);
  EXPECT_NE(drawn(), layout);
  scaleTables(0.5);  // exactly back: a power of two
  EXPECT_EQ(drawn(), layout);
}

// 1500 + 500 x y: from 1500 (at x = 0) to 2000 (at 1, 1), drawn from the
// floor up to 0.7 at 0.7 / 500; the caption hears of it once.
TEST_F(SurfaceTest, TerrainIsDrawnAsAReliefFromTheFloorAndItsScaleReported) {
  RunStartupNumerics();
  std::vector<DisplayScale> heard;
  appState.dataViewScaleChanged = [&](const DisplayScale& d) { heard.push_back(d); };
  FillGrid([](int i, int k) { return 1500 + 500 * (i / 64.0) * (k / 64.0); });
  DrawDataSurface();
  const DrawnRange r = Drawn();
  EXPECT_TRUE(r.finite);
  EXPECT_NEAR(r.lo, 0.0, SentTolerance(1));
  EXPECT_NEAR(r.hi, 0.7, SentTolerance(1));
  ASSERT_EQ(heard.size(), 1u);
  EXPECT_EQ(heard[0].offset, 1500.0);
  EXPECT_NEAR(heard[0].factor, 0.0014, 1e-15);
  EXPECT_EQ(appState.dataViewScale, heard[0]);
  // Each corner at (z - 1500) * 0.0014, normals from those heights.
  for (const Primitive& p : Primitives())
    ExpectCell(p, 0.02, [](double x, double y) { return (EvalPhiPhi(x, y, 6) - 1500) * 0.0014; });
  // The same picture again: nothing new to say. The sample: scale 1 again.
  ClearGlLog();
  DrawDataSurface();
  EXPECT_EQ(heard.size(), 1u);
  GenerateSampleSurface(6);
  DrawDataSurface();
  ASSERT_EQ(heard.size(), 2u);
  EXPECT_TRUE(heard[1].IsIdentity());
  appState.dataViewScaleChanged = nullptr;
}

// The layout of one level shares one factor: every block's heights are the
// expansion's times that factor (the approximation's less the offset too).
TEST_F(SurfaceTest, LayoutBlocksShareOneFactor) {
  RunStartupNumerics();
  FillGrid([](int i, int k) { return 1500 + 500 * std::sin(i / 9.0) * std::cos(k / 13.0); });
  while (appState.chosenLevel > 2) DecomposeLevel(--appState.chosenLevel);
  appState.onlyData = false;
  appState.stepData = 0.1;
  ClearGlLog();
  DrawDataSurface();
  const DisplayScale d = appState.dataViewScale;
  EXPECT_EQ(d, DataViewScale(appState));
  ASSERT_LT(d.factor, 1.0);
  EXPECT_GT(d.offset, 0.0);
  double (*shown)(double, double, int) = EvalPhiPhi;
  bool shifted = true;
  int blocks = 0;
  const std::vector<Primitive> prims = Primitives();
  std::size_t next = 0;
  double x0 = 0, y0 = 0;  // each block's first cell starts at its corner (a power of two)
  for (const GlCall& c : GlLog()) {
    if (c.name == "glMaterialfv") {
      // Green, then red (x), blue, red (y) per level, as the layout draws them.
      static double (*const order[])(double, double, int) = {EvalPsiPhi, EvalPsiPsi, EvalPhiPsi};
      if (blocks > 0) {
        shown = order[(blocks - 1) % 3];
        shifted = false;
      }
      ++blocks;
      x0 = prims.at(next).vertices[0][0] + 0.5;
      y0 = prims.at(next).vertices[0][1] + 0.5;
    }
    for (std::size_t k = PrimitivesStartedBy(c); k > 0; --k) {
      ExpectCell(prims.at(next++), 0.1, [&](double x, double y) {
        return ((shifted ? shown(x, y, 6) - d.offset : shown(x, y, 6))) * d.factor;
      }, x0, y0);
    }
  }
  EXPECT_EQ(blocks, 13);
  EXPECT_EQ(next, prims.size());
  const DrawnRange r = Drawn();
  EXPECT_GE(r.lo, -kScaledDepth - SentTolerance(1));
  EXPECT_LE(r.hi, kScaledSpan + SentTolerance(1));
}

// One 1e6 in zeros, a constant 1500 and +-1e150 (the largest values a file
// may hold), at levels 6 and 2, alone and in the layout: every vertex and
// normal finite, every height within the scaled range.
TEST_F(SurfaceTest, SpikeConstantAndValueBoundDrawFiniteAndWhole) {
  const std::pair<const char*, double (*)(int, int)> surfaces[] = {
      {"spike", [](int i, int k) { return i == 32 && k == 32 ? 1e6 : 0.0; }},
      {"constant", [](int, int) { return 1500.0; }},
      {"bound", [](int i, int k) { return (i + k) % 2 == 0 ? 1e150 : -1e150; }},
  };
  for (const auto& [name, height] : surfaces) {
    SCOPED_TRACE(name);
    ResetAppState();
    RunStartupNumerics();
    FillGrid(height);
    for (const int level : {6, 2}) {
      while (appState.chosenLevel > level) DecomposeLevel(--appState.chosenLevel);
      for (const bool onlyData : {true, false}) {
        appState.onlyData = onlyData;
        ClearGlLog();
        DrawDataSurface();
        const DrawnRange r = Drawn();
        EXPECT_TRUE(r.finite) << "level " << level;
        EXPECT_GE(r.lo, -kScaledDepth - SentTolerance(1)) << "level " << level;
        EXPECT_LE(r.hi, kScaledSpan + SentTolerance(1)) << "level " << level;
        EXPECT_FALSE(appState.dataViewScale.IsIdentity());
        // Taken from the drawn meshes, it is the rule's scale of the same heights.
        EXPECT_EQ(appState.dataViewScale, DataViewScale(appState)) << "level " << level;
      }
    }
  }
}
