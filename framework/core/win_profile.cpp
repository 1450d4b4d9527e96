#include "framework/core/win_profile.h"

#include "framework/core/heap_buffer.h"
#include "framework/core/utf8_codec.h"
#include "framework/core/win_text.h"

#include <algorithm>
#include <cstring>

namespace plugkit {

namespace {

constexpr DWORD kStackResultLimit = 1000;
constexpr DWORD kStackResultUnits = 1024;
constexpr DWORD kMaxResultBytes = 1u << 28;

bool WantsWide(const char* file) { return Utf8Classify(file) == 1; }

} // namespace

UINT Utf8GetPrivateProfileInt(const char* section, const char* key, INT fallback,
                              const char* file) {
  if (WantsWide(file)) {
    WideName wideSection(section);
    WideName wideKey(key);
    WidePath wideFile(file);
    if (wideSection.Ok() && wideKey.Ok() && wideFile.Ok())
      return GetPrivateProfileIntW(wideSection.Get(), wideKey.Get(), fallback, wideFile.Get());
  }
  return GetPrivateProfileIntA(section, key, fallback, file);
}

DWORD Utf8GetPrivateProfileString(const char* section, const char* key, const char* fallback,
                                  char* out, DWORD size, const char* file) {
  if (!out) return 0;
  if (WantsWide(file)) {
    WideName wideSection(section);
    WideName wideKey(key);
    WidePath wideFallback(fallback);
    WidePath wideFile(file);
    if (wideSection.Ok() && wideKey.Ok() && wideFallback.Ok() && wideFile.Ok()) {
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
      const DWORD units =
          GetPrivateProfileStringW(wideSection.Get(), wideKey.Get(), wideFallback.Get(), result,
                                   resultUnits, wideFile.Get());
      // The names of the listing form are separated by zeros, which convert
      // as they are; the room left is for the closing zeros.
      const int bytes = WideToUtf8Within(result, static_cast<int>(units), out,
                                         static_cast<int>(size - zeros + 1));
      if (zeros == 2) out[bytes + 1] = 0;
      return static_cast<DWORD>(bytes);
    }
  }
  return GetPrivateProfileStringA(section, key, fallback, out, size, file);
}

BOOL Utf8WritePrivateProfileString(const char* section, const char* key, const char* value,
                                   const char* file) {
  if (WantsWide(file)) {
    WideName wideSection(section);
    WideName wideKey(key);
    WidePath wideValue(value);
    WidePath wideFile(file);
    if (wideSection.Ok() && wideKey.Ok() && wideValue.Ok() && wideFile.Ok())
      return WritePrivateProfileStringW(wideSection.Get(), wideKey.Get(), wideValue.Get(),
                                        wideFile.Get());
  }
  return WritePrivateProfileStringA(section, key, value, file);
}

} // namespace plugkit
