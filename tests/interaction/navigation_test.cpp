// Keyboard navigation of both views: the translation and rotation tables,
// the shared mode, and that a key never reaches the other view.
#include "interaction/navigation.h"
#include "interaction_support.h"

namespace {

using namespace interaction;


class NavigationTest : public InteractionTest {
protected:
  void SetUp() override {
    InteractionTest::SetUp();
    appState.stepFar = appState.stepData = 1.0;  // coarse meshes keep the logs small
  }
  static void Press(bool grafik, int key, bool shift) {  // the log holds only what it did
    ClearGlLog();
    if (grafik) GrafikKeyDown(key, shift);
    else DatenKeyDown(key, shift);
  }
};

struct KeyEffect {
  int key;
  bool shift;
  double x, y, z;  // translation, or alpha, beta, gamma in rotation steps
};
// Up without Shift brings the scene nearer: the camera looks along -z.
constexpr KeyEffect kMoves[] = {
    {kKeyUp, false, 0, 0, 0.1},    {kKeyDown, false, 0, 0, -0.1}, {kKeyUp, true, 0, 0.1, 0},
    {kKeyDown, true, 0, -0.1, 0},  {kKeyLeft, false, -0.1, 0, 0}, {kKeyLeft, true, -0.1, 0, 0},
    {kKeyRight, false, 0.1, 0, 0}, {kKeyRight, true, 0.1, 0, 0}};
constexpr KeyEffect kTurns[] = {
    {kKeyUp, false, -1, 0, 0},   {kKeyDown, false, 1, 0, 0},  {kKeyUp, true, 0, -1, 0},
    {kKeyDown, true, 0, 1, 0},   {kKeyLeft, false, 0, 0, -1}, {kKeyLeft, true, 0, 0, -1},
    {kKeyRight, false, 0, 0, 1}, {kKeyRight, true, 0, 0, 1}};

TEST_F(NavigationTest, TranslateMovesOwnCameraMatrixAndPositionFieldsTogether) {
  for (const bool grafik : {true, false}) {
    const std::string own = grafik ? "G" : "D";
    Press(grafik, kKeyT, false);
    EXPECT_EQ(appState.navMode, NavMode::Translate);
    EXPECT_TRUE(CameraMoves().empty());  // the mode key moves nothing
    EXPECT_EQ(Swaps(), Views{own});
    for (const KeyEffect& m : kMoves) {
      SCOPED_TRACE(own + " key " + std::to_string(m.key) + (m.shift ? " shift" : ""));
      Nav expected = NavNow();
      const int at = grafik ? kGPos : kDPos;
      expected[at] += m.x, expected[at + 1] += m.y, expected[at + 2] += m.z;
      Press(grafik, m.key, m.shift);
      EXPECT_EQ(NavNow(), expected);
      const std::vector<CameraMove> moves = CameraMoves();
      ASSERT_EQ(moves.size(), 1u);
      EXPECT_EQ(moves[0].view, own);
      EXPECT_EQ((std::array{moves[0].x, moves[0].y, moves[0].z}), (std::array{m.x, m.y, m.z}));
      EXPECT_EQ(Swaps(), Views{own});
    }
  }
}

// Selection 4 turns all four functions, 0 .. 3 only that one; the data view its scene.
TEST_F(NavigationTest, RotateTurnsTheChosenFunctionsOrTheDataSceneByTheRotationStep) {
  appState.rotStep = 7;  // a changed setting is used by the next key
  for (const int selected : {4, 0, 2, 3, -1}) {  // 3: the last function alone
    const bool grafik = selected >= 0;
    if (grafik) appState.selectedFunction = static_cast<std::int8_t>(selected);
    for (const KeyEffect& t : kTurns) {
      SCOPED_TRACE("selected " + std::to_string(selected) + " key " + std::to_string(t.key) + (t.shift ? " shift" : ""));
      Nav expected = NavNow();
      for (int at : {0, 3, 6, 9, kDAngles}) {
        if (grafik ? at == kDAngles || (selected != 4 && at != 3 * selected) : at != kDAngles) continue;
        expected[at] += 7 * t.x, expected[at + 1] += 7 * t.y, expected[at + 2] += 7 * t.z;
      }
      Press(grafik, t.key, t.shift);
      EXPECT_EQ(NavNow(), expected);
      EXPECT_TRUE(CameraMoves().empty());
      EXPECT_EQ(Swaps(), Views{grafik ? "G" : "D"});
    }
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
        const Nav before = NavNow();
        Press(grafik, key, true);
        EXPECT_EQ(NavNow(), before);
        EXPECT_EQ(appState.navMode, mode);
        EXPECT_TRUE(CameraMoves().empty());
        EXPECT_EQ(Swaps(), Views{grafik ? "G" : "D"});
      }
    }
  }
}

// A view whose context is gone still follows the keys and the double click
// in its fields, but moves no matrix: not the other view's either.
TEST_F(NavigationTest, WithoutItsContextAViewMovesNoMatrix) {
  AppState& s = appState;
  for (const bool grafik : {true, false}) {
    SCOPED_TRACE(grafik ? "G" : "D");
    GlContext& own = grafik ? s.rcGrafik : s.rcDaten;
    const GlContext saved = own;
    own = nullptr;
    const Nav start = NavNow();
    Press(grafik, kKeyT, false);
    Press(grafik, kKeyLeft, false);
    Nav want = start;
    want[grafik ? kGPos : kDPos] -= 0.1;
    EXPECT_EQ(NavNow(), want);
    EXPECT_TRUE(CameraMoves().empty());
    ClearGlLog();
    ResetView(grafik ? NavView::Grafik : NavView::Daten);
    EXPECT_EQ(NavNow(), start);
    EXPECT_EQ(CountCalls("glTranslated") + CountCalls("glLoadIdentity"), 0);
    own = saved;
  }
}

}  // namespace
