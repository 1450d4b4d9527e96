#include "framework/graphics/win/win_font.h"

namespace plugkit::igraphics {

namespace {

// GetFontData's table tag for the whole collection file.
constexpr DWORD kCollectionTag = 0x66637474; // "ttcf" read as a little-endian DWORD

// A memory device context with the font selected, undone with the object.
class FontDC {
public:
  explicit FontDC(HFONT font) : dc_(CreateCompatibleDC(nullptr)) {
    if (dc_) previous_ = SelectObject(dc_, font);
  }
  ~FontDC() {
    if (!dc_) return;
    SelectObject(dc_, previous_);
    DeleteDC(dc_);
  }
  FontDC(const FontDC&) = delete;
  FontDC& operator=(const FontDC&) = delete;
  HDC Get() const { return dc_; }

private:
  HDC dc_;
  HGDIOBJ previous_ = nullptr;
};

} // namespace

WinFont::WinFont(HFONT font, const char* styleName) : font_(font) { styleName_.Set(styleName); }

WinFont::~WinFont() {
  if (font_) DeleteObject(font_);
}

FontFileDataPtr WinFont::GetFontData() const {
  auto result = std::make_unique<FontFileData>();
  const FontDC dc(font_);
  if (!dc.Get() || !font_) return result;
  const DWORD size = ::GetFontData(dc.Get(), 0, 0, nullptr, 0);
  if (size == GDI_ERROR || size == 0 || size > 0x7FFFFFFF) return result;
  uint8_t* bytes = result->ResizeBytes(static_cast<int>(size));
  if (!bytes) return std::make_unique<FontFileData>();
  DWORD read = ::GetFontData(dc.Get(), kCollectionTag, 0, bytes, size);
  if (read == GDI_ERROR) read = ::GetFontData(dc.Get(), 0, 0, bytes, size);
  if (read != size) return result;
  result->SelectFace(styleName_.Get());
  return result;
}

} // namespace plugkit::igraphics
