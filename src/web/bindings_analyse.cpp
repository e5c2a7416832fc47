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
#include "interaction/analyse_curves.h"
#include "interaction/data_source.h"
#include "interaction/readouts.h"
#include "sources/picture_header.h"
#include "sources/pixels.h"
#include "sources/resample.h"
#include "sources/table_reader.h"
#include "state/state.h"
#include "text/language.h"

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
  return TooLargeFileText(TrArgs("Die Datei %1", {Quoted(name)}));
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
  return size ? RgbaPictureProblem(TrArgs("Das Bild %1", {Quoted(name)}), size->width, size->height) : std::string();
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

// The values of a file's samples, copied into the module a part per task so
// that no task of the page's thread takes long with a large file.
std::vector<double>& StagedValues() {
  static std::vector<double> values;
  return values;
}

void StageSamples(std::size_t count) {
  StagedValues() = {};
  StagedValues().reserve(count);
}

// Room for `count` values from `at` on, to be filled by the caller; valid
// until the module's memory grows, so taken anew for each part. The pages
// are touched a part at a time.
val StagedPart(std::size_t at, std::size_t count) {
  std::vector<double>& v = StagedValues();
  if (v.size() < at + count) v.resize(at + count);
  return val(emscripten::typed_memory_view(count, v.data() + at));
}

// Takes what PictureSamples or TableSamples gave, with the values staged
// before, as the desktop takes a file.
std::string TakeStagedSamples(const val& s, const std::string& name) {
  SourceSamples kept{s["rows"].as<int>(), s["cols"].as<int>(),
                     emscripten::convertJSArrayToNumberVector<int>(s["keptRows"]),
                     emscripten::convertJSArrayToNumberVector<int>(s["keptCols"]),
                     std::move(StagedValues())};
  StagedValues() = {};
  if (kept.keptRows != resample_detail::IndicesRead(kept.rows) || kept.keptCols != resample_detail::IndicesRead(kept.cols) ||
      kept.values.size() != kept.keptRows.size() * kept.keptCols.size())
    return TrArgs("Die Datei %1 ist unvollständig.", {Quoted(name)});
  return TakeFileResult(TakenSamples(std::move(kept)), name);
}

// The same in one go.
std::string TakeKeptSamples(const val& s, const std::string& name) {
  const auto count = s["values"]["length"].as<std::size_t>();
  StageSamples(count);
  StagedPart(0, count).call<void>("set", s["values"]);
  return TakeStagedSamples(s, name);
}

val Readouts(double percent) {
  const AnalyseReadouts r = ReadoutsNow(percent);
  val o = val::object();
  o.set("atTop", r.atTop);
  o.set("kept", r.kept);
  o.set("shown", r.shown);
  o.set("error", r.error);
  o.set("mismatch", r.mismatch);
  o.set("source", r.source);
  o.set("noCurve", r.noCurve);
  val rows = val::array();
  for (const EnergyRow& e : r.energy) {
    rows.call<void>("push", val::array(std::vector<std::string>{e.share, e.block, e.energy}));
  }
  o.set("energy", rows);
  o.set("energyExplanation", r.energyExplanation);
  return o;
}

void Apply(double percent) { ApplyCompression(percent); }

