#pragma once

#include "framework/core/string_buffer.h"
#include "framework/graphics/platform_font.h"

#include <windows.h>

namespace plugkit::igraphics {

// A GDI font (owned) and the style name that picks its face out of a
// collection: "Regular", "Bold" or "Italic" for a family found by name,
// empty for a font loaded from bytes.
class WinFont : public PlatformFont {
public:
  WinFont(HFONT font, const char* styleName);
  ~WinFont() override;

  void* GetHandle() const override { return font_; }
  // Reads the face's file (or whole collection) back out of GDI.
  FontFileDataPtr GetFontData() const override;

  const char* StyleName() const { return styleName_.Get(); }

private:
  HFONT font_;
  StringBuffer styleName_;
};

} // namespace plugkit::igraphics
