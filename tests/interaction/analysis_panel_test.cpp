// The compression lesson's logic: "Anwenden" from the original agrees with the
// curves bit for bit, "Original" undoes it, the level history cannot bring old
// coefficients back, and the Delta mismatch is named exactly while it lasts.
#include "interaction/analysis_panel.h"

#include <cmath>
#include <cstring>

#include "analysis/curves.h"
#include "analysis/error.h"
#include "analysis/threshold.h"
#include "blac/decomposition.h"
#include "blac/filters.h"
#include "interaction/coefficient_record.h"
#include "interaction/commands.h"
#include "interaction/data_source.h"
#include "interaction/level_history.h"
#include "interaction/readouts.h"
#include "interaction_support.h"
#include "sources/table_reader.h"

namespace {

using namespace interaction;

class AnalysisPanelTest : public InteractionTest {
protected:
  void SetUp() override {
    InteractionTest::SetUp();
    appState.stepData = appState.stepFar = 0.25;  // the redraws only need to happen
    TakeSample();
  }
  static void Berechne(int position) {
    appState.delta = position * 0.01;
    Compute();
  }
  static double ShownRms() {
    const AppState& s = appState;
    return analysis::MeasureError(s.originalSurface, s.dataMatrix, s.chosenLevel, s.synthesisP, s.synthesisQ).rms;
  }
  // The original analysed with the specified steps, written out by hand.
  static Matrix PlainAnalysis(int level) {
    const Matrix saved = appState.dataMatrix;
    for (int r = 1; r <= 65; ++r)
      for (int c = 1; c <= 65; ++c) SetElement(appState.dataMatrix, r, c, GetElement(appState.originalSurface, r, c));
    for (int j = 5; j >= level; --j) DecomposeLevel(j);
    Matrix result = appState.dataMatrix;
    appState.dataMatrix = saved;
    return result;
  }
  static bool SameBlock(const Matrix& a, const Matrix& b) {
    for (int r = 1; r <= 65; ++r)
      for (int c = 1; c <= 65; ++c) {
        const double x = GetElement(a, r, c), y = GetElement(b, r, c);
        if (std::memcmp(&x, &y, sizeof x) != 0) return false;
      }
    return true;
  }
};

TEST_F(AnalysisPanelTest, CompressionFromTheOriginalEqualsTheCurvesBitForBit) {
  const struct {
    int level, position;
    double percent;
  } cases[] = {{2, 40, 5}, {3, 20, 50}, {4, 75, 12.5}, {5, 100, 0}, {2, 0, 100}, {3, 80, 33.3}};
  // Earlier compressions and trips must not add up.
  LevelChanged(3);
  ApplyCompression(5);
  LevelChanged(6);
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "level " << c.level << ", Delta " << c.position << ", " << c.percent << " %");
    Berechne(c.position);
    LevelChanged(c.level);
    appState.delta = 0.93;  // the scroll bar moved on; the data side keeps currentDelta
    const KeptCount kept = ApplyCompression(c.percent);
    EXPECT_EQ(kept.total, 65 * 65 - ((1 << c.level) + 1) * ((1 << c.level) + 1));

    // The coefficients: the specified steps from the original, then the largest details.
    Matrix expected = PlainAnalysis(c.level);
    analysis::KeepLargestDetails(expected, c.level, c.percent);
    EXPECT_TRUE(SameBlock(appState.dataMatrix, expected));

    const double rms = ShownRms();
    const Curve share = ShareCurveNow(c.percent);
    ASSERT_TRUE(share.marker);
    EXPECT_EQ(rms, share.marker->y);
    if (c.percent == std::floor(c.percent)) {
      EXPECT_EQ(rms, analysis::ErrorOverShare(appState.originalSurface, c.level, appState.currentDelta)
                         [static_cast<std::size_t>(c.percent)].rms);
    }
    const Curve delta = DeltaCurveNow(c.percent);
    ASSERT_TRUE(delta.marker);
    EXPECT_EQ(delta.marker->x, appState.currentDelta);
    EXPECT_EQ(rms, delta.marker->y);
    EXPECT_NE(ErrorText().find("RMS = " + FormatReadout(rms) + ","), std::string::npos) << ErrorText();
    EXPECT_EQ(MismatchText(), "");

