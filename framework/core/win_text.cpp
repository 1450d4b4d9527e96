#include "framework/core/win_text.h"

#include "framework/core/utf_replacing.h"
#include "framework/core/utf_strict.h"

#include <cstring>
#include <cwchar>

namespace plugkit {

namespace {

constexpr int kLongPathLength = 256;
constexpr int kPrefixRoom = 8;

} // namespace

bool Utf8ToWide(HeapBuffer& out, const char* utf8) {
  const int units = utf8 ? Utf8ToUtf16Strict<wchar_t>(utf8, nullptr, 0) : 0;
  const int needed = units < 0 ? 1 : units + 1;
  const int bytes = needed * static_cast<int>(sizeof(wchar_t));
  if (out.Resize(bytes, false) && out.Size() == bytes) {
    auto* wide = reinterpret_cast<wchar_t*>(out.Data());
    if (units > 0) Utf8ToUtf16Strict(utf8, wide, units);
    wide[needed - 1] = 0;
    return units >= 0;
  }
  if (out.Resize(sizeof(wchar_t), true)) reinterpret_cast<wchar_t*>(out.Data())[0] = 0;
  return false;
}

bool Utf8ToWide(std::wstring& out, const char* utf8) {
  out.clear();
  if (!utf8) return true;
  const int units = Utf8ToUtf16Strict<wchar_t>(utf8, nullptr, 0);
  if (units < 0) return false;
  out.resize(static_cast<size_t>(units));
  Utf8ToUtf16Strict(utf8, out.data(), units);
  return true;
}

void WideToUtf8(StringBuffer& out, const wchar_t* wide) {
  const int count = wide ? static_cast<int>(std::wcslen(wide)) : 0;
  const int bytes = Utf16ToUtf8Replacing(wide, count, nullptr, 0);
  if (bytes == 0 || !out.Resize(bytes + 1, false) || out.Size() != bytes + 1) {
    out.Set("");
    return;
  }
  auto* text = reinterpret_cast<char*>(out.Data());
  Utf16ToUtf8Replacing(wide, count, text, bytes);
  text[bytes] = 0;
}

std::wstring CodePageToWide(const char* text, int size) {
  const int units = size > 0 ? MultiByteToWideChar(CP_ACP, 0, text, size, nullptr, 0) : 0;
  std::wstring wide(static_cast<size_t>(units > 0 ? units : 0), L'\0');
  if (units > 0) MultiByteToWideChar(CP_ACP, 0, text, size, wide.data(), units);
  return wide;
}

void AddLongPathPrefix(wchar_t* path) {
  const size_t length = std::wcslen(path);
  if (length < kLongPathLength) return;
  // An already prefixed path would otherwise be taken for a network path.
  if (std::wcsncmp(path, L"\\\\?\\", 4) == 0) return;
  if (path[1] == L':') {
    std::memmove(path + 4, path, (length + 1) * sizeof(wchar_t));
    std::memcpy(path, L"\\\\?\\", 4 * sizeof(wchar_t));
  } else if (path[0] == L'\\' && path[1] == L'\\') {
    std::memmove(path + 8, path + 2, (length - 1) * sizeof(wchar_t));
    std::memcpy(path, L"\\\\?\\UNC\\", 8 * sizeof(wchar_t));
  } else {
    return;
  }
  for (wchar_t* p = path; *p; ++p) {
    if (*p == L'/') *p = L'\\';
  }
}

template <int StackUnits, int StackLimit>
WideArg<StackUnits, StackLimit>::WideArg(const char* utf8) {
  if (!utf8) return;
  const int units = Utf8ToUtf16Strict<wchar_t>(utf8, nullptr, 0);
  if (units < 0) {
    ok_ = false;
    return;
  }
  const int capacity = units + 1 + kPrefixRoom;
  if (units < StackLimit) {
    text_ = stack_;
  } else {
    const int bytes = capacity * static_cast<int>(sizeof(wchar_t));
    if (!heap_.Resize(bytes, false) || heap_.Size() != bytes) {
      ok_ = false;
      return;
    }
    text_ = reinterpret_cast<wchar_t*>(heap_.Data());
  }
  Utf8ToUtf16Strict(utf8, text_, units);
  text_[units] = 0;
}

template class WideArg<1024, 1000>;
template class WideArg<256, 248>;

bool PathNeedsWide(const char* path) {
  return path && (Utf8Classify(path) == 1 || std::strlen(path) >= kLongPathLength);
}

} // namespace plugkit
