#include "tarvex/plugin/editor_graphics.h"

#include "framework/graphics/win/igraphics_win.h"
#include "tarvex/editor/editor_layout.h"

namespace tarvex {

namespace {

HMODULE ModuleOfThisCode() {
  HMODULE module = nullptr;
  GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&ModuleOfThisCode), &module);
  return module;
}

} // namespace

plugkit::igraphics::IGraphics* CreateEditorGraphics(
    plugkit::igraphics::IGEditorDelegate& delegate) {
  auto* graphics =
      new plugkit::igraphics::IGraphicsWin(delegate, kEditorWidth, kEditorHeight, kEditorFps, 1.f);
  graphics->SetModuleHandle(ModuleOfThisCode());
  return graphics;
}

} // namespace tarvex
