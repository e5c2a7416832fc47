#include "state/state.h"

#include <cmath>

AppState appState;

namespace {

constexpr std::array<Orientation, 4> kStartOrientation{{
    {-60, 10, -6},    // scaling function
    {-56, -6, -34},   // wavelet 1
    {-84, 1, -20},    // wavelet 2
    {-84, -2, -32},   // wavelet 3
}};

std::vector<Matrix> LevelTable(int dataLevel, bool wavelets) {
  std::vector<Matrix> table;
  for (int j = 0; j <= dataLevel; ++j) {
    const int n = 1 << j;
    // Levels 0 and 1 are never used; keep them as empty placeholders.
    if (j < 2) {
      table.emplace_back(0, 0);
    } else {
      table.emplace_back(2 * n + 1, wavelets ? n : n + 1);
    }
  }
  return table;
}

}  // namespace

AppState::AppState()
    : dataMatrix(kDataMatrixSize, kDataMatrixSize),
      rowBuffer(kDataMatrixSize + 1, 0.0),
      synthesisP(LevelTable(6, false)),
      synthesisQ(LevelTable(6, true)),
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
  s.waveletCoeffs = fresh.waveletCoeffs;
  s.pow2 = fresh.pow2;
  s.invPow2 = fresh.invPow2;
  s.intPow2 = fresh.intPow2;
  s.dataMatrix = fresh.dataMatrix;
  s.rowBuffer = fresh.rowBuffer;
  for (std::size_t j = 0; j < s.synthesisP.size(); ++j) {
    s.synthesisP[j] = fresh.synthesisP[j];
    s.synthesisQ[j] = fresh.synthesisQ[j];
  }
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
  s.originalSurface = fresh.originalSurface;
  s.sourceKind = fresh.sourceKind;
  s.sourceName = fresh.sourceName;
  s.keptBlocks = fresh.keptBlocks;
  s.ascentBlock = fresh.ascentBlock;
  s.ascentLevel = fresh.ascentLevel;
  s.ascentDelta = fresh.ascentDelta;
  s.viewAspect = fresh.viewAspect;
  s.statusText = fresh.statusText;
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
  for (int i = 1; i <= kGridSize; ++i) {
    for (int k = 1; k <= kGridSize; ++k) {
      SetElement(s.originalSurface, i, k, GetElement(s.dataMatrix, i, k));
    }
  }
}
