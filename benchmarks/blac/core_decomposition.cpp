// Level steps on the start-up sample surface (Delta 0.4).
#include <benchmark/benchmark.h>

#include "blac/startup.h"
#include "state/state.h"
#include "blac/decomposition.h"
#include "blac/level_steps.h"

namespace {

constexpr int kBlock = 65;  // the sample's block; the steps touch nothing else

struct Block {
  double v[kBlock][kBlock];
};

Block Save() {
  Block b{};
  for (int r = 1; r <= kBlock; ++r)
    for (int c = 1; c <= kBlock; ++c) b.v[r - 1][c - 1] = GetElement(appState.dataMatrix, r, c);
  return b;
}

void Restore(const Block& b) {
  for (int r = 1; r <= kBlock; ++r)
    for (int c = 1; c <= kBlock; ++c) SetElement(appState.dataMatrix, r, c, b.v[r - 1][c - 1]);
}

// The start-up state, then analysed down to level `down` (6 = untouched).
Block Prepare(int down) {
  ResetAppState();
  RunStartupNumerics();
  for (int j = 5; j >= down; --j) DecomposeLevel(j);
  return Save();
}

void RoundTrip() {
  for (int j = 5; j >= 2; --j) DecomposeLevel(j);
  for (int j = 2; j <= 5; ++j) ReconstructLevel(j);
}

// Level 6 -> 2 -> 6; the sample is put back outside the timed region.
void BM_RoundTrip(benchmark::State& state) {
  const auto sample = std::make_unique<Block>(Prepare(6));
  for (auto _ : state) {
    state.PauseTiming();
    Restore(*sample);
    state.ResumeTiming();
    RoundTrip();
    benchmark::DoNotOptimize(appState.dataMatrix.data.get());
  }
}
BENCHMARK(BM_RoundTrip)->Unit(benchmark::kMicrosecond);

// The same, timing the copy of the 65 x 65 block back in as well.
void BM_RoundTripWithRestore(benchmark::State& state) {
  const auto sample = std::make_unique<Block>(Prepare(6));
  for (auto _ : state) {
    Restore(*sample);
    RoundTrip();
    benchmark::DoNotOptimize(appState.dataMatrix.data.get());
  }
}
BENCHMARK(BM_RoundTripWithRestore)->Unit(benchmark::kMicrosecond);

// DecomposeLevel(j) on the data as they stand at level j + 1.
void BM_DecomposeLevel(benchmark::State& state) {
  const int j = static_cast<int>(state.range(0));
  const auto before = std::make_unique<Block>(Prepare(j + 1));
  for (auto _ : state) {
    state.PauseTiming();
    Restore(*before);
    state.ResumeTiming();
    DecomposeLevel(j);
    benchmark::DoNotOptimize(appState.dataMatrix.data.get());
  }
}
BENCHMARK(BM_DecomposeLevel)->DenseRange(2, 5)->Unit(benchmark::kMicrosecond);

// ReconstructLevel(j) on the data as they stand at level j.
void BM_ReconstructLevel(benchmark::State& state) {
  const int j = static_cast<int>(state.range(0));
  const auto before = std::make_unique<Block>(Prepare(j));
  for (auto _ : state) {
    state.PauseTiming();
    Restore(*before);
    state.ResumeTiming();
    ReconstructLevel(j);
    benchmark::DoNotOptimize(appState.dataMatrix.data.get());
  }
}
BENCHMARK(BM_ReconstructLevel)->DenseRange(2, 5)->Unit(benchmark::kMicrosecond);

}  // namespace

// The same round trip on a 65 x 65 copy with tables built beforehand, as the
// readouts and curves run it; appState is not touched.
void BM_RoundTripOnCopy(benchmark::State& state) {
  Prepare(6);
  Matrix sample(kBlock, kBlock);
  for (int r = 1; r <= kBlock; ++r)
    for (int c = 1; c <= kBlock; ++c) SetElement(sample, r, c, GetElement(appState.dataMatrix, r, c));
  const SynthesisTables tables = BuildSynthesisTables(appState.currentDelta);
  Matrix copy(kBlock, kBlock);
  for (auto _ : state) {
    state.PauseTiming();
    copy = sample;
    state.ResumeTiming();
    AnalyseDown(copy, 6, 2, tables);
    SynthesiseUp(copy, 2, 6, tables);
    benchmark::DoNotOptimize(copy.data.get());
  }
}
BENCHMARK(BM_RoundTripOnCopy)->Unit(benchmark::kMicrosecond);
