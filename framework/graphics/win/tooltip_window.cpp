#include "framework/graphics/win/tooltip_window.h"

#include "framework/graphics/utf_conversion.h"

#include <commctrl.h>

#include <string>

namespace plugkit::igraphics {
namespace {

TTTOOLINFOW ToolFor(HWND owner) {
  TTTOOLINFOW tool{};
  // Without the reserved field that only version 6 of the common controls
  // knows: older versions, which every program without a manifest gets,
  // refuse a larger record and the tool would never be added.
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = owner;
  tool.uId = reinterpret_cast<UINT_PTR>(owner);
  return tool;
}

} // namespace

std::unique_ptr<TooltipWindow> TooltipWindow::Create(HWND owner, HINSTANCE module) {
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_BAR_CLASSES;
  InitCommonControlsEx(&controls);
  const HWND tooltip = CreateWindowExW(
      0, TOOLTIPS_CLASSW, nullptr,
      WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, module, nullptr);
  if (!tooltip) return nullptr;
  std::unique_ptr<TooltipWindow> window(new TooltipWindow(tooltip, owner));
  SetWindowPos(tooltip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  TTTOOLINFOW tool = ToolFor(owner);
  wchar_t empty[] = L"";
  tool.lpszText = empty;
  if (!SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool))) return nullptr;
  SendMessageW(tooltip, TTM_SETMAXTIPWIDTH, 0, kMaxWidth);
  return window;
}

TooltipWindow::~TooltipWindow() { DestroyWindow(tooltip_); }

void TooltipWindow::SetText(const char* text) {
  std::u16string wide = UTF8ToUTF16(text ? text : "");
  TTTOOLINFOW tool = ToolFor(owner_);
  tool.lpszText = reinterpret_cast<wchar_t*>(wide.data());
  SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

} // namespace plugkit::igraphics
