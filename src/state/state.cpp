#include "state/state.h"

#include <algorithm>
#include <cmath>
#include <utility>

AppState appState;

namespace {

constexpr std::array<Orientation, 4> kStartOrientation{{
    {-60, 10, -6},    // scaling function
    {-56, -6, -34},   // wavelet 1
    {-84, 1, -20},    // wavelet 2
    {-84, -2, -32},   // wavelet 3
}};

// Entries 0..kMaxTopLevel; those above topLevel stay empty.
std::vector<Matrix> LevelTable(int topLevel, bool wavelets) {
  std::vector<Matrix> table;
  for (int j = 0; j <= kMaxTopLevel; ++j) {
    const int n = 1 << j;
    // Levels 0 and 1 are never used; keep them as empty placeholders.
    if (j < 2 || j > topLevel) {
      table.emplace_back(0, 0);
    } else {
      table.emplace_back(2 * n + 1, wavelets ? n : n + 1);
    }
  }
  return table;
}

// A matrix's assignment never reshapes; a new top level needs new shapes.
void Reshape(Matrix& m, int rows, int cols) {
  Matrix fresh(rows, cols);
  m.rows = fresh.rows;
  m.cols = fresh.cols;
  m.data = std::move(fresh.data);
}

}  // namespace

AppState::AppState()
    : dataMatrix(kDataMatrixSize, kDataMatrixSize),
      rowBuffer(kDataMatrixSize + 1, 0.0),
      synthesisP(LevelTable(kMinTopLevel, false)),
      synthesisQ(LevelTable(kMinTopLevel, true)),
      originalSurface(kGridSize, kGridSize) {
  functionOrientation = kStartOrientation;
  initialOrientation = functionOrientation;
  viewTargets = {{
      {0.0, 0.1, -4.7},     // all functions
      {1.4, -1.3, -2.2},    // scaling function
      {-1.2, -1.2, -2.2},   // wavelet 1
      {1.2, 1.5, -2.2},     // wavelet 2
      {-1.4, 1.5, -2.2},    // wavelet 3
  }};
}

void ResetAppState() {
  AppState fresh;
  AppState& s = appState;
  s.delta = fresh.delta;
  s.currentDelta = fresh.currentDelta;
  s.chosenLevel = fresh.chosenLevel;
  s.dataLevel = fresh.dataLevel;
  s.topLevel = fresh.topLevel;
  s.waveletCoeffs = fresh.waveletCoeffs;
  s.pow2 = fresh.pow2;
  s.invPow2 = fresh.invPow2;
  s.intPow2 = fresh.intPow2;
  s.dataMatrix = fresh.dataMatrix;
  s.rowBuffer = fresh.rowBuffer;
  // Moving the vectors takes over their storage, shapes included.
  s.synthesisP = std::move(fresh.synthesisP);
  s.synthesisQ = std::move(fresh.synthesisQ);
  s.onlyData = fresh.onlyData;
  s.zoom = fresh.zoom;
  s.filledSurfaces = fresh.filledSurfaces;
  s.doubleBuffer = fresh.doubleBuffer;
  s.navMode = fresh.navMode;
  s.selectedFunction = fresh.selectedFunction;
  s.closeUp = fresh.closeUp;
  s.detailScale = fresh.detailScale;
  s.stepNear = fresh.stepNear;
  s.stepFar = fresh.stepFar;
  s.stepFunctions = fresh.stepFunctions;
  s.stepData = fresh.stepData;
  s.rotStep = fresh.rotStep;
  s.transitionSteps = fresh.transitionSteps;
  s.functionOrientation = fresh.functionOrientation;
  s.initialOrientation = fresh.initialOrientation;
  s.closeUpOrientation = fresh.closeUpOrientation;
  s.GPosX = fresh.GPosX;
  s.GPosY = fresh.GPosY;
  s.GPosZ = fresh.GPosZ;
  s.DPosX = fresh.DPosX;
  s.DPosY = fresh.DPosY;
  s.DPosZ = fresh.DPosZ;
  s.Dalpha = fresh.Dalpha;
  s.Dbeta = fresh.Dbeta;
  s.Dgamma = fresh.Dgamma;
  s.viewTargets = fresh.viewTargets;
  s.placeOffset = fresh.placeOffset;
  s.axisLength = fresh.axisLength;
  s.SurfaceXMax = fresh.SurfaceXMax;
  s.SurfaceYMax = fresh.SurfaceYMax;
  Reshape(s.originalSurface, kGridSize, kGridSize);
  s.sourceKind = fresh.sourceKind;
  s.sourceName = fresh.sourceName;
  s.keptBlocks = fresh.keptBlocks;
  s.ascentBlock = fresh.ascentBlock;
  s.ascentLevel = fresh.ascentLevel;
  s.ascentDelta = fresh.ascentDelta;
  s.levelSteps.clear();
  s.viewAspect = fresh.viewAspect;
  s.levelLabel = fresh.levelLabel;
  s.dataViewScale = fresh.dataViewScale;
}

void FillPowerTables() {
  AppState& s = appState;
  for (int i = 0; i < kTableSize; ++i) {
    s.pow2[i] = std::pow(2.0, i);
    s.invPow2[i] = std::pow(2.0, -i);
  }
  s.intPow2[0] = 1;
  for (int i = 1; i < kTableSize; ++i) s.intPow2[i] = 2 * s.intPow2[i - 1];
}

void GenerateSampleSurface(int level) {
  AppState& s = appState;
  const double n = s.pow2[level];
  // The loop indices run from -1 while they are below N as doubles.
  for (int i = -1; static_cast<double>(i) < n; ++i) {
    for (int j = -1; static_cast<double>(j) < n; ++j) {
      const double value = 0.7 * std::sin(static_cast<double>(7 * i) / n) *
                           std::sin(static_cast<double>(3 * j) / n);
      SetElement(s.dataMatrix, i + 2, j + 2, value);
    }
  }
}

void KeepDataAsOriginal() {
  AppState& s = appState;
  const int side = GridSide(s.topLevel);
  for (int i = 1; i <= side; ++i) {
    for (int k = 1; k <= side; ++k) {
      SetElement(s.originalSurface, i, k, GetElement(s.dataMatrix, i, k));
    }
  }
}

void SetTopLevel(int level) {
  AppState& s = appState;
  level = std::clamp(level, kMinTopLevel, kMaxTopLevel);
  if (level == s.topLevel) return;
  s.topLevel = level;
  s.dataLevel = level;
  s.chosenLevel = level;
  const int side = GridSide(level);
  Reshape(s.originalSurface, side, side);
  s.synthesisP = LevelTable(level, false);
  s.synthesisQ = LevelTable(level, true);
  for (auto& block : s.keptBlocks) block.clear();
  s.ascentBlock.clear();
  s.ascentLevel = 0;
  s.levelSteps.clear();
}
