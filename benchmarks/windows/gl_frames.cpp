// Frame times of the two views, drawn by the real OpenGL into the real windows
// (under Xvfb: Mesa llvmpipe). Every timed redraw ends with its buffer swap,
// then glFinish and a round trip to the X server, so the picture has really
// been rendered and handed to the display before the clock stops.
//
// Each case takes the argument step_div: the default step widths (stepNear
// 0.03, stepFar 0.1, stepData 0.02) divided by 1, 2 or 4, and arrays: 1 for
// the filled mesh cells sent in vertex arrays (one glDrawArrays per mesh, as
// the program does), 0 for each cell in its own glBegin/glEnd pair, the way
// they were sent before, for the ratio in the same run. Targets at step_div 4
// with arrays, on Mesa llvmpipe: the data view (approximation and the layout
// at level 2) and each half of the level jump within one frame, 16.7 ms.
// Counters: "cells" = mesh cells sent to GL, "examined" = cells whose
// corner heights were evaluated (the function surfaces skip cells with four
// zero corners), "Mpx" = device pixels drawn, in millions.
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>
#include <cstdio>
#include <string>
#include <vector>

#include "windows/Daten.h"
#include "windows/Grafik.h"
#include "windows/Kontrolle.h"
#include "windows/application.h"
#include "windows/program_windows.h"
#include "interaction/commands.h"
#include "interaction/selection.h"
#include "state/state.h"
#include "linalg/matrix.h"
#include "render/cell_batch.h"
#include "render/function_surfaces.h"
#include "render/scenes.h"

// From Xlib; its header's macros clash with Qt's, and Qt already names Display.
extern "C" int XSync(Display* display, int discard);

