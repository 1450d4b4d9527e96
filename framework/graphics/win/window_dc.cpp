#include "framework/graphics/win/window_dc.h"

#include <atomic>

namespace plugkit::igraphics {
namespace {

// A host may run editors of several instances on threads of their own.
std::atomic<long> taken{0};
std::atomic<long> givenBack{0};

} // namespace

HDC TakeWindowDC(HWND window) {
  const HDC dc = GetDC(window);
  if (dc) ++taken;
  return dc;
}

void GiveBackWindowDC(HWND window, HDC dc) {
  if (ReleaseDC(window, dc)) ++givenBack;
}

WindowDCCount CountWindowDCs() { return {taken.load(), givenBack.load()}; }

} // namespace plugkit::igraphics
