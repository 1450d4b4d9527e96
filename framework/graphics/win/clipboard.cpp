#include "framework/graphics/win/clipboard.h"

#include "framework/graphics/utf_conversion.h"
#include "framework/graphics/win/file_list_block.h"

#include <cstring>
#include <string>

namespace plugkit::igraphics {
namespace {

// Opens the clipboard for the scope.
class OpenedClipboard {
public:
  explicit OpenedClipboard(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
  OpenedClipboard(const OpenedClipboard&) = delete;
  OpenedClipboard& operator=(const OpenedClipboard&) = delete;
  ~OpenedClipboard() {
    if (open_) CloseClipboard();
  }
  bool Open() const { return open_; }

private:
  bool open_;
};

// Hands the block to the clipboard, or frees it when the clipboard refuses.
bool PlaceOnClipboard(UINT format, HGLOBAL block) {
  if (!block) return false;
  if (SetClipboardData(format, block)) return true;
  GlobalFree(block);
  return false;
}

} // namespace

bool GetClipboardText(StringBuffer& text) {
  text.Set("", 0);
  if (!IsClipboardFormatAvailable(CF_UNICODETEXT)) return false;
  const OpenedClipboard clipboard(nullptr);
  if (!clipboard.Open()) return false;
  const HANDLE data = GetClipboardData(CF_UNICODETEXT);
  if (!data) return false;
  const auto* wide = static_cast<const char16_t*>(GlobalLock(data));
  if (!wide) return false;
  // The block may lack a terminator; never read past its size.
  const size_t maxUnits = GlobalSize(data) / sizeof(char16_t);
  size_t units = 0;
  while (units < maxUnits && wide[units] != 0) ++units;
  const std::string utf8 = UTF16ToUTF8(std::u16string(wide, units));
  GlobalUnlock(data);
  text.Set(utf8.c_str(), 0);
  return true;
}

bool SetClipboardText(HWND owner, const char* text) {
  const OpenedClipboard clipboard(owner);
  if (!clipboard.Open()) return false;
  EmptyClipboard();
  if (!text || !*text) return true;
  const std::u16string wide = UTF8ToUTF16(text);
  const size_t bytes = sizeof(char16_t) * (wide.size() + 1);
  const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (!block) return false;
  void* memory = GlobalLock(block);
  if (!memory) {
    GlobalFree(block);
    return false;
  }
  std::memcpy(memory, wide.c_str(), bytes);
  GlobalUnlock(block);
  return PlaceOnClipboard(CF_UNICODETEXT, block);
}

bool SetClipboardFilePath(HWND owner, const char* path) {
  const OpenedClipboard clipboard(owner);
  if (!clipboard.Open()) return false;
  EmptyClipboard();
  return PlaceOnClipboard(CF_HDROP, MakeFileListBlock(path, FileListUse::Clipboard));
}

} // namespace plugkit::igraphics
