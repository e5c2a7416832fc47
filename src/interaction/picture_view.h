#pragma once
// What the picture window "Bild" shows, without Qt: the four panels of the
// current state and how wide they are drawn.
#include "analysis/pictures.h"

// Original, Rekonstruktion (exactly the surface the error readout compares),
// Differenz and Koeffizienten at the level shown, from appState.
analysis::Pictures CurrentPictures();
