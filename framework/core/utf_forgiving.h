#pragma once

#include <string>

namespace plugkit {

// Forgiving conversion, for text being edited: malformed input never fails
// and keeps something of every byte, so that nothing typed or pasted
// silently disappears.

// A lead byte without its continuation bytes, an overlong form or a code
// point beyond U+10FFFF becomes the lead byte's value as one unit, a
// surrogate written in three bytes its own unit, and the obsolete 5- and
// 6-byte forms become "_".
std::u16string Utf8ToUtf16Forgiving(const std::string& utf8);

// A high surrogate followed by a low one becomes one code point; every
// other unit is encoded by itself.
std::string Utf16ToUtf8Forgiving(const std::u16string& utf16);

// Writes the code point and a terminating zero into `dest` of `destSize`
// bytes and returns the bytes written before the zero; "_" when the code
// point does not fit or is 0x200000 or more; nothing for a size of 0. A
// negative code point counts as 0.
int EncodeUtf8Forgiving(char* dest, int codePoint, int destSize);

} // namespace plugkit