namespace {

constexpr double kDefaultNear = 0.03;
constexpr double kDefaultFar = 0.1;
constexpr double kDefaultData = 0.02;

Display* xDisplay = nullptr;

// A level change down and back up reproduces the data only approximately, and
// the deviation grows with every repetition (about 1.4-fold per round trip
// 6 -> 2 -> 6 at Delta 0.4: after twenty the heights exceed 10). The cases that
// change the level put the sample data back, so every iteration draws the same.
constexpr int kBlock = 65;
std::vector<double> sample;

void SaveSample() {
  sample.resize(kBlock * kBlock);
  for (int r = 1; r <= kBlock; ++r)
    for (int c = 1; c <= kBlock; ++c) sample[(r - 1) * kBlock + c - 1] = GetElement(appState.dataMatrix, r, c);
}

void RestoreSample() {
  for (int r = 1; r <= kBlock; ++r)
    for (int c = 1; c <= kBlock; ++c) SetElement(appState.dataMatrix, r, c, sample[(r - 1) * kBlock + c - 1]);
}

// The X server has taken every request sent so far, the swapped picture included.
void WaitForDisplay() {
  glFinish();
  if (xDisplay != nullptr) XSync(xDisplay, 0);
}

void SetSteps(const benchmark::State& state) {
  const double divisor = static_cast<double>(state.range(0));
  appState.stepNear = kDefaultNear / divisor;
  appState.stepFar = kDefaultFar / divisor;
  appState.stepData = kDefaultData / divisor;
}

// The start-up display switches and the overview of all four functions.
void DefaultView() {
  AppState& s = appState;
  s.onlyData = true;
  s.zoom = true;
  s.filledSurfaces = true;
  s.closeUp = false;
  s.selectedFunction = 4;
}

struct CellCount {
  double examined = 0;
  double drawn = 0;
  CellCount& operator+=(const CellCount& o) {
    examined += o.examined;
    drawn += o.drawn;
    return *this;
  }
};

// The function mesh's own loop, counting instead of drawing.
CellCount CountFunctionCells(double (*f)(double, double), double h) {
  CellCount c;
  const AppState& s = appState;
  for (double x = 0.0; x < s.SurfaceXMax; x = x + h) {
    for (double y = 0.0; y < s.SurfaceYMax; y = y + h) {
      ++c.examined;
      if (f(x, y) != 0.0 || f(x + h, y) != 0.0 || f(x, y + h) != 0.0 || f(x + h, y + h) != 0.0) ++c.drawn;
    }
  }
  return c;
}

// Cells of one function-view frame as DrawGrafikScene would draw it now.
CellCount FunctionFrameCells() {
  const AppState& s = appState;
  const double h = s.closeUp ? s.stepNear : s.stepFar;
  double (*const surfaces[4])(double, double) = {ViewPhiPhi, ViewPhiPsi, ViewPsiPsi, ViewPsiPhi};
  CellCount c;
  if (s.closeUp && s.selectedFunction >= 0 && s.selectedFunction <= 3) {
    c += CountFunctionCells(surfaces[s.selectedFunction], h);
  } else {
    for (auto* f : surfaces) c += CountFunctionCells(f, h);
  }
  return c;
}

double RegionCells(double x0, double x1, double y0, double y1, double h) {
  double nx = 0, ny = 0;
  for (double x = x0; x < x1; x = x + h) ++nx;
  for (double y = y0; y < y1; y = y + h) ++ny;
  return nx * ny;
}

// Cells of one data-view frame (every cell is drawn).
double DataFrameCells() {
  const AppState& s = appState;
  const double h = s.stepData;
  if (s.onlyData) return RegionCells(0, 1, 0, 1, h);
  const int levels = s.dataLevel - s.chosenLevel;
  const double corner = s.invPow2[levels];
  double cells = RegionCells(0, corner, 0, corner, h);
  for (int n = levels; n >= 1; --n) {
    const double b = s.invPow2[n];
    cells += RegionCells(b, 2 * b, 0, b, h) + RegionCells(b, 2 * b, b, 2 * b, h) +
             RegionCells(0, b, b, 2 * b, h);
  }
  return cells;
}

double MegaPixels(const GlView* v) { return double(v->PixelWidth()) * v->PixelHeight() / 1e6; }

void SetCounters(benchmark::State& state, const CellCount& c, double mpx) {
  state.counters["cells"] = c.drawn;
  state.counters["examined"] = c.examined;
  state.counters["Mpx"] = mpx;
}

// Times two actions per iteration, each until its picture is on the display,
// and reports their mean times as counters; `untimed` runs after both, outside
// the timed part.
template <typename First, typename Second>
void TimeTwoHalves(benchmark::State& state, const char* firstName, First first,
                   const char* secondName, Second second, void (*untimed)() = nullptr) {
  QElapsedTimer timer;
  double firstNs = 0, secondNs = 0;
  for (auto _ : state) {
    timer.start();
    first();
    WaitForDisplay();
    firstNs += timer.nsecsElapsed();
    timer.start();
    second();
    WaitForDisplay();
    secondNs += timer.nsecsElapsed();
    if (untimed) {
      state.PauseTiming();
      untimed();
      state.ResumeTiming();
    }
  }
  const double n = double(state.iterations());
  state.counters[firstName] = firstNs / n / 1e6;
  state.counters[secondName] = secondNs / n / 1e6;
}

void FunctionOverview(benchmark::State& state) {
  DefaultView();
  SetSteps(state);
  for (auto _ : state) {
    RedrawGrafik();
    WaitForDisplay();
  }
  SetCounters(state, FunctionFrameCells(), MegaPixels(frmGrafik));
}

// The scaling function alone, with the camera where the transition puts it.
void FunctionCloseUp(benchmark::State& state) {
  DefaultView();
  SetSteps(state);
  SelectFunction(1);
  for (auto _ : state) {
    RedrawGrafik();
    WaitForDisplay();
  }
  SetCounters(state, FunctionFrameCells(), MegaPixels(frmGrafik));
  SelectFunction(0);
}

void DataApproximation(benchmark::State& state) {
  DefaultView();
  SetSteps(state);
  for (auto _ : state) {
    RedrawDaten();
    WaitForDisplay();
  }
  const double cells = DataFrameCells();
  SetCounters(state, {cells, cells}, MegaPixels(frmDaten));
}

// The whole multiscale layout at level 2: green approximation and twelve detail blocks.
void DataLayoutLevel2(benchmark::State& state) {
  DefaultView();
  SetSteps(state);
  appState.onlyData = false;
  LevelChanged(2);
  for (auto _ : state) {
    RedrawDaten();
    WaitForDisplay();
  }
  const double cells = DataFrameCells();
  SetCounters(state, {cells, cells}, MegaPixels(frmDaten));
  LevelChanged(6);
  RestoreSample();
  appState.onlyData = true;
}

// "Skalierungsfunktion" and back to "Alle Funktionen": 2 x 10 intermediate
// frames and 2 final frames. The time of each half is reported as well.
void TransitionRoundTrip(benchmark::State& state) {
  DefaultView();
  SetSteps(state);
  TimeTwoHalves(state, "to_closeup_ms", [] { SelectFunction(1); }, "back_ms", [] { SelectFunction(0); });
  // Cells over all 22 frames: 20 overview frames and one of each final frame.
  CellCount cells;
  const CellCount overview = FunctionFrameCells();
  for (int i = 0; i < 2 * int(appState.transitionSteps) + 1; ++i) cells += overview;
  appState.closeUp = true;
  appState.selectedFunction = 0;
  cells += FunctionFrameCells();
  DefaultView();
  SetCounters(state, cells, MegaPixels(frmGrafik));
}

// Track bar 6 -> 2 -> 6: four analysis steps, four synthesis steps and both
// views redrawn after each jump (four redraws in all). The sample data are put
// back outside the timed part.
void LevelJump(benchmark::State& state) {
  DefaultView();
  SetSteps(state);
  TimeTwoHalves(state, "down_ms", [] { LevelChanged(2); }, "up_ms", [] { LevelChanged(6); },
                RestoreSample);
  CellCount cells = FunctionFrameCells();
  cells += FunctionFrameCells();
  const double data = 2 * DataFrameCells();
  cells += CellCount{data, data};
  SetCounters(state, cells, MegaPixels(frmGrafik) + MegaPixels(frmDaten));
}

// The second argument picks how the mesh cells are sent.
void WithSubmission(benchmark::State& state, void (*fn)(benchmark::State&)) {
  SetCellSubmission(state.range(1) != 0 ? CellSubmission::kArrays : CellSubmission::kImmediate);
  fn(state);
  SetCellSubmission(CellSubmission::kArrays);
}

void Register() {
  struct Case {
    const char* name;
    void (*fn)(benchmark::State&);
  };
  const Case cases[] = {
      {"Grafik/overview", FunctionOverview},   {"Grafik/closeup", FunctionCloseUp},
      {"Daten/approximation", DataApproximation}, {"Daten/layout_level2", DataLayoutLevel2},
      {"Transition/round_trip", TransitionRoundTrip}, {"LevelJump/6_2_6", LevelJump},
  };
  for (const Case& c : cases) {
    // Wall-clock time: llvmpipe rasterises on threads of its own.
    benchmark::RegisterBenchmark(c.name, WithSubmission, c.fn)
        ->ArgNames({"step_div", "arrays"})
        ->Args({1, 1})
        ->Args({2, 1})
        ->Args({4, 1})
        ->Args({4, 0})
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
  }
}

bool WaitForViews() {
  QElapsedTimer t;
  t.start();
  QTimer tick;  // wakes the wait below even when no event comes
  tick.start(50);
  while (!(frmGrafik && frmGrafik->isExposed() && frmDaten && frmDaten->isExposed())) {
    if (t.elapsed() > 20000) return false;
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  // Let the first paints and any late resizes go through.
  QEventLoop settle;
  QTimer::singleShot(500, &settle, &QEventLoop::quit);
  settle.exec();
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  VeltraApplication app(argc, argv);
  InitialiseToolkit(app);
  // No modal box may stop an unattended run.
  appState.showMessage = [](const std::string& text) { std::fprintf(stderr, "%s\n", text.c_str()); };
  CreateForms();
  if (!WaitForViews()) {
    std::fprintf(stderr, "the views were not shown\n");
    return 1;
  }
  if (appState.rcGrafik == nullptr || appState.rcDaten == nullptr) {
    std::fprintf(stderr, "no OpenGL context\n");
    return 1;
  }
  if (auto* x11 = app.nativeInterface<QNativeInterface::QX11Application>()) xDisplay = x11->display();

  AppState& s = appState;
  SaveSample();
  benchmark::AddCustomContext("gl_renderer", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
  benchmark::AddCustomContext("grafik_px", std::to_string(frmGrafik->PixelWidth()) + "x" +
                                               std::to_string(frmGrafik->PixelHeight()));
  benchmark::AddCustomContext("daten_px", std::to_string(frmDaten->PixelWidth()) + "x" +
                                              std::to_string(frmDaten->PixelHeight()));
  benchmark::AddCustomContext("transition_steps", std::to_string(int(s.transitionSteps)));
  benchmark::AddCustomContext("swap_interval", std::to_string(frmGrafik->format().swapInterval()));

  Register();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();

  EndProgram();
  DestroyForms();
  return 0;
}
