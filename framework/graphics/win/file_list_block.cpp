#include "framework/graphics/win/file_list_block.h"

#include <shlobj.h>

#include <cstring>

namespace plugkit::igraphics {

bool WidenStrict(const char* utf8, std::wstring& wide) {
  wide.clear();
  if (!utf8 || !*utf8) return true;
  const int units = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, nullptr, 0);
  if (units <= 0) return false;
  wide.resize(static_cast<size_t>(units));
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, wide.data(), units);
  wide.resize(static_cast<size_t>(units - 1));
  return true;
}

HGLOBAL MakeFileListBlock(const char* path, FileListUse use) {
  std::wstring wide;
  if (!WidenStrict(path, wide)) return nullptr;
  const size_t units = wide.size() + 1;
  const size_t closing = use == FileListUse::Drag ? 2 : 1;
  const size_t bytes = sizeof(DROPFILES) + sizeof(wchar_t) * (units + closing);
  const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
  if (!block) return nullptr;
  auto* header = static_cast<DROPFILES*>(GlobalLock(block));
  if (!header) {
    GlobalFree(block);
    return nullptr;
  }
  header->pFiles = sizeof(DROPFILES);
  header->pt = POINT{0, 0};
  header->fNC = use == FileListUse::Clipboard ? TRUE : FALSE;
  header->fWide = TRUE;
  std::memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), wide.c_str(),
              sizeof(wchar_t) * units);
  GlobalUnlock(block);
  return block;
}

} // namespace plugkit::igraphics
