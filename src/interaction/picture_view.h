#pragma once
// What the picture window "Bild" shows, without Qt: the four panels of the
// current state, their colour bars and where a picture sits in its panel.
#include <string>
#include <vector>

#include "analysis/pictures.h"

// The file name proposed for a picture of the function view, the data view or
// "Bild" ("grafik", "daten", "bild"): veltra-funktionen.png and so on.
std::string ProposedPictureName(const std::string& window);
// Why a picture was not saved (the page; the desktop names the path too).
std::string PictureNotSavedText();

// Original, Rekonstruktion (exactly the surface the error readout compares),
// Differenz and Koeffizienten at the level shown, from appState.
analysis::Pictures CurrentPictures();

// The colour maps of the panels: Original and Rekonstruktion grey, Differenz
// blue-white-red, Koeffizienten viridis.
enum class ColourMap { Grey, Diverging, Viridis };
analysis::Rgba MapColour(ColourMap map, double t);
// A colour bar `rows` pixels high, top row first: the top is the scale's high
// end (t = 1), the bottom its low end (t = 0). One row shows t = 1.
std::vector<analysis::Rgba> ColourBarColours(ColourMap map, int rows);

// A tick beside a colour bar: its number as written, and where it sits, from
// 0 at the bottom of the bar to 1 at its top.
struct ColourBarTick {
  std::string text;
  double height;
};
// The ticks of a scale, top first. A logarithmic scale's tick t stands for
// 10^t; the tick of a scale of one value sits in the middle.
std::vector<ColourBarTick> ColourBarTicks(const analysis::ColourScale& scale);

// Where a picture of aspect ratio `aspect` (width over height) goes in a panel
// of width x height pixels: the largest rectangle of that ratio, centred, in
// whole pixels. An aspect that is not positive and finite counts as 1.
struct PicturePlace {
  int left, top, width, height;
  bool operator==(const PicturePlace&) const = default;
};
PicturePlace FitPicture(int width, int height, double aspect);

// The four square panels of "Bild" for a projector: each with `bar` pixels of
// colour bar beside it and `caption` pixels of title above, `gap` pixels
// between neighbours and at the edges, in one row or in two rows of two,
// whichever gives the larger panels within width x height.
struct PanelArrangement {
  int columns, rows, side;
  bool operator==(const PanelArrangement&) const = default;
};
PanelArrangement ArrangePanels(int width, int height, int bar, int caption, int gap);
