#include "framework/core/utf_codec.h"

namespace plugkit {

namespace {

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

} // namespace

int Utf8SequenceLength(const char* text) {
  const auto* p = reinterpret_cast<const unsigned char*>(text);
  const unsigned char lead = p[0];
  int len = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    len = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    len = 3;
  } else if (lead >= 0xF0 && lead <= 0xF7) {
    len = 4;
  } else {
    return 0;
  }
  // Each continuation byte is checked before the next is read, so a sequence
  // cut short by the terminator ends the check there.
  for (int i = 1; i < len; ++i) {
    if (!IsContinuation(p[i])) return 0;
  }
  if (len == 3 && !((lead & 0x0F) || (p[1] & 0x20))) return 0;
  if (len == 4 && !((lead & 0x07) || (p[1] & 0x30))) return 0;
  return len;
}

int Utf8FormLength(const char* text) {
  const auto* p = reinterpret_cast<const unsigned char*>(text);
  const unsigned char lead = p[0];
  int len = 0;
  if ((lead & 0xE0) == 0xC0) {
    len = 2;
  } else if ((lead & 0xF0) == 0xE0) {
    len = 3;
  } else if ((lead & 0xF8) == 0xF0) {
    len = 4;
  } else if ((lead & 0xFC) == 0xF8) {
    len = 5;
  } else if ((lead & 0xFE) == 0xFC) {
    len = 6;
  } else {
    return 0;
  }
  for (int i = 1; i < len; ++i) {
    if (!IsContinuation(p[i])) return 0;
  }
  return len;
}

int Utf8Classify(const char* text) {
  if (!text) return 0;
  int result = 0;
  for (const char* p = text; *p;) {
    if (static_cast<unsigned char>(*p) < 0x80) {
      ++p;
      continue;
    }
    const int len = Utf8SequenceLength(p);
    if (len == 0) return -1;
    result = 1;
    p += len;
  }
  return result;
}

int DecodeUtf8Char(const char* text, char32_t& codePoint) {
  const auto* p = reinterpret_cast<const unsigned char*>(text);
  const unsigned char lead = p[0];
  if (lead == 0) return 0;
  if (lead < 0x80) {
    codePoint = lead;
    return 1;
  }
  int len = 0;
  char32_t c = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    len = 2;
    c = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    len = 3;
    c = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;  // overlong below U+0800
    if (lead == 0xED) high = 0x9F; // surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    len = 4;
    c = lead & 0x07;
    if (lead == 0xF0) low = 0x90;  // overlong below U+10000
    if (lead == 0xF4) high = 0x8F; // beyond U+10FFFF
  } else {
    return 0;
  }
  if (p[1] < low || p[1] > high) return 0;
  for (int i = 1; i < len; ++i) {
    if (!IsContinuation(p[i])) return 0;
    c = (c << 6) | (p[i] & 0x3F);
  }
  codePoint = c;
  return len;
}

int EncodeUtf8Char(char32_t c, char* out) {
  if (c < 0x80) {
    out[0] = static_cast<char>(c);
    return 1;
  }
  if (c < 0x800) {
    out[0] = static_cast<char>(0xC0 | (c >> 6));
    out[1] = static_cast<char>(0x80 | (c & 0x3F));
    return 2;
  }
  if (c < 0x10000) {
    out[0] = static_cast<char>(0xE0 | (c >> 12));
    out[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out[2] = static_cast<char>(0x80 | (c & 0x3F));
    return 3;
  }
  out[0] = static_cast<char>(0xF0 | ((c >> 18) & 0x07));
  out[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
  out[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
  out[3] = static_cast<char>(0x80 | (c & 0x3F));
  return 4;
}

} // namespace plugkit
