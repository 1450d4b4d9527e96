#pragma once

#include "framework/vst3/utf16_text.h"

#include <string>

namespace plugkit::test {

// A VST3 text of at most 128 characters as UTF-8, as a host shows it.
inline std::string Utf8Of(const Steinberg::Vst::TChar* text) {
  char out[512];
  Utf16ToUtf8(text, 128, out, sizeof(out));
  return out;
}

} // namespace plugkit::test
