#pragma once

#include <string>

namespace plugkit::igraphics {

// Malformed input never fails: a lead byte without its continuation bytes,
// an overlong form or a code point beyond U+10FFFF becomes the lead byte's
// value as one unit, and the obsolete 5- and 6-byte forms become "_".
std::u16string UTF8ToUTF16(const std::string& utf8);
// A high surrogate followed by a low one becomes one code point; every
// other unit is encoded by itself.
std::string UTF16ToUTF8(const std::u16string& utf16);
// Writes the code point and a terminating zero into `dest` of `destSize`
// bytes and returns the bytes written before the zero; "_" when the code
// point does not fit or is 0x200000 or more; nothing for a size of 0.
int EncodeUTF8(char* dest, int codePoint, int destSize);

} // namespace plugkit::igraphics
