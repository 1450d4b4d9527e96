#include "framework/graphics/win/native_menu.h"

#include "framework/graphics/utf_conversion.h"

#include <cstdio>

namespace plugkit::igraphics {

std::string NativeMenuItemText(const IPopupMenu& menu, int itemIndex) {
  const IPopupMenu::Item* item = menu.GetItem(itemIndex);
  const char* text = item ? item->GetText() : "";
  static constexpr const char* kPrefixFormats[] = {"%1d: ", "%02d: ", "%03d: "};
  std::string shown;
  const int mode = menu.GetPrefixMode();
  if (mode >= 1 && mode <= 3) {
    char prefix[32];
    std::snprintf(prefix, sizeof prefix, kPrefixFormats[mode - 1], itemIndex + 1);
    shown = prefix;
  }
  for (const char* c = text; *c; ++c) {
    if (*c == '&') shown += '&';
    shown += *c;
  }
  return shown;
}

HMENU BuildNativeMenu(const IPopupMenu& menu, int& runningId) {
  MenuHandle handle(CreatePopupMenu());
  if (!handle) return nullptr;
  const int firstId = runningId;
  const int count = menu.NItems();
  runningId += count;
  const int columns = count < kMaxColumnMenuItems ? menu.GetItemsPerColumn() : 0;
  for (int e = 0; e < count; ++e) {
    const IPopupMenu::Item* item = menu.GetItem(e);
    const int itemFlags = item->GetFlags();
    if (itemFlags & IPopupMenu::Item::kSeparator) {
      AppendMenuW(handle.get(), MF_SEPARATOR, 0, nullptr);
      continue;
    }
    UINT flags = MF_STRING;
    if (itemFlags & IPopupMenu::Item::kGreyed) flags |= MF_GRAYED;
    if (itemFlags & IPopupMenu::Item::kDisabled) flags |= MF_DISABLED;
    if (itemFlags & IPopupMenu::Item::kChecked) flags |= MF_CHECKED;
    if (columns > 0 && e > 0 && e % columns == 0) flags |= MF_MENUBARBREAK;
    const std::u16string text = UTF8ToUTF16(NativeMenuItemText(menu, e));
    const auto* wide = reinterpret_cast<const wchar_t*>(text.c_str());
    if (const IPopupMenu* submenu = item->GetSubmenu()) {
      const HMENU built = BuildNativeMenu(*submenu, runningId);
      if (!built) continue;
      if (!AppendMenuW(handle.get(), flags | MF_POPUP, reinterpret_cast<UINT_PTR>(built), wide))
        DestroyMenu(built);
      continue;
    }
    AppendMenuW(handle.get(), flags, static_cast<UINT_PTR>(firstId + e), wide);
  }
  return handle.release();
}

IPopupMenu* FindMenuItem(int id, int& itemIndex, int& runningId, IPopupMenu& menu) {
  const int start = runningId;
  runningId += menu.NItems();
  if (id >= start && id < runningId) {
    itemIndex = id - start;
    return &menu;
  }
  for (int e = 0; e < menu.NItems(); ++e) {
    if (IPopupMenu* submenu = menu.GetItem(e)->GetSubmenu()) {
      if (IPopupMenu* found = FindMenuItem(id, itemIndex, runningId, *submenu)) return found;
    }
  }
  return nullptr;
}

} // namespace plugkit::igraphics
