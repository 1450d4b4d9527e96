#include "framework/core/utf_codec.h"
#include "framework/core/utf_replacing.h"
#include "framework/core/utf_strict.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace plugkit {
namespace {

// The text in a heap block of exactly its size, so that AddressSanitizer sees
// any read past the terminator.
std::vector<char> Exact(const std::string& text) {
  return std::vector<char>(text.c_str(), text.c_str() + text.size() + 1);
}

TEST(Utf8Classify, LooseWellFormedness) {
  struct Case {
    const char* text;
    int expected;
  };
  const Case cases[] = {
      {"plain text", 0},
      {"", 0},
      {"caf\xC3\xA9", 1},
      {"\xE2\x82\xAC and \xF0\x9F\x98\x80", 1},
      {"\xE9", -1},                 // a lone Latin-1 byte
      {"\xC0\xAF", -1},             // overlong slash
      {"\xC1\xBF", -1},             // overlong
      {"\xE0\x80\x80", -1},         // overlong NUL in three bytes
      {"\xF0\x80\x80\x80", -1},     // overlong NUL in four bytes
      {"\xED\xA0\x80", 1},          // a surrogate passes the loose test
      {"\xF4\x90\x80\x80", 1},      // so does a code point beyond U+10FFFF
      {"\xE2\x82", -1},             // cut short at the end
      {"\xF0\x9F\x98", -1},         // cut short at the end
      {"ok \xC3", -1},              // cut short after text
      {"\xF8\x88\x80\x80\x80", -1}, // five-byte lead
      {"\xBF", -1},                 // a continuation byte as lead
  };
  for (const Case& c : cases) {
    const auto text = Exact(c.text);
    EXPECT_EQ(Utf8Classify(text.data()), c.expected) << c.text;
  }
  EXPECT_EQ(Utf8Classify(nullptr), 0);
}

TEST(Utf8ToUtf16, StrictFailsAndReplacingEachByteReplacesMalformedInput) {
  struct Case {
    const char* text;
    std::u16string strict; // empty with strictFails
    bool strictFails;
    std::u16string eachByte;
  };
  const Case cases[] = {
      {"abc", u"abc", false, u"abc"},
      {"caf\xC3\xA9", u"caf\u00E9", false, u"caf\u00E9"},
      {"\xF0\x9F\x98\x80", u"\U0001F600", false, u"\U0001F600"},
      {"\xF4\x8F\xBF\xBF", u"\U0010FFFF", false, u"\U0010FFFF"},
      {"\xC0\xAF", u"", true, u"\uFFFD\uFFFD"},
      {"\xE0\x80\x80", u"", true, u"\uFFFD\uFFFD\uFFFD"},
      {"\xED\xA0\x80", u"", true, u"\uFFFD\uFFFD\uFFFD"},
      {"\xF4\x90\x80\x80", u"", true, u"\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"a\xE2\x82", u"", true, u"a\uFFFD\uFFFD"},
      {"\xF0\x9F\x98", u"", true, u"\uFFFD\uFFFD\uFFFD"},
      {"\xE9t\xE9", u"", true, u"\uFFFDt\uFFFD"},
  };
  for (const Case& c : cases) {
    const auto text = Exact(c.text);
    const int strictUnits = Utf8ToUtf16Strict<char16_t>(text.data(), nullptr, 0);
    if (c.strictFails) {
      EXPECT_EQ(strictUnits, -1) << c.text;
    } else {
      ASSERT_EQ(strictUnits, static_cast<int>(c.strict.size())) << c.text;
      std::u16string out(c.strict.size(), u'\0');
      Utf8ToUtf16Strict(text.data(), out.data(), strictUnits);
      EXPECT_EQ(out, c.strict) << c.text;
    }
    const int eachByteUnits = Utf8ToUtf16ReplacingEachByte<char16_t>(text.data(), nullptr, 0);
    ASSERT_EQ(eachByteUnits, static_cast<int>(c.eachByte.size())) << c.text;
    std::u16string out(c.eachByte.size(), u'\0');
    Utf8ToUtf16ReplacingEachByte(text.data(), out.data(), eachByteUnits);
    EXPECT_EQ(out, c.eachByte) << c.text;
  }
}

// One U+FFFD for each malformed sequence: a whole form when its continuation
// bytes are all there, else the lead byte alone; a character that does not
// fit is left out.
TEST(Utf8ToUtf16, ReplacingEachSequence) {
  struct Case {
    const char* text;
    std::u16string units;
  };
  const Case cases[] = {
      {"caf\xC3\xA9", u"caf\u00E9"},
      {"\xF0\x9F\x98\x80", u"\U0001F600"},
      {"\xC0\xAF", u"\uFFFD"},
      {"\xE0\x80\x80", u"\uFFFD"},
      {"\xED\xA0\x80", u"\uFFFD"},
      {"\xF4\x90\x80\x80", u"\uFFFD"},
      {"\xF5\x80\x80\x80x", u"\uFFFDx"},
      {"a\xE2\x82", u"a\uFFFD\uFFFD"},
      {"\xE9t\xE9", u"\uFFFDt\uFFFD"},
      {"\xF8\x88\x80\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},
  };
  for (const Case& c : cases) {
    const auto text = Exact(c.text);
    const int units = Utf8ToUtf16ReplacingEachSequence<char16_t>(text.data(), nullptr, 0);
    ASSERT_EQ(units, static_cast<int>(c.units.size())) << c.text;
    std::u16string out(c.units.size(), u'\0');
    EXPECT_EQ(Utf8ToUtf16ReplacingEachSequence(text.data(), out.data(), units), units);
    EXPECT_EQ(out, c.units) << c.text;
  }
  char16_t out[2] = {u'#', u'#'};
  EXPECT_EQ(Utf8ToUtf16ReplacingEachSequence("a\xF0\x9F\x98\x80", out, 2), 1);
  EXPECT_EQ(out[1], u'#');
}

// Every code point survives UTF-16 -> UTF-8 -> UTF-16, and every cut of the
// UTF-8 result at a capacity is a strict-UTF-8 prefix of it.
TEST(Utf16ToUtf8Replacing, RoundTripsAndCutsBetweenCharacters) {
  std::u16string all;
  for (char32_t c = 1; c <= 0x10FFFF; c += (c < 0x800 ? 1 : 61)) {
    if (c >= 0xD800 && c < 0xE000) continue;
    if (c >= 0x10000) {
      all += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      all += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      all += static_cast<char16_t>(c);
    }
  }
  const int count = static_cast<int>(all.size());
  const int bytes = Utf16ToUtf8Replacing(all.data(), count, nullptr, 0);
  std::string utf8(static_cast<size_t>(bytes), '\0');
  ASSERT_EQ(Utf16ToUtf8Replacing(all.data(), count, utf8.data(), bytes), bytes);
  std::u16string back(all.size(), u'\0');
  ASSERT_EQ(Utf8ToUtf16Strict(utf8.c_str(), back.data(), count), count);
  EXPECT_EQ(back, all);

  for (int capacity : {0, 1, 2, 3, 5, 1000, 4097, bytes - 1}) {
    std::string cut(static_cast<size_t>(capacity) + 1, '#');
    const int written = Utf16ToUtf8Replacing(all.data(), count, cut.data(), capacity);
    EXPECT_LE(written, capacity);
    EXPECT_GT(written, capacity - 4);
    EXPECT_EQ(cut.compare(0, static_cast<size_t>(written), utf8, 0, static_cast<size_t>(written)),
              0);
    EXPECT_EQ(cut.substr(static_cast<size_t>(written)), std::string(capacity + 1 - written, '#'));
    cut.resize(static_cast<size_t>(written));
    EXPECT_GE(Utf8ToUtf16Strict<char16_t>(cut.c_str(), nullptr, 0), 0);
  }
}

TEST(Utf16ToUtf8Replacing, UnpairedSurrogatesAndZerosInside) {
  struct Case {
    std::u16string units;
    std::string expected;
  };
  const Case cases[] = {
      {u"a", "a"},
      {std::u16string(1, u'\xD800'), "\xEF\xBF\xBD"},
      {std::u16string(1, u'\xDC00') + u"x", "\xEF\xBF\xBDx"},
      {std::u16string{u'\xD83D', u'x'}, "\xEF\xBF\xBDx"},
      {std::u16string{u'a', u'\0', u'b', u'\0'}, std::string("a\0b\0", 4)},
  };
  for (const Case& c : cases) {
    const int count = static_cast<int>(c.units.size());
    std::string out(16, '\0');
    const int written = Utf16ToUtf8Replacing(c.units.data(), count, out.data(), 16);
    EXPECT_EQ(out.substr(0, static_cast<size_t>(written)), c.expected);
    EXPECT_EQ(Utf16ToUtf8Replacing(c.units.data(), count, nullptr, 0), written);
  }
}

} // namespace
} // namespace plugkit
