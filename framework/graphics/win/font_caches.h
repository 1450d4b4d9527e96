#pragma once

#include "framework/graphics/platform_font.h"
#include "framework/graphics/resource_cache.h"
#include "framework/graphics/win/installed_font.h"

#include <windows.h>

#include <memory>
#include <type_traits>

namespace plugkit::igraphics {

struct FontHandleDeleter {
  void operator()(HFONT font) const { DeleteObject(font); }
};

// The process-wide font caches of the Win32 layer, shared by every editor
// window: fonts installed from memory (kept installed while any window
// lives) and copies of the font handles the native text entry draws with.
// Where both locks are held, the installed-font lock is taken first.
using InstalledFontCache = ResourceCache<InstalledFontHandle>;
using FontHandleCache = ResourceCache<std::remove_pointer_t<HFONT>, FontHandleDeleter>;
InstalledFontCache& GetInstalledFontCache();
FontHandleCache& GetFontHandleCache();

// Keeps an installed font under (font id, 1.0), after any earlier one.
void AddInstalledFont(const char* fontID, std::unique_ptr<InstalledFontHandle> font);
// Keeps a copy of the font's handle under (font id, 1.0) unless one is
// there already; false when the handle could not be copied.
bool AddFontHandle(const char* fontID, const PlatformFont& font);
void ClearInstalledFonts();
void ClearFontHandles();

// One more (or one fewer) editor window using the caches; when the last one
// goes, both caches are cleared.
void RetainFontCaches();
void ReleaseFontCaches();

} // namespace plugkit::igraphics
