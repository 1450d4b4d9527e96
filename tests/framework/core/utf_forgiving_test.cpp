#include "framework/core/utf_forgiving.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace plugkit {
namespace {

TEST(Utf8ToUtf16Forgiving, MalformedInputNeverFails) {
  struct Case {
    std::string utf8;
    std::u16string units;
  } cases[] = {
      {"abc", u"abc"},
      {"\xE2\x82\xAC", u"\u20AC"},
      {"\xF0\x9F\x98\x80", u"\U0001F600"},
      {"\xC0\xAF", {0xC0, 0xAF}},                     // overlong slash
      {"\xE0\x80\x80", {0xE0, 0x80, 0x80}},           // overlong zero
      {"\xED\xA0\x80", {0xD800}},                     // an encoded surrogate
      {"\xF4\x90\x80\x80", {0xF4, 0x90, 0x80, 0x80}}, // beyond U+10FFFF
      {"a\xE2\x82", {'a', 0xE2, 0x82}},               // cut short at the end
      {"\xF8\x88\x80\x80\x80x", u"_x"},               // five-byte form
      {"\xFC\x84\x80\x80\x80\x80", u"_"},             // six-byte form
      {"\x80", {0x80}},
  };
  for (const Case& c : cases) EXPECT_EQ(Utf8ToUtf16Forgiving(c.utf8), c.units) << c.utf8;

  EXPECT_EQ(Utf16ToUtf8Forgiving(u"\U0001F600"), "\xF0\x9F\x98\x80");
  EXPECT_EQ(Utf16ToUtf8Forgiving(std::u16string{0xD800, 'a'}),
            "\xED\xA0\x80"
            "a");
}

TEST(EncodeUtf8Forgiving, KeepsWithinTheBuffer) {
  struct Case {
    int cp, size, result;
    const char* bytes;
  } cases[] = {
      {0x20AC, 4, 3, "\xE2\x82\xAC"},
      {0x20AC, 3, 1, "_"},
      {0x41, 2, 1, "A"},
      {0x41, 1, 0, ""},
      {-5, 2, 1, ""},
      {0x200000, 7, 1, "_"},
      {0x10FFFF, 5, 4, "\xF4\x8F\xBF\xBF"},
  };
  for (const Case& c : cases) {
    char buffer[8];
    std::memset(buffer, 0x7F, sizeof(buffer));
    EXPECT_EQ(EncodeUtf8Forgiving(buffer, c.cp, c.size), c.result) << c.cp;
    EXPECT_EQ(std::memcmp(buffer, c.bytes, static_cast<size_t>(c.result)), 0) << c.cp;
    EXPECT_EQ(buffer[c.result], '\0') << c.cp;
    EXPECT_EQ(buffer[c.size], '\x7F') << c.cp; // never past the buffer
  }
  char untouched = 'x';
  EXPECT_EQ(EncodeUtf8Forgiving(&untouched, 'A', 0), 0);
  EXPECT_EQ(untouched, 'x');
}

} // namespace
} // namespace plugkit
