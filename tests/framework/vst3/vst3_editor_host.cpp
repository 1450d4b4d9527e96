#include "tests/framework/vst3/vst3_editor_host.h"

#include "framework/graphics/graphics_editor_delegate.h"
#include "framework/vst3/utf16_text.h"
#include "tests/support/plug_config_builder.h"

namespace plugkit::test {

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

// Null drawing with a stand-in window: the parent handle is the window,
// the layout runs when it opens, and the pointer and menus are the
// plug-in's to set and count.
class WindowedGraphics : public igraphics::testing::NullGraphics {
public:
  WindowedGraphics(EditorPlugin& plug, int width, int height)
      : NullGraphics(plug, width, height), plug_(plug) {}

  void* OpenWindow(void* parent) override {
    if (!plug_.windowOpens) return nullptr;
    window_ = parent;
    GetDelegate().LayoutEditor(this);
    return window_;
  }
  void CloseWindow() override {
    RemoveAllControls();
    window_ = nullptr;
  }
  void* GetWindow() override { return window_; }
  bool WindowIsOpen() override { return window_ != nullptr; }
  void GetMouseLocation(float& x, float& y) const override {
    x = plug_.pointerX;
    y = plug_.pointerY;
  }
  igraphics::IPopupMenu* CreatePlatformPopupMenu(igraphics::IPopupMenu&,
                                                 const igraphics::IRect&) override {
    ++plug_.popupsShown;
    return nullptr;
  }

private:
  EditorPlugin& plug_;
  void* window_ = nullptr;
};

class Backdrop : public igraphics::IControl {
public:
  Backdrop() : IControl(igraphics::IRect(0.f, 0.f, 400.f, 300.f)) {}
  void Draw(igraphics::IGraphics&) override {}
};

} // namespace

void KeyControl::CreateContextMenu(igraphics::IPopupMenu& menu) {
  using Item = igraphics::IPopupMenu::Item;
  menu.AddItem("Reset");
  Item* more = menu.AddItem("More");
  auto* submenu = new igraphics::IPopupMenu();
  submenu->AddItem("Deep", Item::kChecked);
  more->SetSubmenu(submenu);
  menu.AddItem("Gone", Item::kDisabled);
  menu.AddItem("-", Item::kSeparator);
}

PlugConfig EditorPlugin::Config(bool hasUI, bool hostResize) {
  return PlugConfigBuilder("Editor", "Edtr")
      .Params(2)
      .Channels("1-1 2-2")
      .Editor(400, 300, hasUI)
      .SizeLimits(200, 800, 100, 600)
      .HostResize(hostResize)
      .Build();
}

EditorPlugin::EditorPlugin(const PlugConfig& config) : IPluginVST3(config) {
  for (int i = 0; i < NParams(); ++i)
    GetParam(i)->ConfigureDouble("Level", 0.5, 0.0, 1.0, 0.001, "", 0, "", IParam::ShapeLinear());
  makeGraphicsFunc_ = [this] { return new WindowedGraphics(*this, 400, 300); };
  layoutFunc_ = [](igraphics::IGraphics* graphics) {
    graphics->AttachControl(new Backdrop());
    graphics->AttachControl(new KeyControl());
  };
}

KeyControl* EditorPlugin::Keys() const {
  return GetUI() ? static_cast<KeyControl*>(GetUI()->GetControl(1)) : nullptr;
}

RecordingMenu::RecordingMenu(ParamID id) : paramId(id) {
  Item own = {};
  Utf8ToUtf16("Host item", own.name, 128);
  own.tag = -1;
  items_.push_back({own, nullptr});
}

tresult PLUGIN_API RecordingMenu::getItem(int32 index, Item& item, IContextMenuTarget** target) {
  if (index < 0 || index >= getItemCount()) return kInvalidArgument;
  item = items_[static_cast<size_t>(index)].item;
  if (target) *target = items_[static_cast<size_t>(index)].target;
  return kResultOk;
}

tresult PLUGIN_API RecordingMenu::addItem(const Item& item, IContextMenuTarget* target) {
  items_.push_back({item, target});
  return kResultOk;
}

std::string RecordingMenu::Items() const {
  std::string text;
  for (const Entry& entry : items_) {
    char name[256];
    Utf16ToUtf8(entry.item.name, 128, name, sizeof(name));
    text += std::string(name) + ":" + std::to_string(entry.item.tag) + ":" +
            std::to_string(entry.item.flags) + "|";
  }
  return text;
}

tresult RecordingMenu::Execute(int32 tag) {
  for (const Entry& entry : items_) {
    if (entry.item.tag == tag && entry.target) return entry.target->executeMenuItem(tag);
  }
  return kInvalidArgument;
}

tresult PLUGIN_API HostHandler::beginEdit(ParamID id) {
  log.push_back("begin " + std::to_string(id));
  return kResultOk;
}

tresult PLUGIN_API HostHandler::performEdit(ParamID id, ParamValue) {
  log.push_back("perform " + std::to_string(id));
  return kResultOk;
}

tresult PLUGIN_API HostHandler::endEdit(ParamID id) {
  log.push_back("end " + std::to_string(id));
  return kResultOk;
}

IContextMenu* PLUGIN_API HostHandler::createContextMenu(IPlugView*, const ParamID* paramID) {
  if (mode_ == kNoMenus || !paramID) return nullptr;
  auto menu = owned(new RecordingMenu(*paramID));
  menus.push_back(menu);
  menu->addRef();
  return menu;
}

tresult PLUGIN_API HostHandler::queryInterface(const TUID iid, void** obj) {
  QUERY_INTERFACE(iid, obj, IComponentHandler::iid, IComponentHandler)
  if (mode_ != kNoHandler3) QUERY_INTERFACE(iid, obj, IComponentHandler3::iid, IComponentHandler3)
  return FObject::queryInterface(iid, obj);
}

std::string HostHandler::Log() const {
  std::string text;
  for (const std::string& entry : log) text += entry + "|";
  return text;
}

EditorSession::EditorSession(const char16_t* hostName, HostHandler::Menus menus)
    : handler(menus), host(hostName), plug(owned(new EditorPlugin())) {
  plug->initialize(&host);
  plug->setComponentHandler(&handler);
  view = owned(plug->CreateEditorView(ViewType::kEditor));
  view->setFrame(&frame);
  view->attached(&parent_, kPlatformTypeHWND);
}

EditorSession::~EditorSession() {
  Close();
  view = nullptr;
  plug->terminate();
}

void EditorSession::Drag(KeyControl* control, double value) {
  control->dragValue = value;
  igraphics::IMouseInfo press;
  press.x = press.y = 10.f;
  press.ms.L = true;
  plug->GetUI()->OnMouseDown({press});
  igraphics::IMouseInfo drag = press;
  drag.dX = 5.f;
  plug->GetUI()->OnMouseDrag({drag});
  plug->GetUI()->OnMouseUp({press});
}

void EditorSession::RightClick(float x, float y) {
  igraphics::IMouseInfo press;
  press.x = x;
  press.y = y;
  press.ms.R = true;
  plug->GetUI()->OnMouseDown({press});
}

void EditorSession::Close() {
  if (!view) return;
  view->setFrame(nullptr);
  view->removed();
}

} // namespace plugkit::test
