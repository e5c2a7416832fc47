// Contexts, projections, lighting, presets and the centring vertex.
#include <GL/gl.h>

#include "gl_recorder.h"
#include "render/glwindow.h"
#include "render/scenes.h"

namespace {

using Calls = std::vector<GlCall>;
constexpr double kFrontAndBack = GL_FRONT_AND_BACK;

Calls LightingCalls() {
  return {{"glEnable", {GL_LIGHTING}},
          {"glEnable", {GL_LIGHT0}},
          {"glLightfv", {GL_LIGHT0, GL_POSITION, 1, 3, 3, 0}},
          {"glMaterialfv", {kFrontAndBack, GL_AMBIENT, 0, 1, 0, 1}}};
}

Calls ContextInitCalls(double x, double y, double z) {
  Calls c = {{"glEnable", {GL_DEPTH_TEST}},
             {"glClearColor", {1, 1, 1, 1}},
             {"glMatrixMode", {GL_MODELVIEW}},
             {"glTranslated", {x, y, z}}};
  for (const GlCall& l : LightingCalls()) c.push_back(l);
  return c;
}

Calls Concat(std::initializer_list<Calls> parts) {
  Calls out;
  for (const Calls& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

class GlWindowTest : public RenderTest {
protected:
  FakeSurface grafik{"G", 984, 1056};  // device pixels, e.g. twice the client size
  FakeSurface daten{"D", 1062, 1056};
};

TEST_F(GlWindowTest, PresetsSetDiffuseOfBothFacesAndVerticesAreCentred) {
  MaterialBlack();
  MaterialRed();
  MaterialGreen();
  MaterialBlue();
  CenteredVertex(0.5, 1.25, -2.0);
  EXPECT_EQ(GlLog(), (Calls{{"glMaterialfv", {kFrontAndBack, GL_DIFFUSE, 0, 0, 0, 1}},
                            {"glMaterialfv", {kFrontAndBack, GL_DIFFUSE, 1, 0, 0, 1}},
                            {"glMaterialfv", {kFrontAndBack, GL_DIFFUSE, 0, 1, 0, 1}},
                            {"glMaterialfv", {kFrontAndBack, GL_DIFFUSE, 0, 0, 1, 1}},
                            {"glVertex3d", {0.0, 0.75, -2.5}}}));
}

TEST_F(GlWindowTest, SetupLightingIsDirectionalLightAndGreenAmbient) {
  SetupLighting();
  EXPECT_EQ(GlLog(), LightingCalls());
}

TEST_F(GlWindowTest, CreateViewContextsInitialisesFunctionViewThenDataView) {
  CreateViewContexts(&grafik, &daten);
  const Calls expected = Concat({
      {{"G.ChoosePixelFormat", {1}}, {"G.CreateContext", {}}, {"G.MakeCurrent", {1}}},
      ContextInitCalls(-0.1, 0.2, -4.7),
      {{"D.ChoosePixelFormat", {1}}, {"D.CreateContext", {}}, {"D.MakeCurrent", {1}}},
      ContextInitCalls(0.0, 0.2, -1.8),
  });
  EXPECT_EQ(GlLog(), expected);
  EXPECT_EQ(appState.dcGrafik, &grafik);
  EXPECT_EQ(appState.dcDaten, &daten);
  EXPECT_EQ(appState.rcGrafik, grafik.Context());
  EXPECT_EQ(appState.rcDaten, daten.Context());
}

TEST_F(GlWindowTest, FailuresAreReportedAndStartUpGoesOn) {
  appState.doubleBuffer = false;
  grafik.pixelFormatOk = false;
  grafik.contextOk = false;
  daten.contextOk = false;
  CreateViewContexts(&grafik, &daten);
  const Calls expected = Concat({
      {{"G.ChoosePixelFormat", {0}},
       {"message:Fehler bei ChoosePixelFormat", {}},
       {"G.CreateContext", {}},
       {"message:wglMakeCurrent bei Grafik-Fenster nicht erfolgreich", {}}},
      ContextInitCalls(-0.1, 0.2, -4.7),
      // The data view binds its (null) context anyway: nothing is current then.
      {{"D.ChoosePixelFormat", {0}},
       {"D.CreateContext", {}},
       {"message:wglMakeCurrent bei Daten-Fenster nicht erfolgreich", {}},
       {"D.MakeCurrent", {0}}},
      ContextInitCalls(0.0, 0.2, -1.8),
  });
  EXPECT_EQ(GlLog(), expected);
  EXPECT_EQ(appState.rcGrafik, nullptr);
  EXPECT_EQ(appState.rcDaten, nullptr);

  // Without contexts the projections return at once and redraws draw nothing.
  ClearGlLog();
  SetGrafikProjection();
  SetDatenProjection();
  RedrawGrafik();
  RedrawDaten();
  GrafikPaintOrResize(492, 528);
  DatenPaintOrResize(531, 528);
  EXPECT_TRUE(GlLog().empty());

  // Nothing to delete at the end; only the unbinding remains.
  ReleaseViewContexts();
  EXPECT_EQ(GlLog(), (Calls{{"G.MakeCurrent", {0}}, {"D.MakeCurrent", {0}}}));

  // Without a message hook the failure is silent and start-up still goes on.
  appState.showMessage = nullptr;
  ClearGlLog();
  CreateViewContexts(&grafik, &daten);
  EXPECT_EQ(GlLog().size(), expected.size() - 3);  // the same calls, minus the three messages
}

TEST_F(GlWindowTest, ProjectionsBindTheirContextSetViewportAndPerspective) {
  CreateViewContexts(&grafik, &daten);
  // A stale aspect, as left by the other view's last paint, is not used.
  appState.viewAspect = 0.75;
  ClearGlLog();
  SetGrafikProjection();
  EXPECT_EQ(GlLog(), (Calls{{"G.MakeCurrent", {1}},
                            {"glViewport", {0, 0, 984, 1056}},
                            {"glMatrixMode", {GL_PROJECTION}},
                            {"glLoadIdentity", {}},
                            {"gluPerspective", {60, 984.0 / 1056.0, 1, 20}},
                            {"glMatrixMode", {GL_MODELVIEW}}}));
  EXPECT_EQ(appState.viewAspect, 984.0 / 1056.0);

  // The viewport and the aspect follow a resized surface.
  daten.width = 300;
  daten.height = 200;
  ClearGlLog();
  SetDatenProjection();
  EXPECT_EQ(GlLog(), (Calls{{"D.MakeCurrent", {1}},
                            {"glViewport", {0, 0, 300, 200}},
                            {"glEnable", {GL_DEPTH_TEST}},
                            {"glClearColor", {1, 1, 1, 1}},
                            {"glMatrixMode", {GL_PROJECTION}},
                            {"glLoadIdentity", {}},
                            {"gluPerspective", {60, 1.5, 1, 20}},
                            {"glMatrixMode", {GL_MODELVIEW}}}));
}

TEST_F(GlWindowTest, ReleaseViewContextsUnbindsAndDeletesFunctionViewFirst) {
  CreateViewContexts(&grafik, &daten);
  ClearGlLog();
  ReleaseViewContexts();
  EXPECT_EQ(GlLog(), (Calls{{"G.MakeCurrent", {0}},
                            {"G.DeleteContext", {1}},
                            {"D.MakeCurrent", {0}},
                            {"D.DeleteContext", {1}}}));
  EXPECT_EQ(appState.rcGrafik, nullptr);
  EXPECT_EQ(appState.rcDaten, nullptr);
  EXPECT_EQ(appState.dcGrafik, nullptr);
  EXPECT_EQ(appState.dcDaten, nullptr);

  // A second release (or one without contexts) touches nothing.
  ClearGlLog();
  ReleaseViewContexts();
  EXPECT_TRUE(GlLog().empty());
}

}  // namespace
