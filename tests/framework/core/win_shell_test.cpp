#include "framework/core/win_shell.h"

#include "framework/core/utf_codec.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <cstring>
#include <string>

namespace plugkit {
namespace {

TEST(Utf8Strftime, Utf8FormatsAndCutsBetweenCharacters) {
  struct tm time {};
  time.tm_year = 126;
  time.tm_mon = 11;
  time.tm_mday = 9;
  struct Case {
    const char* format;
    size_t size;
    const char* expected;
  };
  const Case cases[] = {
      {"%Y-%m-%d", 64, "2026-12-09"},
      {"%d. d\xC3\xA9"
       "c. %Y \xE2\x82\xAC",
       64,
       "09. d\xC3\xA9"
       "c. 2026 \xE2\x82\xAC"},
      {"\xE2\x82\xAC%Y", 4, "\xE2\x82\xAC"}, // a conversion that does not fit
      {"a\xE2\x82\xAC%Y", 4, "a"},           // nor a character
      {"a\xE2\x82\xAC%Y", 5, "a\xE2\x82\xAC"},
      {"%Y", 3, "20"},
      {"%Q 100% %#d", 64, "%Q 100% 9"}, // unknown conversions stay text
  };
  for (const Case& c : cases) {
    std::string out(72, '#');
    const size_t length = Utf8Strftime(out.data(), c.size, c.format, &time);
    EXPECT_STREQ(out.c_str(), c.expected) << c.format;
    EXPECT_EQ(length, std::strlen(c.expected)) << c.format;
    EXPECT_EQ(out.substr(c.size), std::string(72 - c.size, '#')) << c.format;
  }
  char out[8] = "x";
  EXPECT_EQ(Utf8Strftime(out, sizeof out, nullptr, &time), 0u);
  EXPECT_STREQ(out, "");
  EXPECT_EQ(Utf8Strftime(out, sizeof out, "%Y", nullptr), 0u);
}

TEST(Utf8GetSpecialFolderPath, GivesAWholeUtf8PathOrFails) {
  char path[MAX_PATH * 3] = {};
  ASSERT_TRUE(Utf8GetSpecialFolderPath(nullptr, path, sizeof path, CSIDL_APPDATA, false));
  EXPECT_GT(std::strlen(path), 3u);
  EXPECT_GE(Utf8Classify(path), 0);

  std::string small(16, '#');
  EXPECT_FALSE(Utf8GetSpecialFolderPath(nullptr, small.data(), 4, CSIDL_APPDATA, false));
  EXPECT_EQ(small.substr(4), std::string(12, '#'));
}

} // namespace
} // namespace plugkit