    // Up and down again: the kept coefficients come back exactly, never the
    // uncompressed details.
    const Matrix compressed = appState.dataMatrix;
    LevelChanged(6);
    LevelChanged(c.level);
    EXPECT_TRUE(SameBlock(compressed, appState.dataMatrix));
    LevelChanged(6);
  }
}

TEST_F(AnalysisPanelTest, OriginalPutsThePlainAnalysisBack) {
  EXPECT_EQ(ShownStateText(), "Gezeigt: unkomprimiert");
  LevelChanged(3);
  const Matrix plain = appState.dataMatrix;
  ApplyCompression(12.5);
  EXPECT_EQ(ShownStateText(), "Gezeigt: 12.5 % behalten (Level 3)");
  LevelChanged(5);
  LevelChanged(2);
  EXPECT_EQ(ShownStateText(), "Gezeigt: 12.5 % behalten (Level 3)");
  LevelChanged(3);
  RestoreOriginal();
  EXPECT_EQ(ShownStateText(), "Gezeigt: unkomprimiert");
  EXPECT_TRUE(SameBlock(appState.dataMatrix, plain));
  // A trip up and back comes back to it, as from a fresh start.
  LevelChanged(6);
  LevelChanged(4);
  LevelChanged(3);
  EXPECT_TRUE(SameBlock(appState.dataMatrix, plain));
  // At the top level "Original" is the original itself.
  ApplyCompression(1);
  LevelChanged(6);
  RestoreOriginal();
  EXPECT_TRUE(SameBlock(appState.dataMatrix, appState.originalSurface));
  EXPECT_EQ(ErrorText(), "Fehler auf Level 6: max |e| = 0, RMS = 0, PSNR = exakt");
  // A new surface is uncompressed too.
  LevelChanged(2);
  ApplyCompression(50);
  TakeSample();
  EXPECT_EQ(ShownStateText(), "Gezeigt: unkomprimiert");
}

TEST_F(AnalysisPanelTest, AfterALevelTripTheKeptCoefficientsComeBackExactlyOrTheLineSaysSo) {
  const auto energies = [] {
    std::vector<std::string> cells;
    for (const EnergyRow& r : EnergyRows()) cells.insert(cells.end(), {r.share, r.block, r.energy});
    return cells;
  };
  LevelChanged(2);
  ApplyCompression(10);
  const Matrix kept = appState.dataMatrix;
  const std::string error = ErrorText();
  const std::vector<std::string> energy = energies();
  // Blocks the compression emptied show a share of exactly 0.
  int emptied = 0;
  for (const EnergyRow& r : EnergyRows()) emptied += r.energy == "0";
  for (const EnergyRow& r : EnergyRows()) {
    if (r.energy == "0") EXPECT_EQ(r.share, "0 %") << r.block;
  }
  EXPECT_GT(emptied, 0);

  // Up to the top and back, then a wandering trip: the same coefficients, bit for bit.
  LevelChanged(6);
  EXPECT_EQ(ShownStateText(), "Gezeigt: 10 % behalten (Level 2)");
  LevelChanged(2);
  EXPECT_TRUE(SameBlock(appState.dataMatrix, kept));
  EXPECT_EQ(ShownStateText(), "Gezeigt: 10 % behalten (Level 2)");
  EXPECT_EQ(ErrorText(), error);
  EXPECT_EQ(energies(), energy);
  LevelChanged(4);
  LevelChanged(3);
  LevelChanged(5);
  LevelChanged(2);
  EXPECT_TRUE(SameBlock(appState.dataMatrix, kept));

  // Kept at level 4: down below it and up again comes back to them as well.
  LevelChanged(4);
  ApplyCompression(25);
  const Matrix kept4 = appState.dataMatrix;
  LevelChanged(2);
  EXPECT_EQ(ShownStateText(), "Gezeigt: 25 % behalten (Level 4)");
  LevelChanged(4);
  EXPECT_TRUE(SameBlock(appState.dataMatrix, kept4));

  // "Berechne!" while compressed: trips go up from the kept coefficients with
  // the new Delta, the same way each time.
  Berechne(39);
  const auto trip = [] {
    LevelChanged(6);
    LevelChanged(2);
    LevelChanged(6);
    return appState.dataMatrix;
  };
  const Matrix first = trip();
  EXPECT_TRUE(SameBlock(trip(), first));
  LevelChanged(4);
  EXPECT_TRUE(SameBlock(appState.dataMatrix, kept4));
  EXPECT_EQ(ShownStateText(), "Gezeigt: 25 % behalten (Level 4)");
  Berechne(40);

  // "Berechne!" on the way: going down analyses the data again with the new
  // Delta, and the line no longer claims the compression.
  LevelChanged(6);
  Berechne(60);
  LevelChanged(4);
  EXPECT_FALSE(SameBlock(appState.dataMatrix, kept4));
  EXPECT_EQ(ShownStateText(), "Gezeigt: neu analysiert, die Kompression gilt nicht mehr");
  // Until the next "Anwenden" or "Original".
  RestoreOriginal();
  EXPECT_EQ(ShownStateText(), "Gezeigt: unkomprimiert");
}

