#pragma once
// Taking a new surface for analysis: the sample, a formula's or a file's,
// and the resolution it is analysed at.
#include <string>
#include <vector>

#include "linalg/matrix.h"
#include "sources/resample.h"
#include "state/state.h"

// grid fills the top-level block of dataMatrix (the rest of dataMatrix is
// cleared) and becomes the original; the level goes to the top level without
// any level step, what the level history kept is dropped and both views are
// redrawn. currentDelta and the settings stay. A grid of another side than
// the resolution in force is brought to it: a formula (name is its text) is
// evaluated again on the finer grid, anything else resampled bilinearly.
// The grid is kept as the source's samples for a later change of resolution.
void TakeSurface(const Matrix& grid, SourceKind kind, const std::string& name);
// The same from a source's kept samples (see KeepSamples), resampled to the
// resolution in force; they are kept, so a change of resolution needs no
// second reading of the file.
void TakeSamples(SourceSamples samples, SourceKind kind, const std::string& name);
// The built-in sample, exactly as at start-up for the resolution in force.
void TakeSample();

// The resolutions offered, points per side: 65, 129, 257, 513 (levels 6..9).
std::vector<int> ResolutionChoices();
// Points per side in force: 2^topLevel + 1.
int Resolution();
// "65 × 65" and so on, for the choice.
std::string ResolutionText(int points);
// Takes the current source again at points x points: the sample evaluated on
// that grid, a formula evaluated again, a file resampled from its kept
// samples. The level goes to the new top level, the synthesis tables are
// built for it from currentDelta. "" when done (or nothing to do), else the
// German reason, with nothing changed.
std::string SetResolution(int points);

// Width over height of the source as the picture view shows it (x to the
// right): its rows over its columns for kept samples, else 1. The analysis
// grid stays square; only the display is stretched back.
double SourceAspectRatio();

// The level track bar's range: 2 to the top level.
struct LevelRange {
  int lowest = 2;
  int highest = 6;
};
LevelRange LevelTrackRange();
// The same at a resolution of `points` per side; {2, 0} for one not offered.
LevelRange LevelRangeAt(int points);
