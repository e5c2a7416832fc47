#pragma once
// What the coefficients shown in the data view came from: the Delta each
// level's details were analysed with, and whether "Anwenden" thinned them out.
// "Berechne!" below the top level keeps the coefficients and only changes the
// tables a later ascent synthesises with; this record lets the "Analyse"
// window say so.
#include <optional>
#include <utility>
#include <vector>

// A new surface (or a fresh start): the top level, nothing analysed, uncompressed.
void ForgetCoefficientRecord();
// The details of `level` were just analysed from the level above with `delta`;
// at or above the level a compression was kept at, that ends it.
void RecordDescent(int level, double delta);
// The whole analysis down to `level` was made afresh with `delta` from the
// original; `keptPercent` when only that share of the details was kept.
void RecordFreshAnalysis(int level, double delta, std::optional<double> keptPercent);

// Going up from `level` synthesised its details with `delta`.
void RecordAscent(int level, double delta);
// Details analysed with one Delta were synthesised up with another on the way
// to the data shown: each such pair (analysed, synthesised) once, in the order
// met. Whatever is analysed from such data still carries its error, so it
// lasts until the data are analysed afresh from the original.
struct SynthesisMismatch {
  std::vector<std::pair<double, double>> pairs;
};
std::optional<SynthesisMismatch> SynthesisMismatchShown();

struct CompressionRecord {
  double percent = 100;
  int level = 6;  // where "Anwenden" kept them
};
// Set from "Anwenden" until "Original", a new surface, or a descent that
// analyses the details it thinned out afresh.
std::optional<CompressionRecord> Compression();
// That descent came after "Anwenden": the details shown were analysed again.
bool AnalysedAgainSinceCompression();

// The Deltas, other than `synthesisDelta`, that the details of levels
// `level` up to the one below the top level were analysed with, each once, in the order first met from
// `level` up. Empty when they agree (always at the top level). Details below
// `level` were synthesised away and no longer count; a descent records
// them afresh.
std::vector<double> MismatchedDeltas(int level, double synthesisDelta);
