#pragma once

#include "framework/core/utf_codec.h"

#include <cstring>

namespace plugkit {

// Strict conversion, for texts handed to the platform's wide calls: a text
// that is not strict UTF-8 (an overlong form, a surrogate, a value beyond
// U+10FFFF, a sequence cut short) is not converted at all, so that the
// caller can fall back on the narrow call or on an empty text.

// Converts NUL-terminated UTF-8 into UTF-16 units (no terminator written).
// Writes whole characters to `out`, when given, while they fit in `capacity`
// units; returns the units written, with no `out` the units the whole text
// needs, or -1 when the text is not strict UTF-8.
template <typename Unit>
int Utf8ToUtf16Strict(const char* text, Unit* out, int capacity) {
  return Utf8ToUtf16Units(text, text + std::strlen(text), out, capacity, DecodeUtf8Char);
}

} // namespace plugkit
