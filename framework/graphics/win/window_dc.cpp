#include "framework/graphics/win/window_dc.h"

namespace plugkit::igraphics {
namespace {

// Editor windows live on the user-interface thread only.
long taken = 0;
long givenBack = 0;

} // namespace

HDC TakeWindowDC(HWND window) {
  const HDC dc = GetDC(window);
  if (dc) ++taken;
  return dc;
}

void GiveBackWindowDC(HWND window, HDC dc) {
  if (ReleaseDC(window, dc)) ++givenBack;
}

WindowDCCount CountWindowDCs() { return {taken, givenBack}; }

} // namespace plugkit::igraphics
