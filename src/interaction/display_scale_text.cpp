#include "interaction/display_scale_text.h"

#include "interaction/readouts.h"

std::string DisplayScaleText(const DisplayScale& scale) {
  if (scale.IsIdentity()) return "";
  std::string text = "H\u00f6hen";
  if (scale.factor != 1.0) text += " x " + FormatReadout(scale.factor);
  if (scale.offset != 0.0) text += (scale.factor != 1.0 ? ", ab " : " ab ") + FormatReadout(scale.offset);
  return text;
}

std::string DatenCaption(const DisplayScale& scale) {
  const std::string text = DisplayScaleText(scale);
  return text.empty() ? "Daten" : "Daten (" + text + ")";
}
