#include "interaction/analysis_panel.h"

#include <cmath>

#include "analysis/blocks.h"
#include "analysis/curves.h"
#include "analysis/energy.h"
#include "analysis/error.h"
#include "analysis/threshold.h"
#include "blac/level_steps.h"
#include "interaction/data_source.h"
#include "interaction/level_history.h"
#include "interaction/settings.h"
#include "render/scenes.h"
#include "sources/bounded_file.h"
#include "sources/file_source.h"
#include "sources/formula.h"
#include "state/state.h"

namespace {

std::string Taken(const SurfaceResult& result, SourceKind kind, const std::string& name) {
  if (!result.grid) return result.error;
  TakeSurface(*result.grid, kind, name);
  return {};
}

}  // namespace

std::string TakeFormula(const std::string& text) {
  return Taken(SurfaceFromFormula(text), SourceKind::Formula, text);
}

std::string TakeFile(const std::string& path) {
  return Taken(SurfaceFromFile(path), SourceKind::File, ShownFileName(path));
}

KeptCount CountKept(double percent) {
  const int total = analysis::DetailCount(appState.chosenLevel);
  return {analysis::KeptDetailCount(total, percent), total};
}

KeptCount ApplyCompression(double percent) {
  AppState& s = appState;
  const analysis::KeepCount n = analysis::KeepLargestDetails(s.dataMatrix, s.chosenLevel, percent);
  // New coefficients: a later descent must not bring back the old ones.
  ForgetKeptLevels();
  RedrawDaten();
  return {n.kept, n.details};
}

std::string KeptText(const KeptCount& count) {
  return "behalten: " + std::to_string(count.kept) + " von " + std::to_string(count.total) +
         " Detailkoeffizienten";
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
    psnr = FormatNumber(e.psnr) + " dB";
  }
  return "Fehler auf Level 6: max |e| = " + FormatNumber(e.maxAbs) + ", RMS = " + FormatNumber(e.rms) +
         ", PSNR = " + psnr;
}

std::vector<EnergyRow> EnergyRows() {
  const analysis::EnergyReport report = analysis::MeasureEnergies(appState.dataMatrix, appState.chosenLevel);
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
    rows.push_back({name, FormatNumber(b.sumOfSquares),
                    report.sharesDefined ? FormatNumber(b.share) + " %" : "\u2014"});
  }
  return rows;
}

Curve ErrorOverDelta(double percent) {
  const AppState& s = appState;
  Curve curve;
  for (const analysis::CurvePoint& p : analysis::ErrorOverDelta(s.originalSurface, s.chosenLevel, percent)) {
    curve.points.emplace_back(p.x, p.rms);
    // The points are at the scroll bar's positions, so currentDelta is one of them.
    if (std::abs(p.x - s.currentDelta) < 0.005) {
      curve.markerX = p.x;
      curve.markerY = p.rms;
      curve.marked = true;
    }
  }
  return curve;
}

Curve ErrorOverShare(double percent) {
  const AppState& s = appState;
  Curve curve;
  for (const analysis::CurvePoint& p : analysis::ErrorOverShare(s.originalSurface, s.chosenLevel, s.currentDelta)) {
    curve.points.emplace_back(p.x, p.rms);
  }
  if (curve.points.empty()) return curve;
  curve.markerX = percent;
  curve.marked = true;
  if (percent >= 0 && percent <= 100 && percent == std::floor(percent)) {
    curve.markerY = curve.points[static_cast<std::size_t>(percent)].second;
    return curve;
  }
  // A share between the whole percents of the curve gets its own point.
  Matrix copy = analysis::CopyBlock(s.originalSurface);
  const SynthesisTables tables = BuildSynthesisTables(s.currentDelta);
  AnalyseDown(copy, 6, s.chosenLevel, tables);
  analysis::KeepLargestDetails(copy, s.chosenLevel, percent);
  SynthesiseUp(copy, s.chosenLevel, 6, tables);
  curve.markerY = analysis::RmsError(s.originalSurface, copy);
  return curve;
}
