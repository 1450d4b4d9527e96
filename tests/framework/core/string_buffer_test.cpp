#include "framework/core/string_buffer.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace plugkit {
namespace {

TEST(StringBuffer, EmptyAndNullTexts) {
  StringBuffer text;
  EXPECT_STREQ(text.Get(), "");
  text.Set("x");
  text.Set(nullptr);
  EXPECT_STREQ(text.Get(), "");
  text.Set("abc");
  text.Set("");
  EXPECT_STREQ(text.Get(), "");
  EXPECT_EQ(text.Size(), 1);
}

TEST(StringBuffer, SetCutsAtMaxLenAndShrinks) {
  StringBuffer text;
  text.Set("abcdef", 3);
  EXPECT_STREQ(text.Get(), "abc");
  EXPECT_EQ(text.Size(), 4);
  text.Set("a much longer text than before");
  text.Set("xy");
  EXPECT_STREQ(text.Get(), "xy");
  EXPECT_EQ(text.Size(), 3);
}

TEST(StringBuffer, SetFromItsOwnText) {
  StringBuffer text;
  text.Set("hello world");
  text.Set(text.Get() + 6);
  EXPECT_STREQ(text.Get(), "world");

  // Growing while the source lies in the old block re-bases the source.
  std::string longText(1000, 'q');
  text.Set(longText.c_str(), 200);
  text.Set(text.Get(), 0);
  EXPECT_EQ(std::string(text.Get()), std::string(200, 'q'));
}

TEST(StringBuffer, FormattedTextsAreCut) {
  StringBuffer text;
  text.SetFormatted(4, "%s", "sixsix");
  EXPECT_STREQ(text.Get(), "sixs");
  text.SetFormatted(10, "%s", "");
  EXPECT_STREQ(text.Get(), "");
  text.SetFormatted(32, "%d-%s", 12, "ab");
  EXPECT_STREQ(text.Get(), "12-ab");
  text.AppendFormatted(3, "%s", "cdef");
  EXPECT_STREQ(text.Get(), "12-abcde");
  EXPECT_EQ(text.Size(), 9);

  // A limit whose buffer size would not fit an int leaves the text alone.
  text.SetFormatted(INT_MAX, "%s", "x");
  EXPECT_STREQ(text.Get(), "12-abcde");
  text.AppendFormatted(INT_MAX - 4, "%s", "x");
  EXPECT_STREQ(text.Get(), "12-abcde");
}

TEST(StringBuffer, InsertRawPlacesTextBeforeTail) {
  StringBuffer text;
  text.Set("helloworld");
  text.InsertRaw(5, ", ", 2, 5);
  EXPECT_STREQ(text.Get(), "hello, world");
  text.InsertRaw(12, "!", 1, 0);
  EXPECT_STREQ(text.Get(), "hello, world!");
  // A zero-length insert at 0 with no tail empties the text.
  text.InsertRaw(0, "", 0, 0);
  EXPECT_STREQ(text.Get(), "");
}

TEST(StringBuffer, InsertRawRefusesBadArguments) {
  StringBuffer text;
  text.Set("abc");
  text.InsertRaw(-1, "x", 1, 0);
  text.InsertRaw(1, "x", -1, 0);
  text.InsertRaw(2, "x", 1, 50);
  text.InsertRaw(1, "", 0, 2);
  EXPECT_STREQ(text.Get(), "abc");
}

TEST(StringBuffer, CopyToStringBuffer) {
  StringBuffer source;
  source.Set("source");
  StringBuffer out;
  CopyToStringBuffer(out, &source);
  EXPECT_STREQ(out.Get(), "source");
  CopyToStringBuffer(out, nullptr);
  EXPECT_STREQ(out.Get(), "");
}

} // namespace
} // namespace plugkit
