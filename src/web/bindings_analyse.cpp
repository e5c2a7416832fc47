// The page's "Analyse" dialog: sources (the sample, a formula, or what the
// grid reads of a table or a picture the browser decoded, read in a worker), resolution, compression,
// readouts and the two curves, through the same interaction functions as the
// desktop's window. The curves are computed by a second instance of this
// module in a worker, from copies of their inputs (the desktop's curve job).
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <atomic>
#include <optional>
#include <string>
#include <vector>

#include "interaction/analysis_panel.h"
#include "interaction/curve_job.h"
#include "interaction/data_source.h"
#include "interaction/readouts.h"
#include "sources/picture_header.h"
#include "sources/pixels.h"
#include "sources/resample.h"
#include "sources/table_reader.h"
#include "state/state.h"

namespace {

using emscripten::val;

// Bytes from JavaScript (a Uint8Array or Uint8ClampedArray) into one copy here.
std::string BytesOf(const val& array) {
  const std::size_t n = array["length"].as<std::size_t>();
  std::string bytes(n, '\0');
  val view = val(emscripten::typed_memory_view(n, reinterpret_cast<unsigned char*>(bytes.data())));
  view.call<void>("set", array);
  return bytes;
}

std::string TakeSampleNow() {
  TakeSample();
  return {};
}

// A file past the size a table or picture may have is refused before its
// bytes are read into the page, with the desktop's message.
std::string FileTooLarge(const std::string& name, double bytes) {
  if (bytes <= static_cast<double>(kMaxFileBytes)) return {};
  return TooLargeFileText("Die Datei " + Quoted(name));
}

val Choices() {
  val list = val::array();
  for (const int points : ResolutionChoices()) {
    val o = val::object();
    o.set("points", points);
    o.set("text", ResolutionText(points));
    list.call<void>("push", o);
  }
  return list;
}

// Whether a picture of this size is taken at all, before its pixels are read.
bool PictureSizeAccepted(int width, int height) { return PictureSizeProblem({}, width, height).empty(); }

// The desktop's refusal of the picture in `bytes` by the size its header
// declares, decoded as the browser does (4 bytes a pixel); "" when the size
// is taken or the header declares none (the decoded size is checked then).
std::string PictureHeaderProblem(const val& bytes, const std::string& name) {
  const std::optional<PictureSize> size = PictureSizeFromHeader(BytesOf(bytes));
  return size ? RgbaPictureProblem("Das Bild " + Quoted(name), size->width, size->height) : std::string();
}

template <class T>
val TypedCopy(const char* type, const std::vector<T>& v) {
  return val::global(type).new_(val(emscripten::typed_memory_view(v.size(), v.data())));
}

// What a source leaves for the grid (the rows and columns it reads), for
// the page's thread; { error } when it is refused.
val SamplesVal(const SurfaceResult& r) {
  val o = val::object();
  if (!r.samples) {
    o.set("error", r.error);
    return o;
  }
  o.set("rows", r.samples->rows);
  o.set("cols", r.samples->cols);
  o.set("keptRows", TypedCopy("Int32Array", r.samples->keptRows));
  o.set("keptCols", TypedCopy("Int32Array", r.samples->keptCols));
  o.set("values", TypedCopy("Float64Array", r.samples->values));
  return o;
}

// A decoded picture's samples, computed where it was decoded (a worker).
val PictureSamples(const val& rgba, int width, int height, const std::string& name) {
  return SamplesVal(SurfaceFromRgba(BytesOf(rgba), width, height, name));
}

// A table's samples, read in a worker; `progress` hears the percent read.
val TableSamples(const val& bytes, const std::string& name, val progress) {
  return SamplesVal(SurfaceFromTableText(BytesOf(bytes), name, [&](int percent) { progress(percent); }));
}

// Takes what PictureSamples or TableSamples gave, as the desktop takes a file.
std::string TakeKeptSamples(const val& s, const std::string& name) {
  SourceSamples kept{s["rows"].as<int>(), s["cols"].as<int>(),
                     emscripten::vecFromJSArray<int>(val::global("Array").call<val>("from", s["keptRows"])),
                     emscripten::vecFromJSArray<int>(val::global("Array").call<val>("from", s["keptCols"])),
                     {}};
  kept.values.resize(s["values"]["length"].as<std::size_t>());
  val(emscripten::typed_memory_view(kept.values.size(), kept.values.data())).call<void>("set", s["values"]);
  if (kept.keptRows != resample_detail::IndicesRead(kept.rows) || kept.keptCols != resample_detail::IndicesRead(kept.cols) ||
      kept.values.size() != kept.keptRows.size() * kept.keptCols.size())
    return "Die Datei " + Quoted(name) + " ist unvollständig.";
  return TakeFileResult(TakenSamples(std::move(kept)), name);
}

val Readouts(double percent) {
  val o = val::object();
  o.set("atTop", appState.chosenLevel >= appState.topLevel);
  o.set("behalten", KeptReadoutText(percent));
  o.set("gezeigt", ShownStateText());
  o.set("fehler", ErrorText());
  o.set("mismatch", MismatchText());
  o.set("quelle", SourceText());
  o.set("keineKurve", NoCurveText());
  val rows = val::array();
  for (const EnergyRow& r : EnergyRows()) {
    rows.call<void>("push", val::array(std::vector<std::string>{r.share, r.block, r.energy}));
  }
  o.set("energie", rows);
  o.set("energieErklaerung", EnergyExplanation());
  return o;
}

void Apply(double percent) { ApplyCompression(percent); }

// The curves' inputs as plain numbers, for the worker.
val CurveInputsFor(double percent) {
  const CurveInputs in = CurveInputsNow(percent);
  val o = val::object();
  o.set("rows", in.original.rows);
  o.set("cols", in.original.cols);
  const std::size_t n = static_cast<std::size_t>(in.original.rows) * static_cast<std::size_t>(in.original.cols);
  o.set("original", val::global("Float64Array").new_(val(emscripten::typed_memory_view(n, in.original.data.get()))));
  o.set("level", in.level);
  o.set("percent", in.percent);
  o.set("currentDelta", in.currentDelta);
  o.set("delta", in.delta);
  return o;
}

val MarkerVal(const std::optional<Marker>& m) {
  if (!m) return val::null();
  val o = val::object();
  o.set("x", m->x);
  o.set("y", m->y);
  return o;
}

val CurveVal(const Curve& c) {
  val xs = val::array(), ys = val::array();
  for (const auto& [x, y] : c.points) {
    xs.call<void>("push", x);
    ys.call<void>("push", y);
  }
  val o = val::object();
  o.set("x", xs);
  o.set("y", ys);
  o.set("marker", MarkerVal(c.marker));
  o.set("pending", MarkerVal(c.pending));
  return o;
}

// Both curves from the inputs alone; `progress` hears the points done.
val Curves(const val& in, val progress) {
  // A Matrix never takes another shape by assignment: built in place.
  CurveInputs inputs{Matrix(in["rows"].as<int>(), in["cols"].as<int>())};
  const std::size_t n = static_cast<std::size_t>(inputs.original.rows) * static_cast<std::size_t>(inputs.original.cols);
  val(emscripten::typed_memory_view(n, inputs.original.data.get())).call<void>("set", in["original"]);
  inputs.level = in["level"].as<int>();
  inputs.percent = in["percent"].as<double>();
  inputs.currentDelta = in["currentDelta"].as<double>();
  inputs.delta = in["delta"].as<double>();
  const std::atomic<bool> never{false};
  const CurveResult r = ComputeCurves(std::move(inputs), never, [&](int done) { progress(done); });
  val o = val::object();
  o.set("overDelta", CurveVal(r.overDelta));
  o.set("overShare", CurveVal(r.overShare));
  o.set("minimum", MinimumText(r.overDelta.points));
  return o;
}

LogRange Decades(const val& values) { return LogDecades(emscripten::vecFromJSArray<double>(values)); }

}  // namespace

