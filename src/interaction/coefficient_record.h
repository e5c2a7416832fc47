#pragma once
// What the coefficients shown in the data view came from: the Delta each
// level's details were analysed with, and whether "Anwenden" thinned them out.
// "Berechne!" below the top level keeps the coefficients and only changes the
// tables a later ascent synthesises with; this record lets the "Analyse"
// window say so.
#include <optional>
#include <vector>

// A new surface (or a fresh start): the top level, nothing analysed, uncompressed.
void ForgetCoefficientRecord();
// The details of `level` were just analysed from the level above with `delta`.
void RecordDescent(int level, double delta);
// The whole analysis down to `level` was made afresh with `delta` from the
// original; `keptPercent` when only that share of the details was kept.
void RecordFreshAnalysis(int level, double delta, std::optional<double> keptPercent);

struct CompressionRecord {
  double percent = 100;
  int level = 6;  // where "Anwenden" kept them
};
// Set from "Anwenden" until "Original" or a new surface.
std::optional<CompressionRecord> Compression();

// The Deltas, other than `synthesisDelta`, that the details of levels
// `level` up to the one below the top level were analysed with, each once, in the order first met from
// `level` up. Empty when they agree (always at the top level). Details below
// `level` were synthesised away and no longer count; a descent records
// them afresh.
std::vector<double> MismatchedDeltas(int level, double synthesisDelta);
