#pragma once

#include "framework/core/string_buffer.h"
#include "framework/graphics/icolor.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>

namespace plugkit::igraphics {

// The file chooser's filter from blank-separated extensions ("wav aif"
// gives "*.wav;*.aif", shown and matched, double-zero ended) and its
// default extension (the first one). Extensions that would make the pattern
// longer than kMaxPatternUnits are left out; a first extension longer than
// kMaxDefaultExtension gives no default extension.
struct FileFilter {
  static constexpr size_t kMaxPatternUnits = 126;
  static constexpr size_t kMaxDefaultExtension = 15;

  std::wstring pattern;
  // pattern, zero, pattern, zero, zero; empty when there is no pattern.
  std::wstring filter;
  std::wstring defaultExtension;
};
FileFilter BuildFileFilter(const char* extensions);

enum class FileAction { Open = 0, Save = 1 };

// Runs the open or save chooser. Confirmed: the file name becomes the whole
// chosen path and the directory its folder (ending with a separator), true.
// Cancelled: the file name is emptied, the directory kept, false.
bool RunFileDialog(HWND owner, StringBuffer& fileName, StringBuffer& directory, FileAction action,
                   const char* extensions);

// Runs the folder chooser; the directory becomes the chosen folder with a
// trailing separator, or empty when cancelled (then false).
bool RunFolderDialog(HWND owner, StringBuffer& directory);

// Runs the colour chooser starting at `color`; confirmed, its red, green and
// blue become the chosen colour (alpha kept) and the result is true. The
// sixteen custom colours are kept for the process.
bool RunColorDialog(HWND owner, IColor& color, const char* title);

} // namespace plugkit::igraphics
