// Both scenes drawn by real OpenGL into the real view windows, read back from the screen.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <QTest>

#include "app/Daten.h"
#include "app/Grafik.h"
#include "app/Kontrolle.h"
#include "app/application.h"
#include "app/state.h"
#include "blac/decomposition.h"
#include "pixels.h"
#include "render/scenes.h"

using namespace pixels;

namespace {

void SettleAndRedraw() {
  QTest::qWait(50);
  RedrawGrafik();
  RedrawDaten();
  QTest::qWait(50);
}

class GlViews : public ::testing::Test {
protected:
  void SetUp() override {
    AppState& s = appState;
    s.onlyData = true;
    s.zoom = true;
    s.filledSurfaces = true;
    s.delta = 0.4;
    s.closeUp = false;
    s.selectedFunction = 4;
  }
};

TEST_F(GlViews, FunctionViewShowsRedSurfaceInEachQuadrantOnWhite) {
  SettleAndRedraw();
  const QImage img = Grab(frmGrafik);
  ASSERT_FALSE(img.isNull());
  const int w = img.width(), h = img.height();
  // Corners are background.
  for (QPoint p : {QPoint(2, 2), QPoint(w - 3, 2), QPoint(2, h - 3), QPoint(w - 3, h - 3)}) {
    EXPECT_TRUE(IsWhite(img.pixel(p))) << "corner " << p.x() << "," << p.y();
  }
  const QRect quadrants[] = {{0, 0, w / 2, h / 2}, {w / 2, 0, w - w / 2, h / 2},
                             {0, h / 2, w / 2, h - h / 2}, {w / 2, h / 2, w - w / 2, h - h / 2}};
  for (const QRect& q : quadrants) {
    EXPECT_GT(Count(img, q, IsRed), 300) << "quadrant at " << q.x() << "," << q.y();
  }
  // The axes are black.
  EXPECT_GT(Count(img, img.rect(), [](QRgb c) { return qRed(c) < 40 && qGreen(c) < 40 && qBlue(c) < 40; }), 100);
  // No data colours here.
  EXPECT_EQ(Count(img, img.rect(), IsBlue), 0);
}

TEST_F(GlViews, DataViewShowsGreenSampleSurface) {
  SettleAndRedraw();
  const QImage img = Grab(frmDaten);
  EXPECT_TRUE(IsWhite(img.pixel(2, 2)));
  EXPECT_GT(Count(img, img.rect(), IsGreen), 5000);
  EXPECT_EQ(Count(img, img.rect(), IsRed), 0);
  EXPECT_EQ(Count(img, img.rect(), IsBlue), 0);
}

// Projects a parameter point of the data surface (heights about 0) to window pixels.
QPoint ProjectDataPoint(double x, double y) {
  AppState& s = appState;
  frmDaten->MakeCurrent(s.rcDaten);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glRotated(s.Dalpha, 1, 0, 0);
  glRotated(s.Dbeta, 0, 1, 0);
  glRotated(s.Dgamma, 0, 0, 1);
  GLdouble model[16], proj[16];
  GLint viewport[4];
  glGetDoublev(GL_MODELVIEW_MATRIX, model);
  glGetDoublev(GL_PROJECTION_MATRIX, proj);
  glGetIntegerv(GL_VIEWPORT, viewport);
  glPopMatrix();
  GLdouble wx, wy, wz;
  gluProject(x - 0.5, y - 0.5, -0.5, model, proj, viewport, &wx, &wy, &wz);
  const double dpr = frmDaten->devicePixelRatio();
  return QPoint(qRound(wx / dpr), qRound((viewport[3] - wy) / dpr));
}

TEST_F(GlViews, DecomposedDataShowsRedAndBlueBlocksWhereTheLayoutPutsThem) {
  AppState& s = appState;
  // Analyse the sample down to level 2, as the track bar would.
  while (s.chosenLevel > 2) {
    --s.chosenLevel;
    DecomposeLevel(s.chosenLevel);
  }
  s.onlyData = false;
  SettleAndRedraw();
  const QImage img = Grab(frmDaten);
  auto around = [&](double x, double y) {
    const QPoint p = ProjectDataPoint(x, y);
    return QRect(p.x() - 4, p.y() - 4, 9, 9);
  };
  // The three largest detail blocks: wavelet in x (red), in x and y (blue), in y (red).
  EXPECT_GT(Count(img, around(0.75, 0.25), IsRed), 40);
  EXPECT_GT(Count(img, around(0.75, 0.75), IsBlue), 40);
  EXPECT_GT(Count(img, around(0.25, 0.75), IsRed), 40);
  // The next level's blocks sit inside the quarter at the origin.
  EXPECT_GT(Count(img, around(0.375, 0.375), IsBlue), 40);
  EXPECT_EQ(Count(img, around(0.75, 0.75), IsRed), 0);

  // Back up to level 6 restores the approximation-only picture's colours.
  while (s.chosenLevel < 6) {
    ReconstructLevel(s.chosenLevel);
    ++s.chosenLevel;
  }
  s.onlyData = true;
  SettleAndRedraw();
  const QImage back = Grab(frmDaten);
  EXPECT_EQ(Count(back, back.rect(), IsBlue), 0);
  EXPECT_GT(Count(back, back.rect(), IsGreen), 5000);
}

TEST_F(GlViews, ResizedViewKeepsItsProportions) {
  SettleAndRedraw();
  const QRect before = BoundingBox(Grab(frmGrafik), IsRed);
  const QSize oldSize = frmGrafik->size();
  frmGrafik->resize(900, 450);
  QTest::qWait(200);
  SettleAndRedraw();
  const QImage img = Grab(frmGrafik);
  ASSERT_EQ(img.size(), QSize(900, 450) * frmGrafik->devicePixelRatio());
  const QRect after = BoundingBox(img, IsRed);
  frmGrafik->resize(oldSize);
  QTest::qWait(200);

  ASSERT_FALSE(before.isEmpty());
  ASSERT_FALSE(after.isEmpty());
  const double ratioBefore = double(before.width()) / before.height();
  const double ratioAfter = double(after.width()) / after.height();
  EXPECT_NEAR(ratioAfter, ratioBefore, 0.05 * ratioBefore);
  // The vertical field of view is fixed, so the picture scales with the height.
  EXPECT_NEAR(double(after.height()) / before.height(), 450.0 / 528.0, 0.06);
  // Centred in the wider window.
  EXPECT_NEAR(after.center().x(), img.width() / 2.0, 0.05 * img.width());
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // Listing the tests needs no display.
  if (::testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();
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
