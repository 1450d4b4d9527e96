#include "framework/graphics/win/file_list_block.h"

#include "framework/core/win_text.h"

#include <shlobj.h>

#include <cstring>
#include <string>

namespace plugkit::igraphics {

HGLOBAL MakeFileListBlock(const char* path, FileListUse use) {
  std::wstring wide;
  if (!Utf8ToWide(wide, path)) return nullptr;
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
