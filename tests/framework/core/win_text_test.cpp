#include "framework/core/win_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace plugkit {
namespace {

std::wstring WideOf(const HeapBuffer& buffer) {
  return reinterpret_cast<const wchar_t*>(buffer.Data());
}

TEST(Utf8ToWide, StrictConversionOrEmptyText) {
  struct Case {
    const char* text;
    const wchar_t* expected;
    bool ok;
  };
  const Case cases[] = {
      {"plain", L"plain", true},
      {"caf\xC3\xA9 \xE2\x82\xAC", L"caf\u00E9 \u20AC", true},
      {"\xF0\x9F\x98\x80", L"\U0001F600", true},
      {"", L"", true},
      {nullptr, L"", true},
      {"\xC0\xAF", L"", false},
      {"x\xE0\x80\x80", L"", false},
      {"\xED\xA0\x80", L"", false},
      {"\xF4\x90\x80\x80", L"", false},
      {"ab\xE2\x82", L"", false},
      {"ab\xF0\x9F\x98", L"", false},
  };
  for (const Case& c : cases) {
    HeapBuffer out(4096);
    out.Resize(64, false); // leftovers of an earlier conversion must not show
    out.Data()[0] = 'x';
    EXPECT_EQ(Utf8ToWide(out, c.text), c.ok) << (c.text ? c.text : "null");
    ASSERT_GE(out.Size(), 2);
    EXPECT_EQ(WideOf(out), c.expected) << (c.text ? c.text : "null");
  }
}

TEST(WideToUtf8, ConvertsAndReplacesUnpairedSurrogates) {
  const wchar_t loneHigh[] = {0xD83D, L'x', 0};
  const wchar_t loneLow[] = {L'a', 0xDE00, 0};
  struct Case {
    const wchar_t* wide;
    const char* expected;
  };
  const Case cases[] = {
      {L"caf\u00E9", "caf\xC3\xA9"},
      {L"\U0001F600", "\xF0\x9F\x98\x80"},
      {loneHigh, "\xEF\xBF\xBDx"},
      {loneLow, "a\xEF\xBF\xBD"},
      {L"", ""},
      {nullptr, ""},
  };
  for (const Case& c : cases) {
    StringBuffer out;
    out.Set("old text");
    WideToUtf8(out, c.wide);
    EXPECT_STREQ(out.Get(), c.expected);
  }
}

TEST(WideToUtf8Within, CutsBetweenCharactersInsideTheBuffer) {
  const wchar_t wide[] = L"a\u00E9\u20AC"; // 1 + 2 + 3 bytes
  const char* expected[] = {"",          "",          "a",         "a",
                            "a\xC3\xA9", "a\xC3\xA9", "a\xC3\xA9", "a\xC3\xA9\xE2\x82\xAC"};
  for (int size = 0; size <= 7; ++size) {
    std::string out(12, '#');
    const int bytes = WideToUtf8Within(wide, 3, out.data(), size);
    if (size == 0) {
      EXPECT_EQ(out, std::string(12, '#'));
      continue;
    }
    EXPECT_STREQ(out.c_str(), expected[size]) << size;
    EXPECT_EQ(bytes, static_cast<int>(std::strlen(expected[size])));
    EXPECT_EQ(out.substr(static_cast<size_t>(size)), std::string(12 - size, '#')) << size;
  }
}

TEST(AddLongPathPrefix, OnlyLongDriveAndNetworkPathsChange) {
  const std::wstring tail(300, L'x');
  const std::wstring tailSlashed = L"dir/" + tail;
  const std::wstring tailBack = L"dir\\" + tail;
  struct Case {
    std::wstring path;
    std::wstring expected;
  };
  const Case cases[] = {
      {L"C:/" + tailSlashed, L"\\\\?\\C:\\" + tailBack},
      {L"\\\\server/" + tailSlashed, L"\\\\?\\UNC\\server\\" + tailBack},
      {L"relative/" + tailSlashed, L"relative/" + tailSlashed},
      {L"C:/short/path", L"C:/short/path"},
      {L"\\\\?\\C:\\" + tail, L"\\\\?\\C:\\" + tail},
      {L"C:/" + std::wstring(252, L'y'), L"C:/" + std::wstring(252, L'y')},         // 255
      {L"C:/" + std::wstring(253, L'y'), L"\\\\?\\C:\\" + std::wstring(253, L'y')}, // 256
  };
  for (const Case& c : cases) {
    std::vector<wchar_t> buffer(c.path.begin(), c.path.end());
    buffer.resize(c.path.size() + 8, 0);
    AddLongPathPrefix(buffer.data());
    EXPECT_EQ(std::wstring(buffer.data()), c.expected);
  }
}

} // namespace
} // namespace plugkit
