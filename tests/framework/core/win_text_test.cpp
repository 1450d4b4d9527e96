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
