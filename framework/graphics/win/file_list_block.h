#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace plugkit::igraphics {

// Where a file list travels: on the clipboard (non-client flag 1, one
// closing zero) or in a drag (flag 0, two closing zeros).
enum class FileListUse { Clipboard, Drag };

// A movable CF_HDROP block holding one path: the DROPFILES header, the path
// in UTF-16 with its terminator, then the closing zeros. Null when the path
// is not strict UTF-8 or the memory cannot be had. The caller owns it.
HGLOBAL MakeFileListBlock(const char* path, FileListUse use);

} // namespace plugkit::igraphics
