#pragma once
// What the data view says about its display scale, for the desktop's and the
// page's caption alike.
#include <string>

#include "state/state.h"

// "Höhen x 0.0014, ab 1500", "Höhen x 7e-7" or "Höhen ab 1500" (numbers as
// the readouts show them, with a point in every locale); "" at scale 1.
std::string DisplayScaleText(const DisplayScale& scale);

// The data view's caption: "Daten", with the scale in brackets when the
// picture is not drawn at scale 1.
std::string DatenCaption(const DisplayScale& scale);
