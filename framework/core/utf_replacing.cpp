#include "framework/core/utf_replacing.h"

namespace plugkit {

int DecodeUtf8CharReplacingEachSequence(const char* text, char32_t& codePoint) {
  if (const int length = DecodeUtf8Char(text, codePoint)) return length;
  codePoint = kReplacementChar;
  const int form = Utf8FormLength(text);
  return form <= 4 && form > 0 ? form : 1;
}

int DecodeUtf8CharReplacingEachByte(const char* text, char32_t& codePoint) {
  if (const int length = DecodeUtf8Char(text, codePoint)) return length;
  codePoint = kReplacementChar;
  return 1;
}

} // namespace plugkit
