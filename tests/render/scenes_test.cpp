// Contexts, projections, lighting, axes, placements, the two scenes and the
// redraw entry points with their guards.
#include <GL/gl.h>

#include "gl_recorder.h"
#include "render/glwindow.h"
#include "render/scenes.h"

namespace {

Calls Concat(std::initializer_list<Calls> parts) {
  Calls out;
  for (const Calls& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

const Calls kLighting = {{"glEnable", {GL_LIGHTING}},
                         {"glEnable", {GL_LIGHT0}},
                         {"glLightfv", {GL_LIGHT0, GL_POSITION, 1, 3, 3, 0}},
                         {"glMaterialfv", {GL_FRONT_AND_BACK, GL_AMBIENT, 0, 1, 0, 1}}};
const GlCall kClear{"glClear", {GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT}};

Calls ContextInit(double x, double y, double z) {
  return Concat({{{"glEnable", {GL_DEPTH_TEST}}, {"glClearColor", {1, 1, 1, 1}},
                  {"glMatrixMode", {GL_MODELVIEW}}, {"glTranslated", {x, y, z}}},
                 kLighting});
}

Calls Projection(const char* view, double w, double h) {
  return {{std::string(view) + ".MakeCurrent", {1}}, {"glViewport", {0, 0, w, h}},
          {"glMatrixMode", {GL_PROJECTION}},         {"glLoadIdentity", {}},
          {"gluPerspective", {60, w / h, 1, 20}},    {"glMatrixMode", {GL_MODELVIEW}}};
}

Calls Axes(double a, double b, double c) {
  const GlCall black = Diffuse(0, 0, 0);
  return {{"glBegin", {GL_LINES}}, black,
          Vertex(-0.2, 0, 0), Vertex(a, 0, 0), Vertex(0, -0.2, 0), Vertex(0, b, 0), Vertex(0, 0, -0.2), Vertex(0, 0, c),
          {"glEnd", {}}, {"glBegin", {GL_TRIANGLES}}, black,
          Vertex(a - 0.06, 0.03, 0), Vertex(a, 0, 0), Vertex(a - 0.06, -0.03, 0),
          Vertex(0.03, b - 0.06, 0), Vertex(0, b, 0), Vertex(-0.03, b - 0.06, 0),
          Vertex(0.03, 0, c - 0.06), Vertex(0, 0, c), Vertex(-0.03, 0, c - 0.06),
          {"glEnd", {}}};
}

// The matrix skeleton of a scene: the log without primitives and materials.
Calls MatrixCalls() {
  Calls out;
  for (const GlCall& c : GlLog())
    if (c.name == "glPushMatrix" || c.name == "glPopMatrix" || c.name == "glTranslated" || c.name == "glRotated" ||
        c.name == "glClear" || c.name == "glFlush" || c.name.ends_with(".SwapBuffers"))
      out.push_back(c);
  return out;
}

Calls Placement(int f) {
  const Orientation& o = appState.functionOrientation[f];
  return {{"glPushMatrix", {}}, {"glTranslated", {f % 2 ? 1.3 : -1.3, f < 2 ? 1.3 : -1.3, 0}},
          {"glPushMatrix", {}}, {"glRotated", {o.alpha, 1, 0, 0}}, {"glRotated", {o.beta, 0, 1, 0}},
          {"glRotated", {o.gamma, 0, 0, 1}}, {"glPopMatrix", {}}, {"glPopMatrix", {}}};
}

class SceneTest : public RenderTest {
protected:
  void Create() {
    CreateViewContexts(&grafik, &daten);
    ClearGlLog();
  }
  FakeSurface grafik{"G"};
  FakeSurface daten{"D", 531, 528};
};

TEST_F(SceneTest, PresetsLightingAndCentredVertex) {
  MaterialBlack();
  MaterialRed();
  MaterialGreen();
  MaterialBlue();
  CenteredVertex(0.5, 1.25, -2.0);
  SetupLighting();
  EXPECT_EQ(GlLog(), Concat({{Diffuse(0, 0, 0), Diffuse(1, 0, 0), Diffuse(0, 1, 0), Diffuse(0, 0, 1),
                              {"glVertex3d", {0.0, 0.75, -2.5}}},
                             kLighting}));
}

TEST_F(SceneTest, ContextsAreCreatedAndReleasedFunctionViewFirst) {
  CreateViewContexts(&grafik, &daten);
  EXPECT_EQ(GlLog(), Concat({{{"G.ChoosePixelFormat", {1}}, {"G.CreateContext", {}}, {"G.MakeCurrent", {1}}},
                             ContextInit(-0.1, 0.2, -4.7),
                             {{"D.ChoosePixelFormat", {1}}, {"D.CreateContext", {}}, {"D.MakeCurrent", {1}}},
                             ContextInit(0.0, 0.2, -1.8)}));
  EXPECT_EQ(appState.dcGrafik, &grafik);
  EXPECT_EQ(appState.dcDaten, &daten);
  EXPECT_EQ(appState.rcGrafik, grafik.Context());
  EXPECT_EQ(appState.rcDaten, daten.Context());
  ClearGlLog();
  ReleaseViewContexts();
  EXPECT_EQ(GlLog(), (Calls{{"G.MakeCurrent", {0}}, {"G.DeleteContext", {1}},
                            {"D.MakeCurrent", {0}}, {"D.DeleteContext", {1}}}));
  EXPECT_TRUE(!appState.rcGrafik && !appState.rcDaten && !appState.dcGrafik && !appState.dcDaten);
  ClearGlLog();
  ReleaseViewContexts();  // a second release touches nothing
  EXPECT_TRUE(GlLog().empty());
}

TEST_F(SceneTest, ContextFailuresAreReportedAndStartUpGoesOn) {
  appState.doubleBuffer = false;
  grafik.pixelFormatOk = grafik.contextOk = daten.contextOk = false;
  CreateViewContexts(&grafik, &daten);
  const Calls expected = Concat({{{"G.ChoosePixelFormat", {0}},
                                  {"message:Fehler bei ChoosePixelFormat", {}},
                                  {"G.CreateContext", {}},
                                  {"message:wglMakeCurrent bei Grafik-Fenster nicht erfolgreich", {}}},
                                 ContextInit(-0.1, 0.2, -4.7),
                                 // The data view binds its (null) context anyway.
                                 {{"D.ChoosePixelFormat", {0}},
                                  {"D.CreateContext", {}},
                                  {"message:wglMakeCurrent bei Daten-Fenster nicht erfolgreich", {}},
                                  {"D.MakeCurrent", {0}}},
                                 ContextInit(0.0, 0.2, -1.8)});
  EXPECT_EQ(GlLog(), expected);
  EXPECT_TRUE(!appState.rcGrafik && !appState.rcDaten);
  // Without contexts nothing is projected or drawn, and only the unbinding is released.
  ClearGlLog();
  SetGrafikProjection();
  SetDatenProjection();
  RedrawGrafik();
  RedrawDaten();
  GrafikPaintOrResize(492, 528);
  DatenPaintOrResize(531, 528);
  ReleaseViewContexts();
  EXPECT_EQ(GlLog(), (Calls{{"G.MakeCurrent", {0}}, {"D.MakeCurrent", {0}}}));
  // Without a message hook the failure is silent.
  appState.showMessage = nullptr;
  ClearGlLog();
  CreateViewContexts(&grafik, &daten);
  EXPECT_EQ(GlLog().size(), expected.size() - 3);
}

// Device pixels of the surface and its own aspect, never a stale one.
TEST_F(SceneTest, ProjectionsUseTheirSurfaceAndOwnAspect) {
  grafik.width = 984;
  grafik.height = 1056;
  Create();
  appState.viewAspect = 0.75;
  SetGrafikProjection();
  EXPECT_EQ(GlLog(), Projection("G", 984, 1056));
  EXPECT_EQ(appState.viewAspect, 984.0 / 1056.0);
  daten.width = 300;
  daten.height = 200;
  ClearGlLog();
  SetDatenProjection();
  Calls expected = Projection("D", 300, 200);
  expected.insert(expected.begin() + 2, {{"glEnable", {GL_DEPTH_TEST}}, {"glClearColor", {1, 1, 1, 1}}});
  EXPECT_EQ(GlLog(), expected);

  // Painting loads the view's own projection, then draws and swaps that view only.
  ClearGlLog();
  GrafikPaintOrResize(492, 528);
  EXPECT_EQ(appState.viewAspect, 492.0 / 528.0);
  ASSERT_GE(GlLog().size(), 7u);
  EXPECT_EQ(Calls(GlLog().begin(), GlLog().begin() + 7), Concat({Projection("G", 984, 1056), {kClear}}));
  EXPECT_EQ(GlLog().back(), (GlCall{"G.SwapBuffers", {}}));
  EXPECT_EQ(CountCalls("D.MakeCurrent") + CountCalls("D.SwapBuffers"), 0);
  appState.stepData = 0.1;
  daten.width = 531;
  daten.height = 528;
  ClearGlLog();
  DatenPaintOrResize(531, 528);
  EXPECT_EQ(GlLog().front(), (GlCall{"D.MakeCurrent", {1}}));
  EXPECT_EQ(CountCalls("gluPerspective"), 1);
  EXPECT_EQ(GlLog().at(6), (GlCall{"gluPerspective", {60, 531.0 / 528.0, 1, 20}}));
  EXPECT_EQ(GlLog().back(), (GlCall{"D.SwapBuffers", {}}));
  EXPECT_EQ(CountCalls("G.MakeCurrent") + CountCalls("G.SwapBuffers"), 0);
}

// A minimised view (empty client area or surface) is not redrawn at all.
TEST_F(SceneTest, EmptyClientAreaIsNotRedrawn) {
  Create();
  appState.viewAspect = 0.5;
  GrafikPaintOrResize(492, 0);
  GrafikPaintOrResize(0, 528);
  DatenPaintOrResize(531, 0);
  EXPECT_EQ(appState.viewAspect, 0.5);
  grafik.height = 0;
  daten.width = 0;
  RedrawGrafik();
  RedrawDaten();
  GrafikPaintOrResize(492, 528);  // the window reports a size, the surface has none yet
  EXPECT_TRUE(GlLog().empty());
}

// Frame, then red surface, inside translate / rotate x, y, z; the scaling
// function's frame is 0.3 shorter in x and y.
TEST_F(SceneTest, PlacementsTranslateRotateDrawFrameThenSurface) {
  DrawAxes(1.3, 1.3, 1.0);
  EXPECT_EQ(GlLog(), Axes(1.3, 1.3, 1.0));
  appState.functionOrientation[0] = {-61, 11, -7};
  void (*const place[])() = {PlaceScalingFunction, PlaceWavelet1, PlaceWavelet2, PlaceWavelet3};
  for (int f = 0; f < 4; ++f) {
    SCOPED_TRACE(f);
    ClearGlLog();
    place[f]();
    EXPECT_EQ(MatrixCalls(), Placement(f));
    const Calls& log = GlLog();
    const Calls axes = Axes(f ? 1.6 : 1.3, f ? 1.6 : 1.3, 1.1);
    ASSERT_GT(log.size(), 6 + axes.size() + 2);
    EXPECT_EQ(Calls(log.begin() + 6, log.begin() + 6 + static_cast<long>(axes.size())), axes);
    EXPECT_EQ(log[6 + axes.size()], Diffuse(1, 0, 0));
    EXPECT_EQ(log[7 + axes.size()], (GlCall{"glShadeModel", {GL_SMOOTH}}));
  }
}

// Overview: all four at the far step (closeUp is ignored for selection 4);
// close-up: only the selected one at the near step.
TEST_F(SceneTest, FunctionSceneDrawsOverviewOrCloseUp) {
  Create();
  appState.stepNear = 0.07;
  const Calls all = Concat({{kClear}, Placement(0), Placement(1), Placement(2), Placement(3)});
  const struct {
    bool closeUp;
    int selected;
    double step;
  } cases[] = {{false, 4, 0.1}, {false, 2, 0.1}, {true, 4, 0.07}, {true, 0, 0.07},
               {true, 1, 0.07}, {true, 2, 0.07}, {true, 3, 0.07}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.selected);
    appState.closeUp = c.closeUp;
    appState.selectedFunction = static_cast<std::int8_t>(c.selected);
    ClearGlLog();
    DrawGrafikScene();
    EXPECT_EQ(appState.stepFunctions, c.step);
    const Calls body = c.closeUp && c.selected < 4 ? Concat({{kClear}, Placement(c.selected)}) : all;
    EXPECT_EQ(MatrixCalls(), Concat({body, {{"G.SwapBuffers", {}}}}));
    EXPECT_EQ(GlLog().front(), kClear);
    EXPECT_EQ(GlLog().back(), (GlCall{"G.SwapBuffers", {}}));
  }
  // Single buffering ends both scenes with a flush instead of a swap.
  appState.doubleBuffer = false;
  ClearGlLog();
  DrawGrafikScene();
  EXPECT_EQ(GlLog().back(), (GlCall{"glFlush", {}}));
  ClearGlLog();
  DrawDatenScene();
  EXPECT_EQ(GlLog().back(), (GlCall{"glFlush", {}}));
  EXPECT_EQ(CountCalls("D.SwapBuffers"), 0);
}

TEST_F(SceneTest, DataSceneRotatesAxesAndSurfaceInsideOnePush) {
  Create();
  GenerateSampleSurface(6);
  appState.stepData = 0.1;
  appState.Dalpha = -61;
  DrawDatenScene();
  const Calls& log = GlLog();
  const Calls head = Concat({{kClear, {"glPushMatrix", {}}, {"glRotated", {-61, 1, 0, 0}},
                              {"glRotated", {8, 0, 1, 0}}, {"glRotated", {-9, 0, 0, 1}}},
                             Axes(1.3, 1.3, 1.0), {Diffuse(0, 1, 0)}});
  ASSERT_GT(log.size(), head.size() + 2);
  EXPECT_EQ(Calls(log.begin(), log.begin() + static_cast<long>(head.size())), head);
  EXPECT_EQ(log[log.size() - 2], (GlCall{"glPopMatrix", {}}));
  EXPECT_EQ(log.back(), (GlCall{"D.SwapBuffers", {}}));
  EXPECT_EQ(Primitives().size(), 2u + 121u);
}

}  // namespace
