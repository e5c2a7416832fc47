// Both scenes drawn by real OpenGL into the real view windows, read back from the screen.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <QTest>

#include "windows/Daten.h"
#include "windows/Grafik.h"
#include "windows/Kontrolle.h"
#include "windows/program_windows.h"
#include "windows/application.h"
#include "state/state.h"
#include "blac/decomposition.h"
#include "pixels.h"
#include "render/scenes.h"

using namespace pixels;

namespace {

QImage Redrawn(QWindow* view) {
  QTest::qWait(50);
  RedrawGrafik();
  RedrawDaten();
  QTest::qWait(50);
  return Grab(view);
}

class GlViews : public ::testing::Test {
protected:
  void SetUp() override {
    AppState& s = appState;
    s.onlyData = s.zoom = s.filledSurfaces = true;
    s.closeUp = false;
    s.delta = 0.4;
    s.selectedFunction = 4;
  }
};

TEST_F(GlViews, FunctionViewShowsRedSurfaceInEachQuadrantOnWhite) {
  const QImage img = Redrawn(frmGrafik);
  ASSERT_FALSE(img.isNull());
  const int w = img.width(), h = img.height();
  for (QPoint p : {QPoint(2, 2), QPoint(w - 3, 2), QPoint(2, h - 3), QPoint(w - 3, h - 3)})
    EXPECT_TRUE(IsWhite(img.pixel(p))) << "corner " << p.x() << "," << p.y();
  for (const QRect& q : Quadrants(img)) EXPECT_GT(Count(img, q, IsRed), 300) << "quadrant at " << q.x() << "," << q.y();
  EXPECT_GT(Count(img, [](QRgb c) { return qRed(c) < 40 && qGreen(c) < 40 && qBlue(c) < 40; }), 100);  // black axes
  EXPECT_EQ(Count(img, IsBlue), 0);
}

TEST_F(GlViews, DataViewShowsGreenSampleSurface) {
  const QImage img = Redrawn(frmDaten);
  EXPECT_TRUE(IsWhite(img.pixel(2, 2)));
  EXPECT_GT(Count(img, IsGreen), 5000);
  EXPECT_EQ(Count(img, IsRed), 0);
  EXPECT_EQ(Count(img, IsBlue), 0);
}

// Window pixel of a parameter point of the data surface (heights about 0).
QPoint ProjectDataPoint(double x, double y) {
  AppState& s = appState;
  frmDaten->MakeCurrent(s.rcDaten);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glRotated(s.Dalpha, 1, 0, 0);
  glRotated(s.Dbeta, 0, 1, 0);
  glRotated(s.Dgamma, 0, 0, 1);
  GLdouble model[16], proj[16], wx, wy, wz;
  GLint viewport[4];
  glGetDoublev(GL_MODELVIEW_MATRIX, model);
  glGetDoublev(GL_PROJECTION_MATRIX, proj);
  glGetIntegerv(GL_VIEWPORT, viewport);
  glPopMatrix();
  gluProject(x - 0.5, y - 0.5, -0.5, model, proj, viewport, &wx, &wy, &wz);
  const double dpr = frmDaten->devicePixelRatio();
  return QPoint(qRound(wx / dpr), qRound((viewport[3] - wy) / dpr));
}

TEST_F(GlViews, DecomposedDataShowsRedAndBlueBlocksWhereTheLayoutPutsThem) {
  AppState& s = appState;
  const QImage start = Redrawn(frmDaten);
  while (s.chosenLevel > 2) DecomposeLevel(--s.chosenLevel);  // as the track bar does
  const QImage approximation = Redrawn(frmDaten);
  s.onlyData = false;
  const QImage img = Redrawn(frmDaten);
  auto around = [](double x, double y) {
    const QPoint p = ProjectDataPoint(x, y);
    return QRect(p.x() - 4, p.y() - 4, 9, 9);
  };
  // The largest detail blocks: wavelet in x (red), in x and y (blue), in y (red);
  // the next level's sit inside the quarter at the origin.
  EXPECT_GT(Count(img, around(0.75, 0.25), IsRed), 40);
  EXPECT_GT(Count(img, around(0.75, 0.75), IsBlue), 40);
  EXPECT_GT(Count(img, around(0.25, 0.75), IsRed), 40);
  EXPECT_GT(Count(img, around(0.375, 0.375), IsBlue), 40);
  EXPECT_EQ(Count(img, around(0.75, 0.75), IsRed), 0);

  for (; s.chosenLevel < 6; ++s.chosenLevel) ReconstructLevel(s.chosenLevel);
  s.onlyData = true;
  const QImage back = Redrawn(frmDaten);
  EXPECT_EQ(Count(back, IsBlue), 0);
  // The round trip moved the heights by about 0.02: far nearer the start than level 2 was.
  EXPECT_LT(PictureDistance(back, start) * 10, PictureDistance(approximation, start));
}

TEST_F(GlViews, ResizedViewKeepsItsProportions) {
  const QRect before = BoundingBox(Redrawn(frmGrafik), IsRed);
  const QSize oldSize = frmGrafik->size();
  frmGrafik->resize(900, 450);
  QTest::qWait(200);
  const QImage img = Redrawn(frmGrafik);
  frmGrafik->resize(oldSize);
  QTest::qWait(200);
  ASSERT_EQ(img.size(), QSize(900, 450) * frmGrafik->devicePixelRatio());
  const QRect after = BoundingBox(img, IsRed);
  ASSERT_FALSE(before.isEmpty());
  ASSERT_FALSE(after.isEmpty());
  const double ratioBefore = double(before.width()) / before.height();
  EXPECT_NEAR(double(after.width()) / after.height(), ratioBefore, 0.05 * ratioBefore);
  // The vertical field of view is fixed: the picture scales with the height, centred.
  EXPECT_NEAR(double(after.height()) / before.height(), 450.0 / 528.0, 0.06);
  EXPECT_NEAR(after.center().x(), img.width() / 2.0, 0.05 * img.width());
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (::testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();  // listing needs no display
  VeltraApplication app(argc, argv);
  InitialiseToolkit(app);
  CreateForms();
  if (!QTest::qWaitForWindowExposed(frmGrafik) || !QTest::qWaitForWindowExposed(frmDaten)) {
    fprintf(stderr, "views were not exposed\n");
    return 1;
  }
  const int result = RUN_ALL_TESTS();
  EndProgram();
  DestroyForms();
  return result;
}
