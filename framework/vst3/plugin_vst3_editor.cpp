// The editor side of IPluginVST3: its view, the size the host's frame
// gives it, and the host's context menus for parameters.
#include "framework/vst3/plugin_vst3.h"

#include "framework/graphics/igraphics.h"
#include "framework/vst3/plugin_vst3_view.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace plugkit {

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

// The editor window is a Win32 window: other platforms get no view.
#if defined(_WIN32)
constexpr bool kEditorWindowsAvailable = true;
#else
constexpr bool kEditorWindowsAvailable = false;
#endif

} // namespace

IPlugView* PLUGIN_API IPluginVST3::createView(FIDString name) {
  if (!kEditorWindowsAvailable) return nullptr;
  return CreateEditorView(name);
}

IPlugView* IPluginVST3::CreateEditorView(FIDString name) {
  if (!HasUI() || !name || std::strcmp(name, ViewType::kEditor) != 0) return nullptr;
  return new (std::nothrow) IPluginVST3View(*this);
}

void IPluginVST3::ForgetView(const IPluginVST3View& view) {
  if (view_ == &view) view_ = nullptr;
}

void IPluginVST3::OnViewResized(int width, int height) {
  // What the host's frame now measures is what getSize reports.
  width_ = width;
  height_ = height;
  OnParentWindowResize(width, height);
}

bool IPluginVST3::ResizeEditorWindow(int width, int height) {
  if (!HasUI()) return false;
  if (width == width_ && height == height_) return true;
  IPlugFrame* frame = view_ && view_->isAttached() ? view_->GetFrame() : nullptr;
  ViewRect rect(0, 0, width, height);
  const bool resized = frame && frame->resizeView(view_, &rect) == kResultTrue;
  width_ = width;
  height_ = height;
  return resized;
}

void IPluginVST3::CloseEditor() {
  DetachMenuTargets();
  IPluginAPIBase::CloseEditor();
}

void IPluginVST3::DetachMenuTargets() {
  for (const IPtr<IControlMenuTarget>& target : menuTargets_) target->Detach();
  menuTargets_.clear();
}

bool IPluginVST3::ShowHostContextMenuForParam(igraphics::IControl& control, int paramIdx, float x,
                                              float y) {
  igraphics::IGraphics* graphics = GetUI();
  if (!graphics) return true;
  igraphics::IPopupMenu& menu = graphics->GetPromptMenu();
  menu.Clear(true);
  control.CreateContextMenu(menu);
  IComponentHandler* handler = getComponentHandler();
  if (!handler || !view_ || !view_->isAttached()) return true;
  FUnknownPtr<IComponentHandler3> handler3(handler);
  if (!handler3) return true;
  const ParamID id = static_cast<ParamID>(paramIdx);
  const IPtr<IContextMenu> hostMenu = owned(handler3->createContextMenu(view_, &id));
  if (!hostMenu) return true;
  // Targets of earlier menus that only this list still holds are done with.
  menuTargets_.erase(std::remove_if(menuTargets_.begin(), menuTargets_.end(),
                                    [](const IPtr<IControlMenuTarget>& target) {
                                      return target->getRefCount() == 1;
                                    }),
                     menuTargets_.end());
  const IPtr<IControlMenuTarget> target = owned(new IControlMenuTarget(control));
  menuTargets_.push_back(target);
  FillHostContextMenu(*hostMenu, menu, target);
  const float s = graphics->GetDrawScale() * graphics->GetScreenScale();
  hostMenu->popup(static_cast<UCoord>(x * s), static_cast<UCoord>(y * s));
  return true;
}

} // namespace plugkit
