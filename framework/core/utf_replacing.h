#pragma once

#include "framework/core/utf_codec.h"

#include <cstring>

namespace plugkit {

// Replacing conversion: malformed input becomes U+FFFD and the conversion
// goes on. For texts that must always arrive somewhere (a host's string, a
// list item, a wide result read back), never fails, allocates or throws.

constexpr char32_t kReplacementChar = 0xFFFD;

// One character at `text` (not its terminator): a malformed sequence
// becomes one U+FFFD, taking its whole form when all its continuation bytes
// are there (an overlong form, a surrogate, a value beyond U+10FFFF) and
// only the lead byte otherwise. Returns the bytes taken.
int DecodeUtf8CharReplacingEachSequence(const char* text, char32_t& codePoint);

// One character at `text` (not its terminator): each byte that does not
// start a strict character becomes U+FFFD. Returns the bytes taken.
int DecodeUtf8CharReplacingEachByte(const char* text, char32_t& codePoint);

// NUL-terminated UTF-8 to UTF-16 units (no terminator written), each
// malformed sequence one U+FFFD. Writes whole characters to `out`, when
// given, while they fit in `capacity` units and returns the units written;
// with no `out`, the units the whole text needs.
template <typename Unit>
int Utf8ToUtf16ReplacingEachSequence(const char* text, Unit* out, int capacity) {
  return Utf8ToUtf16Units(text, text + std::strlen(text), out, capacity,
                          DecodeUtf8CharReplacingEachSequence);
}

// As Utf8ToUtf16ReplacingEachSequence, but each byte of a malformed
// sequence becomes one U+FFFD.
template <typename Unit>
int Utf8ToUtf16ReplacingEachByte(const char* text, Unit* out, int capacity) {
  return Utf8ToUtf16Units(text, text + std::strlen(text), out, capacity,
                          DecodeUtf8CharReplacingEachByte);
}

// Converts `count` UTF-16 units (NULs among them are copied) to UTF-8; an
// unpaired surrogate becomes U+FFFD. Writes at most `capacity` bytes to `out`
// when it is given, never cutting a character, and returns the bytes
// written; with no `out`, returns the bytes the whole text needs.
template <typename Unit>
int Utf16ToUtf8Replacing(const Unit* units, int count, char* out, int capacity) {
  int bytes = 0;
  for (int i = 0; i < count;) {
    char32_t c = 0;
    i += DecodeUtf16Char(units + i, count - i, c);
    if (c >= 0xD800 && c < 0xE000) c = kReplacementChar;
    char encoded[4];
    const int len = EncodeUtf8Char(c, encoded);
    if (out) {
      if (bytes + len > capacity) break;
      for (int k = 0; k < len; ++k) out[bytes + k] = encoded[k];
    }
    bytes += len;
  }
  return bytes;
}

// Writes `count` UTF-16 units (null: none) as UTF-8 into `out` of `size`
// bytes: at most size - 1 bytes, never cut inside a character, then a
// terminator. Returns the bytes before the terminator (0 and nothing written
// without `out` or room).
template <typename Unit>
int Utf16ToUtf8ReplacingWithin(const Unit* units, int count, char* out, int size) {
  if (!out || size <= 0) return 0;
  const int bytes = units ? Utf16ToUtf8Replacing(units, count, out, size - 1) : 0;
  out[bytes] = 0;
  return bytes;
}

} // namespace plugkit
