// The page's link: the views' places it carries, and whether a formula in it
// would be taken at a resolution, so that a link is checked whole before
// anything of it is applied.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "interaction/coefficient_record.h"
#include "interaction/navigation.h"
#include "sources/formula.h"
#include "state/state.h"

namespace {

// grafik: the four functions' alpha, beta, gamma, then the camera's x, y, z
// (15 numbers); daten: alpha, beta, gamma, then x, y, z. False, with nothing
// changed, when either has another length.
bool PlaceViews(emscripten::val grafik, emscripten::val daten) {
  const std::vector<double> g = emscripten::vecFromJSArray<double>(grafik);
  const std::vector<double> d = emscripten::vecFromJSArray<double>(daten);
  if (g.size() != 15 || d.size() != 6) return false;
  std::array<Orientation, 4> functions{};
  for (int f = 0; f < 4; ++f) functions[f] = {g[3 * f], g[3 * f + 1], g[3 * f + 2]};
  PlaceGrafikView(functions, {g[12], g[13], g[14]});
  PlaceDatenView({d[0], d[1], d[2]}, {d[3], d[4], d[5]});
  return true;
}

// "" when the formula gives a surface at points x points, else the German reason.
std::string FormulaError(const std::string& text, int points) { return SurfaceFromFormula(text, points).error; }

// Where "Anwenden" kept its share, or -1 while the details are not thinned out.
int CompressionLevel() {
  const std::optional<CompressionRecord> c = Compression();
  return c ? c->level : -1;
}

// The Deltas other than the one in force that the details shown were
// analysed with ("Berechne!" below the top level keeps them).
emscripten::val AnalysedDeltas() {
  return emscripten::val::array(MismatchedDeltas(appState.chosenLevel, appState.currentDelta));
}

}  // namespace

EMSCRIPTEN_BINDINGS(link) {
  emscripten::function("placeViews", &PlaceViews);
  emscripten::function("formulaError", &FormulaError);
  emscripten::function("compressionLevel", &CompressionLevel);
  emscripten::function("analysedDeltas", &AnalysedDeltas);
}
