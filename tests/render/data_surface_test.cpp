// The data view's surface: cells, normals, approximation only and the
// multiscale layout with its coloured blocks.
#include <GL/gl.h>

#include <cmath>

#include "blac/basis.h"
#include "gl_recorder.h"
#include "render/data_surface.h"

namespace {

using Calls = std::vector<GlCall>;
using Colour = std::array<double, 4>;

constexpr Colour kGreen{0, 1, 0, 1}, kRed{1, 0, 0, 1}, kBlue{0, 0, 1, 1};

// Cells grouped by the diffuse colour set before them.
struct Block {
  Colour colour;
  std::vector<Primitive> cells;
};

std::vector<Block> Blocks() {
  std::vector<Block> blocks;
  const std::vector<Primitive> prims = Primitives();
  std::size_t next = 0;
  for (const GlCall& c : GlLog()) {
    if (c.name == "glMaterialfv" && c.args[1] == GL_DIFFUSE) {
      blocks.push_back({{c.args[2], c.args[3], c.args[4], c.args[5]}, {}});
    } else if (c.name == "glBegin") {
      if (blocks.empty()) ADD_FAILURE() << "cell before any colour";
      else blocks.back().cells.push_back(prims[next]);
      ++next;
    }
  }
  return blocks;
}

class DataSurfaceTest : public RenderTest {
protected:
  void SetUp() override {
    RenderTest::SetUp();
    RunStartupNumerics();
    ClearGlLog();
  }
  // The cell's four heights must be those of e at its corners.
  static void ExpectHeights(const Primitive& p, double (*e)(double, double, int), int level,
                            double scale) {
    ASSERT_EQ(p.vertices.size(), 4u);
    for (const auto& v : p.vertices) {
      const double expected = scale * e(v[0] + 0.5, v[1] + 0.5, level);
      EXPECT_NEAR(v[2] + 0.5, expected, 1e-12) << "at " << v[0] + 0.5 << ", " << v[1] + 0.5;
    }
  }
};

TEST_F(DataSurfaceTest, EmitCellSendsNormalThenCornersCounterClockwise) {
  const double x = 0.2, y = 0.4, h = 0.1;
  const double z00 = 0.1, z10 = 0.4, z01 = 0.3, z11 = 0.9;
  EmitCell(x, y, h, z00, z10, z01, z11);
  const double d1 = z11 - z00, d2 = z01 - z10;
  const double s = std::sqrt(2 * (d2 - d1) * (d2 - d1) + 4 * h * h);
  const auto v = [](double px, double py, double pz) {
    const auto c = Centred(px, py, pz);
    return GlCall{"glVertex3d", {c[0], c[1], c[2]}};
  };
  EXPECT_EQ(GlLog(), (Calls{{"glBegin", {GL_QUADS}},
                            {"glNormal3d", {(d2 - d1) / s, (d1 - d2) / s, 2 * h / s}},
                            v(x, y, z00), v(x + h, y, z10), v(x + h, y + h, z11), v(x, y + h, z01),
                            {"glEnd", {}}}));

  appState.filledSurfaces = false;
  ClearGlLog();
  EmitCell(x, y, h, z00, z10, z01, z11);
  EXPECT_EQ(GlLog(), (Calls{{"glBegin", {GL_LINE_LOOP}},
                            v(x, y, z00), v(x + h, y, z10), v(x + h, y + h, z11), v(x, y + h, z01),
                            {"glEnd", {}}}));
}

TEST_F(DataSurfaceTest, EmitCellNormalOfAPlaneIgnoresItsYSlope) {
  const double a = 0.3, h = 0.1, x = 0.2, y = 0.4;
  for (double b : {0.0, 0.7, -2.0}) {
    const auto z = [&](double px, double py) { return a * px + b * py; };
    ClearGlLog();
    EmitCell(x, y, h, z(x, y), z(x + h, y), z(x, y + h), z(x + h, y + h));
    const auto n = Primitives().at(0).normals.at(0);
    const double len = std::sqrt(8 * a * a * h * h + 4 * h * h);
    EXPECT_NEAR(n[0], -2 * a * h / len, 1e-12);
    EXPECT_NEAR(n[1], 2 * a * h / len, 1e-12);
    EXPECT_NEAR(n[2], 2 * h / len, 1e-12);
  }
}

TEST_F(DataSurfaceTest, ApproximationOnlyIsOneGreenSurfaceAtChosenLevel) {
  appState.chosenLevel = 4;
  appState.onlyData = true;
  appState.stepData = 0.1;
  DrawDataSurface();
  const Calls& log = GlLog();
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(log[0], (GlCall{"glMaterialfv", {GL_FRONT_AND_BACK, GL_DIFFUSE, 0, 1, 0, 1}}));
  EXPECT_EQ(log[1], (GlCall{"glShadeModel", {GL_SMOOTH}}));
  EXPECT_EQ(CountCalls("glMaterialfv"), 1);
  // Ten additions of 0.1 stay just below 1, so an eleventh column and row run to about 1.1.
  const std::vector<Primitive> cells = Primitives();
  ASSERT_EQ(cells.size(), 121u);
  EXPECT_NEAR(cells.back().vertices[2][0] + 0.5, 1.1, 1e-9);
  EXPECT_NEAR(cells.back().vertices[2][1] + 0.5, 1.1, 1e-9);
  for (const Primitive& p : cells) {
    EXPECT_EQ(p.mode, static_cast<GLenum>(GL_QUADS));
    EXPECT_EQ(p.normals.size(), 1u);
    ExpectHeights(p, EvalPhiPhi, 4, 1.0);
  }

  appState.stepData = 0.02;
  ClearGlLog();
  DrawDataSurface();
  EXPECT_EQ(Primitives().size(), 2500u);

  // The layout at the data level (K = 0) is the same single green surface,
  // evaluated at the data level.
  appState.onlyData = false;
  appState.chosenLevel = 6;
  appState.stepData = 0.1;
  ClearGlLog();
  DrawDataSurface();
  EXPECT_EQ(CountCalls("glMaterialfv"), 1);
  ASSERT_EQ(Primitives().size(), 121u);
  for (const Primitive& p : Primitives()) ExpectHeights(p, EvalPhiPhi, 6, 1.0);
}

// chosenLevel 2 (K = 4), h = 0.1: the approximation and the blocks of n = 4
// (width 1/16) get one cell each, n = 3 two per axis, n = 2 three; n = 1
// starts at 0.5 and its running coordinate stays below 1 after five steps, so
// six columns there against five over [0, 0.5).
TEST_F(DataSurfaceTest, LayoutDrawsGreenThenRedBlueRedFromSmallestBlocks) {
  appState.chosenLevel = 2;
  appState.onlyData = false;
  appState.stepData = 0.1;
  appState.detailScale = 3;
  DrawDataSurface();
  EXPECT_EQ(GlLog().at(1), (GlCall{"glShadeModel", {GL_SMOOTH}}));
  const std::vector<Block> blocks = Blocks();
  ASSERT_EQ(blocks.size(), 13u);

  EXPECT_EQ(blocks[0].colour, kGreen);
  ASSERT_EQ(blocks[0].cells.size(), 1u);
  EXPECT_EQ(blocks[0].cells[0].vertices[0][0], -0.5);
  EXPECT_EQ(blocks[0].cells[0].vertices[0][1], -0.5);
  ExpectHeights(blocks[0].cells[0], EvalPhiPhi, 6, 1.0);

  const int sideX[] = {0, 6, 3, 2, 1};  // columns of the blocks right of x = b(n)
  const int sideY[] = {0, 5, 3, 2, 1};  // columns over [0, b(n))
  for (int n = 4, b = 1; n >= 1; --n, b += 3) {
    SCOPED_TRACE(n);
    const double edge = std::ldexp(1.0, -n);
    const struct {
      Colour colour;
      double x0, y0;
      double (*e)(double, double, int);
      std::size_t count;
    } expected[] = {
        {kRed, edge, 0, EvalPsiPhi, static_cast<std::size_t>(sideX[n] * sideY[n])},
        {kBlue, edge, edge, EvalPsiPsi, static_cast<std::size_t>(sideX[n] * sideX[n])},
        {kRed, 0, edge, EvalPhiPsi, static_cast<std::size_t>(sideY[n] * sideX[n])},
    };
    for (int r = 0; r < 3; ++r) {
      const Block& block = blocks[static_cast<std::size_t>(b + r)];
      EXPECT_EQ(block.colour, expected[r].colour);
      ASSERT_EQ(block.cells.size(), expected[r].count);
      EXPECT_EQ(block.cells[0].vertices[0][0] + 0.5, expected[r].x0);
      EXPECT_EQ(block.cells[0].vertices[0][1] + 0.5, expected[r].y0);
      for (const Primitive& p : block.cells) ExpectHeights(p, expected[r].e, 6, 3.0);
    }
  }
}

}  // namespace
