#pragma once

namespace plugkit {

// 0 when the text holds only 7-bit bytes, 1 when it holds multi-byte
// sequences that are all well-formed, -1 as soon as one is not (null: 0).
// "Well-formed" is the loose test that decides whether a text is meant as
// UTF-8 at all; DecodeUtf8Char is the strict one.
int Utf8Classify(const char* text);

// Length of the multi-byte sequence at `text` when it is well-formed by the
// loose test of Utf8Classify, else 0. Never reads past a terminator.
int Utf8SequenceLength(const char* text);

// Decodes one character at `text` strictly: no overlong forms, no
// surrogates, nothing beyond U+10FFFF, no sequence cut short. Returns the
// bytes it takes, 0 for a malformed sequence (or the terminator).
int DecodeUtf8Char(const char* text, char32_t& codePoint);

// Writes the UTF-8 bytes of a code point (1 to 4) to `out`; returns the count.
// Surrogate code points are written as they are, in three bytes.
int EncodeUtf8Char(char32_t codePoint, char* out);

enum class Utf8Decoding {
  kStrict, // a malformed sequence fails the whole conversion
  kLenient // each byte of a malformed sequence becomes U+FFFD
};

// Converts NUL-terminated UTF-8 into UTF-16 units (no terminator written).
// Writes at most `capacity` units to `out` when `out` is given; returns the
// units the whole text needs, or -1 when strict decoding fails.
template <typename Unit>
int DecodeUtf8ToUtf16(const char* text, Unit* out, int capacity, Utf8Decoding mode) {
  int units = 0;
  auto put = [&](char32_t unit) {
    if (out && units < capacity) out[units] = static_cast<Unit>(unit);
    ++units;
  };
  while (*text) {
    char32_t c = 0;
    int len = DecodeUtf8Char(text, c);
    if (len == 0) {
      if (mode == Utf8Decoding::kStrict) return -1;
      c = 0xFFFD;
      len = 1;
    }
    text += len;
    if (c >= 0x10000) {
      put(0xD800 + ((c - 0x10000) >> 10));
      put(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      put(c);
    }
  }
  return units;
}

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

// Converts `count` UTF-16 units (NULs among them are copied) to UTF-8; an
// unpaired surrogate becomes U+FFFD. Writes at most `capacity` bytes to `out`
// when it is given, never cutting a character, and returns the bytes
// written; with no `out`, returns the bytes the whole text needs.
template <typename Unit>
int EncodeUtf16AsUtf8(const Unit* units, int count, char* out, int capacity) {
  int bytes = 0;
  for (int i = 0; i < count;) {
    char32_t c = 0;
    i += DecodeUtf16Char(units + i, count - i, c);
    if (c >= 0xD800 && c < 0xE000) c = 0xFFFD;
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

} // namespace plugkit
