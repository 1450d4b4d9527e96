#include "tests/support/win/test_parent_window.h"

namespace plugkit::test {

TestParentWindow::TestParentWindow(int width, int height) {
  static const wchar_t* kClass = L"TarvexTestParent";
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kClass;
  // Registered by the first window of the program; later attempts fail harmlessly.
  RegisterClassW(&windowClass);
  window_ = CreateWindowExW(0, kClass, L"Tarvex test parent", WS_POPUP | WS_VISIBLE, 0, 0, width,
                            height, nullptr, nullptr, windowClass.hInstance, nullptr);
}

TestParentWindow::~TestParentWindow() {
  if (window_) DestroyWindow(window_);
}

} // namespace plugkit::test
