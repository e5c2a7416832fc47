// The control panel's commands: what each changes, which views it redraws,
// and level changes stepping through every level in between.
#include <cmath>

#include "interaction/commands.h"
#include "blac/decomposition.h"
#include "interaction_support.h"

namespace {

using namespace interaction;

class CommandTest : public InteractionTest {
protected:
  // Each swap follows exactly one projection, loaded with that view's context current.
  static void ExpectEachRedrawLoadsItsOwnProjection() {
    std::string current;
    int projections = 0;
    for (const GlCall& c : GlLog()) {
      if (IsSurfaceCall(c, "MakeCurrent") && c.args[0] == 1.0) current = ViewOf(c);
      if (c.name == "gluPerspective") ++projections;
      if (IsSurfaceCall(c, "SwapBuffers")) {
        EXPECT_EQ(ViewOf(c), current);
        EXPECT_EQ(projections, 1);
        projections = 0;
      }
    }
  }
  // The level steps from `from` to `to` run by hand on a copy of the data.
  static Matrix ByHand(int from, int to) {
    const Matrix saved = appState.dataMatrix;
    for (int j = from - 1; j >= to; --j) DecomposeLevel(j);
    for (int j = from; j < to; ++j) ReconstructLevel(j);
    Matrix result = appState.dataMatrix;
    appState.dataMatrix = saved;
    return result;
  }
};

TEST_F(CommandTest, DeltaScrollBarRefitsAndRedrawsOnlyTheFunctionView) {
  AppState& s = appState;
  const Matrix p6 = s.synthesisP[6], q2 = s.synthesisQ[2], data = s.dataMatrix;
  const auto coeffsBefore = s.waveletCoeffs;
  DeltaChanged(0);
  EXPECT_EQ(s.delta, 0.0);
  EXPECT_NE(s.waveletCoeffs, coeffsBefore);
  EXPECT_EQ(Swaps(), Views{"G"});
  ExpectEachRedrawLoadsItsOwnProjection();
  DeltaChanged(100);
  EXPECT_EQ(s.delta, 1.0);
  EXPECT_EQ(captions, (Views{"Nullmatrix", "Keine Nullen"}));
  DeltaChanged(7);
  EXPECT_EQ(DeltaLabelText(s.delta), "Delta: 0.07");
  EXPECT_EQ(Swaps(), (Views{"G", "G", "G"}));
  // The data side keeps the computed Delta until "Berechne!".
  EXPECT_EQ(s.currentDelta, 0.4);
  EXPECT_TRUE(SameBits(s.synthesisP[6], p6) && SameBits(s.synthesisQ[2], q2) && SameBits(s.dataMatrix, data));
}

TEST_F(CommandTest, LevelJumpsRunOneStepPerLevelInOrder) {
  AppState& s = appState;
  // 6 -> 2 -> 6, single steps, a partial jump, and the same position again.
  const Matrix sample = s.dataMatrix;
  for (const auto& [from, to] : {std::pair{6, 2}, {2, 6}, {6, 5}, {5, 4}, {4, 3}, {3, 3}}) {
    SCOPED_TRACE(to);
    Matrix expected = ByHand(from, to);
    if (from == 6 && to == 5) {
      // The shown block came from going up: the descent starts from the sample again.
      const Matrix shown = s.dataMatrix;
      s.dataMatrix = sample;
      expected = ByHand(from, to);
      s.dataMatrix = shown;
    }
    ClearGlLog();
    LevelChanged(to);
    EXPECT_EQ(s.chosenLevel, to);
    EXPECT_EQ(s.levelLabel, "Level: " + std::to_string(to));
    EXPECT_TRUE(SameBits(s.dataMatrix, expected));
    EXPECT_EQ(Swaps(), (Views{"G", "D"}));  // the function surfaces depend on the level too
    ExpectEachRedrawLoadsItsOwnProjection();
  }
}

TEST_F(CommandTest, BerechneTakesDeltaOverAndLaterLevelChangesUseItsMatrices) {
  AppState& s = appState;
  LevelChanged(3);
  const Matrix atLevel3 = s.dataMatrix;
  DeltaChanged(10);
  ClearGlLog();
  Compute();
  EXPECT_EQ(s.currentDelta, 0.1);
  EXPECT_EQ(CurrentDeltaLabelText(s.currentDelta), "aktuelles Delta: 0.1");
  for (int j = 2; j <= 6; ++j)
    EXPECT_TRUE(SameBits(s.synthesisP[j], BuildSynthesisP(0.1, j)) && SameBits(s.synthesisQ[j], BuildSynthesisQ(0.1, j)));
  // The coefficients stay; only the data view is redrawn.
  EXPECT_TRUE(SameBits(s.dataMatrix, atLevel3));
  EXPECT_EQ(s.chosenLevel, 3);
  EXPECT_EQ(Swaps(), Views{"D"});
  ExpectEachRedrawLoadsItsOwnProjection();
  // Rising to level 6 synthesises with the new matrices, which differ from the old.
  const Matrix withNewMatrices = ByHand(3, 6);
  LevelChanged(6);
  EXPECT_TRUE(SameBits(s.dataMatrix, withNewMatrices));
  s.dataMatrix = atLevel3;
  s.currentDelta = 0.4;
  RecomputeSynthesisMatrices();
  const Matrix withOld = ByHand(3, 6);
  double worst = 0;
  for (int k = 0; k < 513 * 513; ++k) worst = std::max(worst, std::abs(withOld.data[k] - withNewMatrices.data[k]));
  EXPECT_GT(worst, 1e-3);
}

TEST_F(CommandTest, SwitchesSetTheirFieldAndRedrawTheirViews) {
  const struct {
    void (*command)(bool);
    bool checked;
    bool AppState::*field;
    bool expected;
    Views redrawn;
  } cases[] = {
      {ZoomChanged, false, &AppState::zoom, false, {"G"}},
      {ZoomChanged, true, &AppState::zoom, true, {"G"}},
      {OnlyDataChanged, false, &AppState::onlyData, false, {"D"}},
      {OnlyDataChanged, true, &AppState::onlyData, true, {"D"}},
      {WireframeChanged, true, &AppState::filledSurfaces, false, {"D", "G"}},
      {WireframeChanged, false, &AppState::filledSurfaces, true, {"D", "G"}},
  };
  appState.stepData = 0.1;  // smaller logs
  for (const auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    ClearGlLog();
    c.command(c.checked);
    EXPECT_EQ(appState.*c.field, c.expected);
    EXPECT_EQ(Swaps(), c.redrawn);
    ExpectEachRedrawLoadsItsOwnProjection();
    EXPECT_TRUE(CameraMoves().empty());
  }
}

}  // namespace
