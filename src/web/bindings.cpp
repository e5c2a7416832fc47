// The page's shell: what the page's controls, keys and pointer do, wired to
// the same interaction functions the desktop windows call. No logic of its
// own beyond turning JavaScript values into those calls.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <optional>
#include <string>
#include <vector>

#include "blac/startup.h"
#include "interaction/coefficient_record.h"
#include "interaction/commands.h"
#include "interaction/data_source.h"
#include "interaction/display_scale_text.h"
#include "interaction/navigation.h"
#include "interaction/pointer_drag.h"
#include "render/glwindow.h"
#include "render/scenes.h"
#include "state/state.h"
#include "text/catalogue.h"
#include "text/language.h"
#include "web/canvas_surface.h"

namespace {

CanvasSurface grafikCanvas("#grafik");
CanvasSurface datenCanvas("#daten");
PointerDrag grafikPointer(NavView::Grafik);
PointerDrag datenPointer(NavView::Daten);

// The views are named as on the page: "grafik" or "daten".
NavView ViewOf(const std::string& name) { return name == "daten" ? NavView::Daten : NavView::Grafik; }
PointerDrag& PointerOf(const std::string& name) {
  return ViewOf(name) == NavView::Daten ? datenPointer : grafikPointer;
}

// Buttons as the DOM numbers them: 0 left, 1 middle, 2 right.
PointerButton ButtonOf(int domButton) {
  switch (domButton) {
    case 0: return PointerButton::Left;
    case 1: return PointerButton::Middle;
    case 2: return PointerButton::Right;
    default: return PointerButton::None;
  }
}

// Start-up as on the desktop: numerics, then both views' contexts. The page
// passes what shows the function view's title and a message.
// As on the desktop, the title is wired only after the start-up numerics, so
// it keeps "Skalierungsfunktion und Wavelets" until Delta is first moved.
// The data view's title says the scale its picture is drawn at, as on the desktop.
void Start(emscripten::val setCaption, emscripten::val showMessage, emscripten::val setDatenCaption) {
  appState.showMessage = [showMessage](const std::string& text) { showMessage(text); };
  appState.dataViewScaleChanged = [setDatenCaption](const DisplayScale& scale) {
    setDatenCaption(DatenCaption(scale));
  };
  RunStartupNumerics();
  appState.setGrafikCaption = [setCaption](const std::string& caption) { setCaption(caption); };
  CreateViewContexts(&grafikCanvas, &datenCanvas);
}

void Paint(const std::string& view, int width, int height) {
  if (ViewOf(view) == NavView::Daten) {
    DatenPaintOrResize(width, height);
  } else {
    GrafikPaintOrResize(width, height);
  }
}

void KeyDown(const std::string& view, int key, bool shift) {
  if (ViewOf(view) == NavView::Daten) {
    DatenKeyDown(key, shift);
  } else {
    GrafikKeyDown(key, shift);
  }
}

void PointerDown(const std::string& view, int button, double x, double y, bool dragButtonHeld) {
  PointerOf(view).Press(ButtonOf(button), x, y, dragButtonHeld);
}
void PointerMove(const std::string& view, double x, double y, bool dragButtonHeld, bool shift) {
  PointerOf(view).Move(x, y, dragButtonHeld, shift);
}
bool PointerUp(const std::string& view, int button) { return PointerOf(view).Release(ButtonOf(button)); }
void DoubleClick(const std::string& view, int button) { PointerOf(view).DoubleClick(ButtonOf(button)); }
// The button of the drag under way, as the DOM numbers it, or -1.
int DragButton(const std::string& view) {
  switch (PointerOf(view).dragButton()) {
    case PointerButton::Left: return 0;
    case PointerButton::Middle: return 1;
    case PointerButton::Right: return 2;
    default: return -1;
  }
}
void Wheel(const std::string& view, double angleDeltaY, double pixelDeltaY) {
  const double notches = WheelNotches(angleDeltaY, pixelDeltaY);
  if (notches != 0) WheelMove(ViewOf(view), notches);
}

std::string DeltaLabel() { return DeltaLabelText(appState.delta); }
// The chosen level's label; levelLabel holds the same once the level has
// moved, and nothing before, when the page re-reads its labels after Berechne!.
std::string LevelLabel() { return LevelLabelText(appState.chosenLevel); }
std::string CurrentDeltaLabel() { return CurrentDeltaLabelText(appState.currentDelta); }

// What the page and its tests read back.
emscripten::val StateNow() {
  const AppState& s = appState;
  emscripten::val o = emscripten::val::object();
  o.set("delta", s.delta);
  o.set("currentDelta", s.currentDelta);
  o.set("chosenLevel", s.chosenLevel);
  o.set("navMode", s.navMode == NavMode::Rotate ? std::string("R") : std::string("T"));
  emscripten::val functions = emscripten::val::array();
  for (const Orientation& f : s.functionOrientation) {
    functions.call<void>("push", emscripten::val::array(std::vector<double>{f.alpha, f.beta, f.gamma}));
  }
  o.set("functionOrientation", functions);
  o.set("Dalpha", s.Dalpha);
  o.set("Dbeta", s.Dbeta);
  o.set("Dgamma", s.Dgamma);
  o.set("DPosX", s.DPosX);
  o.set("DPosY", s.DPosY);
  o.set("DPosZ", s.DPosZ);
  o.set("GPosX", s.GPosX);
  o.set("GPosY", s.GPosY);
  o.set("GPosZ", s.GPosZ);
  o.set("topLevel", s.topLevel);
  o.set("resolution", Resolution());
  o.set("sourceKind", std::string(s.sourceKind == SourceKind::Sample    ? "Sample"
                                  : s.sourceKind == SourceKind::Formula ? "Formula"
                                                                        : "File"));
  o.set("sourceName", s.sourceName);
  o.set("selectedFunction", static_cast<int>(s.selectedFunction));
  o.set("closeUp", s.closeUp);
  const std::optional<CompressionRecord> c = Compression();
  o.set("compressedPercent", c ? emscripten::val(c->percent) : emscripten::val::null());
  o.set("stepNear", s.stepNear);
  o.set("stepFar", s.stepFar);
  o.set("stepData", s.stepData);
  o.set("rotStep", s.rotStep);
  o.set("transitionSteps", s.transitionSteps);
  o.set("datenScale", emscripten::val::array(std::vector<double>{s.dataViewScale.factor, s.dataViewScale.offset}));
  return o;
}

// "de" or "en", from the page's link; anything else leaves the language as it is.
bool ChooseLanguage(const std::string& code) {
  const std::optional<Language> language = LanguageFromCode(code);
  if (language) SetLanguage(*language);
  return language.has_value();
}

// The English catalogue as [German, English] pairs: the page's own texts
// (its HTML and scripts) are translated with the same table as the module's.
emscripten::val Catalogue() {
  emscripten::val pairs = emscripten::val::array();
  for (std::size_t i = 0; i < kEnglishCount; ++i) {
    emscripten::val pair = emscripten::val::array();
    pair.call<void>("push", std::string(kEnglish[i].german));
    pair.call<void>("push", std::string(kEnglish[i].english));
    pairs.call<void>("push", pair);
  }
  return pairs;
}

}  // namespace

EMSCRIPTEN_BINDINGS(veltra) {
  emscripten::function("setLanguage", &ChooseLanguage);
  emscripten::function("catalogue", &Catalogue);
  emscripten::function("start", &Start);
  emscripten::function("paint", &Paint);
  emscripten::function("deltaChanged", &DeltaChanged);
  emscripten::function("levelChanged", &LevelChanged);
  emscripten::function("compute", &Compute);
  emscripten::function("zoomChanged", &ZoomChanged);
  emscripten::function("onlyDataChanged", &OnlyDataChanged);
  emscripten::function("wireframeChanged", &WireframeChanged);
  emscripten::function("deltaLabel", &DeltaLabel);
  emscripten::function("levelLabel", &LevelLabel);
  emscripten::function("currentDeltaLabel", &CurrentDeltaLabel);
  emscripten::function("keyDown", &KeyDown);
  emscripten::function("pointerDown", &PointerDown);
  emscripten::function("pointerMove", &PointerMove);
  emscripten::function("pointerUp", &PointerUp);
  emscripten::function("doubleClick", &DoubleClick);
  emscripten::function("dragButton", &DragButton);
  emscripten::function("wheel", &Wheel);
  emscripten::function("state", &StateNow);
}
