#pragma once

#include "pluginterfaces/vst/ivstcontextmenu.h"

#include "base/source/fobject.h"
#include "framework/graphics/icontrol.h"
#include "framework/graphics/popup_menu.h"

namespace plugkit {

// SDK interfaces have no virtual destructors by design: their objects die through release().
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
// What the host calls back when the user chooses one of a control's items
// in the host's context menu: the item's tag reaches the control's
// OnContextSelection. The host counts references on it and may keep it after
// the menu is gone, longer than the control lives: once detached (the
// editor closed) a late choice reaches nothing.
class IControlMenuTarget : public Steinberg::FObject, public Steinberg::Vst::IContextMenuTarget {
public:
  explicit IControlMenuTarget(igraphics::IControl& control) : control_(&control) {}

  Steinberg::tresult PLUGIN_API executeMenuItem(Steinberg::int32 tag) override;

  void Detach() { control_ = nullptr; }
  bool IsAttached() const { return control_ != nullptr; }

  OBJ_METHODS(IControlMenuTarget, Steinberg::FObject)
  REFCOUNT_METHODS(Steinberg::FObject)
  DEFINE_INTERFACES
  DEF_INTERFACE(Steinberg::Vst::IContextMenuTarget)
  END_DEFINE_INTERFACES(Steinberg::FObject)

private:
  igraphics::IControl* control_;
};
#pragma GCC diagnostic pop

// Copies `menu` into the host's menu with `target` behind every item.
// Tags count up from `firstTag` in the order items are added, over the
// whole menu and its submenus; a submenu is enclosed by a group-start item
// and a group-end item of the same name, each with a tag of its own.
// Returns the tag after the last one used.
int FillHostContextMenu(Steinberg::Vst::IContextMenu& hostMenu, const igraphics::IPopupMenu& menu,
                        Steinberg::Vst::IContextMenuTarget* target, int firstTag = 0);

} // namespace plugkit
