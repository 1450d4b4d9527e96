#include "framework/graphics/win/win_font_loading.h"

#include "framework/core/win_text.h"
#include "framework/graphics/font_file_info.h"
#include "framework/graphics/win/find_system_font.h"
#include "framework/graphics/win/font_caches.h"

namespace plugkit::igraphics {

namespace {

constexpr int kRegularWeight = 400;
constexpr int kBoldWeight = 700;
constexpr uint16_t kMacBold = 1;
constexpr uint16_t kMacItalic = 2;
constexpr uint16_t kMacUnderline = 4;

// A read-only view of a whole file, closed with the object.
class MappedFile {
public:
  explicit MappedFile(const char* pathUtf8) {
    WidePath path(pathUtf8);
    if (!path.Ok() || !path.Get()) return;
    AddLongPathPrefix(path.Get());
    // Others may read the file meanwhile (another process loading the same
    // font): only writers are kept out.
    file_ = CreateFileW(path.Get(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file_ == INVALID_HANDLE_VALUE) return;
    const DWORD size = GetFileSize(file_, nullptr);
    if (size == INVALID_FILE_SIZE || size == 0 || size > 0x7FFFFFFF) return;
    mapping_ = CreateFileMappingW(file_, nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (!mapping_) return;
    view_ = MapViewOfFile(mapping_, FILE_MAP_READ, 0, 0, 0);
    if (view_) size_ = static_cast<int>(size);
  }
  ~MappedFile() {
    if (view_) UnmapViewOfFile(view_);
    if (mapping_) CloseHandle(mapping_);
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
  }
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  const void* Data() const { return view_; }
  int Size() const { return size_; }

private:
  HANDLE file_ = INVALID_HANDLE_VALUE;
  HANDLE mapping_ = nullptr;
  void* view_ = nullptr;
  int size_ = 0;
};

} // namespace

std::unique_ptr<WinFont> LoadWinFontByName(const char* family, int style) {
  const HFONT font = FindSystemFont(family, style == 1 ? kBoldWeight : kRegularWeight, style == 2,
                                    false, DEFAULT_QUALITY, true);
  if (!font) return nullptr;
  const char* styleName = style == 1 ? "Bold" : style == 2 ? "Italic" : "Regular";
  return std::make_unique<WinFont>(font, styleName);
}

std::unique_ptr<WinFont> LoadWinFontFromMemory(const char* fontID, const void* bytes, int size) {
  InstalledFontCache& cache = GetInstalledFontCache();
  const auto lock = cache.Lock();
  // Every editor that opens loads its font: the installation the first one
  // made serves them all until the last one closes.
  std::unique_ptr<InstalledFontHandle> installed;
  if (!cache.Find(fontID, 1.0)) {
    installed = std::make_unique<InstalledFontHandle>(bytes, size);
    if (!installed->Get()) return nullptr;
  }
  FontFileInfo face;
  face.Parse(static_cast<const uint8_t*>(bytes), size, 0);
  if (!face.IsValid()) return nullptr;
  const HFONT font = FindSystemFont(
      face.family.c_str(), face.macStyle & kMacBold ? kBoldWeight : kRegularWeight,
      face.macStyle & kMacItalic, face.macStyle & kMacUnderline, DEFAULT_QUALITY, false);
  if (!font) return nullptr;
  if (installed) AddInstalledFont(fontID, std::move(installed));
  return std::make_unique<WinFont>(font, "");
}

std::unique_ptr<WinFont> LoadWinFontFromFile(const char* fontID, const char* fileNameOrResID,
                                             ModuleHandle module) {
  const auto lock = GetInstalledFontCache().Lock();
  StringBuffer location;
  switch (LocateResource(fileNameOrResID, "ttf", location, module)) {
    case kResourceFile: {
      const MappedFile file(location.Get());
      return file.Data() ? LoadWinFontFromMemory(fontID, file.Data(), file.Size()) : nullptr;
    }
    case kResourceEmbedded: {
      int size = 0;
      const void* bytes = LoadWinResource(location.Get(), "ttf", size, module);
      return bytes ? LoadWinFontFromMemory(fontID, bytes, size) : nullptr;
    }
    default:
      return nullptr;
  }
}

} // namespace plugkit::igraphics
