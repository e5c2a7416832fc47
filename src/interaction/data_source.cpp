#include "interaction/data_source.h"

#include "interaction/commands.h"
#include "interaction/level_history.h"
#include "render/scenes.h"

void TakeSurface(const Matrix& grid, SourceKind kind, const std::string& name) {
  AppState& s = appState;
  for (int i = 1; i <= kGridSize; ++i) {
    for (int k = 1; k <= kGridSize; ++k) SetElement(s.dataMatrix, i, k, GetElement(grid, i, k));
  }
  KeepDataAsOriginal();
  s.sourceKind = kind;
  s.sourceName = name;
  s.chosenLevel = 6;
  s.statusText = LevelLabelText(6);
  ForgetKeptLevels();
  RedrawGrafik();
  RedrawDaten();
}

void TakeSample() {
  AppState& s = appState;
  GenerateSampleSurface(s.dataLevel);
  Matrix grid(kGridSize, kGridSize);
  for (int i = 1; i <= kGridSize; ++i) {
    for (int k = 1; k <= kGridSize; ++k) SetElement(grid, i, k, GetElement(s.dataMatrix, i, k));
  }
  TakeSurface(grid, SourceKind::Sample, "");
}
