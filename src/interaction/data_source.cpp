#include "interaction/data_source.h"

#include "interaction/coefficient_record.h"
#include "interaction/commands.h"
#include "interaction/level_history.h"
#include "render/scenes.h"

namespace {

// The level-6 block of dataMatrix holds the new surface: it becomes the
// original, and the level and the views follow.
void SurfaceInPlace(SourceKind kind, const std::string& name) {
  AppState& s = appState;
  KeepDataAsOriginal();
  s.sourceKind = kind;
  s.sourceName = name;
  s.chosenLevel = 6;
  s.statusText = LevelLabelText(6);
  ForgetKeptLevels();
  ForgetCoefficientRecord();
  RedrawGrafik();
  RedrawDaten();
}

}  // namespace

void TakeSurface(const Matrix& grid, SourceKind kind, const std::string& name) {
  for (int i = 1; i <= kGridSize; ++i) {
    for (int k = 1; k <= kGridSize; ++k) SetElement(appState.dataMatrix, i, k, GetElement(grid, i, k));
  }
  SurfaceInPlace(kind, name);
}

void TakeSample() {
  GenerateSampleSurface(appState.dataLevel);
  SurfaceInPlace(SourceKind::Sample, "");
}
