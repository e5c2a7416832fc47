#include "interaction/commands.h"

#include <cstdio>

#include "interaction/coefficient_record.h"
#include "interaction/level_history.h"
#include "interaction/settings.h"
#include "state/state.h"
#include "blac/decomposition.h"
#include "blac/filters.h"
#include "render/scenes.h"
#include "text/language.h"

std::string DeltaLabelText(double delta) { return "Delta: " + FormatNumber(delta); }

std::string LevelLabelText(int level) { return "Level: " + std::to_string(level); }

std::string CurrentDeltaLabelText(double delta) {
  return TrArgs("aktuelles Delta: %1", {FormatNumber(delta)});
}

void DeltaChanged(int position) {
  appState.delta = position * 0.01;
  FitWavelet();
  RedrawGrafik();
}

namespace {

void Descend() {
  AppState& s = appState;
  BeforeDescent(s.dataMatrix, s.chosenLevel, s.currentDelta);
  --s.chosenLevel;
  DecomposeLevel(s.chosenLevel);
  RecordDescent(s.chosenLevel, s.currentDelta);
}

void Ascend() {
  AppState& s = appState;
  RecordAscent(s.chosenLevel, s.currentDelta);
  ReconstructLevel(s.chosenLevel);
  ++s.chosenLevel;
  AfterAscent(s.dataMatrix, s.chosenLevel, s.currentDelta);
}

// One level step; while a compression is shown, a step back the way the data
// came returns its coefficients exactly.
void StepTo(int to, void (*step)()) {
  AppState& s = appState;
  const int from = s.chosenLevel;
  if (!Compression()) {
    ForgetLevelSteps();
    step();
    return;
  }
  if (RetraceLevelStep(s.dataMatrix, from, to, s.currentDelta)) {
    s.chosenLevel = to;
    return;
  }
  Matrix before(s.dataMatrix);
  step();
  // A descent that analysed the compressed details afresh ended the compression.
  if (Compression()) KeepLevelStep(std::move(before), s.dataMatrix, from, to, s.currentDelta);
  else ForgetLevelSteps();
}

}  // namespace

void LevelChanged(int position) {
  AppState& s = appState;
  // One step per level in between, so a jump runs every intermediate level in order.
  while (position < s.chosenLevel) StepTo(s.chosenLevel - 1, Descend);
  while (s.chosenLevel < position) StepTo(s.chosenLevel + 1, Ascend);
  s.chosenLevel = position;
  s.levelLabel = LevelLabelText(s.chosenLevel);
  RedrawGrafik();
  RedrawDaten();
}

void Compute() {
  appState.currentDelta = appState.delta;
  ForgetKeptLevels();
  RecomputeSynthesisMatrices();
  RedrawDaten();
}

void ZoomChanged(bool checked) {
  appState.zoom = checked;
  RedrawGrafik();
}

void OnlyDataChanged(bool checked) {
  appState.onlyData = checked;
  RedrawDaten();
}

void WireframeChanged(bool checked) {
  appState.filledSurfaces = !checked;
  RedrawDaten();
  RedrawGrafik();
}
