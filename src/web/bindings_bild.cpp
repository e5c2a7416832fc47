// The window "Bild" on the page: the four panels of the current state as RGBA
// bytes with their colour bars, ticks and block lines, from the same functions
// the desktop's window draws with. The page only puts them on canvases.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/pictures.h"
#include "interaction/data_source.h"
#include "interaction/picture_view.h"
#include "text/language.h"

namespace {

using emscripten::val;

// A Uint8Array of its own: the pictures are gone once the call returns.
val Bytes(const std::uint8_t* data, std::size_t size) {
  return val::global("Uint8Array").new_(emscripten::typed_memory_view(size, data));
}

val BarBytes(ColourMap map, int rows) {
  std::vector<std::uint8_t> bytes;
  for (const analysis::Rgba& c : ColourBarColours(map, rows)) bytes.insert(bytes.end(), {c.r, c.g, c.b, c.a});
  return Bytes(bytes.data(), bytes.size());
}

val PanelOf(const analysis::Panel& panel, ColourMap map, int barRows) {
  val o = val::object();
  o.set("width", panel.image.width);
  o.set("height", panel.image.height);
  o.set("bytes", Bytes(panel.image.bytes.data(), panel.image.bytes.size()));
  o.set("low", panel.scale.low);
  o.set("high", panel.scale.high);
  o.set("logarithmic", panel.scale.logarithmic);
  val ticks = val::array();
  for (const ColourBarTick& t : ColourBarTicks(panel.scale)) {
    val tick = val::object();
    tick.set("text", t.text);
    tick.set("height", t.height);
    ticks.call<void>("push", tick);
  }
  o.set("ticks", ticks);
  o.set("bar", BarBytes(map, barRows));
  return o;
}

// The panels Original, Rekonstruktion, Differenz, Koeffizienten; each colour
// bar `barRows` pixels high, top row first.
val BildPictures(int barRows) {
  const analysis::Pictures pictures = CurrentPictures();
  val o = val::object();
  o.set("valid", pictures.valid);
  o.set("aspect", SourceAspectRatio());
  const std::array<const analysis::Panel*, 4> shown{&pictures.original, &pictures.reconstruction,
                                                    &pictures.difference, &pictures.coefficients};
  const std::array<ColourMap, 4> maps{ColourMap::Grey, ColourMap::Grey, ColourMap::Diverging, ColourMap::Viridis};
  val panels = val::array();
  for (std::size_t i = 0; i < shown.size(); ++i) panels.call<void>("push", PanelOf(*shown[i], maps[i], barRows));
  o.set("panels", panels);
  val lines = val::array();
  for (const analysis::BlockLine& l : pictures.blockLines) {
    val line = val::object();
    line.set("vertical", l.vertical);
    line.set("position", l.position);
    line.set("from", l.from);
    line.set("to", l.to);
    lines.call<void>("push", line);
  }
  o.set("blockLines", lines);
  return o;
}

}  // namespace

EMSCRIPTEN_BINDINGS(bild) {
  emscripten::function("proposedPictureName", &ProposedPictureName);
  emscripten::function("pictureNotSavedText", &PictureNotSavedText);
  emscripten::function("noClipboardText", emscripten::optional_override([] {
    return std::string(Tr("Der Browser lässt das Bild nicht in die Zwischenablage. "
                          "Mit „Bild speichern…“ (Strg+S) lässt es sich als PNG-Datei sichern."));
  }));
  emscripten::function("bildPictures", &BildPictures);
  emscripten::value_object<PicturePlace>("PicturePlace")
      .field("left", &PicturePlace::left)
      .field("top", &PicturePlace::top)
      .field("width", &PicturePlace::width)
      .field("height", &PicturePlace::height);
  emscripten::function("fitPicture", &FitPicture);
}
