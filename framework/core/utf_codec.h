#pragma once

namespace plugkit {

// The building blocks of every UTF-8 and UTF-16 conversion: classifying,
// decoding and encoding one character. The conversions with their policies
// for malformed input (utf_strict.h, utf_replacing.h, utf_forgiving.h) are
// made of these.

// 0 when the text holds only 7-bit bytes, 1 when it holds multi-byte
// sequences that are all well-formed, -1 as soon as one is not (null: 0).
// "Well-formed" is the loose test that decides whether a text is meant as
// UTF-8 at all; DecodeUtf8Char is the strict one.
int Utf8Classify(const char* text);

// Length of the multi-byte sequence at `text` when it is well-formed by the
// loose test of Utf8Classify, else 0. Never reads past a terminator.
int Utf8SequenceLength(const char* text);

// Length of the form the lead byte at `text` announces (2 to 6 bytes, the
// obsolete 5- and 6-byte forms included) when all its continuation bytes
// follow, whatever value they spell; else 0. Never reads past a terminator.
int Utf8FormLength(const char* text);

// Decodes one character at `text` strictly: no overlong forms, no
// surrogates, nothing beyond U+10FFFF, no sequence cut short. Returns the
// bytes it takes, 0 for a malformed sequence (or the terminator).
int DecodeUtf8Char(const char* text, char32_t& codePoint);

// Writes the UTF-8 bytes of a code point (1 to 4) to `out`; returns the count.
// Surrogate code points are written as they are, in three bytes.
int EncodeUtf8Char(char32_t codePoint, char* out);

// Reads the code point of the UTF-16 units at `units` (count > 0) into
// `codePoint`; returns the units it takes. An unpaired surrogate is returned
// as it is, and the caller decides what it stands for.
template <typename Unit>
int DecodeUtf16Char(const Unit* units, int count, char32_t& codePoint) {
  const char32_t first = static_cast<char16_t>(units[0]);
  if (first >= 0xD800 && first < 0xDC00 && count > 1) {
    const char32_t second = static_cast<char16_t>(units[1]);
    if (second >= 0xDC00 && second < 0xE000) {
      codePoint = 0x10000 + ((first - 0xD800) << 10) + (second - 0xDC00);
      return 2;
    }
  }
  codePoint = first;
  return 1;
}

// The UTF-16 units a code point takes: 2 beyond U+FFFF, else 1.
constexpr int Utf16Length(char32_t codePoint) { return codePoint >= 0x10000 ? 2 : 1; }

// Writes a code point as UTF-16 (a surrogate pair beyond U+FFFF) to `out`;
// returns the units written.
template <typename Unit>
int EncodeUtf16Char(char32_t codePoint, Unit* out) {
  if (codePoint < 0x10000) {
    out[0] = static_cast<Unit>(codePoint);
    return 1;
  }
  out[0] = static_cast<Unit>(0xD800 + ((codePoint - 0x10000) >> 10));
  out[1] = static_cast<Unit>(0xDC00 + ((codePoint - 0x10000) & 0x3FF));
  return 2;
}

// Converts the UTF-8 bytes from `text` to `end` (followed by a zero byte) to
// UTF-16, one character at a time by `decode` (const char*, char32_t&) ->
// bytes taken, where 0 fails the whole conversion. Writes whole characters
// to `out`, when given, while they fit in `capacity` units and returns the
// units written; with no `out`, the units the whole text needs; -1 when it
// fails.
template <typename Unit, typename Decode>
int Utf8ToUtf16Units(const char* text, const char* end, Unit* out, int capacity, Decode decode) {
  int units = 0;
  while (text < end) {
    char32_t c = 0;
    const int length = decode(text, c);
    if (length == 0) return -1;
    if (out) {
      if (units + Utf16Length(c) > capacity) break;
      EncodeUtf16Char(c, out + units);
    }
    units += Utf16Length(c);
    text += length;
  }
  return units;
}

} // namespace plugkit
