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
#include "text/language.h"

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
  return TrArgs("behalten: %1 von %2 Detailkoeffizienten", {std::to_string(count.kept), std::to_string(count.total)});
}

std::string ShownStateText() {
  const std::optional<CompressionRecord> c = Compression();
  if (!c && AnalysedAgainSinceCompression())
    return Tr("Gezeigt: neu analysiert, die Kompression gilt nicht mehr");
  if (!c) return Tr("Gezeigt: unkomprimiert");
  return TrArgs("Gezeigt: %1 % behalten (Level %2)", {FormatReadout(c->percent), std::to_string(c->level)});
}

namespace {

// "0.2", "0.4 und 0.2", "0.1, 0.4 und 0.2".
std::string DeltaList(const std::vector<double>& deltas) {
  std::string list;
  for (std::size_t i = 0; i < deltas.size(); ++i) {
    const std::string delta = FormatNumber(deltas[i]);
    if (i == 0) list = delta;
    else if (i + 1 == deltas.size()) list = TrArgs("%1 und %2", {list, delta});
    else list += ", " + delta;
  }
  return list;
}

}  // namespace

std::string MismatchText() {
  const std::vector<double> deltas = MismatchedDeltas(appState.chosenLevel, appState.currentDelta);
  if (deltas.empty()) return {};
  return TrArgs("Koeffizienten mit Delta %1 berechnet, Synthese mit Delta %2",
                {DeltaList(deltas), FormatNumber(appState.currentDelta)});
}

std::string DeltaExplanation() {
  std::string mismatch = MismatchText();
  if (!mismatch.empty()) return mismatch;
  const std::optional<SynthesisMismatch> m = SynthesisMismatchShown();
  if (!m || m->pairs.empty()) return {};
  if (m->pairs.size() == 1) {
    return TrArgs("Mit Delta %1 analysierte Details wurden mit Delta %2 hinaufsynthetisiert, daher der größere Fehler",
                  {FormatNumber(m->pairs[0].first), FormatNumber(m->pairs[0].second)});
  }
  std::string pairs;
  for (const auto& [analysed, synthesised] : m->pairs) {
    if (!pairs.empty()) pairs += ", ";
    pairs += TrArgs("Delta %1 mit %2", {FormatNumber(analysed), FormatNumber(synthesised)});
  }
  return TrArgs("Details wurden mit anderem Delta hinaufsynthetisiert als analysiert (%1), daher der größere Fehler",
                {pairs});
}

std::string ErrorText() {
  const AppState& s = appState;
  const analysis::ErrorMeasures e = analysis::MeasureError(
      s.originalSurface, s.dataMatrix, s.chosenLevel, s.synthesisP, s.synthesisQ);
  std::string psnr;
  if (e.constantOriginal) {
    psnr = "\u2014";
  } else if (e.exact) {
    psnr = Tr("exakt");
  } else {
    psnr = FormatReadout(e.psnr) + " dB";
  }
  std::string text = TrArgs("Fehler auf Level %1: max |e| = %2, RMS = %3, PSNR = %4",
                            {std::to_string(s.topLevel), FormatReadout(e.maxAbs), FormatReadout(e.rms), psnr});
  const std::string why = DeltaExplanation();
  if (!why.empty()) text += "\n" + why;
  return text;
}

std::vector<EnergyRow> EnergyRows() {
  const analysis::EnergyReport report = analysis::MeasureEnergies(appState.dataMatrix, appState.chosenLevel, appState.topLevel);
  std::vector<EnergyRow> rows;
  for (const analysis::BlockEnergy& b : report.blocks) {
    std::string name;
    const std::string level = std::to_string(b.level);
    switch (b.kind) {
      case analysis::BlockKind::Approximation:
        name = TrArgs("Approximation, Level %1", {level});
        break;
      case analysis::BlockKind::RowDetail:
        name = TrArgs("Level %1, Details in y", {level});
        break;
      case analysis::BlockKind::ColumnDetail:
        name = TrArgs("Level %1, Details in x", {level});
        break;
      case analysis::BlockKind::Diagonal:
        name = TrArgs("Level %1, Details in x und y", {level});
        break;
    }
    rows.push_back({report.sharesDefined ? FormatReadout(b.share) + " %" : "\u2014", name,
                    FormatReadout(b.sumOfSquares)});
  }
  return rows;
}

std::string EnergyExplanation() {
  return Tr("Energie eines Blocks: die Summe der Quadrate seiner Koeffizienten. Anteil: sein Teil an "
            "der Summe über alle Blöcke. Die Basis ist nicht orthonormal, darum bleibt die "
            "Energie beim Wechsel des Levels nicht erhalten.");
}

std::string KeptReadoutText(double percent) {
  if (AtTopLevel())
    return TrArgs("Auf Level %1 gibt es nichts wegzulassen: erst hinabgehen.", {std::to_string(appState.topLevel)});
  return KeptText(CountKept(percent));
}

std::string NoCurveText() {
  return TrArgs("Auf Level %1 gibt es keine Detailkoeffizienten, also keine Kurve: erst mit dem Level-Regler hinabgehen.",
                {std::to_string(appState.topLevel)});
}

std::string SourceText() {
  switch (appState.sourceKind) {
    case SourceKind::Sample: return Tr("In Kraft: die eingebaute Beispielfläche.");
    case SourceKind::Formula: return TrArgs("In Kraft: f(x, y) = %1", {appState.sourceName});
    case SourceKind::File: return TrArgs("In Kraft: die Datei „%1“.", {appState.sourceName});
  }
  return {};
}

bool AtTopLevel() { return appState.chosenLevel >= appState.topLevel; }

AnalyseReadouts ReadoutsNow(double percent) {
  return {AtTopLevel(), KeptReadoutText(percent), ShownStateText(), ErrorText(), DeltaExplanation(), SourceText(),
          NoCurveText(), EnergyRows(), EnergyExplanation()};
}
