// Both scenes drawn by real OpenGL into the real view windows, read back from the screen.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>

#include "windows/Daten.h"
#include "windows/Grafik.h"
#include "windows/Kontrolle.h"
#include "windows/program_windows.h"
#include "windows/application.h"
#include "state/state.h"
#include "blac/decomposition.h"
#include "interaction/analysis_panel.h"
#include "interaction/data_source.h"
#include "interaction/readouts.h"
#include "interaction/display_scale_text.h"
#include "interaction/take_file.h"
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

// The surface (every shade of green, red and blue; not the black and grey
// axes, nor the frame's edge a grab may catch in the first row) keeps off the
// picture's edges: it lies wholly inside the view.
bool WhollyInside(const QImage& img) {
  const auto coloured = [](QRgb c) {
    return std::max({qRed(c), qGreen(c), qBlue(c)}) - std::min({qRed(c), qGreen(c), qBlue(c)}) > 30;
  };
  const QRect box = BoundingBox(img, coloured);
  return !box.isEmpty() && box.left() > 1 && box.top() > 1 && box.right() < img.width() - 2 &&
         box.bottom() < img.height() - 2;
}

// Surfaces far from 0 as a user brings them in (a file through the reader, a
// formula), moved through the control panel's track bar and check box: whole
// at level 6, at level 2 and in the layout, the scale in the caption, the
// readouts in the file's units.
TEST_F(GlViews, SurfacesOfAnyHeightAreDrawnWholeAndSayTheirScale) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const auto file = [&](const char* name, const std::string& bytes) {
    const std::string path = dir.filePath(name).toStdString();
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return TakeFile(path);
  };
  std::string spike;
  for (int r = 0; r < 5; ++r) spike += r == 2 ? "0 0 1e6 0 0\n" : "0 0 0 0 0\n";
  // Taken at 65 x 65 points (bilinear from 2 x 2), heights x 0.7 / span from the least:
  // 0.5 .. 3.5 and 1 .. 4 at 0.7 / 3; 1500 .. 2000 at 0.7 / 500; the spike
  // (x = y = 0.5 is a grid point and a cell corner) at 0.7 / 1e6; the bound
  // +-1e150 at 0.35 / 1e150 (the part below the floor decides); the constant shifted only.
  const struct {
    const char* what;
    std::function<std::string()> take;
    const char* caption;
  } cases[] = {
      {"Tabelle mit Komma", [&] { return file("halbe.txt", "0,5\t1,5\n2,5\t3,5\n"); }, "Daten (H\u00f6hen x 0.233, ab 0.5)"},
      {"Tabelle mit CR", [&] { return file("ganze.txt", "1 2\r3 4\r"); }, "Daten (H\u00f6hen x 0.233, ab 1)"},
      {"Gel\u00e4nde", [] { return TakeFormula("1500+500*x*y"); }, "Daten (H\u00f6hen x 0.0014, ab 1500)"},
      {"Spitze", [&] { return file("spitze.txt", spike); }, "Daten (H\u00f6hen x 7e-7)"},
      {"konstant", [&] { return file("konstant.txt", "1500 1500\n1500 1500\n"); }, "Daten (H\u00f6hen ab 1500)"},
      {"Wertgrenze", [&] { return file("grenze.txt", "1e150 -1e150\n-1e150 1e150\n"); }, "Daten (H\u00f6hen x 3.5e-151)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(c.take(), "");
    ASSERT_EQ(appState.chosenLevel, 6);
    const QImage level6 = Redrawn(frmDaten);
    EXPECT_EQ(frmDaten->title().toStdString(), c.caption);
    EXPECT_TRUE(WhollyInside(level6));
    EXPECT_GT(Count(level6, IsGreen), 3000);
    frmKontrolle->trbLevel->setValue(2);
    ASSERT_EQ(appState.chosenLevel, 2);
    const QImage level2 = Redrawn(frmDaten);
    EXPECT_EQ(frmDaten->title().toStdString(), "Daten (" + DisplayScaleText(appState.dataViewScale) + ")");
    EXPECT_TRUE(WhollyInside(level2));
    EXPECT_GT(Count(level2, IsGreen), 1000);
    frmKontrolle->cbxOnlyData->click();
    ASSERT_FALSE(appState.onlyData);
    const QImage layout = Redrawn(frmDaten);
    EXPECT_TRUE(WhollyInside(layout));
    EXPECT_GT(Count(layout, IsRed), 1000);
    EXPECT_GT(Count(layout, IsBlue), 300);
    frmKontrolle->cbxOnlyData->click();
    frmKontrolle->trbLevel->setValue(6);
  }
  // The terrain again: a relief standing on the floor, and its energy at
  // level 6 in square metres, the sum of the squares of its heights.
  ASSERT_EQ(TakeFormula("1500+500*x*y"), "");
  const QImage terrain = Redrawn(frmDaten);
  const QRect green = BoundingBox(terrain, IsGreen);
  EXPECT_GT(green.height(), 150);
  const QPoint floorCorner = ProjectDataPoint(0, 0);  // the height there is 1500: on the floor
  EXPECT_TRUE(green.adjusted(-3, -3, 3, 3).contains(floorCorner));
  double energy = 0;
  for (int i = 0; i < kGridSize; ++i)
    for (int k = 0; k < kGridSize; ++k) energy += std::pow(1500 + 500 * (i / 64.0) * (k / 64.0), 2);
  ASSERT_FALSE(EnergyRows().empty());
  EXPECT_EQ(EnergyRows()[0].energy, FormatReadout(energy));
  // The sample is drawn as it is and the caption is "Daten" again.
  TakeSample();
  const QImage sample = Redrawn(frmDaten);
  EXPECT_EQ(frmDaten->title(), QString("Daten"));
  EXPECT_TRUE(appState.dataViewScale.IsIdentity());
  EXPECT_TRUE(WhollyInside(sample));
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
