// The control panel's commands: what each changes, which views it redraws,
// and the level changes stepping through every level in between.
#include <cmath>

#include "app/commands.h"
#include "blac/decomposition.h"
#include "interaction_support.h"

namespace {

using interaction::CameraMoves;
using interaction::InteractionTest;
using interaction::SameBits;
using interaction::Swaps;
using Views = std::vector<std::string>;

// Largest difference over the 65 x 65 block the data live in.
double MaxDifference(const Matrix& a, const Matrix& b) {
  double worst = 0;
  for (int r = 1; r <= 65; ++r)
    for (int c = 1; c <= 65; ++c) worst = std::max(worst, std::abs(GetElement(a, r, c) - GetElement(b, r, c)));
  return worst;
}

class CommandTest : public InteractionTest {
protected:
  // Every swap follows the projection of the same view: its own context was
  // made current and its projection loaded before it drew.
  void ExpectEachRedrawLoadsItsOwnProjection() {
    std::string current;
    int projections = 0;
    for (const GlCall& c : GlLog()) {
      if (interaction::IsSurfaceCall(c, "MakeCurrent") && c.args[0] == 1.0) current = interaction::ViewOf(c);
      if (c.name == "gluPerspective") ++projections;
      if (interaction::IsSurfaceCall(c, "SwapBuffers")) {
        EXPECT_EQ(interaction::ViewOf(c), current);
        EXPECT_EQ(projections, 1);
        projections = 0;
      }
    }
  }
};

TEST_F(CommandTest, DeltaScrollBarRefitsAndRedrawsOnlyTheFunctionView) {
  AppState& s = appState;
  const Matrix p6 = s.synthesisP[6];
  const Matrix q2 = s.synthesisQ[2];
  const Matrix data = s.dataMatrix;
  const auto coeffsBefore = s.waveletCoeffs;

  DeltaChanged(0);
  EXPECT_EQ(s.delta, 0.0);
  EXPECT_EQ(captions, Views{"Nullmatrix"});
  EXPECT_NE(s.waveletCoeffs, coeffsBefore);
  EXPECT_EQ(Swaps(), Views{"G"});
  ExpectEachRedrawLoadsItsOwnProjection();

  ClearGlLog();
  DeltaChanged(100);
  EXPECT_EQ(s.delta, 1.0);
  EXPECT_EQ(captions.back(), "Keine Nullen");
  EXPECT_EQ(Swaps(), Views{"G"});

  DeltaChanged(7);
  EXPECT_EQ(DeltaLabelText(s.delta), "Delta: 0.07");
  // The data side keeps the computed Delta until "Berechne!".
  EXPECT_EQ(s.currentDelta, 0.4);
  EXPECT_TRUE(SameBits(s.synthesisP[6], p6));
  EXPECT_TRUE(SameBits(s.synthesisQ[2], q2));
  EXPECT_TRUE(SameBits(s.dataMatrix, data));
}

// Runs a level change and, on a copy of the starting data, the steps by hand.
class LevelTest : public CommandTest {
protected:
  Matrix ByHand(int from, int to) {
    AppState& s = appState;
    const Matrix saved = s.dataMatrix;
    if (to < from) {
      for (int j = from - 1; j >= to; --j) DecomposeLevel(j);
    } else {
      for (int j = from; j < to; ++j) ReconstructLevel(j);
    }
    Matrix result = s.dataMatrix;
    s.dataMatrix = saved;
    return result;
  }
};

TEST_F(LevelTest, JumpDownAndBackRunsOneStepPerLevelInOrder) {
  AppState& s = appState;
  const Matrix expectedAt2 = ByHand(6, 2);  // 5, 4, 3, 2
  LevelChanged(2);
  EXPECT_EQ(s.chosenLevel, 2);
  EXPECT_EQ(s.statusText, "Level: 2");
  EXPECT_TRUE(SameBits(s.dataMatrix, expectedAt2));
  // The function surfaces depend on the level too: function view, then data view.
  EXPECT_EQ(Swaps(), (Views{"G", "D"}));
  ExpectEachRedrawLoadsItsOwnProjection();

  const Matrix expectedAt6 = ByHand(2, 6);  // 2, 3, 4, 5
  ClearGlLog();
  LevelChanged(6);
  EXPECT_EQ(s.chosenLevel, 6);
  EXPECT_EQ(s.statusText, "Level: 6");
  EXPECT_TRUE(SameBits(s.dataMatrix, expectedAt6));
  EXPECT_EQ(Swaps(), (Views{"G", "D"}));

  // Single steps and partial jumps land on the same coefficients.
  const Matrix expectedAt4 = ByHand(6, 4);
  LevelChanged(5);
  LevelChanged(4);
  EXPECT_TRUE(SameBits(s.dataMatrix, expectedAt4));
  const Matrix expectedAt3 = ByHand(4, 3);
  LevelChanged(3);
  EXPECT_TRUE(SameBits(s.dataMatrix, expectedAt3));
  EXPECT_EQ(s.statusText, "Level: 3");

  // The same position again changes nothing but still redraws both views.
  ClearGlLog();
  LevelChanged(3);
  EXPECT_TRUE(SameBits(s.dataMatrix, expectedAt3));
  EXPECT_EQ(Swaps(), (Views{"G", "D"}));
}

TEST_F(LevelTest, BerechneTakesDeltaOverAndLaterLevelChangesUseItsMatrices) {
  AppState& s = appState;
  LevelChanged(3);
  const Matrix atLevel3 = s.dataMatrix;

  DeltaChanged(10);
  ClearGlLog();
  Compute();
  EXPECT_EQ(s.currentDelta, 0.1);
  EXPECT_EQ(CurrentDeltaLabelText(s.currentDelta), "aktuelles Delta: 0.1");
  for (int j = 2; j <= 6; ++j) {
    EXPECT_TRUE(SameBits(s.synthesisP[j], BuildSynthesisP(0.1, j))) << j;
    EXPECT_TRUE(SameBits(s.synthesisQ[j], BuildSynthesisQ(0.1, j))) << j;
  }
  // The coefficients stay as they are; only the data view is redrawn.
  EXPECT_TRUE(SameBits(s.dataMatrix, atLevel3));
  EXPECT_EQ(s.chosenLevel, 3);
  EXPECT_EQ(Swaps(), Views{"D"});
  ExpectEachRedrawLoadsItsOwnProjection();

  // The rise to level 6 synthesises with the matrices of the new Delta ...
  const Matrix withNewMatrices = ByHand(3, 6);
  LevelChanged(6);
  EXPECT_TRUE(SameBits(s.dataMatrix, withNewMatrices));
  // ... which differs from what the matrices of the old Delta would give.
  const Matrix risen = s.dataMatrix;
  s.dataMatrix = atLevel3;
  s.currentDelta = 0.4;
  RecomputeSynthesisMatrices();
  const Matrix withOldMatrices = ByHand(3, 6);
  EXPECT_GT(MaxDifference(risen, withOldMatrices), 1e-3);
}

TEST_F(CommandTest, SwitchesSetTheirFieldAndRedrawTheirViews) {
  AppState& s = appState;
  const struct {
    const char* name;
    void (*command)(bool);
    bool checked;
    bool AppState::*field;
    bool expected;
    Views redrawn;
  } cases[] = {
      {"Zoom off", ZoomChanged, false, &AppState::zoom, false, {"G"}},
      {"Zoom on", ZoomChanged, true, &AppState::zoom, true, {"G"}},
      {"Zeige nur Daten off", OnlyDataChanged, false, &AppState::onlyData, false, {"D"}},
      {"Zeige nur Daten on", OnlyDataChanged, true, &AppState::onlyData, true, {"D"}},
      {"Drahtgitter on", WireframeChanged, true, &AppState::filledSurfaces, false, {"D", "G"}},
      {"Drahtgitter off", WireframeChanged, false, &AppState::filledSurfaces, true, {"D", "G"}},
  };
  s.stepData = 0.1;  // smaller logs; the redraws are what counts here
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ClearGlLog();
    c.command(c.checked);
    EXPECT_EQ(s.*c.field, c.expected);
    EXPECT_EQ(Swaps(), c.redrawn);
    ExpectEachRedrawLoadsItsOwnProjection();
    EXPECT_TRUE(CameraMoves().empty());
  }
}

}  // namespace
