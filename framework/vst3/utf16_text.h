#pragma once

#include "pluginterfaces/vst/vsttypes.h"

namespace plugkit {

// Text conversion at the VST3 boundary, into and out of the hosts'
// fixed-size, terminated string buffers. Hosts may hand over any 16-bit
// units, so malformed input becomes U+FFFD instead of an error (the
// replacing conversions); nothing allocates or throws.

// Writes at most maxChars - 1 UTF-16 units and a terminator; a character
// that does not fit whole is left out. Returns the units written.
int Utf8ToUtf16(const char* text, Steinberg::Vst::TChar* out, int maxChars) noexcept;
// Reads at most maxChars units (or up to a terminator) and writes at most
// outBytes - 1 bytes and a terminator, never cutting a character. Returns the
// bytes written.
int Utf16ToUtf8(const Steinberg::Vst::TChar* text, int maxChars, char* out, int outBytes) noexcept;

} // namespace plugkit
