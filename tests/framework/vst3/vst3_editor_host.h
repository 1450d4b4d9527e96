#pragma once

#include "tests/framework/vst3/vst3_test_plugin.h"
#include "tests/support/graphics/null_graphics.h"
#include "tests/support/recording_frame.h"

#include "framework/graphics/popup_menu.h"
#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"
#include "pluginterfaces/vst/ivstcontextmenu.h"

#include <memory>
#include <string>
#include <vector>

namespace plugkit::test {

// A control bound to parameter 0 that takes the key "a" and the space bar,
// fills a context menu of its own, notes the items chosen in it, and sets
// `dragValue` when dragged.
class KeyControl : public igraphics::IControl {
public:
  KeyControl() : IControl(igraphics::IRect(0.f, 0.f, 100.f, 100.f), 0) {}

  bool OnKeyDown(float, float, const igraphics::IKeyPress& key) override { return Take(key); }
  bool OnKeyUp(float, float, const igraphics::IKeyPress& key) override { return Take(key); }
  void OnMouseDrag(float, float, float, float, const igraphics::IMouseMod&) override {
    SetValue(dragValue);
    SetDirty(true);
  }
  void CreateContextMenu(igraphics::IPopupMenu& menu) override;
  void OnContextSelection(int itemSelected) override { chosen.push_back(itemSelected); }
  void Draw(igraphics::IGraphics&) override {}

  std::vector<igraphics::IKeyPress> pressed;
  std::vector<int> chosen;
  double dragValue = 0.0;

private:
  bool Take(const igraphics::IKeyPress& key) {
    pressed.push_back(key);
    return key.utf8[0] == 'a' || key.VK == 32;
  }
};

// A plug-in with a 400 x 300 editor (limits 200..800 x 100..600) whose
// make-graphics function gives the null back end with a stand-in window:
// a backdrop first, then a KeyControl in the top-left corner.
class EditorPlugin : public IPluginVST3 {
public:
  static PlugConfig Config(bool hasUI = true, bool hostResize = true);
  explicit EditorPlugin(const PlugConfig& config = Config());

  KeyControl* Keys() const;

  using IPluginVST3::CreateEditorView;

  bool windowOpens = true;
  float pointerX = 10.f;
  float pointerY = 10.f;
  int popupsShown = 0;
};

// SDK interfaces have no virtual destructors by design: their objects die through release().
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
// A host's context menu: starts with one item of the host's own and keeps
// what is added with its targets.
class RecordingMenu : public Steinberg::FObject, public Steinberg::Vst::IContextMenu {
public:
  explicit RecordingMenu(Steinberg::Vst::ParamID id);

  Steinberg::int32 PLUGIN_API getItemCount() override {
    return static_cast<Steinberg::int32>(items_.size());
  }
  Steinberg::tresult PLUGIN_API getItem(Steinberg::int32 index, Item& item,
                                        Steinberg::Vst::IContextMenuTarget** target) override;
  Steinberg::tresult PLUGIN_API addItem(const Item& item,
                                        Steinberg::Vst::IContextMenuTarget* target) override;
  Steinberg::tresult PLUGIN_API removeItem(const Item&,
                                           Steinberg::Vst::IContextMenuTarget*) override {
    return Steinberg::kNotImplemented;
  }
  Steinberg::tresult PLUGIN_API popup(Steinberg::UCoord x, Steinberg::UCoord y) override {
    popupX = x;
    popupY = y;
    return Steinberg::kResultOk;
  }
  OBJ_METHODS(RecordingMenu, FObject)
  REFCOUNT_METHODS(FObject)
  DEFINE_INTERFACES
  DEF_INTERFACE(Steinberg::Vst::IContextMenu)
  END_DEFINE_INTERFACES(FObject)

  // "name:tag:flags|" for every item in order.
  std::string Items() const;
  // Chooses the item with `tag`, as the host does.
  Steinberg::tresult Execute(Steinberg::int32 tag);

  Steinberg::Vst::ParamID paramId;
  Steinberg::UCoord popupX = -1;
  Steinberg::UCoord popupY = -1;

private:
  struct Entry {
    Item item;
    Steinberg::IPtr<Steinberg::Vst::IContextMenuTarget> target;
  };
  std::vector<Entry> items_;
};

// A host's component handler: notes the edits and, as asked, offers
// context menus.
class HostHandler : public Steinberg::FObject,
                    public Steinberg::Vst::IComponentHandler,
                    public Steinberg::Vst::IComponentHandler3 {
public:
  enum Menus { kMenus, kNoMenus, kNoHandler3 };
  explicit HostHandler(Menus mode) : mode_(mode) {}

  Steinberg::tresult PLUGIN_API beginEdit(Steinberg::Vst::ParamID id) override;
  Steinberg::tresult PLUGIN_API performEdit(Steinberg::Vst::ParamID id,
                                            Steinberg::Vst::ParamValue) override;
  Steinberg::tresult PLUGIN_API endEdit(Steinberg::Vst::ParamID id) override;
  Steinberg::tresult PLUGIN_API restartComponent(Steinberg::int32) override {
    return Steinberg::kResultOk;
  }
  Steinberg::Vst::IContextMenu* PLUGIN_API
  createContextMenu(Steinberg::IPlugView* view, const Steinberg::Vst::ParamID* paramID) override;

  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  REFCOUNT_METHODS(FObject)

  std::string Log() const;

  std::vector<std::string> log;
  std::vector<Steinberg::IPtr<RecordingMenu>> menus;

private:
  Menus mode_;
};
#pragma GCC diagnostic pop

// A host with the editor of an EditorPlugin open: the plug-in initialised,
// the handler and the frame given, the view attached.
class EditorSession {
public:
  static constexpr HostHandler::Menus kNoMenus = HostHandler::kNoMenus;
  static constexpr HostHandler::Menus kNoHandler3 = HostHandler::kNoHandler3;

  explicit EditorSession(const char16_t* hostName = u"Test Host",
                         HostHandler::Menus menus = HostHandler::kMenus);
  ~EditorSession();
  EditorSession(const EditorSession&) = delete;
  EditorSession& operator=(const EditorSession&) = delete;

  // Presses the left button on the control, drags it to `value`, releases.
  void Drag(KeyControl* control, double value);
  void RightClick(float x, float y);
  // The host removes the view.
  void Close();

  HostHandler handler;
  RecordingFrame frame;
  NamedHost host;
  Steinberg::IPtr<EditorPlugin> plug;
  Steinberg::IPtr<Steinberg::IPlugView> view;

private:
  int parent_ = 0;
};

} // namespace plugkit::test
