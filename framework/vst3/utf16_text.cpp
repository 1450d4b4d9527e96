#include "framework/vst3/utf16_text.h"

#include <cstdint>

namespace plugkit {

namespace {

constexpr uint32_t kReplacement = 0xFFFD;

// Decodes one character at text[i], advancing i; malformed sequences give
// the replacement character and consume one byte.
uint32_t DecodeUtf8(const unsigned char* text, int& i) {
  const unsigned char lead = text[i++];
  if (lead < 0x80) return lead;
  int extra = 0;
  uint32_t code = 0;
  uint32_t minimum = 0;
  if ((lead & 0xE0) == 0xC0) {
    extra = 1;
    code = lead & 0x1F;
    minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2;
    code = lead & 0x0F;
    minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3;
    code = lead & 0x07;
    minimum = 0x10000;
  } else {
    return kReplacement;
  }
  for (int k = 0; k < extra; ++k) {
    if ((text[i + k] & 0xC0) != 0x80) return kReplacement;
  }
  for (int k = 0; k < extra; ++k) code = (code << 6) | (text[i + k] & 0x3F);
  i += extra;
  if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return kReplacement;
  return code;
}

int EncodeUtf8(uint32_t code, char* out) {
  if (code < 0x80) {
    out[0] = static_cast<char>(code);
    return 1;
  }
  if (code < 0x800) {
    out[0] = static_cast<char>(0xC0 | (code >> 6));
    out[1] = static_cast<char>(0x80 | (code & 0x3F));
    return 2;
  }
  if (code < 0x10000) {
    out[0] = static_cast<char>(0xE0 | (code >> 12));
    out[1] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out[2] = static_cast<char>(0x80 | (code & 0x3F));
    return 3;
  }
  out[0] = static_cast<char>(0xF0 | (code >> 18));
  out[1] = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
  out[2] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
  out[3] = static_cast<char>(0x80 | (code & 0x3F));
  return 4;
}

} // namespace

int Utf8ToUtf16(const char* text, Steinberg::Vst::TChar* out, int maxChars) {
  if (!out || maxChars <= 0) return 0;
  const auto* bytes = reinterpret_cast<const unsigned char*>(text ? text : "");
  int written = 0;
  for (int i = 0; bytes[i];) {
    const uint32_t code = DecodeUtf8(bytes, i);
    if (code >= 0x10000) {
      if (written + 2 > maxChars - 1) break;
      out[written++] = static_cast<Steinberg::Vst::TChar>(0xD800 + ((code - 0x10000) >> 10));
      out[written++] = static_cast<Steinberg::Vst::TChar>(0xDC00 + ((code - 0x10000) & 0x3FF));
    } else {
      if (written + 1 > maxChars - 1) break;
      out[written++] = static_cast<Steinberg::Vst::TChar>(code);
    }
  }
  out[written] = 0;
  return written;
}

int Utf16ToUtf8(const Steinberg::Vst::TChar* text, int maxChars, char* out, int outBytes) {
  if (!out || outBytes <= 0) return 0;
  int written = 0;
  for (int i = 0; text && i < maxChars && text[i];) {
    uint32_t code = text[i++];
    if (code >= 0xD800 && code <= 0xDBFF) {
      if (i < maxChars && text[i] >= 0xDC00 && text[i] <= 0xDFFF)
        code = 0x10000 + ((code - 0xD800) << 10) + (text[i++] - 0xDC00);
      else
        code = kReplacement;
    } else if (code >= 0xDC00 && code <= 0xDFFF) {
      code = kReplacement;
    }
    char encoded[4];
    const int n = EncodeUtf8(code, encoded);
    if (written + n > outBytes - 1) break;
    for (int k = 0; k < n; ++k) out[written++] = encoded[k];
  }
  out[written] = 0;
  return written;
}

} // namespace plugkit
