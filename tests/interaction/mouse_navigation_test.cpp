// Mouse navigation: drags and the wheel act as fractional arrow-key presses on
// the keys' fields and matrices whatever the mode; the double click restores
// the start and rebuilds the view's model-view matrix.
#include <cmath>
#include <limits>
#include <map>

#include "interaction/navigation.h"
#include "interaction/pointer_drag.h"
#include "interaction/selection.h"
#include "interaction_support.h"

namespace {

using namespace interaction;

void ExpectNear(const Nav& a, const Nav& b) {
  for (std::size_t i = 0; i < a.size(); ++i) EXPECT_NEAR(a[i], b[i], 1e-12) << "entry " << i;
}

// The camera translation each context's model-view matrix holds, replayed
// from every call since the contexts were set up at their start places.
std::map<std::string, std::array<double, 3>> Matrices(const Calls& log) {
  std::map<std::string, std::vector<std::array<double, 3>>> stacks{{"G", {{-0.1, 0.2, -4.7}}}, {"D", {{0, 0.2, -1.8}}}};
  std::map<std::string, double> mode{{"G", GL_MODELVIEW}, {"D", GL_MODELVIEW}};
  std::string cur;
  for (const GlCall& c : log) {
    if (IsSurfaceCall(c, "MakeCurrent") && c.args[0] != -1.0) cur = c.args[0] == 1.0 ? ViewOf(c) : "";
    if (!stacks.contains(cur)) continue;
    auto& st = stacks[cur];
    if (c.name == "glMatrixMode") mode[cur] = c.args[0];
    if (mode[cur] != GL_MODELVIEW) continue;
    if (c.name == "glLoadIdentity") st.back() = {0, 0, 0};
    if (c.name == "glPushMatrix") st.push_back(st.back());
    if (c.name == "glPopMatrix") st.pop_back();
    if (c.name == "glTranslated") st.back() = {st.back()[0] + c.args[0], st.back()[1] + c.args[1], st.back()[2] + c.args[2]};
  }
  return {{"G", stacks["G"].front()}, {"D", stacks["D"].front()}};
}

class MouseNavigationTest : public InteractionTest {
protected:
  void SetUp() override {
    InteractionTest::SetUp();
    appState.stepFar = appState.stepNear = appState.stepData = 1.0;  // coarse meshes keep the logs small
  }
  void Act(const std::function<void()>& action) {  // the log then holds only what it did
    past.insert(past.end(), GlLog().begin(), GlLog().end());
    ClearGlLog();
    action();
  }
  void ExpectMatricesFollowFields() {
    Calls all = past;
    all.insert(all.end(), GlLog().begin(), GlLog().end());
    const auto m = Matrices(all);
    const Nav now = NavNow();
    for (int i = 0; i < 3; ++i) {
      EXPECT_NEAR(m.at("G")[i], now[kGPos + i], 1e-12);
      EXPECT_NEAR(m.at("D")[i], now[kDPos + i], 1e-12);
    }
  }
  Calls past;
};

enum Kind { kTurn, kShiftTurn, kMove, kWheel };
struct Gesture {
  Kind kind;
  double dx, dy;     // pixels, or notches for the wheel
  double a, b, c;    // alpha, beta, gamma in rotation steps, or the camera's x, y, z
};
// Right and down are positive; the picture follows a moving drag.
constexpr Gesture kGestures[] = {
    {kTurn, 10, 0, 0, 0, 1},    {kTurn, -5, 0, 0, 0, -0.5},    {kTurn, 0, 10, 1, 0, 0},
    {kTurn, 3, -4, -0.4, 0, 0.3}, {kShiftTurn, 0, 25, 0, 2.5, 0}, {kShiftTurn, -10, -10, 0, -1, -1},
    {kMove, 20, 0, 0.1, 0, 0},  {kMove, 0, 20, 0, -0.1, 0},    {kMove, -10, -30, -0.05, 0.15, 0},
    {kWheel, 1, 0, 0, 0, 0.1},  {kWheel, -0.5, 0, 0, 0, -0.05}};

TEST_F(MouseNavigationTest, GesturesAreFractionalKeyPressesWhateverTheMode) {
  AppState& s = appState;
  s.rotStep = 7;
  for (const NavMode mode : {NavMode::Rotate, NavMode::Translate}) {
    for (const int selected : {4, 1, -1}) {  // all functions, wavelet 1 alone, the data view
      const bool grafik = selected >= 0;
      const NavView view = grafik ? NavView::Grafik : NavView::Daten;
      if (grafik) s.selectedFunction = static_cast<std::int8_t>(selected);
      for (const Gesture& g : kGestures) {
        SCOPED_TRACE("selected " + std::to_string(selected) + " kind " + std::to_string(g.kind) + " " +
                     std::to_string(g.dx) + ", " + std::to_string(g.dy));
        s.navMode = mode;
        Nav want = NavNow();
        if (g.kind == kMove || g.kind == kWheel) {
          const int at = grafik ? kGPos : kDPos;
          want[at] += g.a, want[at + 1] += g.b, want[at + 2] += g.c;
        } else {
          for (int at : {0, 3, 6, 9, kDAngles}) {
            if (grafik ? at == kDAngles || (selected != 4 && at != 3 * selected) : at != kDAngles) continue;
            want[at] += 7 * g.a, want[at + 1] += 7 * g.b, want[at + 2] += 7 * g.c;
          }
        }
        Act([&] {
          if (g.kind == kMove) DragMove(view, g.dx, g.dy);
          else if (g.kind == kWheel) WheelMove(view, g.dx);
          else DragTurn(view, g.dx, g.dy, g.kind == kShiftTurn);
        });
        ExpectNear(NavNow(), want);
        EXPECT_EQ(s.navMode, mode);
        EXPECT_EQ(Swaps(), Views{grafik ? "G" : "D"});  // its own view only
        const std::vector<CameraMove> moves = CameraMoves();
        if (g.kind == kTurn || g.kind == kShiftTurn) {
          EXPECT_TRUE(moves.empty());
        } else {
          ASSERT_EQ(moves.size(), 1u);
          EXPECT_EQ(moves[0].view, grafik ? "G" : "D");
          EXPECT_NEAR(moves[0].x, g.a, 1e-12);
          EXPECT_NEAR(moves[0].y, g.b, 1e-12);
          EXPECT_NEAR(moves[0].z, g.c, 1e-12);
        }
      }
    }
  }
  ExpectMatricesFollowFields();
}

// Whole steps are the keys' own steps, bit for bit, fields and matrix alike.
TEST_F(MouseNavigationTest, WholeStepsEqualKeyPressesExactly) {
  AppState& s = appState;
  s.rotStep = 3.7;
  struct Pair {
    NavMode mode;
    int key;
    bool shift;
    std::function<void()> gesture;
  };
  const Pair pairs[] = {
      {NavMode::Rotate, kKeyRight, false, [] { DragTurn(NavView::Daten, 10, 0, false); }},
      {NavMode::Rotate, kKeyDown, true, [] { DragTurn(NavView::Daten, 0, 10, true); }},
      {NavMode::Rotate, kKeyUp, false, [] { DragTurn(NavView::Daten, 0, -10, false); }},
      {NavMode::Translate, kKeyRight, false, [] { DragMove(NavView::Daten, 20, 0); }},
      {NavMode::Translate, kKeyDown, true, [] { DragMove(NavView::Daten, 0, 20); }},
      {NavMode::Translate, kKeyUp, false, [] { WheelMove(NavView::Daten, 1); }}};
  for (const Pair& p : pairs) {
    SCOPED_TRACE(std::to_string(p.key) + (p.shift ? " shift" : ""));
    s.navMode = p.mode;
    const Nav start = NavNow();
    Act([&] { DatenKeyDown(p.key, p.shift); });
    const Nav byKey = NavNow();
    const Calls keyLog = GlLog();
    s.DPosX = start[kDPos], s.DPosY = start[kDPos + 1], s.DPosZ = start[kDPos + 2];
    s.Dalpha = start[kDAngles], s.Dbeta = start[kDAngles + 1], s.Dgamma = start[kDAngles + 2];
    ClearGlLog();
    p.gesture();
    EXPECT_EQ(NavNow(), byKey);
    EXPECT_EQ(GlLog(), keyLog);  // the same calls with the same arguments
  }
}

TEST_F(MouseNavigationTest, DoubleClickRestoresTheStartAndKeepsTheSelection) {
  AppState& s = appState;
  const Nav start = NavNow();
  // Both views turned and moved; the camera leaves its start with "Alle Funktionen" too.
  for (const NavView v : {NavView::Grafik, NavView::Daten}) {
    DragTurn(v, 13, -22, true);
    DragMove(v, -31, 17);
    WheelMove(v, 2);
  }
  SelectFunction(0);
  DatenKeyDown(kKeyT, false);
  Nav want = NavNow();
  std::copy(start.begin() + kDPos, start.end(), want.begin() + kDPos);
  Act([] { ResetView(NavView::Daten); });
  EXPECT_EQ(NavNow(), want);  // the function view stays where it is
  EXPECT_EQ(Swaps(), Views{"D"});
  Act([] { ResetView(NavView::Grafik); });
  EXPECT_EQ(NavNow(), start);
  EXPECT_EQ(Swaps(), Views{"G"});
  EXPECT_EQ(s.navMode, NavMode::Translate);
  ExpectMatricesFollowFields();

  // In each close-up, the last one too: back to where choosing it ends; the
  // other functions, the data view and the selection stay.
  const Position3 targets[] = {{1.4, -1.3, -2.2}, {-1.2, -1.2, -2.2}, {1.2, 1.5, -2.2}, {-1.4, 1.5, -2.2}};
  for (int f = 0; f < 4; ++f) {
    SCOPED_TRACE(f);
    SelectFunction(f + 1);
    DragTurn(NavView::Grafik, 50, 20, false);
    DragMove(NavView::Grafik, 40, -40);
    DragTurn(NavView::Daten, 10, -10, true);
    want = NavNow();
    want[3 * f] = -67, want[3 * f + 1] = 4, want[3 * f + 2] = -20;
    want[kGPos] = targets[f].x, want[kGPos + 1] = targets[f].y, want[kGPos + 2] = targets[f].z;
    Act([] { ResetView(NavView::Grafik); });
    EXPECT_EQ(NavNow(), want);
    EXPECT_TRUE(s.closeUp);
    EXPECT_EQ(int(s.selectedFunction), f);
    EXPECT_EQ(Swaps(), Views{"G"});
    ExpectMatricesFollowFields();
  }
}

// The button state machine both shells share: which button drags, the right
// click's slop, and a stray second button.
TEST_F(MouseNavigationTest, PointerDragFollowsTheButtonThatStartedIt) {
  AppState& s = appState;
  s.rotStep = 5;
  PointerDrag drag(NavView::Daten);
  const Nav start = NavNow();

  // Left drag turns by the way since the last move: 10 px right is one step of gamma.
  drag.Press(PointerButton::Left, 100, 100, false);
  drag.Move(110, 100, true, false);
  drag.Move(110, 120, true, true);  // Shift: 20 px down turns beta by two steps
  EXPECT_DOUBLE_EQ(s.Dgamma, start[kDAngles + 2] + 5);
  EXPECT_DOUBLE_EQ(s.Dbeta, start[kDAngles + 1] + 10);
  // A right press during the left drag changes nothing; its release is no click.
  drag.Press(PointerButton::Right, 110, 120, true);
  EXPECT_EQ(drag.dragButton(), PointerButton::Left);
  EXPECT_FALSE(drag.Release(PointerButton::Right));
  EXPECT_FALSE(drag.Release(PointerButton::Left));
  drag.Move(300, 300, false, false);  // no button: nothing moves
  EXPECT_DOUBLE_EQ(s.Dgamma, start[kDAngles + 2] + 5);

  // Right: inside the slop (3.9 px) still a click, opening the menu.
  const double x0 = s.DPosX;
  drag.Press(PointerButton::Right, 50, 50, false);
  drag.Move(53.9, 46.1, true, false);
  EXPECT_EQ(s.DPosX, x0);
  EXPECT_TRUE(drag.Release(PointerButton::Right));
  // Exactly at the slop it moves, the whole way from the press at once.
  drag.Press(PointerButton::Right, 50, 50, false);
  drag.Move(54, 50, true, false);
  EXPECT_NEAR(s.DPosX, x0 + 0.1 * 4 / 20, 1e-15);
  EXPECT_FALSE(drag.Release(PointerButton::Right));
  // A drag whose release was lost ends at the next press without the button held.
  drag.Press(PointerButton::Middle, 0, 0, false);
  drag.Press(PointerButton::Left, 0, 0, false);
  EXPECT_EQ(drag.dragButton(), PointerButton::Left);

  // The double click with the left button only puts the view back.
  drag.DoubleClick(PointerButton::Right);
  EXPECT_NE(NavNow(), start);
  drag.DoubleClick(PointerButton::Left);
  EXPECT_EQ(NavNow(), start);
}

// A saved place puts exactly its view's fields and matrix there, whatever the
// view had done before, and redraws only that view.
TEST_F(MouseNavigationTest, PlacingAViewSetsItsFieldsAndMatrixAndRedrawsItAlone) {
  for (const NavView v : {NavView::Grafik, NavView::Daten}) {
    DragTurn(v, 13, -22, true);
    DragMove(v, -31, 17);
    WheelMove(v, 2);
  }
  Nav want = NavNow();
  want[kDPos] = 0.5, want[kDPos + 1] = -0.25, want[kDPos + 2] = -3;
  want[kDAngles] = 10, want[kDAngles + 1] = -20, want[kDAngles + 2] = 370;
  Act([] { PlaceDatenView({10, -20, 370}, {0.5, -0.25, -3}); });
  EXPECT_EQ(NavNow(), want);
  EXPECT_EQ(Swaps(), Views{"D"});

  const std::array<Orientation, 4> functions{{{1, 2, 3}, {4, 5, 6}, {-7, -8, -9}, {10.5, 0, -0.25}}};
  for (int f = 0; f < 4; ++f) {
    want[3 * f] = functions[f].alpha, want[3 * f + 1] = functions[f].beta, want[3 * f + 2] = functions[f].gamma;
  }
  want[kGPos] = 1.5, want[kGPos + 1] = 0, want[kGPos + 2] = -6;
  Act([&] { PlaceGrafikView(functions, {1.5, 0, -6}); });
  EXPECT_EQ(NavNow(), want);
  EXPECT_EQ(Swaps(), Views{"G"});
  ExpectMatricesFollowFields();
}

// Keys and mouse stop at the reach: the camera at the far plane's distance,
// the angles at a million degrees; matrix and fields stay equal on the way.
TEST_F(MouseNavigationTest, KeysAndMouseStopAtTheReach) {
  Act([] { PlaceDatenView({999998, -999999.5, 0}, {19.95, 0.2, -19.75}); });
  Act([] { DatenKeyDown(kKeyT, false); });
  for (int i = 0; i < 3; ++i) Act([] { DatenKeyDown(kKeyDown, false); });  // -19.85, -19.95, then -20
  EXPECT_EQ(appState.DPosZ, -kCameraReach);
  Act([] { DatenKeyDown(kKeyDown, false); });
  EXPECT_EQ(appState.DPosZ, -20.0);
  Act([] { DatenKeyDown(kKeyRight, false); });
  EXPECT_EQ(appState.DPosX, 20.0);
  Act([] { WheelMove(NavView::Daten, -500); });
  EXPECT_EQ(appState.DPosZ, -20.0);
  Act([] { DragMove(NavView::Daten, -20, 0); });  // one step back from the edge
  EXPECT_NEAR(appState.DPosX, 19.9, 1e-12);
  ExpectMatricesFollowFields();

  Act([] { DatenKeyDown(kKeyR, false); });
  Act([] { DatenKeyDown(kKeyDown, false); });  // alpha + 5 stops at a million
  EXPECT_EQ(appState.Dalpha, kAngleReach);
  Act([] { DatenKeyDown(kKeyUp, true); });     // beta - 5 stops at minus a million
  EXPECT_EQ(appState.Dbeta, -1e6);
  Act([] { DragTurn(NavView::Daten, 0, -10, false); });  // alpha back by one step
  EXPECT_EQ(appState.Dalpha, 999995);

  appState.rotStep = 2147483647;
  Act([] { GrafikKeyDown(kKeyR, false); });
  Act([] { GrafikKeyDown(kKeyLeft, false); });
  for (const Orientation& f : appState.functionOrientation) EXPECT_EQ(f.gamma, -1e6);
}

TEST(ViewReach, PlacesWithinTheReachExactlyAndNothingPast) {
  EXPECT_TRUE(CameraWithinReach({20, -20, 0}));
  EXPECT_TRUE(CameraWithinReach({0, 0, -20}));
  EXPECT_FALSE(CameraWithinReach({0, 0, std::nextafter(-20.0, -21.0)}));
  EXPECT_FALSE(CameraWithinReach({std::nextafter(20.0, 21.0), 0, 0}));
  EXPECT_FALSE(CameraWithinReach({0, 1e308, 0}));
  EXPECT_FALSE(CameraWithinReach({0, std::nan(""), 0}));
  EXPECT_TRUE(AnglesWithinReach({1e6, -1e6, 0}));
  EXPECT_FALSE(AnglesWithinReach({0, 0, std::nextafter(1e6, 2e6)}));
  EXPECT_FALSE(AnglesWithinReach({-std::numeric_limits<double>::infinity(), 0, 0}));
}

TEST(WheelNotches, AngleUnitsFirstThenPixels) {
  EXPECT_EQ(WheelNotches(120, 0), 1);
  EXPECT_EQ(WheelNotches(-60, 500), -0.5);  // angle wins when there is one
  EXPECT_EQ(WheelNotches(0, -kPixelsPerMove), -1);
  EXPECT_EQ(WheelNotches(0, 0), 0);
}

}  // namespace
