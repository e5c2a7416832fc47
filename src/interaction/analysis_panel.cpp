#include "interaction/analysis_panel.h"


#include "analysis/blocks.h"
#include "analysis/energy.h"
#include "analysis/error.h"
#include "analysis/threshold.h"
#include "blac/level_steps.h"
#include "interaction/coefficient_record.h"
#include "interaction/data_source.h"
#include "interaction/level_history.h"
#include "interaction/readouts.h"
#include "interaction/settings.h"
#include "render/scenes.h"
#include "sources/formula.h"
#include "state/state.h"

namespace {

std::string Taken(const SurfaceResult& result, SourceKind kind, const std::string& name) {
  if (!result.grid) return result.error;
  // A file's samples give its finer grids too; a formula is evaluated again.
  if (result.samples) TakeSamples(*result.samples, kind, name);
  else TakeSurface(*result.grid, kind, name);
  return {};
}

}  // namespace

std::string TakeFormula(const std::string& text) {
  return Taken(SurfaceFromFormula(text), SourceKind::Formula, text);
}

std::string TakeFileResult(const SurfaceResult& result, const std::string& shownName) {
  return Taken(result, SourceKind::File, shownName);
}

KeptCount CountKept(double percent) {
  const int total = analysis::DetailCount(appState.chosenLevel, appState.topLevel);
  return {analysis::KeptDetailCount(total, percent), total};
}

namespace {

// The original analysed down to `level` with `tables`; on the way down every
// block a descent would start from is kept for the level history.
Matrix AnalysedOriginal(int level, const SynthesisTables& tables) {
  const int top = appState.topLevel;
  Matrix copy = analysis::CopyBlock(appState.originalSurface, top);
  for (int l = top; l > level; --l) {
    KeepBlockForDescent(copy, l);
    AnalyseDown(copy, l, l - 1, tables);
  }
  return copy;
}

// The block becomes the data view's coefficients, replacing what it showed.
void OverwriteDataMatrix(const Matrix& block) {
  const int side = GridSide(appState.topLevel);
  for (int r = 1; r <= side; ++r) {
    for (int c = 1; c <= side; ++c) SetElement(appState.dataMatrix, r, c, GetElement(block, r, c));
  }
  RedrawDaten();
}

}  // namespace

KeptCount ApplyCompression(double percent) {
  const AppState& s = appState;
  const int level = s.chosenLevel;
  Matrix copy = AnalysedOriginal(level, BuildSynthesisTables(s.currentDelta, s.topLevel));
  const analysis::KeepCount n = analysis::KeepLargestDetails(copy, level, percent, s.topLevel);
  // New coefficients: a later descent must not bring back the old ones.
  ForgetKeptLevels();
  RecordFreshAnalysis(level, s.currentDelta, percent);
  OverwriteDataMatrix(copy);
  return {n.kept, n.details};
}

void RestoreOriginal() {
  const AppState& s = appState;
  ForgetKeptLevels();
  const Matrix copy = AnalysedOriginal(s.chosenLevel, BuildSynthesisTables(s.currentDelta, s.topLevel));
  RecordFreshAnalysis(s.chosenLevel, s.currentDelta, std::nullopt);
  OverwriteDataMatrix(copy);
}

std::string KeptText(const KeptCount& count) {
  return "behalten: " + std::to_string(count.kept) + " von " + std::to_string(count.total) +
         " Detailkoeffizienten";
}

std::string ShownStateText() {
  const std::optional<CompressionRecord> c = Compression();
  if (!c && AnalysedAgainSinceCompression())
    return "Gezeigt: neu analysiert, die Kompression gilt nicht mehr";
  if (!c) return "Gezeigt: unkomprimiert";
  return "Gezeigt: " + FormatReadout(c->percent) + " % behalten (Level " + std::to_string(c->level) + ")";
}

namespace {

// "0.2", "0.4 und 0.2", "0.1, 0.4 und 0.2".
std::string DeltaList(const std::vector<double>& deltas) {
  std::string list;
  for (std::size_t i = 0; i < deltas.size(); ++i) {
    if (i > 0) list += i + 1 == deltas.size() ? " und " : ", ";
    list += FormatNumber(deltas[i]);
  }
  return list;
}

}  // namespace

std::string MismatchText() {
  const std::vector<double> deltas = MismatchedDeltas(appState.chosenLevel, appState.currentDelta);
  if (deltas.empty()) return {};
  return "Koeffizienten mit Delta " + DeltaList(deltas) + " berechnet, Synthese mit Delta " +
         FormatNumber(appState.currentDelta);
}

