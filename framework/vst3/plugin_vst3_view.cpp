#include "framework/vst3/plugin_vst3_view.h"

#include "framework/vst3/host_call_guard.h"
#include "framework/vst3/plugin_vst3.h"
#include "framework/vst3/vst3_key_press.h"

#include <cstring>

namespace plugkit {

using namespace Steinberg;

namespace {

constexpr int16 kSpaceKeyCode = 7;

bool IsWindowType(FIDString type) { return type && std::strcmp(type, kPlatformTypeHWND) == 0; }

// The key press that the editor gets for a host key event; false when the
// host's key is not passed on. Reaper sends the editor every key of its own
// shortcuts too, so there only the space bar reaches the editor.
bool KeyFromHost(const IPluginVST3& plug, char16 key, int16 keyCode, int16 modifiers,
                 igraphics::IKeyPress& press) {
  if (plug.GetHost() != kHostReaper) {
    press = KeyPressFromVST3(static_cast<char16_t>(key), keyCode, modifiers);
    return true;
  }
  if (keyCode != kSpaceKeyCode) return false;
  press = igraphics::IKeyPress();
  press.VK = 32;
  press.utf8[0] = ' ';
  press.S = (modifiers & 1) != 0;
  press.A = (modifiers & 2) != 0;
  press.C = (modifiers & 4) != 0;
  return true;
}

} // namespace

IPluginVST3View::IPluginVST3View(IPluginVST3& plug) : plug_(plug) { plug_.addRef(); }

IPluginVST3View::~IPluginVST3View() {
  // A host that lets go of the view without removing it still closes the
  // editor: its window must not stay behind in the host's.
  if (isAttached()) plug_.CloseEditor();
  plug_.ForgetView(*this);
  plug_.release();
}

tresult PLUGIN_API IPluginVST3View::queryInterface(const TUID iid, void** obj) {
  QUERY_INTERFACE(iid, obj, IPlugViewContentScaleSupport::iid, IPlugViewContentScaleSupport)
  QUERY_INTERFACE(iid, obj, IPlugView::iid, IPlugView)
  return CPluginView::queryInterface(iid, obj);
}

tresult PLUGIN_API IPluginVST3View::isPlatformTypeSupported(FIDString type) {
  return plug_.HasUI() && IsWindowType(type) ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API IPluginVST3View::attached(void* parent, FIDString type) {
  return GuardHostCall(kResultFalse, [&]() -> tresult {
    // One editor per instance: a second view cannot take it from the first.
    if (!plug_.HasUI() || !IsWindowType(type) || !parent || isAttached() || plug_.GetUI())
      return kResultFalse;
    // Attached before the editor opens, so that a size the editor restores
    // while opening reaches the host's frame.
    CPluginView::attached(parent, type);
    plug_.SetEditorView(*this);
    if (plug_.OpenEditor(parent)) return kResultOk;
    plug_.CloseEditor();
    plug_.ForgetView(*this);
    CPluginView::removed();
    return kResultFalse;
  });
}

tresult PLUGIN_API IPluginVST3View::removed() {
  return GuardHostCall(kResultFalse, [&]() -> tresult {
    // Only the view that holds the editor closes it.
    if (plug_.HasUI() && isAttached()) {
      plug_.CloseEditor();
      plug_.ForgetView(*this);
    }
    return CPluginView::removed();
  });
}

tresult PLUGIN_API IPluginVST3View::onKeyDown(char16 key, int16 keyCode, int16 modifiers) {
  return GuardHostCall(kResultFalse, [&]() -> tresult {
    igraphics::IKeyPress press;
    if (!KeyFromHost(plug_, key, keyCode, modifiers, press)) return kResultFalse;
    return plug_.OnHostKeyDown(press) ? kResultTrue : kResultFalse;
  });
}

tresult PLUGIN_API IPluginVST3View::onKeyUp(char16 key, int16 keyCode, int16 modifiers) {
  return GuardHostCall(kResultFalse, [&]() -> tresult {
    igraphics::IKeyPress press;
    if (!KeyFromHost(plug_, key, keyCode, modifiers, press)) return kResultFalse;
    return plug_.OnHostKeyUp(press) ? kResultTrue : kResultFalse;
  });
}

tresult PLUGIN_API IPluginVST3View::getSize(ViewRect* size) {
  if (!plug_.HasUI() || !size) return kResultFalse;
  *size = ViewRect(0, 0, plug_.GetEditorWidth(), plug_.GetEditorHeight());
  return kResultOk;
}

tresult PLUGIN_API IPluginVST3View::onSize(ViewRect* newSize) {
  return GuardHostCall(kResultFalse, [&]() -> tresult {
    if (!newSize || !plug_.HostResize()) return kResultFalse;
    CPluginView::onSize(newSize);
    plug_.OnViewResized(newSize->getWidth(), newSize->getHeight());
    return kResultOk;
  });
}

tresult PLUGIN_API IPluginVST3View::canResize() {
  return plug_.HasUI() && plug_.HostResize() ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API IPluginVST3View::checkSizeConstraint(ViewRect* wanted) {
  if (!wanted) return kInvalidArgument;
  int width = wanted->getWidth();
  int height = wanted->getHeight();
  plug_.ConstrainParentWindowSize(width, height);
  wanted->right = wanted->left + width;
  wanted->bottom = wanted->top + height;
  return kResultTrue;
}

tresult PLUGIN_API IPluginVST3View::setContentScaleFactor(ScaleFactor factor) {
  return GuardHostCall(kResultFalse, [&]() -> tresult {
    plug_.SetEditorScreenScale(factor);
    return kResultOk;
  });
}

} // namespace plugkit
