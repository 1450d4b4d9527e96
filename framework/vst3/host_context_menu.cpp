#include "framework/vst3/host_context_menu.h"

#include "framework/vst3/host_call_guard.h"
#include "framework/vst3/utf16_text.h"

namespace plugkit {

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

constexpr int kItemNameChars = 128;

IContextMenuItem HostItem(const char* text, int tag, int32 flags) {
  IContextMenuItem item = {};
  Utf8ToUtf16(text, item.name, kItemNameChars);
  item.tag = tag;
  item.flags = flags;
  return item;
}

int32 PlainItemFlags(int flags) {
  using Item = igraphics::IPopupMenu::Item;
  int32 hostFlags = 0;
  if (flags & (Item::kDisabled | Item::kGreyed)) hostFlags |= IContextMenuItem::kIsDisabled;
  if (flags & Item::kChecked) hostFlags |= IContextMenuItem::kIsChecked;
  return hostFlags;
}

} // namespace

tresult PLUGIN_API IControlMenuTarget::executeMenuItem(int32 tag) {
  return GuardHostCall(kResultFalse, [&]() -> tresult {
    if (!control_) return kResultFalse;
    control_->OnContextSelection(tag);
    return kResultOk;
  });
}

int FillHostContextMenu(IContextMenu& hostMenu, const igraphics::IPopupMenu& menu,
                        IContextMenuTarget* target, int firstTag) {
  int tag = firstTag;
  for (int i = 0; i < menu.NItems(); ++i) {
    const igraphics::IPopupMenu::Item* item = menu.GetItem(i);
    const char* text = item->GetText();
    if (item->GetFlags() & igraphics::IPopupMenu::Item::kSeparator) {
      hostMenu.addItem(HostItem(text, tag++, IContextMenuItem::kIsSeparator), target);
    } else if (const igraphics::IPopupMenu* submenu = item->GetSubmenu()) {
      hostMenu.addItem(HostItem(text, tag++, IContextMenuItem::kIsGroupStart), target);
      tag = FillHostContextMenu(hostMenu, *submenu, target, tag);
      hostMenu.addItem(HostItem(text, tag++, IContextMenuItem::kIsGroupEnd), target);
    } else {
      hostMenu.addItem(HostItem(text, tag++, PlainItemFlags(item->GetFlags())), target);
    }
  }
  return tag;
}

} // namespace plugkit
