#include "interaction/level_history.h"

#include <cstddef>
#include <cstring>
#include <vector>

#include "analysis/blocks.h"
#include "state/state.h"

namespace {

std::vector<double> CopyBlock(const Matrix& data, int level) {
  const int n = analysis::BlockSide(level);
  std::vector<double> block;
  block.reserve(static_cast<std::size_t>(n * n));
  for (int r = 1; r <= n; ++r) {
    for (int c = 1; c <= n; ++c) block.push_back(GetElement(data, r, c));
  }
  return block;
}

void PutBlock(Matrix& data, int level, const std::vector<double>& block) {
  const int n = analysis::BlockSide(level);
  std::size_t e = 0;
  for (int r = 1; r <= n; ++r) {
    for (int c = 1; c <= n; ++c) SetElement(data, r, c, block[e++]);
  }
}

// Compares bit patterns, so a -0 or NaN written by something else counts as a change.
bool SameBlock(const std::vector<double>& a, const std::vector<double>& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

}  // namespace

void BeforeDescent(Matrix& data, int level, double delta) {
  AppState& s = appState;
  auto& kept = s.keptBlocks[static_cast<std::size_t>(level)];
  const std::vector<double> shown = CopyBlock(data, level);
  // The shown block must still be exactly what the last ascent produced.
  const bool fromAscent = s.ascentLevel == level && s.ascentDelta == delta &&
                          SameBlock(shown, s.ascentBlock);
  if (fromAscent && !kept.empty()) {
    PutBlock(data, level, kept);
  } else {
    kept = shown;
  }
  s.ascentBlock.clear();
  s.ascentLevel = 0;
}

void AfterAscent(const Matrix& data, int level, double delta) {
  AppState& s = appState;
  s.ascentBlock = CopyBlock(data, level);
  s.ascentLevel = level;
  s.ascentDelta = delta;
}

void ForgetKeptLevels() {
  AppState& s = appState;
  s.levelSteps.clear();
  for (auto& block : s.keptBlocks) block.clear();
  s.ascentBlock.clear();
  s.ascentLevel = 0;
}

void KeepBlockForDescent(const Matrix& data, int level) {
  appState.keptBlocks[static_cast<std::size_t>(level)] = CopyBlock(data, level);
}

bool RetraceLevelStep(Matrix& data, int from, int to, double delta) {
  auto& steps = appState.levelSteps;
  // Going on the same way: nothing to undo, the steps so far stay.
  if (steps.empty() || steps.back().from != to || steps.back().to != from) return false;
  AppState::LevelStep& last = steps.back();
  const std::size_t n = static_cast<std::size_t>(data.rows) * static_cast<std::size_t>(data.cols);
  const bool unchanged = last.delta == delta && last.after.rows == data.rows && last.after.cols == data.cols &&
                         std::memcmp(last.after.data.get(), data.data.get(), n * sizeof(double)) == 0;
  if (!unchanged) {
    steps.clear();
    return false;
  }
  data = last.before;
  steps.pop_back();
  return true;
}

void KeepLevelStep(Matrix before, const Matrix& data, int from, int to, double delta) {
  appState.levelSteps.push_back({from, to, delta, std::move(before), data});
}

void ForgetLevelSteps() { appState.levelSteps.clear(); }
