#pragma once
// The shown text of a German text of the program, as a QString (see
// text/language.h).
#include <QString>

#include "text/language.h"

inline QString TrQ(const char* german) { return QString::fromUtf8(Tr(german)); }
