#include "framework/graphics/win/font_caches.h"

namespace plugkit::igraphics {

InstalledFontCache& GetInstalledFontCache() {
  static InstalledFontCache cache;
  return cache;
}

FontHandleCache& GetFontHandleCache() {
  static FontHandleCache cache;
  return cache;
}

void AddInstalledFont(const char* fontID, std::unique_ptr<InstalledFontHandle> font) {
  InstalledFontCache& cache = GetInstalledFontCache();
  const auto lock = cache.Lock();
  cache.Add(std::move(font), fontID, 1.0);
}

bool AddFontHandle(const char* fontID, const PlatformFont& font) {
  FontHandleCache& cache = GetFontHandleCache();
  const auto lock = cache.Lock();
  if (cache.Find(fontID, 1.0)) return true;
  LOGFONTW description{};
  const auto handle = static_cast<HFONT>(font.GetHandle());
  if (!handle || GetObjectW(handle, sizeof description, &description) != sizeof description)
    return false;
  FontHandleCache::Owned copy(CreateFontIndirectW(&description));
  if (!copy) return false;
  cache.Add(std::move(copy), fontID, 1.0);
  return true;
}

void ClearInstalledFonts() {
  InstalledFontCache& cache = GetInstalledFontCache();
  const auto lock = cache.Lock();
  cache.Clear();
}

void ClearFontHandles() {
  FontHandleCache& cache = GetFontHandleCache();
  const auto lock = cache.Lock();
  cache.Clear();
}

void RetainFontCaches() {
  const auto installedLock = GetInstalledFontCache().Lock();
  const auto handleLock = GetFontHandleCache().Lock();
  GetInstalledFontCache().Retain();
  GetFontHandleCache().Retain();
}

void ReleaseFontCaches() {
  const auto installedLock = GetInstalledFontCache().Lock();
  const auto handleLock = GetFontHandleCache().Lock();
  GetFontHandleCache().Release();
  GetInstalledFontCache().Release();
}

} // namespace plugkit::igraphics
