// The compression lesson's work on the start-up sample (Delta 0.4, level 2).
#include <benchmark/benchmark.h>

#include <thread>

#include "analysis/blocks.h"
#include "analysis/curves.h"
#include "analysis/error.h"
#include "analysis/pictures.h"
#include "analysis/threshold.h"
#include "blac/level_steps.h"
#include "blac/startup.h"
#include "state/state.h"

namespace {

constexpr int kLevel = 2;

Matrix Sample() {
  ResetAppState();
  RunStartupNumerics();
  return analysis::CopyBlock(appState.dataMatrix);
}

// Keeping 10 % of the level-2 details; the analysed block is put back
// outside the timed region.
void BM_KeepLevel2(benchmark::State& state) {
  Matrix analysed = Sample();
  AnalyseDown(analysed, analysis::kTopLevel, kLevel, BuildSynthesisTables(0.4));
  Matrix work(analysed);
  for (auto _ : state) {
    state.PauseTiming();
    work = analysed;
    state.ResumeTiming();
    benchmark::DoNotOptimize(analysis::KeepLargestDetails(work, kLevel, 10.0));
  }
}
BENCHMARK(BM_KeepLevel2)->Unit(benchmark::kMicrosecond);

void BM_ErrorOverDelta(benchmark::State& state) {
  const Matrix original = Sample();
  for (auto _ : state) benchmark::DoNotOptimize(analysis::ErrorOverDelta(original, kLevel, 10.0));
}
BENCHMARK(BM_ErrorOverDelta)->Unit(benchmark::kMillisecond);

void BM_ErrorOverShare(benchmark::State& state) {
  const Matrix original = Sample();
  for (auto _ : state) benchmark::DoNotOptimize(analysis::ErrorOverShare(original, kLevel, 0.4));
}
BENCHMARK(BM_ErrorOverShare)->Unit(benchmark::kMillisecond);

}  // namespace

// The same at 513 x 513 (top level 9), the sample surface evaluated on that
// grid. Targets: keeping at level 2 <= 20 ms, both curves together <= 1.5 s.
namespace {

Matrix Sample513() {
  ResetAppState();
  FillPowerTables();
  GenerateSampleSurface(9);
  return analysis::CopyBlock(appState.dataMatrix, 9);
}

void BM_KeepLevel2At513(benchmark::State& state) {
  Matrix analysed = Sample513();
  AnalyseDown(analysed, 9, kLevel, BuildSynthesisTables(0.4, 8));
  Matrix work(analysed);
  for (auto _ : state) {
    state.PauseTiming();
    work = analysed;
    state.ResumeTiming();
    benchmark::DoNotOptimize(analysis::KeepLargestDetails(work, kLevel, 10.0, 9));
  }
}
BENCHMARK(BM_KeepLevel2At513)->Unit(benchmark::kMillisecond);

void BM_BothCurvesAt513(benchmark::State& state) {
  const Matrix original = Sample513();
  for (auto _ : state) {
    benchmark::DoNotOptimize(analysis::ErrorOverDelta(original, kLevel, 10.0));
    benchmark::DoNotOptimize(analysis::ErrorOverShare(original, kLevel, 0.4));
  }
}
BENCHMARK(BM_BothCurvesAt513)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

// The same as the desktop computes them on two threads: one the Delta
// curve's points 0..67, the other its points 68..100 and then the share
// curve. Wall clock; target 0.4 s on 2 cores, against the line above in the
// same run.
void BM_BothCurvesAt513SideBySide(benchmark::State& state) {
  const Matrix original = Sample513();
  for (auto _ : state) {
    std::thread other([&] {
      benchmark::DoNotOptimize(analysis::ErrorOverDeltaPart(original, kLevel, 10.0, 68, 100));
      benchmark::DoNotOptimize(analysis::ErrorOverShare(original, kLevel, 0.4));
    });
    benchmark::DoNotOptimize(analysis::ErrorOverDeltaPart(original, kLevel, 10.0, 0, 67));
    other.join();
  }
}
BENCHMARK(BM_BothCurvesAt513SideBySide)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

}  // namespace

// The four panels of "Bild" at 513, level 2 after keeping 5 %: the synthesis
// up to 513 and the four images. Target <= 10 ms.
namespace {

void BM_PicturesAt513(benchmark::State& state) {
  const Matrix original = Sample513();
  const SynthesisTables tables = BuildSynthesisTables(0.4, 8);
  Matrix coefficients(original);
  AnalyseDown(coefficients, 9, kLevel, tables);
  analysis::KeepLargestDetails(coefficients, kLevel, 5.0, 9);
  for (auto _ : state) {
    benchmark::DoNotOptimize(analysis::MakePictures(original, coefficients, kLevel, tables.p, tables.q));
  }
}
BENCHMARK(BM_PicturesAt513)->Unit(benchmark::kMillisecond);

// Only the synthesis the panels share with the error readout, for comparison.
void BM_ReconstructAt513(benchmark::State& state) {
  const Matrix original = Sample513();
  const SynthesisTables tables = BuildSynthesisTables(0.4, 8);
  Matrix coefficients(original);
  AnalyseDown(coefficients, 9, kLevel, tables);
  for (auto _ : state) {
    benchmark::DoNotOptimize(analysis::ReconstructSurface(coefficients, kLevel, 9, tables.p, tables.q));
  }
}
BENCHMARK(BM_ReconstructAt513)->Unit(benchmark::kMillisecond);

}  // namespace
