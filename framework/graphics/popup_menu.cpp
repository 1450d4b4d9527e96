#include "framework/graphics/popup_menu.h"

namespace plugkit::igraphics {

IPopupMenu::Item::Item(const char* text, int flags, int tag) : flags_(flags), tag_(tag) {
  text_.Set(text);
}

IPopupMenu::Item::~Item() { delete submenu_; }

void IPopupMenu::Item::SetSubmenu(IPopupMenu* submenu) {
  if (submenu == submenu_) return;
  delete submenu_;
  submenu_ = submenu;
}

IPopupMenu::IPopupMenu(const char* rootTitle, std::initializer_list<const char*> items,
                       Callback callback)
    : callback_(std::move(callback)) {
  rootTitle_.Set(rootTitle);
  for (const char* text : items) AddItem(text);
}

IPopupMenu::~IPopupMenu() { items_.DeleteAll(); }

IPopupMenu::Item* IPopupMenu::AddItem(Item* item) {
  const int before = items_.Count();
  items_.Add(item);
  if (items_.Count() == before) {
    delete item;
    return nullptr;
  }
  return item;
}

IPopupMenu::Item* IPopupMenu::AddItem(const char* text, int flags, int tag) {
  return AddItem(new Item(text, flags, tag));
}

void IPopupMenu::Clear(bool resetState) {
  items_.DeleteAll();
  if (resetState) {
    chosenItemIdx_ = -1;
    prefixMode_ = 0;
  }
}

} // namespace plugkit::igraphics
