// Scene composition: axes, placements, scene selection, swaps and the redraw
// entry points with their guards.
#include <GL/gl.h>

#include "gl_recorder.h"
#include "render/glwindow.h"
#include "render/scenes.h"

namespace {

using Calls = std::vector<GlCall>;

GlCall V(double x, double y, double z) {
  const auto c = Centred(x, y, z);
  return {"glVertex3d", {c[0], c[1], c[2]}};
}

Calls AxesCalls(double a, double b, double c) {
  const GlCall black{"glMaterialfv", {GL_FRONT_AND_BACK, GL_DIFFUSE, 0, 0, 0, 1}};
  return {{"glBegin", {GL_LINES}}, black,
          V(-0.2, 0, 0), V(a, 0, 0), V(0, -0.2, 0), V(0, b, 0), V(0, 0, -0.2), V(0, 0, c),
          {"glEnd", {}},
          {"glBegin", {GL_TRIANGLES}}, black,
          V(a - 0.06, 0.03, 0), V(a, 0, 0), V(a - 0.06, -0.03, 0),
          V(0.03, b - 0.06, 0), V(0, b, 0), V(-0.03, b - 0.06, 0),
          V(0.03, 0, c - 0.06), V(0, 0, c), V(-0.03, 0, c - 0.06),
          {"glEnd", {}}};
}

// The log with everything between glBegin and glEnd (and the surfaces'
// material and shading calls) left out: the matrix skeleton of a scene.
Calls MatrixCalls() {
  Calls out;
  for (const GlCall& c : GlLog()) {
    if (c.name == "glPushMatrix" || c.name == "glPopMatrix" || c.name == "glTranslated" ||
        c.name == "glRotated" || c.name == "glClear" || c.name == "glFlush" ||
        c.name.find(".SwapBuffers") != std::string::npos)
      out.push_back(c);
  }
  return out;
}

Calls PlacementMatrices(double tx, double ty, const Orientation& o) {
  return {{"glPushMatrix", {}},
          {"glTranslated", {tx, ty, 0}},
          {"glPushMatrix", {}},
          {"glRotated", {o.alpha, 1, 0, 0}},
          {"glRotated", {o.beta, 0, 1, 0}},
          {"glRotated", {o.gamma, 0, 0, 1}},
          {"glPopMatrix", {}},
          {"glPopMatrix", {}}};
}

const GlCall kClear{"glClear", {GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT}};

class SceneTest : public RenderTest {
protected:
  void SetUp() override {
    RenderTest::SetUp();
    GenerateSampleSurface(6);
    CreateViewContexts(&grafik, &daten);
    ClearGlLog();
  }
  FakeSurface grafik{"G"};
  FakeSurface daten{"D", 531, 528};
};

TEST_F(SceneTest, DrawAxesSendsThreeSegmentsThenThreeArrowheads) {
  DrawAxes(1.3, 1.3, 1.0);
  EXPECT_EQ(GlLog(), AxesCalls(1.3, 1.3, 1.0));
}

// Frame, then surface, inside translate / rotate x, y, z; the scaling
// function's frame is 0.3 shorter in x and y.
TEST_F(SceneTest, PlacementsTranslateRotateDrawFrameThenSurface) {
  appState.functionOrientation[0] = {-61, 11, -7};
  const struct {
    void (*place)();
    double tx, ty, axis;
    int index;
  } placements[] = {{PlaceScalingFunction, -1.3, 1.3, 1.6 - 0.3, 0},
                    {PlaceWavelet1, 1.3, 1.3, 1.6, 1},
                    {PlaceWavelet2, -1.3, -1.3, 1.6, 2},
                    {PlaceWavelet3, 1.3, -1.3, 1.6, 3}};
  for (const auto& p : placements) {
    SCOPED_TRACE(p.index);
    ClearGlLog();
    p.place();
    EXPECT_EQ(MatrixCalls(), PlacementMatrices(p.tx, p.ty, appState.functionOrientation[p.index]));
    const Calls& log = GlLog();
    const Calls axes = AxesCalls(p.axis, p.axis, 1.1);
    ASSERT_GT(log.size(), 6 + axes.size() + 2);
    EXPECT_EQ(Calls(log.begin() + 6, log.begin() + 6 + static_cast<long>(axes.size())), axes);
    // The surface follows the frame: red material, smooth shading.
    EXPECT_EQ(log[6 + axes.size()], (GlCall{"glMaterialfv", {GL_FRONT_AND_BACK, GL_DIFFUSE, 1, 0, 0, 1}}));
    EXPECT_EQ(log[7 + axes.size()], (GlCall{"glShadeModel", {GL_SMOOTH}}));
    EXPECT_EQ(log[log.size() - 2].name, "glPopMatrix");
  }
}

Calls AllFourThen(const GlCall& end) {
  const auto& o = appState.functionOrientation;
  Calls c = {kClear};
  for (const Calls& p : {PlacementMatrices(-1.3, 1.3, o[0]), PlacementMatrices(1.3, 1.3, o[1]),
                         PlacementMatrices(-1.3, -1.3, o[2]), PlacementMatrices(1.3, -1.3, o[3])})
    c.insert(c.end(), p.begin(), p.end());
  c.push_back(end);
  return c;
}

TEST_F(SceneTest, OverviewDrawsAllFourWithFarStepAndSwaps) {
  const GlCall swap{"G.SwapBuffers", {}};
  for (int selected : {4, 2}) {  // closeUp false: all four, also during a view change
    SCOPED_TRACE(selected);
    appState.selectedFunction = static_cast<std::int8_t>(selected);
    appState.stepFunctions = 0.05;
    ClearGlLog();
    DrawGrafikScene();
    EXPECT_EQ(appState.stepFunctions, 0.1);
    EXPECT_EQ(GlLog().front(), kClear);
    EXPECT_EQ(MatrixCalls(), AllFourThen(swap));
    EXPECT_EQ(GlLog().back(), swap);
  }
  appState.closeUp = true;  // selectedFunction 4 ignores the close-up flag
  appState.selectedFunction = 4;
  ClearGlLog();
  DrawGrafikScene();
  EXPECT_EQ(appState.stepFunctions, 0.03);
  EXPECT_EQ(MatrixCalls(), AllFourThen(swap));
}

TEST_F(SceneTest, CloseUpDrawsOnlyTheSelectedFunctionWithNearStep) {
  appState.closeUp = true;
  appState.stepNear = 0.07;
  const auto& o = appState.functionOrientation;
  const Calls placements[] = {PlacementMatrices(-1.3, 1.3, o[0]), PlacementMatrices(1.3, 1.3, o[1]),
                              PlacementMatrices(-1.3, -1.3, o[2]), PlacementMatrices(1.3, -1.3, o[3])};
  for (int selected = 0; selected < 4; ++selected) {
    SCOPED_TRACE(selected);
    appState.selectedFunction = static_cast<std::int8_t>(selected);
    ClearGlLog();
    DrawGrafikScene();
    EXPECT_EQ(appState.stepFunctions, 0.07);
    Calls expected = {kClear};
    expected.insert(expected.end(), placements[selected].begin(), placements[selected].end());
    expected.push_back({"G.SwapBuffers", {}});
    EXPECT_EQ(MatrixCalls(), expected);
  }
}

TEST_F(SceneTest, SingleBufferEndsWithFlushInsteadOfSwap) {
  appState.doubleBuffer = false;
  DrawGrafikScene();
  EXPECT_EQ(GlLog().back(), (GlCall{"glFlush", {}}));
  ClearGlLog();
  DrawDatenScene();
  EXPECT_EQ(GlLog().back(), (GlCall{"glFlush", {}}));
  EXPECT_EQ(CountCalls("G.SwapBuffers") + CountCalls("D.SwapBuffers"), 0);
}

TEST_F(SceneTest, DataSceneRotatesAxesAndSurfaceInsideOnePush) {
  appState.stepData = 0.1;
  appState.Dalpha = -61;
  DrawDatenScene();
  const Calls& log = GlLog();
  const Calls head = {kClear,
                      {"glPushMatrix", {}},
                      {"glRotated", {-61, 1, 0, 0}},
                      {"glRotated", {8, 0, 1, 0}},
                      {"glRotated", {-9, 0, 0, 1}}};
  const Calls axes = AxesCalls(1.3, 1.3, 1.0);
  ASSERT_GT(log.size(), head.size() + axes.size() + 2);
  EXPECT_EQ(Calls(log.begin(), log.begin() + 5), head);
  EXPECT_EQ(Calls(log.begin() + 5, log.begin() + 5 + static_cast<long>(axes.size())), axes);
  EXPECT_EQ(log[5 + axes.size()], (GlCall{"glMaterialfv", {GL_FRONT_AND_BACK, GL_DIFFUSE, 0, 1, 0, 1}}));
  EXPECT_EQ(log[log.size() - 2], (GlCall{"glPopMatrix", {}}));
  EXPECT_EQ(log.back(), (GlCall{"D.SwapBuffers", {}}));
  EXPECT_EQ(Primitives().size(), 2u + 121u);
}

TEST_F(SceneTest, PaintSetsAspectLoadsOwnProjectionThenDraws) {
  GrafikPaintOrResize(492, 528);
  EXPECT_EQ(appState.viewAspect, 492.0 / 528.0);
  const Calls& log = GlLog();
  ASSERT_GE(log.size(), 7u);
  EXPECT_EQ(Calls(log.begin(), log.begin() + 7),
            (Calls{{"G.MakeCurrent", {1}},
                   {"glViewport", {0, 0, 492, 528}},
                   {"glMatrixMode", {GL_PROJECTION}},
                   {"glLoadIdentity", {}},
                   {"gluPerspective", {60, 492.0 / 528.0, 1, 20}},
                   {"glMatrixMode", {GL_MODELVIEW}},
                   kClear}));
  EXPECT_EQ(log.back(), (GlCall{"G.SwapBuffers", {}}));
  EXPECT_EQ(CountCalls("D.MakeCurrent") + CountCalls("D.SwapBuffers"), 0);

  // The data view binds its own context: the other view is never touched.
  appState.stepData = 0.1;
  ClearGlLog();
  DatenPaintOrResize(531, 528);
  EXPECT_EQ(GlLog().front(), (GlCall{"D.MakeCurrent", {1}}));
  EXPECT_EQ(CallsNamed("gluPerspective"), (Calls{{"gluPerspective", {60, 531.0 / 528.0, 1, 20}}}));
  EXPECT_EQ(GlLog().back(), (GlCall{"D.SwapBuffers", {}}));
  EXPECT_EQ(CountCalls("G.MakeCurrent") + CountCalls("G.SwapBuffers"), 0);
  EXPECT_EQ(CountCalls("glPushMatrix"), CountCalls("glPopMatrix"));
}

// A minimised view (empty client area or surface) is not redrawn at all.
TEST_F(SceneTest, EmptyClientAreaIsNotRedrawn) {
  appState.viewAspect = 0.5;
  GrafikPaintOrResize(492, 0);
  GrafikPaintOrResize(0, 528);
  DatenPaintOrResize(531, 0);
  EXPECT_TRUE(GlLog().empty());
  EXPECT_EQ(appState.viewAspect, 0.5);

  grafik.height = 0;
  daten.width = 0;
  RedrawGrafik();
  RedrawDaten();
  GrafikPaintOrResize(492, 528);  // the window reports a size, the surface has none yet
  EXPECT_TRUE(GlLog().empty());
}

}  // namespace
