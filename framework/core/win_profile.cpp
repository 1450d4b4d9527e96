#include "framework/core/win_profile.h"

#include "framework/core/heap_buffer.h"
#include "framework/core/utf_codec.h"
#include "framework/core/utf_replacing.h"
#include "framework/core/win_text.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <string>

namespace plugkit {

namespace {

constexpr DWORD kStackResultLimit = 1000;
constexpr DWORD kStackResultUnits = 1024;
constexpr DWORD kMaxResultBytes = 1u << 28;

// Some systems (Wine among them) keep a profile's path in a buffer of
// MAX_PATH units: a longer path, even with the long-path prefix, misses the
// file while the call may still report success. A long path is therefore
// given in its short form when the system has one that fits, else with the
// long-path prefix.
class ProfilePath {
public:
  explicit ProfilePath(const char* utf8) : wide_(utf8) {
    if (!wide_.Ok() || !wide_.Get()) return;
    AddLongPathPrefix(wide_.Get());
    if (std::wcsncmp(wide_.Get(), L"\\\\?\\", 4) == 0) Shorten();
  }
  ProfilePath(const ProfilePath&) = delete;
  ProfilePath& operator=(const ProfilePath&) = delete;

  bool Ok() const { return wide_.Ok(); }
  const wchar_t* Get() { return short_.empty() ? wide_.Get() : short_.c_str(); }

private:
  // The whole path's short form when the file exists, else its folder's
  // short form and the file's name.
  void Shorten() {
    const std::wstring path = wide_.Get();
    std::wstring shortPath = ShortForm(path);
    if (shortPath.empty()) {
      const size_t slash = path.rfind(L'\\');
      if (slash == std::wstring::npos) return;
      shortPath = ShortForm(path.substr(0, slash));
      if (shortPath.empty()) return;
      shortPath += path.substr(slash);
    }
    // The short form needs no prefix, which the profile calls may not take.
    if (shortPath.compare(0, 8, L"\\\\?\\UNC\\") == 0)
      shortPath.replace(0, 8, L"\\\\");
    else if (shortPath.compare(0, 4, L"\\\\?\\") == 0)
      shortPath.erase(0, 4);
    if (shortPath.size() < MAX_PATH) short_ = shortPath;
  }

  static std::wstring ShortForm(const std::wstring& path) {
    const DWORD units = GetShortPathNameW(path.c_str(), nullptr, 0);
    if (units == 0) return {};
    std::wstring result(units, L'\0');
    const DWORD written = GetShortPathNameW(path.c_str(), result.data(), units);
    if (written == 0 || written >= units) return {};
    result.resize(written);
    return result;
  }

  WidePath wide_;
  std::wstring short_;
};

bool NamesNeedWide(const char* section, const char* key, const char* file) {
  return PathNeedsWide(file) || Utf8Classify(section) == 1 || Utf8Classify(key) == 1;
}

} // namespace

UINT Utf8GetPrivateProfileInt(const char* section, const char* key, INT fallback,
                              const char* file) {
  if (NamesNeedWide(section, key, file)) {
    WideName wideSection(section);
    WideName wideKey(key);
    ProfilePath wideFile(file);
    if (wideSection.Ok() && wideKey.Ok() && wideFile.Ok())
      return GetPrivateProfileIntW(wideSection.Get(), wideKey.Get(), fallback, wideFile.Get());
  }
  return GetPrivateProfileIntA(section, key, fallback, file);
}

DWORD Utf8GetPrivateProfileString(const char* section, const char* key, const char* fallback,
                                  char* out, DWORD size, const char* file) {
  if (!out) return 0;
  WideName wideSection(section);
  WideName wideKey(key);
  WidePath wideFallback(fallback);
  ProfilePath wideFile(file);
  if (!wideSection.Ok() || !wideKey.Ok() || !wideFallback.Ok() || !wideFile.Ok())
    return GetPrivateProfileStringA(section, key, fallback, out, size, file);
  const DWORD zeros = (!section || !key) ? 2 : 1;
  if (size <= zeros) {
    std::memset(out, 0, size);
    return 0;
  }
  // No profile text comes near this; it keeps the sizes below in range.
  size = std::min<DWORD>(size, kMaxResultBytes);
  wchar_t stackResult[kStackResultUnits];
  HeapBuffer heapResult(4096);
  wchar_t* result = stackResult;
  DWORD resultUnits = kStackResultUnits;
  if (size > kStackResultLimit) {
    resultUnits = size + 5;
    const int bytes = static_cast<int>(resultUnits * sizeof(wchar_t));
    if (heapResult.Resize(bytes, false) && heapResult.Size() == bytes)
      result = reinterpret_cast<wchar_t*>(heapResult.Data());
    else
      resultUnits = kStackResultUnits;
  }
  const DWORD units = GetPrivateProfileStringW(wideSection.Get(), wideKey.Get(), wideFallback.Get(),
                                               result, resultUnits, wideFile.Get());
  // The names of the listing form are separated by zeros, which convert as
  // they are; the room left is for the closing zeros.
  const int bytes = Utf16ToUtf8ReplacingWithin(result, static_cast<int>(units), out,
                                               static_cast<int>(size - zeros + 1));
  if (zeros == 2) out[bytes + 1] = 0;
  return static_cast<DWORD>(bytes);
}

BOOL Utf8WritePrivateProfileString(const char* section, const char* key, const char* value,
                                   const char* file) {
  if (NamesNeedWide(section, key, file) || Utf8Classify(value) == 1) {
    WideName wideSection(section);
    WideName wideKey(key);
    WidePath wideValue(value);
    ProfilePath wideFile(file);
    if (wideSection.Ok() && wideKey.Ok() && wideValue.Ok() && wideFile.Ok())
      return WritePrivateProfileStringW(wideSection.Get(), wideKey.Get(), wideValue.Get(),
                                        wideFile.Get());
  }
  return WritePrivateProfileStringA(section, key, value, file);
}

} // namespace plugkit
