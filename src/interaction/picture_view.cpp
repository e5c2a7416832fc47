#include "interaction/picture_view.h"

#include <algorithm>
#include <cmath>

#include "interaction/settings.h"
#include "state/state.h"
#include "text/language.h"

analysis::Pictures CurrentPictures() {
  const AppState& s = appState;
  return analysis::MakePictures(s.originalSurface, s.dataMatrix, s.chosenLevel, s.synthesisP, s.synthesisQ);
}

analysis::Rgba MapColour(ColourMap map, double t) {
  switch (map) {
    case ColourMap::Grey: return analysis::Grey(t);
    case ColourMap::Diverging: return analysis::Diverging(t);
    case ColourMap::Viridis: return analysis::Viridis(t);
  }
  return analysis::Grey(t);
}

std::vector<analysis::Rgba> ColourBarColours(ColourMap map, int rows) {
  std::vector<analysis::Rgba> colours;
  for (int k = 0; k < rows; ++k) {
    colours.push_back(MapColour(map, rows > 1 ? double(rows - 1 - k) / (rows - 1) : 1.0));
  }
  return colours;
}

std::vector<ColourBarTick> ColourBarTicks(const analysis::ColourScale& scale) {
  std::vector<ColourBarTick> ticks;
  const double span = scale.high - scale.low;
  for (auto it = scale.ticks.rbegin(); it != scale.ticks.rend(); ++it) {
    const double v = scale.logarithmic ? std::pow(10.0, *it) : *it;
    ticks.push_back({FormatNumber(v), span > 0 ? (*it - scale.low) / span : 0.5});
  }
  return ticks;
}

PicturePlace FitPicture(int width, int height, double aspect) {
  if (!(aspect > 0) || !std::isfinite(aspect)) aspect = 1;
  const double w = width, h = height;
  double pw = w, ph = w / aspect;
  if (ph > h) {
    ph = h;
    pw = h * aspect;
  }
  // Rounded half up, as the panels have always been placed.
  const auto round = [](double v) { return static_cast<int>(std::floor(v + 0.5)); };
  return {round((w - pw) / 2), round((h - ph) / 2), round(pw), round(ph)};
}

PanelArrangement ArrangePanels(int width, int height, int bar, int caption, int gap) {
  const auto side = [&](int columns, int rows) {
    const int across = (width - (2 * columns + 1) * gap - columns * bar) / columns;
    const int down = (height - (2 * rows + 1) * gap - rows * caption) / rows;
    return std::max(0, std::min(across, down));
  };
  const PanelArrangement row{4, 1, side(4, 1)}, square{2, 2, side(2, 2)};
  // A tie keeps the one row the window has always had.
  return square.side > row.side ? square : row;
}

std::string ProposedPictureName(const std::string& window) {
  if (window == "grafik") return "veltra-funktionen.png";
  if (window == "daten") return "veltra-daten.png";
  return "veltra-bild.png";
}

std::string PictureNotSavedText() { return Tr("Das Bild konnte nicht gespeichert werden."); }
