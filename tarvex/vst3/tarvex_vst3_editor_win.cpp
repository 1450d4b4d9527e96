#include "tarvex/vst3/tarvex_vst3_editor.h"

#include "framework/core/plugin_instance_handle.h"
#include "framework/graphics/win/igraphics_win.h"
#include "tarvex/editor/editor_layout.h"

namespace tarvex {

plugkit::igraphics::IGEditorDelegate::MakeGraphicsFunc ModuleEditorGraphics(
    plugkit::igraphics::IGEditorDelegate& delegate) {
  return [&delegate]() -> plugkit::igraphics::IGraphics* {
    auto* graphics = new plugkit::igraphics::IGraphicsWin(delegate, kEditorWidth, kEditorHeight,
                                                          kEditorFps, 1.f);
    graphics->SetModuleHandle(plugkit::GetPluginInstanceHandle());
    return graphics;
  };
}

} // namespace tarvex
