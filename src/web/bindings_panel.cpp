// The page's control panel beyond the sliders: "Auswahl" with its animated
// transition, "Einstellungen" and the help's text, wired to the same
// interaction functions as the desktop's panel.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <memory>
#include <string>

#include "interaction/help_text.h"
#include "interaction/selection.h"
#include "interaction/settings.h"

namespace {

using emscripten::val;

// The transition under way, one frame per browser frame.
std::unique_ptr<SelectionTransition> transition;

// A new choice first completes the transition under way, as the desktop's
// loop would have before it took the next event.
void SelectBegin(int item) {
  if (transition) transition->Finish();
  transition = std::make_unique<SelectionTransition>(item);
}
// Draws the next frame; false once the transition is complete.
bool SelectStep() {
  if (!transition) return false;
  if (transition->Step()) return true;
  transition.reset();
  return false;
}

val SettingsNow() {
  const SettingsText t = CurrentSettingsText();
  val o = val::object();
  o.set("near", t.near);
  o.set("far", t.far);
  o.set("data", t.data);
  o.set("rotStep", t.rotStep);
  o.set("steps", t.steps);
  return o;
}

// "" when the fields were taken over, else the desktop's message; then
// nothing is taken over.
std::string SettingsApply(const val& fields) {
  const SettingsText t{fields["near"].as<std::string>(), fields["far"].as<std::string>(),
                       fields["data"].as<std::string>(), fields["rotStep"].as<std::string>(),
                       fields["steps"].as<std::string>()};
  const SettingsCheck check = CheckSettings(t);
  if (!check.values) return check.error;
  ApplySettings(*check.values);
  return {};
}

std::string Help() { return HelpHtml(); }

}  // namespace

EMSCRIPTEN_BINDINGS(panel) {
  emscripten::function("selectBegin", &SelectBegin);
  emscripten::function("selectStep", &SelectStep);
  emscripten::function("settings", &SettingsNow);
  emscripten::function("applySettings", &SettingsApply);
  emscripten::function("helpHtml", &Help);
}
