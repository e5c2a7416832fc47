#pragma once
// The one global state record through which every part of the program
// exchanges parameters, matrices, switches and view geometry.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "linalg/matrix.h"

class ViewSurface;          // window-system side of a 3D view (render/glwindow.h)
using GlContext = void*;    // opaque GL context handle; null when creation failed

struct Orientation {
  double alpha;  // about x, degrees
  double beta;   // about y
  double gamma;  // about z
};

enum class NavMode { Rotate, Translate };

// Where the analysed surface came from.
enum class SourceKind { Sample, Formula, File };

constexpr int kGridSize = 65;  // points per side of the level-6 block

// The finest level of the analysed surface can be raised from 6 (65 x 65
// points) to 9 (513 x 513, the whole of dataMatrix).
constexpr int kMinTopLevel = 6;
constexpr int kMaxTopLevel = 9;
// Points per side of a surface whose finest level is topLevel: 2^topLevel + 1.
constexpr int GridSide(int topLevel) { return (1 << topLevel) + 1; }

struct Position3 {
  double x, y, z;
};

// How the data view draws a height z: the approximation at (z - offset) *
// factor, the detail blocks (differences, so not shifted) at z * factor.
// Only the picture changes; every number the user reads stays in the data's units.
struct DisplayScale {
  double factor = 1.0;
  double offset = 0.0;
  bool IsIdentity() const { return factor == 1.0 && offset == 0.0; }
  friend bool operator==(const DisplayScale&, const DisplayScale&) = default;
};

// Entries 0..10 of the power tables: the wavelets of level 9 (513 points)
// are made of the scaling functions of level 10.
constexpr int kTableSize = 11;
constexpr int kDataMatrixSize = 513;

struct AppState {
  AppState();

  // Analysis parameters
  double delta = 0.4;
  double currentDelta = 0.4;
  int chosenLevel = 6;
  int dataLevel = 6;  // the finest level of the data; always equal to topLevel
  int topLevel = 6;   // 6..9, set through SetTopLevel
  std::array<double, 5> waveletCoeffs{};

  // Tables of powers of two (filled by FillPowerTables)
  std::array<double, kTableSize> pow2{};
  std::array<double, kTableSize> invPow2{};
  std::array<int, kTableSize> intPow2{};

  // Data and matrices
  Matrix dataMatrix;
  std::vector<double> rowBuffer;        // 1-based: entries 1..513 used, entry 0 unused
  std::vector<Matrix> synthesisP;       // index j; entries 2..topLevel hold the level-j matrix
  std::vector<Matrix> synthesisQ;

  // Display switches
  bool onlyData = true;
  bool zoom = true;
  bool filledSurfaces = true;
  bool doubleBuffer = true;
  NavMode navMode = NavMode::Rotate;
  std::int8_t selectedFunction = 4;
  bool closeUp = false;
  int detailScale = 1;

  // Step widths and counts (the settings)
  double stepNear = 0.03;
  double stepFar = 0.1;
  double stepFunctions = 0.05;
  double stepData = 0.02;
  double rotStep = 5;
  double transitionSteps = 10;

  // View geometry
  std::array<Orientation, 4> functionOrientation{};
  std::array<Orientation, 4> initialOrientation{};
  Orientation closeUpOrientation{-67, 4, -20};
  double GPosX = -0.1, GPosY = 0.2, GPosZ = -4.7;
  double DPosX = 0.0, DPosY = 0.2, DPosZ = -1.8;
  double Dalpha = -60, Dbeta = 8, Dgamma = -9;
  std::array<Position3, 5> viewTargets{};
  double placeOffset = 1.3;
  double axisLength = 1.6;
  double SurfaceXMax = 2.0;
  double SurfaceYMax = 2.0;

  // The surface being analysed as it was taken (GridSide(topLevel) points per side): the
  // original that the error readouts compare with, and its source.
  Matrix originalSurface;
  SourceKind sourceKind = SourceKind::Sample;
  std::string sourceName;  // the formula's text or the file's name

  // What the level history keeps (see interaction/level_history.h): for each
  // level, the block the last descent from it started from (empty: none), and
  // the block the last ascent produced, with its level and Delta.
  std::array<std::vector<double>, kMaxTopLevel + 1> keptBlocks{};
  std::vector<double> ascentBlock;
  int ascentLevel = 0;
  double ascentDelta = 0;
  // While a compression is shown: each level step not yet undone, with the
  // data before and after it, so that going back returns them exactly.
  struct LevelStep {
    int from = 0, to = 0;
    double delta = 0;
    Matrix before, after;
  };
  std::vector<LevelStep> levelSteps;

  // Window resources
  ViewSurface* dcGrafik = nullptr;
  ViewSurface* dcDaten = nullptr;
  GlContext rcGrafik = nullptr;
  GlContext rcDaten = nullptr;
  double viewAspect = 1.0;
  std::string levelLabel;  // the level label's text
  DisplayScale dataViewScale;  // the scale of the data view's last picture

  // Hooks into the window layer; empty until the windows exist.
  std::function<void(const std::string&)> setGrafikCaption;  // function view title
  std::function<void(const std::string&)> showMessage;       // message box with OK
  // Called when the data view's picture is drawn at another scale than the one before.
  std::function<void(const DisplayScale&)> dataViewScaleChanged;
};

// The single instance, with static lifetime.
extern AppState appState;

// Puts every field back to its load-time default (matrices zeroed, hooks and
// window resources kept). Used by tests to start from a fresh program state.
void ResetAppState();

// Start-up steps that need no window.
void FillPowerTables();
void GenerateSampleSurface(int level);
// The top-level block of dataMatrix becomes originalSurface.
void KeepDataAsOriginal();
// Makes `level` (kMinTopLevel..kMaxTopLevel, clamped) the finest level:
// topLevel, dataLevel and chosenLevel take it, originalSurface and the
// synthesis tables get its shapes (all zero), what the level history kept is
// dropped. dataMatrix is left as it is. Nothing happens if it is the level
// already in force.
void SetTopLevel(int level);
