// The page's link: the views' places it carries, and a formula in it checked
// at a resolution (in a worker) before anything of it is applied, then taken
// with the grid the check computed.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "interaction/coefficient_record.h"
#include "interaction/data_source.h"
#include "interaction/navigation.h"
#include "sources/formula.h"
#include "state/state.h"

namespace {

// grafik: the four functions' alpha, beta, gamma, then the camera's x, y, z
// (15 numbers); daten: alpha, beta, gamma, then x, y, z. Whether keys and
// mouse could take the view there (navigation's reach).
bool Reachable(const std::vector<double>& v, std::size_t angles) {
  if (v.size() != angles + 3) return false;
  for (std::size_t i = 0; i < angles; i += 3)
    if (!AnglesWithinReach({v[i], v[i + 1], v[i + 2]})) return false;
  return CameraWithinReach({v[angles], v[angles + 1], v[angles + 2]});
}
bool GrafikPlaceReachable(const emscripten::val& grafik) {
  return Reachable(emscripten::vecFromJSArray<double>(grafik), 12);
}
bool DatenPlaceReachable(const emscripten::val& daten) { return Reachable(emscripten::vecFromJSArray<double>(daten), 3); }

// Puts both views at such places; false, with nothing changed, when either
// is not reachable.
bool PlaceViews(emscripten::val grafik, emscripten::val daten) {
  const std::vector<double> g = emscripten::vecFromJSArray<double>(grafik);
  const std::vector<double> d = emscripten::vecFromJSArray<double>(daten);
  if (!Reachable(g, 12) || !Reachable(d, 3)) return false;
  std::array<Orientation, 4> functions{};
  for (int f = 0; f < 4; ++f) functions[f] = {g[3 * f], g[3 * f + 1], g[3 * f + 2]};
  PlaceGrafikView(functions, {g[12], g[13], g[14]});
  PlaceDatenView({d[0], d[1], d[2]}, {d[3], d[4], d[5]});
  return true;
}

// "" when the formula gives a surface at points x points, else the German reason.
std::string FormulaError(const std::string& text, int points) { return SurfaceFromFormula(text, points).error; }

// The formula's grid at points x points, for a worker: { grid } (row by row)
// or { error } with the German reason; `progress` hears the percent done.
emscripten::val FormulaGrid(const std::string& text, int points, emscripten::val progress) {
  const SurfaceResult r = SurfaceFromFormula(text, points, [&](int percent) { progress(percent); });
  emscripten::val o = emscripten::val::object();
  if (!r.grid) {
    o.set("error", r.error);
    return o;
  }
  const std::size_t n = static_cast<std::size_t>(points) * static_cast<std::size_t>(points);
  o.set("grid", emscripten::val::global("Float64Array").new_(emscripten::val(emscripten::typed_memory_view(n, r.grid->data.get()))));
  return o;
}

// Takes the formula with the grid FormulaGrid gave at the resolution in
// force, so that it is not evaluated again; false, with nothing changed, when
// the grid has another size.
bool TakeFormulaGrid(const std::string& text, const emscripten::val& values) {
  const int side = Resolution();
  const std::size_t n = static_cast<std::size_t>(side) * static_cast<std::size_t>(side);
  if (values["length"].as<std::size_t>() != n) return false;
  Matrix grid(side, side);
  emscripten::val(emscripten::typed_memory_view(n, grid.data.get())).call<void>("set", values);
  TakeSurface(grid, SourceKind::Formula, text);
  return true;
}

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
  emscripten::function("grafikPlaceReachable", &GrafikPlaceReachable);
  emscripten::function("datenPlaceReachable", &DatenPlaceReachable);
  emscripten::function("formulaError", &FormulaError);
  emscripten::function("formulaGrid", &FormulaGrid);
  emscripten::function("takeFormulaGrid", &TakeFormulaGrid);
  emscripten::function("compressionLevel", &CompressionLevel);
  emscripten::function("analysedDeltas", &AnalysedDeltas);
}
