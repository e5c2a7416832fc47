#include "interaction/data_source.h"

#include <algorithm>
#include <cstddef>
#include <optional>
#include <utility>

#include "blac/filters.h"
#include "interaction/coefficient_record.h"
#include "interaction/commands.h"
#include "interaction/level_history.h"
#include "render/scenes.h"
#include "sources/formula.h"
#include "text/language.h"

namespace {

// The current source's samples, for a change of resolution: what a file or a
// taken grid gave (at most 1026 x 1026 values). Empty for the sample and for
// formulas, which are evaluated again.
std::optional<SourceSamples> keptSamples;

// The grid of side `points` as the new surface: the top-level block of
// dataMatrix, the original, the level and the views follow.
void SurfaceInPlace(const Matrix& grid, SourceKind kind, const std::string& name) {
  AppState& s = appState;
  std::fill_n(s.dataMatrix.data.get(),
              static_cast<std::size_t>(s.dataMatrix.rows) * static_cast<std::size_t>(s.dataMatrix.cols), 0.0);
  const int side = GridSide(s.topLevel);
  for (int i = 1; i <= side; ++i) {
    for (int k = 1; k <= side; ++k) SetElement(s.dataMatrix, i, k, GetElement(grid, i, k));
  }
  KeepDataAsOriginal();
  s.sourceKind = kind;
  s.sourceName = name;
  s.chosenLevel = s.topLevel;
  s.levelLabel = LevelLabelText(s.topLevel);
  ForgetKeptLevels();
  ForgetCoefficientRecord();
  RedrawGrafik();
  RedrawDaten();
}

SourceSamples SamplesOf(const Matrix& grid) {
  return KeepSamples(grid.rows, grid.cols, [&](int r, int c) { return GetElement(grid, r + 1, c + 1); });
}

// The current source on a points x points grid, or the reason it cannot be.
struct Regridded {
  std::optional<Matrix> grid;
  std::string error;
};

Regridded SourceAt(int points) {
  const AppState& s = appState;
  switch (s.sourceKind) {
    case SourceKind::Sample:
      return {};  // generated in place
    case SourceKind::Formula: {
      SurfaceResult r = SurfaceFromFormula(s.sourceName, points);
      if (r.grid) return {std::move(r.grid), {}};
      return {std::nullopt, std::move(r.error)};
    }
    case SourceKind::File:
      break;
  }
  if (!keptSamples) return {std::nullopt, Tr("Die Datei müsste neu geladen werden.")};
  return {ResampleKept(*keptSamples, points), {}};
}

int LevelOfPoints(int points) {
  for (int level = kMinTopLevel; level <= kMaxTopLevel; ++level)
    if (GridSide(level) == points) return level;
  return 0;
}

}  // namespace

void TakeSurface(const Matrix& grid, SourceKind kind, const std::string& name) {
  const int side = GridSide(appState.topLevel);
  if (grid.rows == side && grid.cols == side) {
    keptSamples = SamplesOf(grid);
    SurfaceInPlace(grid, kind, name);
    return;
  }
  if (kind == SourceKind::Formula) {
    if (SurfaceResult r = SurfaceFromFormula(name, side); r.grid) {
      keptSamples.reset();
      SurfaceInPlace(*r.grid, kind, name);
      return;
    }
  }
  TakeSamples(SamplesOf(grid), kind, name);
}

void TakeSamples(SourceSamples samples, SourceKind kind, const std::string& name) {
  const Matrix grid = ResampleKept(samples, GridSide(appState.topLevel));
  keptSamples = std::move(samples);
  SurfaceInPlace(grid, kind, name);
}

void TakeSample() {
  keptSamples.reset();
  std::fill_n(appState.dataMatrix.data.get(),
              static_cast<std::size_t>(appState.dataMatrix.rows) * static_cast<std::size_t>(appState.dataMatrix.cols),
              0.0);
  GenerateSampleSurface(appState.topLevel);
  const int side = GridSide(appState.topLevel);
  Matrix grid(side, side);
  for (int i = 1; i <= side; ++i)
    for (int k = 1; k <= side; ++k) SetElement(grid, i, k, GetElement(appState.dataMatrix, i, k));
  SurfaceInPlace(grid, SourceKind::Sample, "");
}

std::vector<int> ResolutionChoices() {
  std::vector<int> choices;
  for (int level = kMinTopLevel; level <= kMaxTopLevel; ++level) choices.push_back(GridSide(level));
  return choices;
}

int Resolution() { return GridSide(appState.topLevel); }

std::string ResolutionText(int points) {
  return std::to_string(points) + " \u00D7 " + std::to_string(points);
}

std::string SetResolution(int points) {
  const int level = LevelOfPoints(points);
  if (level == 0) return TrArgs("Die Auflösung %1 gibt es nicht.", {ResolutionText(points)});
  if (level == appState.topLevel) return {};
  Regridded source = SourceAt(points);
  if (!source.grid && !source.error.empty()) return source.error;
  SetTopLevel(level);
  RecomputeSynthesisMatrices();
  if (appState.sourceKind == SourceKind::Sample) {
    TakeSample();
  } else {
    const std::string name = appState.sourceName;
    SurfaceInPlace(*source.grid, appState.sourceKind, name);
  }
  return {};
}

double SourceAspectRatio() {
  if (!keptSamples || keptSamples->rows < 2 || keptSamples->cols < 2) return 1.0;
  return static_cast<double>(keptSamples->rows - 1) / (keptSamples->cols - 1);
}

LevelRange LevelTrackRange() { return LevelRangeAt(Resolution()); }

LevelRange LevelRangeAt(int points) { return {2, LevelOfPoints(points)}; }
