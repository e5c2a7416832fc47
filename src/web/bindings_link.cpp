// The page's link: the views' places it carries, and a formula in it checked
// at a resolution (in a worker) before anything of it is applied, then taken
// with the grid the check computed.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <array>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "interaction/coefficient_record.h"
#include "interaction/data_source.h"
#include "interaction/navigation.h"
#include "sources/formula.h"
#include "sources/surface_result.h"
#include "state/state.h"
#include "text/language.h"

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

// The names a note gives the link's keys, in the language chosen (so made
// at each call, not once).
std::string FieldName(const std::string& key) {
  const std::map<std::string, std::string> names = {
      {"aufloesung", Tr("Auflösung")}, {"formel", Tr("Formel")}, {"aktuell", Tr("aktuelles Delta")},
      {"analysiert", Tr("analysiertes Delta")}, {"level", "Level"}, {"delta", "Delta"}, {"anteil", Tr("Anteil")},
      {"anteilLevel", Tr("Level des Anteils")}, {"auswahl", Tr("Auswahl")}, {"zoom", Tr("Zoom")},
      {"nurDaten", Tr("Zeige nur Daten")}, {"drahtgitter", Tr("Drahtgitter")}, {"grafik", Tr("Lage der Funktionen")},
      {"daten", Tr("Lage der Daten")}, {"fenster", Tr("Fenster")}, {"praesentation", Tr("Präsentation")},
      {"lang", Tr("Sprache")}};
  const auto it = names.find(key);
  return it == names.end() ? key : it->second;
}

// A key no link has, as the note shows it: quoted, at most 40 characters.
std::string ShownKey(const std::string& key) {
  std::size_t chars = 0, at = 0;
  for (; at < key.size(); ++at) {
    if ((static_cast<unsigned char>(key[at]) & 0xC0) == 0x80) continue;  // inside a character
    if (chars++ == 40) break;
  }
  return Quoted(at < key.size() ? key.substr(0, at) + "\u2026" : key);
}

std::string Joined(const emscripten::val& list, std::string (*shown)(const std::string&)) {
  std::string text;
  for (const std::string& item : emscripten::vecFromJSArray<std::string>(list)) {
    if (!text.empty()) text += ", ";
    text += shown(item);
  }
  return text;
}

// The note for a link not taken: the keys with wrong values, those given more
// than once, those no link has, then the reasons (a formula's).
std::string LinkRefusal(const emscripten::val& wrong, const emscripten::val& twice, const emscripten::val& unknown,
                        const emscripten::val& reasons) {
  std::vector<std::string> parts;
  if (wrong["length"].as<int>() > 0) parts.push_back(TrArgs("%1 im Link ungültig", {Joined(wrong, FieldName)}));
  if (twice["length"].as<int>() > 0)
    parts.push_back(TrArgs("%1 im Link mehrfach angegeben", {Joined(twice, FieldName)}));
  if (unknown["length"].as<int>() > 0) parts.push_back(TrArgs("im Link unbekannt: %1", {Joined(unknown, ShownKey)}));
  std::string text;
  for (const std::string& part : parts) text += (text.empty() ? "" : "; ") + part;
  text += "; ";
  text += Tr("der Link wurde nicht übernommen.");
  for (const std::string& reason : emscripten::vecFromJSArray<std::string>(reasons)) text += " " + reason;
  return text;
}

// The link's other notes, by what happened, in the language chosen.
std::string LinkNote(const std::string& what) {
  const std::map<std::string, std::string> notes = {
      {"file", Tr("Eine geladene Datei kann nicht in einen Link. Der Link wurde nicht kopiert.")},
      {"mixed", Tr("Die Details wurden mit mehreren Delta-Werten analysiert; das kann ein Link nicht wiedergeben. "
                   "Der Link wurde nicht kopiert.")},
      {"noClipboard", Tr("Der Browser lässt das Kopieren nicht zu; der Link steht in der Adresszeile.")},
      {"copied", Tr("Link kopiert.")},
      {"copyRefused", Tr("Der Browser hat das Kopieren abgelehnt; der Link steht in der Adresszeile.")},
      {"incomplete", Tr("Der Link wurde nicht vollständig übernommen.")}};
  const auto it = notes.find(what);
  return it == notes.end() ? std::string() : it->second;
}

}  // namespace

EMSCRIPTEN_BINDINGS(link) {
  emscripten::function("linkRefusal", &LinkRefusal);
  emscripten::function("linkNote", &LinkNote);
  emscripten::function("placeViews", &PlaceViews);
  emscripten::function("grafikPlaceReachable", &GrafikPlaceReachable);
  emscripten::function("datenPlaceReachable", &DatenPlaceReachable);
  emscripten::function("formulaError", &FormulaError);
  emscripten::function("formulaGrid", &FormulaGrid);
  emscripten::function("takeFormulaGrid", &TakeFormulaGrid);
  emscripten::function("compressionLevel", &CompressionLevel);
  emscripten::function("analysedDeltas", &AnalysedDeltas);
}
