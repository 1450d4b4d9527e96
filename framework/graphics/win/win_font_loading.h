#pragma once

#include "framework/core/resource_services.h"
#include "framework/graphics/win/win_font.h"

#include <memory>

namespace plugkit::igraphics {

// The Win32 font loading behind the graphics context's platform-font calls.
// Each returns null on failure: no bytes, a font GDI cannot install, a family
// GDI substitutes, a missing file or resource.

// An installed family; style 0 regular, 1 bold, 2 italic.
std::unique_ptr<WinFont> LoadWinFontByName(const char* family, int style);
// Installs the font bytes for this process (kept in the installed-font cache
// under the font id; a font id installed already is not installed again) and
// opens the face.
std::unique_ptr<WinFont> LoadWinFontFromMemory(const char* fontID, const void* bytes, int size);
// A font file, or a "ttf" resource of the module, by name.
std::unique_ptr<WinFont> LoadWinFontFromFile(const char* fontID, const char* fileNameOrResID,
                                             ModuleHandle module);

} // namespace plugkit::igraphics
