#include "framework/graphics/win/cursors.h"

namespace plugkit::igraphics {

LPCWSTR SystemCursorFor(int cursorType) {
  // IDC_ARROW, IDC_IBEAM, IDC_WAIT, IDC_CROSS, IDC_UPARROW, IDC_SIZENWSE,
  // IDC_SIZENESW, IDC_SIZEWE, IDC_SIZENS, IDC_SIZEALL, IDC_NO, IDC_HAND,
  // IDC_APPSTARTING, IDC_HELP.
  static constexpr WORD kCursors[] = {32512, 32513, 32514, 32515, 32516, 32642, 32643,
                                      32644, 32645, 32646, 32648, 32649, 32650, 32651};
  constexpr int kCount = sizeof kCursors / sizeof kCursors[0];
  return MAKEINTRESOURCEW(cursorType >= 0 && cursorType < kCount ? kCursors[cursorType]
                                                                 : kCursors[0]);
}

} // namespace plugkit::igraphics
