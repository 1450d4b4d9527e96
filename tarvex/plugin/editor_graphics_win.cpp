#include "tarvex/plugin/editor_graphics.h"

#include "framework/core/plugin_instance_handle.h"
#include "framework/graphics/win/igraphics_win.h"
#include "tarvex/editor/editor_layout.h"

namespace tarvex {

plugkit::igraphics::IGraphics* CreateEditorGraphics(
    plugkit::igraphics::IGEditorDelegate& delegate) {
  auto* graphics =
      new plugkit::igraphics::IGraphicsWin(delegate, kEditorWidth, kEditorHeight, kEditorFps, 1.f);
  graphics->SetModuleHandle(plugkit::GetPluginInstanceHandle());
  return graphics;
}

} // namespace tarvex