std::string DeltaExplanation() {
  std::string mismatch = MismatchText();
  if (!mismatch.empty()) return mismatch;
  const std::optional<SynthesisMismatch> m = SynthesisMismatchShown();
  if (!m || m->pairs.empty()) return {};
  const std::string why = ", daher der gr\u00f6\u00dfere Fehler";
  if (m->pairs.size() == 1) {
    return "Mit Delta " + FormatNumber(m->pairs[0].first) + " analysierte Details wurden mit Delta " +
           FormatNumber(m->pairs[0].second) + " hinaufsynthetisiert" + why;
  }
  std::string pairs;
  for (const auto& [analysed, synthesised] : m->pairs) {
    pairs += (pairs.empty() ? "Delta " : ", Delta ") + FormatNumber(analysed) + " mit " + FormatNumber(synthesised);
  }
  return "Details wurden mit anderem Delta hinaufsynthetisiert als analysiert (" + pairs + ")" + why;
}

std::string ErrorText() {
  const AppState& s = appState;
  const analysis::ErrorMeasures e = analysis::MeasureError(
      s.originalSurface, s.dataMatrix, s.chosenLevel, s.synthesisP, s.synthesisQ);
  std::string psnr;
  if (e.constantOriginal) {
    psnr = "\u2014";
  } else if (e.exact) {
    psnr = "exakt";
  } else {
    psnr = FormatReadout(e.psnr) + " dB";
  }
  std::string text = "Fehler auf Level " + std::to_string(s.topLevel) + ": max |e| = " + FormatReadout(e.maxAbs) +
                     ", RMS = " + FormatReadout(e.rms) + ", PSNR = " + psnr;
  const std::string why = DeltaExplanation();
  if (!why.empty()) text += "\n" + why;
  return text;
}

std::vector<EnergyRow> EnergyRows() {
  const analysis::EnergyReport report = analysis::MeasureEnergies(appState.dataMatrix, appState.chosenLevel, appState.topLevel);
  std::vector<EnergyRow> rows;
  for (const analysis::BlockEnergy& b : report.blocks) {
    std::string name;
    const std::string level = "Level " + std::to_string(b.level);
    switch (b.kind) {
      case analysis::BlockKind::Approximation:
        name = "Approximation, " + level;
        break;
      case analysis::BlockKind::RowDetail:
        name = level + ", Details in y";
        break;
      case analysis::BlockKind::ColumnDetail:
        name = level + ", Details in x";
        break;
      case analysis::BlockKind::Diagonal:
        name = level + ", Details in x und y";
        break;
    }
    rows.push_back({report.sharesDefined ? FormatReadout(b.share) + " %" : "\u2014", name,
                    FormatReadout(b.sumOfSquares)});
  }
  return rows;
}

std::string EnergyExplanation() {
  return "Energie eines Blocks: die Summe der Quadrate seiner Koeffizienten. Anteil: sein Teil an "
         "der Summe \u00fcber alle Bl\u00f6cke. Die Basis ist nicht orthonormal, darum bleibt die "
         "Energie beim Wechsel des Levels nicht erhalten.";
}

std::string KeptReadoutText(double percent) {
  if (AtTopLevel())
    return "Auf Level " + std::to_string(appState.topLevel) + " gibt es nichts wegzulassen: erst hinabgehen.";
  return KeptText(CountKept(percent));
}

std::string NoCurveText() {
  return "Auf Level " + std::to_string(appState.topLevel) +
         " gibt es keine Detailkoeffizienten, also keine Kurve: erst mit dem Level-Regler hinabgehen.";
}

std::string SourceText() {
  switch (appState.sourceKind) {
    case SourceKind::Sample: return "In Kraft: die eingebaute Beispielfläche.";
    case SourceKind::Formula: return "In Kraft: f(x, y) = " + appState.sourceName;
    case SourceKind::File: return "In Kraft: die Datei \u201E" + appState.sourceName + "\u201C.";
  }
  return {};
}

bool AtTopLevel() { return appState.chosenLevel >= appState.topLevel; }

AnalyseReadouts ReadoutsNow(double percent) {
  return {AtTopLevel(), KeptReadoutText(percent), ShownStateText(), ErrorText(), DeltaExplanation(), SourceText(),
          NoCurveText(), EnergyRows(), EnergyExplanation()};
}
