#pragma once

#include "framework/core/pointer_list.h"
#include "framework/core/string_buffer.h"

#include <functional>
#include <initializer_list>

namespace plugkit::igraphics {

// A tree of menu items that the platform shows as a native menu.
class IPopupMenu {
public:
  using Callback = std::function<void(IPopupMenu*)>;

  class Item {
  public:
    enum Flags { kNoFlags = 0, kGreyed = 1, kDisabled = 2, kChecked = 4, kSeparator = 8 };

    Item(const char* text, int flags = kNoFlags, int tag = -1);
    Item(const Item&) = delete;
    Item& operator=(const Item&) = delete;
    ~Item();

    const char* GetText() const { return text_.Get(); }
    int GetFlags() const { return flags_; }
    int GetTag() const { return tag_; }
    IPopupMenu* GetSubmenu() const { return submenu_; }
    // The item owns the submenu from here on.
    void SetSubmenu(IPopupMenu* submenu);

  private:
    StringBuffer text_;
    IPopupMenu* submenu_ = nullptr;
    int flags_;
    int tag_;
  };

  explicit IPopupMenu(const char* rootTitle = "", std::initializer_list<const char*> items = {},
                      Callback callback = {});
  IPopupMenu(const IPopupMenu&) = delete;
  IPopupMenu& operator=(const IPopupMenu&) = delete;
  ~IPopupMenu();

  // The menu owns the item from here on.
  Item* AddItem(Item* item);
  Item* AddItem(const char* text, int flags = Item::kNoFlags, int tag = -1);
  Item* GetItem(int index) const { return items_.Get(index); }
  int NItems() const { return items_.Count(); }
  // Deletes every item; with resetState the choice and prefix mode as well.
  void Clear(bool resetState = true);

  int GetChosenItemIdx() const { return chosenItemIdx_; }
  void SetChosenItemIdx(int index) { chosenItemIdx_ = index; }
  int GetItemsPerColumn() const { return itemsPerColumn_; }
  void SetItemsPerColumn(int count) { itemsPerColumn_ = count; }
  int GetPrefixMode() const { return prefixMode_; }
  void SetPrefixMode(int mode) { prefixMode_ = mode; }
  const char* GetRootTitle() const { return rootTitle_.Get(); }
  void SetRootTitle(const char* title) { rootTitle_.Set(title); }
  void SetFunction(Callback callback) { callback_ = std::move(callback); }
  void ExecFunction() {
    if (callback_) callback_(this);
  }

private:
  int itemsPerColumn_ = 0;
  int prefixMode_ = 0;
  int chosenItemIdx_ = -1;
  PointerList<Item> items_;
  Callback callback_;
  StringBuffer rootTitle_;
};

} // namespace plugkit::igraphics
