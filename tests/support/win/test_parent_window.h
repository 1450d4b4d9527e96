#pragma once

#include <windows.h>

namespace plugkit::test {

// A visible top-level window at the screen's top-left corner standing in for
// a host's or the standalone program's, destroyed with the object.
class TestParentWindow {
public:
  TestParentWindow(int width = 800, int height = 600);
  TestParentWindow(const TestParentWindow&) = delete;
  TestParentWindow& operator=(const TestParentWindow&) = delete;
  ~TestParentWindow();
  HWND Get() const { return window_; }

private:
  HWND window_ = nullptr;
};

} // namespace plugkit::test
