#pragma once
// What the control panel's commands do to the program state, without the
// window toolkit. The panel's handlers call these and show the returned texts.
#include <string>

// Texts of the three labels, formatted with %g / %d in the C locale whatever
// the user's locale is.
std::string DeltaLabelText(double delta);          // "Delta: 0.4"
std::string LevelLabelText(int level);             // "Level: 6"
std::string CurrentDeltaLabelText(double delta);   // "aktuelles Delta: 0.4"

// Scroll bar moved to position 0..100: delta, wavelet fit, function view.
void DeltaChanged(int position);
// Track bar at position p: one analysis or synthesis step per level in
// between, in order; then chosenLevel = p, levelLabel, both views redrawn.
void LevelChanged(int position);
// "Berechne!": currentDelta takes delta, filter matrices follow, data view redrawn.
void Compute();
void ZoomChanged(bool checked);
void OnlyDataChanged(bool checked);
void WireframeChanged(bool checked);
