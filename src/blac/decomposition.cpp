#include "blac/decomposition.h"

#include <cstddef>

#include "blac/filters.h"
#include "blac/level_steps.h"
#include "blac/projections.h"
#include "state/state.h"

// The named level operations over appState; the work is done by the steps on
// explicit arguments in level_steps and projections.

namespace {

Templates ReadTemplates() { return TemplatesFrom(appState.synthesisQ[2]); }

}  // namespace

std::vector<double> CoarseProjection(double delta, int j) {
  std::vector<double> out(static_cast<std::size_t>((1 << j) + 1));
  CoarseProjectionInto(delta, j, appState.rowBuffer.data(), out.data(), 1);
  return out;
}

Matrix WaveletGram(double delta, int j) { return WaveletGramFrom(delta, j, ReadTemplates()); }

std::vector<double> WaveletProjection(double delta, int j) {
  std::vector<double> out(static_cast<std::size_t>(1 << j));
  WaveletProjectionInto(delta, j, ReadTemplates(), appState.rowBuffer.data(), out.data(), 1);
  return out;
}

void DecomposeLevel(int j) {
  AppState& s = appState;
  s.synthesisQ[2] = BuildSynthesisQ(s.currentDelta, 2);
  AnalyseLevel(s.dataMatrix, j, s.currentDelta, s.synthesisQ[2], s.rowBuffer);
}

void ReconstructLevel(int j) {
  AppState& s = appState;
  const auto level = static_cast<std::size_t>(j);
  SynthesiseLevel(s.dataMatrix, j, s.synthesisP[level], s.synthesisQ[level]);
}
