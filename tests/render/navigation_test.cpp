// Keyboard navigation of both views: the translation and rotation tables,
// the shared mode, and that a key never reaches the other view.
#include "app/navigation.h"
#include "interaction_support.h"

namespace {

using interaction::CameraMove;
using interaction::CameraMoves;
using interaction::Swaps;
using Views = std::vector<std::string>;

// Every field the keys may touch, to see what one key press changed.
struct NavFields {
  std::array<Orientation, 4> functions;
  double gx, gy, gz, dx, dy, dz, da, db, dg;

  static NavFields Now() {
    const AppState& s = appState;
    return {s.functionOrientation, s.GPosX, s.GPosY, s.GPosZ, s.DPosX, s.DPosY, s.DPosZ,
            s.Dalpha, s.Dbeta, s.Dgamma};
  }
};

bool operator==(const NavFields& a, const NavFields& b) {
  for (std::size_t f = 0; f < 4; ++f) {
    const Orientation& p = a.functions[f];
    const Orientation& q = b.functions[f];
    if (p.alpha != q.alpha || p.beta != q.beta || p.gamma != q.gamma) return false;
  }
  return a.gx == b.gx && a.gy == b.gy && a.gz == b.gz && a.dx == b.dx &&
         a.dy == b.dy && a.dz == b.dz && a.da == b.da && a.db == b.db && a.dg == b.dg;
}

class NavigationTest : public interaction::InteractionTest {
protected:
  void SetUp() override {
    InteractionTest::SetUp();
    // Coarse meshes keep the logs small; what is drawn does not matter here.
    appState.stepFar = 1.0;
    appState.stepData = 1.0;
  }
  // One key press; the log holds only what it did.
  void Press(bool grafik, int key, bool shift) {
    ClearGlLog();
    if (grafik) GrafikKeyDown(key, shift);
    else DatenKeyDown(key, shift);
  }
};

struct Move {
  int key;
  bool shift;
  double x, y, z;
};
// Up without Shift brings the scene nearer: the camera looks along -z.
constexpr Move kMoves[] = {
    {kKeyUp, false, 0, 0, 0.1},    {kKeyDown, false, 0, 0, -0.1}, {kKeyUp, true, 0, 0.1, 0},
    {kKeyDown, true, 0, -0.1, 0},  {kKeyLeft, false, -0.1, 0, 0}, {kKeyLeft, true, -0.1, 0, 0},
    {kKeyRight, false, 0.1, 0, 0}, {kKeyRight, true, 0.1, 0, 0},
};

TEST_F(NavigationTest, TranslateMovesOwnCameraMatrixAndPositionFieldsTogether) {
  AppState& s = appState;
  for (const bool grafik : {true, false}) {
    const std::string own = grafik ? "G" : "D";
    Press(grafik, kKeyT, false);
    EXPECT_EQ(s.navMode, NavMode::Translate);
    EXPECT_TRUE(CameraMoves().empty());  // the mode key moves nothing
    EXPECT_EQ(Swaps(), Views{own});
    for (const Move& m : kMoves) {
      SCOPED_TRACE(own + " key " + std::to_string(m.key) + (m.shift ? " shift" : ""));
      NavFields expected = NavFields::Now();
      double& x = grafik ? expected.gx : expected.dx;
      double& y = grafik ? expected.gy : expected.dy;
      double& z = grafik ? expected.gz : expected.dz;
      x += m.x;
      y += m.y;
      z += m.z;
      Press(grafik, m.key, m.shift);
      EXPECT_EQ(NavFields::Now(), expected);
      const std::vector<CameraMove> moves = CameraMoves();
      ASSERT_EQ(moves.size(), 1u);
      EXPECT_EQ(moves[0].view, own);
      EXPECT_EQ(moves[0].x, m.x);
      EXPECT_EQ(moves[0].y, m.y);
      EXPECT_EQ(moves[0].z, m.z);
      EXPECT_EQ(Swaps(), Views{own});
    }
  }
}

struct Turn {
  int key;
  bool shift;
  double alpha, beta, gamma;  // in rotation steps
};
constexpr Turn kTurns[] = {
    {kKeyUp, false, -1, 0, 0},   {kKeyDown, false, 1, 0, 0},  {kKeyUp, true, 0, -1, 0},
    {kKeyDown, true, 0, 1, 0},   {kKeyLeft, false, 0, 0, -1}, {kKeyLeft, true, 0, 0, -1},
    {kKeyRight, false, 0, 0, 1}, {kKeyRight, true, 0, 0, 1},
};

TEST_F(NavigationTest, RotateTurnsTheChosenFunctionsOrTheDataSceneByTheRotationStep) {
  AppState& s = appState;
  s.rotStep = 7;  // a changed setting is used by the next key
  for (const int selected : {4, 0, 2}) {
    s.selectedFunction = static_cast<std::int8_t>(selected);
    for (const Turn& t : kTurns) {
      SCOPED_TRACE("selected " + std::to_string(selected) + " key " + std::to_string(t.key) +
                   (t.shift ? " shift" : ""));
      NavFields expected = NavFields::Now();
      for (int f = 0; f < 4; ++f) {
        if (selected != 4 && selected != f) continue;
        expected.functions[f].alpha += 7 * t.alpha;
        expected.functions[f].beta += 7 * t.beta;
        expected.functions[f].gamma += 7 * t.gamma;
      }
      Press(true, t.key, t.shift);
      EXPECT_EQ(NavFields::Now(), expected);
      EXPECT_TRUE(CameraMoves().empty());
      EXPECT_EQ(Swaps(), Views{"G"});
    }
  }
  for (const Turn& t : kTurns) {
    NavFields expected = NavFields::Now();
    expected.da += 7 * t.alpha;
    expected.db += 7 * t.beta;
    expected.dg += 7 * t.gamma;
    Press(false, t.key, t.shift);
    EXPECT_EQ(NavFields::Now(), expected);
    EXPECT_TRUE(CameraMoves().empty());
    EXPECT_EQ(Swaps(), Views{"D"});
  }
}

TEST_F(NavigationTest, SeventyTwoPressesOfDownTurnByAFullCircleWithoutWrapping) {
  const auto start = appState.functionOrientation;
  for (int i = 0; i < 72; ++i) Press(true, kKeyDown, false);
  for (int f = 0; f < 4; ++f) EXPECT_EQ(appState.functionOrientation[f].alpha, start[f].alpha + 360);
  for (int i = 0; i < 72; ++i) Press(false, kKeyDown, false);
  EXPECT_EQ(appState.Dalpha, -60 + 360);
}

TEST_F(NavigationTest, ModeKeysAreSharedByBothViewsWithOrWithoutShift) {
  AppState& s = appState;
  Press(true, kKeyT, true);
  EXPECT_EQ(s.navMode, NavMode::Translate);
  Press(false, kKeyDown, false);  // the data view moves now
  EXPECT_EQ(s.DPosZ, -1.8 - 0.1);
  EXPECT_EQ(s.Dalpha, -60);

  Press(false, kKeyR, true);
  EXPECT_EQ(s.navMode, NavMode::Rotate);
  EXPECT_TRUE(CameraMoves().empty());
  EXPECT_EQ(Swaps(), Views{"D"});
  Press(true, kKeyUp, false);  // the function view turns now
  EXPECT_EQ(s.functionOrientation[0].alpha, -60 - 5);
  EXPECT_EQ(s.GPosZ, -4.7);
}

TEST_F(NavigationTest, OtherKeysOnlyRedrawTheirView) {
  for (const NavMode mode : {NavMode::Rotate, NavMode::Translate}) {
    appState.navMode = mode;
    for (const int key : {0, 13, 32, 65, 83, 36, 41}) {
      for (const bool grafik : {true, false}) {
        SCOPED_TRACE(std::to_string(key) + (grafik ? " G" : " D"));
        const NavFields before = NavFields::Now();
        Press(grafik, key, true);
        EXPECT_EQ(NavFields::Now(), before);
        EXPECT_EQ(appState.navMode, mode);
        EXPECT_TRUE(CameraMoves().empty());
        EXPECT_EQ(Swaps(), Views{grafik ? "G" : "D"});
      }
    }
  }
}

}  // namespace