EMSCRIPTEN_BINDINGS(analyse) {
  emscripten::value_object<LevelRange>("LevelRange")
      .field("lowest", &LevelRange::lowest)
      .field("highest", &LevelRange::highest);
  emscripten::value_object<AxisRange>("AxisRange")
      .field("low", &AxisRange::low)
      .field("high", &AxisRange::high)
      .field("step", &AxisRange::step)
      .field("ticks", &AxisRange::ticks);
  emscripten::value_object<LogRange>("LogRange").field("floor", &LogRange::floor).field("ceiling", &LogRange::ceiling);
  emscripten::function("takeSample", &TakeSampleNow);
  emscripten::function("takeFormula", &TakeFormula);
  emscripten::function("pictureSizeAccepted", &PictureSizeAccepted);
  emscripten::function("pictureHeaderProblem", &PictureHeaderProblem);
  emscripten::function("pictureSamples", &PictureSamples);
  emscripten::function("tableSamples", &TableSamples);
  emscripten::function("takeSamples", &TakeKeptSamples);
  emscripten::function("fileTooLarge", &FileTooLarge);
  emscripten::function("mismatch", &MismatchText);
  emscripten::function("resolutionChoices", &Choices);
  emscripten::function("resolution", &Resolution);
  emscripten::function("setResolution", &SetResolution);
  emscripten::function("levelRange", &LevelTrackRange);
  emscripten::function("readouts", &Readouts);
  emscripten::function("applyCompression", &Apply);
  emscripten::function("restoreOriginal", &RestoreOriginal);
  emscripten::function("curveInputs", &CurveInputsFor);
  emscripten::function("computeCurves", &Curves);
  emscripten::function("nearestDeltaPosition", &NearestDeltaPosition);
  emscripten::function("axisFromZero", emscripten::optional_override([](double top) { return NiceAxisFromZero(top); }));
  emscripten::function("axisKeptOrRescaled", emscripten::optional_override(
                                                 [](const AxisRange& r, double top) { return KeepOrRescale(r, top); }));
  emscripten::function("logDecades", &Decades);
  emscripten::function("onLogAxis", &OnLogAxis);
}
