#include "framework/graphics/win/window_scale.h"

namespace plugkit::igraphics {
namespace {

DpiForWindowFunc LookUpGetDpiForWindow() {
  const HMODULE user32 = GetModuleHandleW(L"user32.dll");
  if (!user32) return nullptr;
  return reinterpret_cast<DpiForWindowFunc>(
      reinterpret_cast<void*>(GetProcAddress(user32, "GetDpiForWindow")));
}

DpiForWindowFunc& DpiFunction() {
  static DpiForWindowFunc function = LookUpGetDpiForWindow();
  return function;
}

} // namespace

float GetWindowScale(HWND window) {
  const DpiForWindowFunc function = DpiFunction();
  if (!function) return 1.f;
  const UINT dpi = function(window);
  // 0 for a window that is gone.
  return dpi == 0 ? 1.f : static_cast<float>(dpi) / 96.f;
}

void SetDpiForWindowFunction(DpiForWindowFunc function) {
  DpiFunction() = function ? function : LookUpGetDpiForWindow();
}

} // namespace plugkit::igraphics
