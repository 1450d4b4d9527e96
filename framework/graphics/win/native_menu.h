#pragma once

#include "framework/graphics/popup_menu.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <memory>
#include <string>
#include <type_traits>

namespace plugkit::igraphics {

struct MenuDeleter {
  void operator()(HMENU menu) const { DestroyMenu(menu); }
};
using MenuHandle = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDeleter>;

// A menu with this many items or more gets no column breaks.
constexpr int kMaxColumnMenuItems = 1280;

// The text an item shows: numbered by the menu's prefix mode, with every
// "&" doubled so that it is shown and marks no mnemonic.
std::string NativeMenuItemText(const IPopupMenu& menu, int itemIndex);

// Builds the native menu of `menu`. Ids are handed out depth-first: a menu
// takes the run of ids for its own items (from `runningId`) before its
// submenus are built. A submenu that cannot be built is left out. Null when
// no menu can be made.
HMENU BuildNativeMenu(const IPopupMenu& menu, int& runningId);

// The menu holding `id` in the numbering BuildNativeMenu gave, with the
// item's index in it; null when no menu holds it.
IPopupMenu* FindMenuItem(int id, int& itemIndex, int& runningId, IPopupMenu& menu);

} // namespace plugkit::igraphics
