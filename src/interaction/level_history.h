#pragma once
// Keeps repeated level changes from drifting. Going down and back up shows
// only an approximate reconstruction; analysing that again would compound the
// error with every round trip (about 1.4-fold per trip 6 -> 2 -> 6). So a
// descent that starts at a level whose block the program itself produced by
// going up, with no change of the coefficients or of currentDelta since,
// starts from the block kept when the program last went down from there.
#include "linalg/matrix.h"

// Before the level-`level` block of `data` is analysed down one level:
// restores the kept block if the rule above applies, else keeps this one.
void BeforeDescent(Matrix& data, int level, double delta);
// After the level-`level` block of `data` was synthesised from below.
void AfterAscent(const Matrix& data, int level, double delta);
// The coefficients or currentDelta changed: nothing kept applies any more.
void ForgetKeptLevels();
// Keeps `data`'s level-`level` block as the one a descent from there starts
// from after the program went up to it; for an analysis made afresh.
void KeepBlockForDescent(const Matrix& data, int level);

// While a compression is shown its coefficients must come back exactly when
// the data return to the level they were kept at, whichever way they went.
// A step from `from` to `to` that exactly undoes the last one kept, with the
// data unchanged since, brings back the data before that one: true then.
bool RetraceLevelStep(Matrix& data, int from, int to, double delta);
// A step was made: `before` and `data` now are kept for RetraceLevelStep.
void KeepLevelStep(Matrix before, const Matrix& data, int from, int to, double delta);
// No compression is shown (any more): nothing kept for retracing.
void ForgetLevelSteps();
