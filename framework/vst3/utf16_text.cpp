#include "framework/vst3/utf16_text.h"

#include "framework/core/utf_replacing.h"

namespace plugkit {

int Utf8ToUtf16(const char* text, Steinberg::Vst::TChar* out, int maxChars) noexcept {
  if (!out || maxChars <= 0) return 0;
  const int written = Utf8ToUtf16ReplacingEachSequence(text ? text : "", out, maxChars - 1);
  out[written] = 0;
  return written;
}

int Utf16ToUtf8(const Steinberg::Vst::TChar* text, int maxChars, char* out, int outBytes) noexcept {
  int count = 0;
  while (text && count < maxChars && text[count]) ++count;
  return Utf16ToUtf8ReplacingWithin(text, count, out, outBytes);
}

} // namespace plugkit
