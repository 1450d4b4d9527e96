#pragma once

#include "framework/core/param.h"

namespace plugkit::igraphics {

// Whether the native text entry lets a typed character through for a
// parameter of this type: whole-number types take signs and digits, Double
// also the decimal point, and an entry without a parameter takes anything.
// Backspace always passes.
bool TextEntryAllowsChar(const IParam* param, wchar_t c);

} // namespace plugkit::igraphics