// The curves' inputs as plain numbers, for the worker.
val InputsVal(const CurveInputs& in) {
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

CurveInputs InputsFrom(const val& in) {
  // A Matrix never takes another shape by assignment: built in place.
  CurveInputs inputs{Matrix(in["rows"].as<int>(), in["cols"].as<int>())};
  const std::size_t n = static_cast<std::size_t>(inputs.original.rows) * static_cast<std::size_t>(inputs.original.cols);
  val(emscripten::typed_memory_view(n, inputs.original.data.get())).call<void>("set", in["original"]);
  inputs.level = in["level"].as<int>();
  inputs.percent = in["percent"].as<double>();
  inputs.currentDelta = in["currentDelta"].as<double>();
  inputs.delta = in["delta"].as<double>();
  return inputs;
}

val MarkerVal(const std::optional<Marker>& m) {
  if (!m) return val::null();
  val o = val::object();
  o.set("x", m->x);
  o.set("y", m->y);
  return o;
}

std::optional<Marker> MarkerFrom(const val& m) {
  if (m.isNull() || m.isUndefined()) return std::nullopt;
  return Marker{m["x"].as<double>(), m["y"].as<double>()};
}

// { x, y, marker, pending }: the points and markers in the data's units.
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

Curve CurveFrom(const val& o) {
  Curve c;
  const std::vector<double> xs = emscripten::vecFromJSArray<double>(o["x"]);
  const std::vector<double> ys = emscripten::vecFromJSArray<double>(o["y"]);
  for (std::size_t i = 0; i < xs.size() && i < ys.size(); ++i) c.points.emplace_back(xs[i], ys[i]);
  c.marker = MarkerFrom(o["marker"]);
  c.pending = MarkerFrom(o["pending"]);
  return c;
}

// Both curves from the inputs alone, in the worker; `percent` hears how far
// it got.
val Curves(const val& in, val percent) {
  const std::atomic<bool> never{false};
  const CurveResult r = ComputeCurvesInPercent(InputsFrom(in), never, [&](int p) { percent(p); });
  val o = val::object();
  o.set("overDelta", CurveVal(r.overDelta));
  o.set("overShare", CurveVal(r.overShare));
  return o;
}

// The page's one set of curve rules, as the desktop window has its own instance.
AnalyseCurves& PageCurves() {
  static AnalyseCurves curves;
  return curves;
}

val OrdersVal(const CurveOrders& orders) {
  val o = val::object();
  o.set("dropJob", orders.dropJob);
  o.set("scheduleStart", orders.scheduleStart);
  return o;
}

// A chart as curves.js draws it: the curve in the data's units, where its
// values are drawn on the y axis, and that axis.
val ChartVal(const ChartShown& chart) {
  val o = val::object();
  o.set("emptyText", chart.emptyText);
  o.set("curve", CurveVal(chart.curve));
  val drawn = val::array();
  for (const auto& p : chart.curve.points) drawn.call<void>("push", chart.Drawn(p.second));
  o.set("drawnY", drawn);
  const auto drawnMarker = [&](const std::optional<Marker>& m) {
    return m ? MarkerVal(Marker{m->x, chart.Drawn(m->y)}) : val::null();
  };
  o.set("drawnMarker", drawnMarker(chart.curve.marker));
  o.set("drawnPending", drawnMarker(chart.curve.pending));
  o.set("logarithmic", chart.logarithmic);
  o.set("linear", chart.linear);
  o.set("decades", chart.decades);
  return o;
}

val CurvesShownVal() {
  const AnalyseCurves& curves = PageCurves();
  const CurvesShown& shown = curves.Shown();
  val o = val::object();
  o.set("overDelta", ChartVal(shown.overDelta));
  o.set("overShare", ChartVal(shown.overShare));
  o.set("minimum", shown.minimum);
  o.set("progress", shown.progress);
  // Curves shown while new ones are due belong to the state before.
  o.set("current", !curves.Pending() && !curves.Running() && shown.overDelta.HasCurve());
  return o;
}

val CurvesStart() {
  std::optional<CurveJobOrder> job = PageCurves().Start();
  if (!job) return val::null();
  val o = val::object();
  o.set("generation", job->generation);
  o.set("inputs", InputsVal(job->inputs));
  return o;
}

bool CurvesReady(unsigned generation, const val& result) {
  CurveResult r;
  r.overDelta = CurveFrom(result["overDelta"]);
  r.overShare = CurveFrom(result["overShare"]);
  r.pointsDone = kCurvePoints;
  return PageCurves().Ready(generation, r);
}

// A picture the browser could not decode, with pixels.h's reason.
std::string UnreadablePicture(const std::string& name, bool formatUnsupported) {
  return UnreadablePictureText(name, formatUnsupported ? FormatNotInBrowserText() : BrokenPictureDataText());
}
std::string UnreadableFile(const std::string& name) {
  return TrArgs("Die Datei %1 lässt sich nicht lesen.", {Quoted(name)});
}
std::string ReadingFile(const std::string& name) { return TrArgs("Die Datei %1 wird gelesen …", {Quoted(name)}); }
std::string UnpackingPicture(const std::string& name) {
  return TrArgs("Das Bild %1 wird entpackt …", {Quoted(name)});
}
std::string GriddingPicture(const std::string& name) {
  return TrArgs("Das Bild %1 wird auf das Gitter gelegt …", {Quoted(name)});
}
std::string UnreadableFileBecause(const std::string& name, const std::string& why) {
  return TrArgs("Die Datei %1 lässt sich nicht lesen: %2", {Quoted(name), why});
}
std::string CheckingLinkFormula(int percent) {
  return TrArgs("Die Formel im Link wird geprüft … %1 %", {std::to_string(percent)});
}
std::string FormulaUncheckable(const std::string& why) {
  return TrArgs("Die Formel lässt sich nicht prüfen: %1", {why});
}
std::string CurvesFailed(const std::string& why) {
  return TrArgs("Die Kurven lassen sich nicht berechnen: %1", {why});
}

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
  emscripten::value_object<ChartTexts>("ChartTexts")
      .field("title", &ChartTexts::title)
      .field("xTitle", &ChartTexts::xTitle)
      .field("xMax", &ChartTexts::xMax)
      .field("yTitle", &ChartTexts::yTitle)
      .field("markerName", &ChartTexts::markerName)
      .field("pendingName", &ChartTexts::pendingName);
  emscripten::function("deltaChartTexts", &DeltaChartTexts);
  emscripten::function("shareChartTexts", &ShareChartTexts);
  emscripten::function("curvePointText", &CurvePointText);
  emscripten::function("atTopLevel", &AtTopLevel);
  emscripten::value_object<LogRange>("LogRange").field("floor", &LogRange::floor).field("ceiling", &LogRange::ceiling);
  emscripten::function("takeSample", &TakeSampleNow);
  emscripten::function("unreadablePicture", &UnreadablePicture);
  emscripten::function("unreadableFile", &UnreadableFile);
  emscripten::function("readingFile", &ReadingFile);
  emscripten::function("curvesFailed", &CurvesFailed);
  emscripten::function("unpackingPicture", &UnpackingPicture);
  emscripten::function("griddingPicture", &GriddingPicture);
  emscripten::function("unreadableFileBecause", &UnreadableFileBecause);
  emscripten::function("checkingLinkFormula", &CheckingLinkFormula);
  emscripten::function("formulaUncheckable", &FormulaUncheckable);
  emscripten::function("dropOneFile", emscripten::optional_override([] {
                         return std::string(Tr("Bitte genau eine Datei auf die Seite ziehen."));
                       }));
  emscripten::function("takeFormula", &TakeFormula);
  emscripten::function("pictureSizeAccepted", &PictureSizeAccepted);
  emscripten::function("pictureHeaderProblem", &PictureHeaderProblem);
  emscripten::function("pictureSamples", &PictureSamples);
  emscripten::function("tableSamples", &TableSamples);
  emscripten::function("takeSamples", &TakeKeptSamples);
  emscripten::function("stageSamples", &StageSamples);
  emscripten::function("stagedPart", &StagedPart);
  emscripten::function("takeStagedSamples", &TakeStagedSamples);
  emscripten::function("fileTooLarge", &FileTooLarge);
  emscripten::function("mismatch", &MismatchText);
  emscripten::function("resolutionChoices", &Choices);
  emscripten::function("resolution", &Resolution);
  emscripten::function("setResolution", &SetResolution);
  emscripten::function("levelRange", &LevelTrackRange);
  emscripten::function("levelRangeAt", &LevelRangeAt);
  emscripten::function("readouts", &Readouts);
  emscripten::function("applyCompression", &Apply);
  emscripten::function("restoreOriginal", &RestoreOriginal);
  emscripten::function("computeCurves", &Curves);
  emscripten::function("nearestDeltaPosition", &NearestDeltaPosition);
  emscripten::function("curvesStateChanged", emscripten::optional_override([] { return OrdersVal(PageCurves().StateChanged()); }));
  emscripten::function("curvesShareChanged", emscripten::optional_override(
                                                 [](double p) { return OrdersVal(PageCurves().ShareChanged(p)); }));
  emscripten::function("curvesVisible", emscripten::optional_override(
                                            [](bool v) { return OrdersVal(PageCurves().VisibilityChanged(v)); }));
  emscripten::function("curvesDeltaMoved", emscripten::optional_override([] { return PageCurves().DeltaMoved(); }));
  emscripten::function("curvesStart", &CurvesStart);
  emscripten::function("curvesProgressed", emscripten::optional_override(
                                               [](unsigned g, int p) { return PageCurves().Progressed(g, p); }));
  emscripten::function("curvesReady", &CurvesReady);
  emscripten::function("curvesShown", &CurvesShownVal);
}
