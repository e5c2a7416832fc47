// The animated change of the function view: frames, camera steps, angles,
// step widths, and the final state of each item.
#include <cmath>

#include "interaction/navigation.h"
#include "interaction/selection.h"
#include "interaction_support.h"

namespace {

using namespace interaction;

class SelectionTest : public InteractionTest {
protected:
  void SetUp() override {
    InteractionTest::SetUp();
    appState.stepFar = 0.25;  // each frame shows which step was in force
    appState.stepNear = 0.125;
  }
  std::vector<Frame> Select(int item) {
    ClearGlLog();
    SelectFunction(item);
    return Frames();
  }
  static Position3 Camera() { return {appState.GPosX, appState.GPosY, appState.GPosZ}; }
  void ExpectTransition(int item, int n = 10);
  std::vector<Frame> frames;  // of the last ExpectTransition
};

// Selecting the item draws N intermediate frames with all four functions at
// the far step, each after one equal camera step on the function view's
// context from where the camera was to the item's target; then the final
// frame: the overview at the far step for item 0, else one function at the near step.
void SelectionTest::ExpectTransition(int item, int n) {
  const Position3 from = Camera(), to = appState.viewTargets[item];
  frames = Select(item);
  ASSERT_EQ(frames.size(), static_cast<std::size_t>(n + 1));
  EXPECT_EQ(Swaps(), Views(static_cast<std::size_t>(n + 1), "G"));
  double sx = 0, sy = 0, sz = 0;
  for (int i = 0; i < n; ++i) {
    SCOPED_TRACE("frame " + std::to_string(i));
    const Frame& f = frames[static_cast<std::size_t>(i)];
    EXPECT_EQ(f.placements.size(), 4u);
    EXPECT_DOUBLE_EQ(f.cellWidth, 0.25);
    ASSERT_EQ(f.cameraMovesBefore.size(), 1u);
    const auto& m = f.cameraMovesBefore[0];
    EXPECT_EQ(m.view, "G");
    EXPECT_EQ((std::array{m.x, m.y, m.z}), (std::array{(to.x - from.x) / n, (to.y - from.y) / n, (to.z - from.z) / n}));
    sx += m.x, sy += m.y, sz += m.z;
  }
  EXPECT_EQ(CameraMoves().size(), static_cast<std::size_t>(n));  // none after the last frame
  EXPECT_NEAR(sx, to.x - from.x, 1e-12);
  EXPECT_NEAR(sy, to.y - from.y, 1e-12);
  EXPECT_NEAR(sz, to.z - from.z, 1e-12);
  const Frame& last = frames.back();
  EXPECT_TRUE(last.cameraMovesBefore.empty());
  EXPECT_EQ(last.placements.size(), item == 0 ? 4u : 1u);
  EXPECT_DOUBLE_EQ(last.cellWidth, item == 0 ? 0.25 : 0.125);
  EXPECT_EQ((std::array{appState.GPosX, appState.GPosY, appState.GPosZ}), (std::array{to.x, to.y, to.z}));
}

TEST_F(SelectionTest, EachSingleFunctionComesCloseUpTurningOnlyItself) {
  AppState& s = appState;
  const Orientation target = s.closeUpOrientation;
  for (int item = 1; item <= 4; ++item) {
    SCOPED_TRACE(item);
    const int f = item - 1;
    const auto before = s.functionOrientation;
    ExpectTransition(item);
    EXPECT_TRUE(s.closeUp);
    EXPECT_EQ(s.selectedFunction, f);
    EXPECT_EQ(s.stepFunctions, s.stepNear);
    // Halfway through, the turning function is halfway to its target.
    const auto& mid = frames[4].placements[f];
    EXPECT_NEAR(mid[0], before[f].alpha + (target.alpha - before[f].alpha) / 2, 1e-9);
    EXPECT_NEAR(mid[2], before[f].gamma + (target.gamma - before[f].gamma) / 2, 1e-9);
    for (int g = 0; g < 4; ++g) {
      const Orientation& o = s.functionOrientation[g];
      const Orientation& want = g == f ? target : before[g];
      EXPECT_NEAR(o.alpha, want.alpha, g == f ? 1e-9 : 0);
      EXPECT_NEAR(o.beta, want.beta, g == f ? 1e-9 : 0);
      EXPECT_NEAR(o.gamma, want.gamma, g == f ? 1e-9 : 0);
    }
    // The final frame shows that one function in its final orientation.
    const Orientation& o = s.functionOrientation[f];
    EXPECT_EQ(frames.back().placements[0], (std::array{o.alpha, o.beta, o.gamma}));
  }
  // The functions brought close up earlier keep the close-up orientation.
  EXPECT_NEAR(s.functionOrientation[0].alpha, -67, 1e-9);
  EXPECT_NEAR(s.functionOrientation[0].beta, 4, 1e-9);
}

TEST_F(SelectionTest, AlleFunktionenRestoresStartOrientationsAndOverview) {
  AppState& s = appState;
  // Right after start: the camera glides, nothing turns.
  const Position3 start = Camera(), overview = s.viewTargets[0];
  EXPECT_EQ((std::array{start.x, start.y, start.z, overview.x, overview.y, overview.z}),
            (std::array{-0.1, 0.2, -4.7, 0.0, 0.1, -4.7}));
  ExpectTransition(0);
  for (const Frame& f : frames)
    for (int g = 0; g < 4; ++g) {
      const Orientation& o = s.initialOrientation[g];
      EXPECT_EQ(f.placements[g], (std::array{o.alpha, o.beta, o.gamma}));
    }

  // From a close-up with further turns and moves made with the keys.
  SelectFunction(3);
  GrafikKeyDown(kKeyRight, false);
  GrafikKeyDown(kKeyT, false);
  GrafikKeyDown(kKeyLeft, false);
  ExpectTransition(0);
  EXPECT_FALSE(s.closeUp);
  EXPECT_EQ(s.selectedFunction, 4);
  EXPECT_EQ(s.stepFunctions, s.stepFar);
  for (int g = 0; g < 4; ++g) {
    const Orientation &o = s.functionOrientation[g], &want = s.initialOrientation[g];
    EXPECT_TRUE(std::abs(o.alpha - want.alpha) + std::abs(o.beta - want.beta) + std::abs(o.gamma - want.gamma) < 1e-9) << g;
  }
}

TEST_F(SelectionTest, SameFunctionTwiceDrawsIdenticalFramesWithZeroSteps) {
  SelectFunction(2);
  const Orientation after = appState.functionOrientation[1];
  ExpectTransition(2);  // from the target to itself
  for (const Frame& f : frames) {
    for (const auto& m : f.cameraMovesBefore) EXPECT_TRUE(m.x == 0 && m.y == 0 && m.z == 0);
    // Wavelet 1 stands still (up to the rounding left by the first transition).
    const auto& o = f.placements[f.placements.size() == 4 ? 1 : 0];
    EXPECT_TRUE(std::abs(o[0] - after.alpha) + std::abs(o[1] - after.beta) + std::abs(o[2] - after.gamma) < 1e-9);
  }
}

TEST_F(SelectionTest, TransitionStepsSetTheNumberOfFrames) {
  for (const double n : {1.0, 3.0}) {
    appState.transitionSteps = n;
    ExpectTransition(n == 1.0 ? 4 : 0, static_cast<int>(n));
  }
}

TEST_F(SelectionTest, ItemsOutsideTheListOnlyRedraw) {
  AppState& s = appState;
  SelectFunction(1);
  const auto orientation = s.functionOrientation;
  const Position3 camera = Camera();
  for (const int item : {-1, 5, 100}) {
    SCOPED_TRACE(item);
    frames = Select(item);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_TRUE(frames[0].cameraMovesBefore.empty());
    EXPECT_EQ(frames[0].placements.size(), 1u);  // still the close-up
    EXPECT_EQ(Swaps(), Views{"G"});
    EXPECT_TRUE(s.closeUp);
    EXPECT_EQ(s.selectedFunction, 0);
    EXPECT_EQ(s.functionOrientation[0].alpha, orientation[0].alpha);
    EXPECT_EQ(s.GPosX, camera.x);
    EXPECT_EQ(s.GPosZ, camera.z);
  }
}

TEST_F(SelectionTest, WithoutAFunctionViewContextNothingIsDrawnOrMoved) {
  appState.rcGrafik = nullptr;
  Select(2);
  EXPECT_EQ(CountCalls("glTranslated") + CountCalls("glClear") + CountCalls("glRotated"), 0);
  EXPECT_TRUE(Swaps().empty());
  // The state still follows the choice.
  EXPECT_TRUE(appState.closeUp);
  EXPECT_EQ(appState.GPosZ, -2.2);
}

// Frame by frame, as a page draws it: after k of n frames the function has
// turned k/n of the way and the close-up starts only with the last frame;
// the frames are the ones SelectFunction draws at once.
TEST_F(SelectionTest, AStepwiseTransitionDrawsTheSameFramesOneAtATime) {
  AppState& s = appState;
  const Orientation from = s.functionOrientation[2];
  const Orientation to = s.closeUpOrientation;
  ClearGlLog();
  SelectionTransition t(3);
  for (int k = 1; k <= 10; ++k) {
    ASSERT_TRUE(t.Step()) << k;
    EXPECT_EQ(Frames().size(), static_cast<std::size_t>(k));
    const Orientation& now = s.functionOrientation[2];
    EXPECT_NEAR(now.alpha, from.alpha + k * (to.alpha - from.alpha) / 10, 1e-12) << k;
    EXPECT_NEAR(now.beta, from.beta + k * (to.beta - from.beta) / 10, 1e-12) << k;
    EXPECT_NEAR(now.gamma, from.gamma + k * (to.gamma - from.gamma) / 10, 1e-12) << k;
    EXPECT_FALSE(s.closeUp);
  }
  EXPECT_FALSE(t.Step());  // the last frame, at the target
  EXPECT_TRUE(t.done());
  EXPECT_FALSE(t.Step());  // and nothing after it
  const std::vector<Frame> stepped = Frames();
  EXPECT_TRUE(s.closeUp);
  EXPECT_EQ(s.selectedFunction, 2);
  EXPECT_EQ(s.GPosZ, s.viewTargets[3].z);

  SelectFunction(0);
  ExpectTransition(3);
  ASSERT_EQ(frames.size(), stepped.size());
  for (std::size_t i = 0; i < frames.size(); ++i) {
    EXPECT_EQ(frames[i].placements.size(), stepped[i].placements.size()) << i;
    EXPECT_EQ(frames[i].cellWidth, stepped[i].cellWidth) << i;
  }
}

}  // namespace