TEST_F(AnalysisPanelTest, TheDeltaMismatchIsNamedExactlyWhileItLasts) {
  Berechne(20);
  EXPECT_EQ(MismatchText(), "");
  LevelChanged(2);  // analysed with 0.2
  EXPECT_EQ(MismatchText(), "");
  Berechne(40);  // the coefficients stay, the tables change
  const std::string line = "Koeffizienten mit Delta 0.2 berechnet, Synthese mit Delta 0.4";
  EXPECT_EQ(MismatchText(), line);
  EXPECT_EQ(ErrorText().substr(ErrorText().find('\n') + 1), line);
  Berechne(20);  // agreement again
  EXPECT_EQ(MismatchText(), "");
  EXPECT_EQ(ErrorText().find('\n'), std::string::npos);

  // Mixed: levels 3..5 with 0.2, level 2 with 0.4, synthesis with 0.3.
  Berechne(40);
  LevelChanged(3);
  LevelChanged(2);
  EXPECT_EQ(MismatchText(), "Koeffizienten mit Delta 0.2 berechnet, Synthese mit Delta 0.4");
  Berechne(30);
  EXPECT_EQ(MismatchText(), "Koeffizienten mit Delta 0.4 und 0.2 berechnet, Synthese mit Delta 0.3");
  // Level 2's details analysed with 0.4, levels 3..5 with 0.2 = the synthesis:
  // going up to 3 synthesises the odd ones away.
  Berechne(20);
  EXPECT_EQ(MismatchText(), "Koeffizienten mit Delta 0.4 berechnet, Synthese mit Delta 0.2");
  LevelChanged(3);
  EXPECT_EQ(MismatchText(), "");
  Berechne(30);
  // Synthesised away: nothing analysed is shown at the top, but the error
  // still says where it comes from.
  LevelChanged(6);
  EXPECT_EQ(MismatchText(), "");
  // On the way here: level 2's details (0.2) went up to 3 with 0.4 (and the
  // data were analysed down from that again), level 2's details (0.4) went up
  // with 0.2, levels 3..5 (0.2) with 0.3.
  const std::string up = "Details wurden mit anderem Delta hinaufsynthetisiert als analysiert (Delta 0.2 mit 0.4, "
                         "Delta 0.4 mit 0.2, Delta 0.2 mit 0.3), daher der gr\u00f6\u00dfere Fehler";
  EXPECT_EQ(DeltaExplanation(), up);
  EXPECT_EQ(ErrorText().substr(ErrorText().find('\n') + 1), up);
  EXPECT_EQ(ReadoutsNow(10).mismatch, up);
  // Analysed down again, the data still carry that error, and the text says so.
  Berechne(40);
  LevelChanged(5);
  EXPECT_EQ(MismatchText(), "");
  EXPECT_EQ(DeltaExplanation(), up);
  LevelChanged(6);
  EXPECT_EQ(DeltaExplanation(), up);
  // "Anwenden", "Original" and a new surface analyse afresh.
  LevelChanged(2);
  Berechne(50);
  ASSERT_NE(MismatchText(), "");
  appState.delta = 0.9;  // the scroll bar moved without "Berechne!": both analyse with currentDelta
  ApplyCompression(10);
  EXPECT_EQ(MismatchText(), "");
  EXPECT_EQ(DeltaExplanation(), "");
  // One pair alone is said plainly.
  LevelChanged(4);
  Berechne(30);
  LevelChanged(6);
  EXPECT_EQ(DeltaExplanation(), "Mit Delta 0.5 analysierte Details wurden mit Delta 0.3 hinaufsynthetisiert, daher "
                                "der gr\u00f6\u00dfere Fehler");
  LevelChanged(2);
  Berechne(60);
  ASSERT_NE(MismatchText(), "");
  appState.delta = 0.9;
  RestoreOriginal();
  EXPECT_EQ(MismatchText(), "");
  Berechne(70);
  ASSERT_NE(MismatchText(), "");
  TakeSample();
  EXPECT_EQ(MismatchText(), "");
}

