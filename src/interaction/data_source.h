#pragma once
// Taking a new surface for analysis: the sample, a formula's or a file's.
#include <string>

#include "linalg/matrix.h"
#include "state/state.h"

// grid (kGridSize x kGridSize) fills the level-6 block of dataMatrix and
// becomes the original; the level goes to 6 without any level step, what the
// level history kept is dropped and both views are redrawn. currentDelta and
// the settings stay.
void TakeSurface(const Matrix& grid, SourceKind kind, const std::string& name);
// The built-in sample, exactly as at start-up.
void TakeSample();
