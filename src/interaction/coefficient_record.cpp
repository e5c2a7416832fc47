#include "interaction/coefficient_record.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "state/state.h"

namespace {

constexpr int kTop = kMaxTopLevel;

struct Record {
  // Index l: the Delta of the level-l details (analysis from l+1 to l).
  std::array<std::optional<double>, kTop> detailDelta{};
  std::optional<CompressionRecord> compression;
  bool analysedAgain = false;
  std::optional<SynthesisMismatch> synthesisMismatch;
};

Record record;

bool LevelInRange(int level) { return level >= 0 && level < kTop; }

}  // namespace

void ForgetCoefficientRecord() { record = Record{}; }

void RecordDescent(int level, double delta) {
  if (LevelInRange(level)) record.detailDelta[static_cast<std::size_t>(level)] = delta;
  if (record.compression && level >= record.compression->level) {
    record.compression.reset();
    record.analysedAgain = true;
  }
}

void RecordFreshAnalysis(int level, double delta, std::optional<double> keptPercent) {
  record = Record{};
  for (int l = std::max(level, 0); l < appState.topLevel; ++l) record.detailDelta[static_cast<std::size_t>(l)] = delta;
  if (keptPercent) record.compression = CompressionRecord{*keptPercent, level};
}

void RecordAscent(int level, double delta) {
  if (!LevelInRange(level)) return;
  const std::optional<double>& d = record.detailDelta[static_cast<std::size_t>(level)];
  if (!d || *d == delta) return;
  SynthesisMismatch& m = record.synthesisMismatch ? *record.synthesisMismatch : record.synthesisMismatch.emplace();
  const std::pair<double, double> pair{*d, delta};
  if (std::find(m.pairs.begin(), m.pairs.end(), pair) == m.pairs.end()) m.pairs.push_back(pair);
}

std::optional<SynthesisMismatch> SynthesisMismatchShown() { return record.synthesisMismatch; }

std::optional<CompressionRecord> Compression() { return record.compression; }

bool AnalysedAgainSinceCompression() { return record.analysedAgain; }

std::vector<double> MismatchedDeltas(int level, double synthesisDelta) {
  std::vector<double> deltas;
  for (int l = std::max(level, 0); l < appState.topLevel; ++l) {
    const std::optional<double>& d = record.detailDelta[static_cast<std::size_t>(l)];
    if (!d || *d == synthesisDelta) continue;
    if (std::find(deltas.begin(), deltas.end(), *d) == deltas.end()) deltas.push_back(*d);
  }
  return deltas;
}
