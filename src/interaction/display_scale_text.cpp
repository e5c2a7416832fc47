#include "interaction/display_scale_text.h"

#include "interaction/readouts.h"
#include "text/language.h"

std::string DisplayScaleText(const DisplayScale& scale) {
  if (scale.IsIdentity()) return "";
  const std::string factor = FormatReadout(scale.factor), offset = FormatReadout(scale.offset);
  if (scale.factor == 1.0) return TrArgs("Höhen ab %1", {offset});
  if (scale.offset == 0.0) return TrArgs("Höhen x %1", {factor});
  return TrArgs("Höhen x %1, ab %2", {factor, offset});
}

std::string DatenCaption(const DisplayScale& scale) {
  const std::string text = DisplayScaleText(scale);
  return text.empty() ? std::string(Tr("Daten")) : TrArgs("Daten (%1)", {text});
}
