#include "framework/graphics/win/find_system_font.h"

#include "framework/core/heap_buffer.h"
#include "framework/core/string_buffer.h"
#include "framework/core/win_text.h"

#include <cstring>
#include <cwchar>

namespace plugkit::igraphics {

namespace {

constexpr int kFaceNameUnits = LF_FACESIZE - 1;
constexpr int kTextFaceUnits = 64;

// The screen's device context, released with the object.
class ScreenDC {
public:
  ScreenDC() : dc_(GetDC(nullptr)) {}
  ~ScreenDC() {
    if (dc_) ReleaseDC(nullptr, dc_);
  }
  ScreenDC(const ScreenDC&) = delete;
  ScreenDC& operator=(const ScreenDC&) = delete;
  HDC Get() const { return dc_; }

private:
  HDC dc_;
};

int CALLBACK AnyFamily(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM) { return -1; }

} // namespace

HFONT FindSystemFont(const char* family, int weight, bool italic, bool underline, BYTE quality,
                     bool mustBeInstalled) {
  if (!family || !*family) return nullptr;
  HeapBuffer wideFamily(4096);
  if (!Utf8ToWide(wideFamily, family)) return nullptr;
  const ScreenDC screen;
  if (!screen.Get()) return nullptr;

  LOGFONTW description{};
  description.lfWeight = weight;
  description.lfItalic = italic;
  description.lfUnderline = underline;
  description.lfCharSet = DEFAULT_CHARSET;
  description.lfOutPrecision = OUT_TT_PRECIS;
  description.lfQuality = quality;
  std::wcsncpy(description.lfFaceName, reinterpret_cast<const wchar_t*>(wideFamily.Data()),
               kFaceNameUnits);
  description.lfFaceName[kFaceNameUnits] = 0;

  if (mustBeInstalled && EnumFontFamiliesExW(screen.Get(), &description, AnyFamily, 0, 0) != -1)
    return nullptr;

  const HFONT font = CreateFontIndirectW(&description);
  if (!font) return nullptr;
  const HGDIOBJ previous = SelectObject(screen.Get(), font);
  wchar_t face[kTextFaceUnits] = {};
  const int faceUnits = GetTextFaceW(screen.Get(), kTextFaceUnits, face);
  SelectObject(screen.Get(), previous);
  StringBuffer faceName;
  WideToUtf8(faceName, face);
  if (faceUnits <= 0 || std::strcmp(faceName.Get(), family) != 0) {
    DeleteObject(font);
    return nullptr;
  }
  return font;
}

} // namespace plugkit::igraphics
