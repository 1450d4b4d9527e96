#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <memory>

namespace plugkit::igraphics {

// The editor window's tooltip: one tool covering the whole window, whose
// text the editor sets for the control under the pointer.
class TooltipWindow {
public:
  static constexpr int kMaxWidth = 250;

  // Null when the tooltip window cannot be made.
  static std::unique_ptr<TooltipWindow> Create(HWND owner, HINSTANCE module);
  TooltipWindow(const TooltipWindow&) = delete;
  TooltipWindow& operator=(const TooltipWindow&) = delete;
  ~TooltipWindow();

  // UTF-8; null or empty hides the tip.
  void SetText(const char* text);
  HWND Handle() const { return tooltip_; }

private:
  TooltipWindow(HWND tooltip, HWND owner) : tooltip_(tooltip), owner_(owner) {}

  HWND tooltip_;
  HWND owner_;
};

} // namespace plugkit::igraphics
