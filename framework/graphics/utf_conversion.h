#pragma once

#include "framework/core/utf_forgiving.h"

#include <string>

namespace plugkit::igraphics {

// The toolkit's names for the forgiving conversions that text entry, the
// clipboard and the native menus use.

inline std::u16string UTF8ToUTF16(const std::string& utf8) { return Utf8ToUtf16Forgiving(utf8); }
inline std::string UTF16ToUTF8(const std::u16string& utf16) { return Utf16ToUtf8Forgiving(utf16); }
inline int EncodeUTF8(char* dest, int codePoint, int destSize) {
  return EncodeUtf8Forgiving(dest, codePoint, destSize);
}

} // namespace plugkit::igraphics