TEST_F(AnalysisPanelTest, DeltaCurveMarkersAndTheNearestPosition) {
  LevelChanged(2);
  appState.delta = 0.67;  // the scroll bar moved, "Berechne!" not yet pressed
  const Curve c = DeltaCurveNow(20);
  ASSERT_EQ(c.points.size(), 101u);
  ASSERT_TRUE(c.marker && c.pending);
  EXPECT_EQ(c.marker->x, 0.4);
  EXPECT_EQ(c.marker->y, c.points[40].second);
  EXPECT_EQ(c.pending->x, 0.67);
  EXPECT_EQ(c.pending->y, c.points[67].second);
  const struct {
    double delta;
    int position;
  } picks[] = {{0.676, 68}, {0.674, 67}, {0.004, 0}, {0.006, 1}, {-0.2, 0}, {1.3, 100}, {1, 100}};
  for (const auto& p : picks) EXPECT_EQ(NearestDeltaPosition(p.delta), p.position) << p.delta;
  EXPECT_EQ(NearestDeltaPosition(std::nan("")), 0);
}

TEST_F(AnalysisPanelTest, EnergyTableShowsTheShareFirst) {
  std::vector<EnergyRow> rows = EnergyRows();
  ASSERT_EQ(rows.size(), 1u);
  double squares = 0;
  for (int r = 1; r <= 65; ++r)
    for (int c = 1; c <= 65; ++c) squares += GetElement(appState.dataMatrix, r, c) * GetElement(appState.dataMatrix, r, c);
  EXPECT_EQ(rows[0].share, "100 %");
  EXPECT_EQ(rows[0].block, "Approximation, Level 6");
  EXPECT_EQ(rows[0].energy, FormatReadout(squares));
  LevelChanged(5);
  rows = EnergyRows();
  ASSERT_EQ(rows.size(), 4u);
  const char* names[] = {"Approximation, Level 5", "Level 5, Details in y", "Level 5, Details in x",
                         "Level 5, Details in x und y"};
  for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(rows[i].block, names[i]);
  double approximation = 0;
  for (int r = 1; r <= 33; ++r)
    for (int c = 1; c <= 33; ++c) approximation += GetElement(appState.dataMatrix, r, c) * GetElement(appState.dataMatrix, r, c);
  double total = 0;
  for (int r = 1; r <= 65; ++r)
    for (int c = 1; c <= 65; ++c) total += GetElement(appState.dataMatrix, r, c) * GetElement(appState.dataMatrix, r, c);
  EXPECT_EQ(rows[0].share, FormatReadout(100 * approximation / total) + " %");
  EXPECT_NE(EnergyExplanation().find("Summe der Quadrate"), std::string::npos);
}

// The texts both the desktop window and the page show: the source in force,
// and at the top level why nothing can be kept or drawn; one level below,
// the count.
TEST_F(AnalysisPanelTest, SourceAndTopLevelTexts) {
  EXPECT_EQ(SourceText(), "In Kraft: die eingebaute Beispielfläche.");
  EXPECT_EQ(KeptReadoutText(10), "Auf Level 6 gibt es nichts wegzulassen: erst hinabgehen.");
  EXPECT_EQ(NoCurveText(),
            "Auf Level 6 gibt es keine Detailkoeffizienten, also keine Kurve: erst mit dem Level-Regler hinabgehen.");
  LevelChanged(5);
  // Level 5 of a 65 x 65 surface: 65 * 65 - 33 * 33 = 3136 details, 10 % of them kept.
  EXPECT_EQ(KeptReadoutText(10), "behalten: 314 von 3136 Detailkoeffizienten");
  ASSERT_EQ(TakeFormula("x*y"), "");
  EXPECT_EQ(SourceText(), "In Kraft: f(x, y) = x*y");
  ASSERT_EQ(TakeFileResult(SurfaceFromTableText("1 2\n3 4\n", "t.csv"), "t.csv"), "");
  EXPECT_EQ(SourceText(), "In Kraft: die Datei \u201Et.csv\u201C.");
  EXPECT_EQ(KeptReadoutText(10), "Auf Level 6 gibt es nichts wegzulassen: erst hinabgehen.");  // a new surface starts at the top
}

}  // namespace
