#include "framework/graphics/utf_conversion.h"

namespace plugkit::igraphics {

namespace {

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Decodes the sequence at utf8[i]: the code point, or -1 for a malformed
// sequence, and the bytes it takes.
int Decode(const std::string& utf8, size_t i, size_t& length) {
  const auto lead = static_cast<unsigned char>(utf8[i]);
  int extra = 0;
  int cp = 0;
  int minimum = 0;
  if (lead < 0x80) {
    length = 1;
    return lead;
  }
  if ((lead & 0xE0) == 0xC0) {
    extra = 1;
    cp = lead & 0x1F;
    minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2;
    cp = lead & 0x0F;
    minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3;
    cp = lead & 0x07;
    minimum = 0x10000;
  } else {
    length = 1;
    return -1;
  }
  if (i + static_cast<size_t>(extra) >= utf8.size()) {
    length = 1;
    return -1;
  }
  for (int k = 1; k <= extra; ++k) {
    const auto c = static_cast<unsigned char>(utf8[i + static_cast<size_t>(k)]);
    if (!IsContinuation(c)) {
      length = 1;
      return -1;
    }
    cp = (cp << 6) | (c & 0x3F);
  }
  length = 1 + static_cast<size_t>(extra);
  if (cp < minimum || cp > 0x10FFFF) {
    length = 1;
    return -1;
  }
  return cp;
}

// The obsolete 5- and 6-byte forms: their length, or 0.
size_t ObsoleteFormLength(const std::string& utf8, size_t i) {
  const auto lead = static_cast<unsigned char>(utf8[i]);
  const size_t length = (lead & 0xFC) == 0xF8 ? 5 : (lead & 0xFE) == 0xFC ? 6 : 0;
  if (length == 0 || i + length > utf8.size()) return 0;
  for (size_t k = 1; k < length; ++k) {
    if (!IsContinuation(static_cast<unsigned char>(utf8[i + k]))) return 0;
  }
  return length;
}

} // namespace

std::u16string UTF8ToUTF16(const std::string& utf8) {
  std::u16string out;
  for (size_t i = 0; i < utf8.size();) {
    if (const size_t obsolete = ObsoleteFormLength(utf8, i)) {
      out.push_back(u'_');
      i += obsolete;
      continue;
    }
    size_t length = 1;
    const int cp = Decode(utf8, i, length);
    if (cp < 0) {
      out.push_back(static_cast<char16_t>(static_cast<unsigned char>(utf8[i])));
    } else if (cp > 0xFFFF) {
      const int v = cp - 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (v >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (v & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
    i += length;
  }
  return out;
}

std::string UTF16ToUTF8(const std::u16string& utf16) {
  std::string out;
  for (size_t i = 0; i < utf16.size(); ++i) {
    int cp = utf16[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
        utf16[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
      ++i;
    }
    char bytes[5];
    const int n = EncodeUTF8(bytes, cp, sizeof(bytes));
    out.append(bytes, static_cast<size_t>(n));
  }
  return out;
}

int EncodeUTF8(char* dest, int codePoint, int destSize) {
  if (!dest || destSize <= 0) return 0;
  if (destSize == 1) {
    dest[0] = '\0';
    return 0;
  }
  const int cp = codePoint < 0 ? 0 : codePoint;
  const int n = cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : cp < 0x200000 ? 4 : 0;
  if (n == 0 || n + 1 > destSize) {
    dest[0] = '_';
    dest[1] = '\0';
    return 1;
  }
  if (n == 1) {
    dest[0] = static_cast<char>(cp);
  } else {
    static const int kLeadMarks[] = {0, 0, 0xC0, 0xE0, 0xF0};
    for (int k = n - 1; k > 0; --k) {
      dest[k] = static_cast<char>(0x80 | ((cp >> (6 * (n - 1 - k))) & 0x3F));
    }
    dest[0] = static_cast<char>(kLeadMarks[n] | (cp >> (6 * (n - 1))));
  }
  dest[n] = '\0';
  return n;
}

} // namespace plugkit::igraphics
