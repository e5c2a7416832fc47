// The level round trip timed with a plain clock, so that the same source
// runs natively and in WebAssembly (no Google Benchmark there);
// scripts/bench-web.sh runs both and prints the ratio.
//
//   veltra_round_trip_timing [batches]
//
// Cases: 6 -> 2 -> 6 on the start-up sample with DecomposeLevel and
// ReconstructLevel (as the level track bar runs them), and 9 -> 2 -> 9 on the
// sample at 513 x 513 on a copy with tables built beforehand; Delta 0.4. The
// surface is put back before every round trip, outside the timed part. Each
// batch gives the mean time of one round trip; the median and the lowest
// batch are printed.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "blac/decomposition.h"
#include "blac/level_steps.h"
#include "blac/startup.h"
#include "state/state.h"

namespace {

using Clock = std::chrono::steady_clock;

// Keeps the results alive, so no round trip can be left out.
double sink = 0;

template <class Restore, class Trip>
void Time(const char* name, int batches, int perBatch, Restore restore, Trip trip) {
  for (int n = 0; n < perBatch; ++n) {  // warm-up
    restore();
    trip();
  }
  std::vector<double> means;
  for (int b = 0; b < batches; ++b) {
    Clock::duration total{};
    for (int n = 0; n < perBatch; ++n) {
      restore();
      const auto start = Clock::now();
      trip();
      total += Clock::now() - start;
    }
    means.push_back(std::chrono::duration<double, std::micro>(total).count() / perBatch);
  }
  std::sort(means.begin(), means.end());
  std::printf("%-28s median %10.1f us   lowest %10.1f us   (%d batches of %d)\n", name,
              means[means.size() / 2], means.front(), batches, perBatch);
}

}  // namespace

int main(int argc, char** argv) {
  const int batches = argc > 1 ? std::max(1, std::atoi(argv[1])) : 11;

  ResetAppState();
  RunStartupNumerics();
  constexpr int kSide = 65;
  Matrix& data = appState.dataMatrix;
  Matrix sample(kSide, kSide);
  for (int r = 1; r <= kSide; ++r)
    for (int c = 1; c <= kSide; ++c) SetElement(sample, r, c, GetElement(data, r, c));
  Time("round trip 6 -> 2 -> 6", batches, 400,
       [&] {
         for (int r = 1; r <= kSide; ++r)
           for (int c = 1; c <= kSide; ++c) SetElement(data, r, c, GetElement(sample, r, c));
       },
       [&] {
         for (int j = 5; j >= 2; --j) DecomposeLevel(j);
         for (int j = 2; j <= 5; ++j) ReconstructLevel(j);
         sink += GetElement(data, 1, 1);
       });

  // The sample at 513 x 513, as the finest resolution evaluates it.
  ResetAppState();
  FillPowerTables();
  GenerateSampleSurface(9);
  const int side = GridSide(9);
  Matrix fine(side, side);
  for (int r = 1; r <= side; ++r)
    for (int c = 1; c <= side; ++c) SetElement(fine, r, c, GetElement(appState.dataMatrix, r, c));
  const SynthesisTables tables = BuildSynthesisTables(0.4, 8);
  Matrix work(fine);
  Time("round trip 9 -> 2 -> 9 (513)", batches, 10, [&] { work = fine; },
       [&] {
         AnalyseDown(work, 9, 2, tables);
         SynthesiseUp(work, 2, 9, tables);
         sink += GetElement(work, 1, 1);
       });
  return sink == 12345.678 ? 1 : 0;  // never: only keeps sink used
}
