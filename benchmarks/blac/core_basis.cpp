// The four expansions over the data view's default grid: step 0.02 over
// [0, 1)^2, four corner evaluations per cell, as one redraw asks for them;
// and the display scale's look at the same picture (each corner once, plus
// the coarse coefficients), to be read against EvalPhiPhi/grid: a redraw
// pays both. Target: the scale costs at most half the grid's evaluations.
#include <benchmark/benchmark.h>

#include "blac/startup.h"
#include "state/state.h"
#include "blac/basis.h"
#include "blac/decomposition.h"
#include "blac/display_scale.h"

namespace {

template <double (*Eval)(double, double, int)>
void GridOfCorners(benchmark::State& state) {
  ResetAppState();
  RunStartupNumerics();
  const int level = static_cast<int>(state.range(0));
  const double h = 0.02;
  for (auto _ : state) {
    double sum = 0.0;
    for (double x = 0.0; x < 1.0; x = x + h) {
      for (double y = 0.0; y < 1.0; y = y + h) {
        sum += Eval(x, y, level);
        sum += Eval(x + h, y, level);
        sum += Eval(x, y + h, level);
        sum += Eval(x + h, y + h, level);
      }
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * 10000);
}

BENCHMARK(GridOfCorners<EvalPhiPhi>)->Name("EvalPhiPhi/grid")->Arg(6)->Arg(2);
BENCHMARK(GridOfCorners<EvalPhiPsi>)->Name("EvalPhiPsi/grid")->Arg(6)->Arg(2);
BENCHMARK(GridOfCorners<EvalPsiPsi>)->Name("EvalPsiPsi/grid")->Arg(6)->Arg(2);
BENCHMARK(GridOfCorners<EvalPsiPhi>)->Name("EvalPsiPhi/grid")->Arg(6)->Arg(2);

// The scale of the approximation alone at level 6, or of the level-2 layout.
void ScaleOfPicture(benchmark::State& state) {
  ResetAppState();
  RunStartupNumerics();
  AppState& s = appState;
  const int level = static_cast<int>(state.range(0));
  while (s.chosenLevel > level) DecomposeLevel(--s.chosenLevel);
  s.onlyData = level == s.dataLevel;
  for (auto _ : state) benchmark::DoNotOptimize(DataViewScale(s));
}
BENCHMARK(ScaleOfPicture)->Name("DataViewScale/picture")->Arg(6)->Arg(2);

}  // namespace
