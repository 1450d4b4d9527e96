#include "framework/core/utf_forgiving.h"

#include "framework/core/utf_codec.h"

namespace plugkit {

namespace {

// One character at `text`, which may be an embedded zero byte.
int DecodeUtf8CharForgiving(const char* text, char32_t& codePoint) {
  const int form = Utf8FormLength(text);
  if (form > 4) {
    codePoint = U'_';
    return form;
  }
  if (const int length = DecodeUtf8Char(text, codePoint)) return length;
  const auto* p = reinterpret_cast<const unsigned char*>(text);
  if (form == 3 && p[0] == 0xED) {
    codePoint = 0xD000 | static_cast<char32_t>((p[1] & 0x3F) << 6) | (p[2] & 0x3F);
    return 3;
  }
  codePoint = p[0];
  return 1;
}

} // namespace

std::u16string Utf8ToUtf16Forgiving(const std::string& utf8) {
  const char* begin = utf8.c_str();
  const char* end = begin + utf8.size();
  std::u16string out(static_cast<size_t>(Utf8ToUtf16Units<char16_t>(begin, end, nullptr, 0,
                                                                    DecodeUtf8CharForgiving)),
                     u'\0');
  Utf8ToUtf16Units(begin, end, out.data(), static_cast<int>(out.size()), DecodeUtf8CharForgiving);
  return out;
}

std::string Utf16ToUtf8Forgiving(const std::u16string& utf16) {
  std::string out;
  const int count = static_cast<int>(utf16.size());
  for (int i = 0; i < count;) {
    char32_t c = 0;
    i += DecodeUtf16Char(utf16.data() + i, count - i, c);
    char encoded[4];
    out.append(encoded, static_cast<size_t>(EncodeUtf8Char(c, encoded)));
  }
  return out;
}

int EncodeUtf8Forgiving(char* dest, int codePoint, int destSize) {
  if (!dest || destSize <= 0) return 0;
  const auto c = static_cast<char32_t>(codePoint < 0 ? 0 : codePoint);
  const int n = c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : c < 0x200000 ? 4 : 0;
  if (destSize == 1) {
    dest[0] = '\0';
    return 0;
  }
  if (n == 0 || n + 1 > destSize) {
    dest[0] = '_';
    dest[1] = '\0';
    return 1;
  }
  EncodeUtf8Char(c, dest);
  dest[n] = '\0';
  return n;
}

} // namespace plugkit
