#include "framework/graphics/igraphics.h"
#include "tarvex/editor/display_controls.h"
#include "tarvex/editor/drawing_helpers.h"

namespace tarvex {

using plugkit::igraphics::IPattern;

Brand::Brand(const IRect& bounds, const plugkit::igraphics::ISVG& logo)
    : IControl(bounds), logo_(logo) {
  SetTooltip("Open BRASKELIN plugins and support.");
}

void Brand::OnMouseDown(float, float, const IMouseMod&) {
  if (GetUI()) GetUI()->OpenURL(kMakerWebPage);
}

bool Brand::OnKeyDown(float x, float y, const IKeyPress& key) {
  if (!IsActivationKey(key)) return false;
  OnMouseDown(x, y, IMouseMod());
  return true;
}

void Brand::Draw(IGraphics& g) {
  if (logo_.IsValid())
    g.DrawSVG(logo_, GetRECT());
  else
    DrawLabel(g, "BRASKELIN", IRect(36, 0, 238, 42), 23, kColorIvory, kAlignLeft);
  if (GetMouseIsOver()) g.DrawLine(kColorAmber, 37, 39, 230, 39, nullptr, 1.f);
}

Backdrop::Backdrop(const IRect& bounds) : IControl(bounds) { SetIgnoreMouse(true); }

void Backdrop::Draw(IGraphics& g) {
  const IRect& r = GetRECT();
  g.PathClear();
  g.PathRect(r);
  g.PathFill(IPattern::CreateLinearGradient(
      590, 0, 590, 800, {{IColor(255, 30, 42, 46), 0.f}, {IColor(255, 15, 23, 27), 1.f}}));
  for (int y = 0; y <= 796; y += 4) {
    const IColor scan(y % 12 == 0 ? 3 : 1, 255, 255, 255);
    g.DrawLine(scan, 0, static_cast<float>(y), 1180, static_cast<float>(y), nullptr, 1.f);
  }
  DrawLabel(g, "Tarvex", IRect(36, 38, 570, 87), 35, kColorIvory, kAlignLeft);
  DrawLabel(g, "LISTEN / IDENTIFY / CONTROL", IRect(40, 85, 670, 99), 11, kColorSlate, kAlignLeft);
  g.DrawLine(kColorLine, 36, 99, 1144, 99, nullptr, 1.f);
  g.FillRoundRect(kColorPanel, IRect(36, 386, 1144, 513), 8.f, nullptr);
  g.FillRoundRect(kColorPanel, IRect(36, 602, 1144, 714), 8.f, nullptr);
  g.DrawRoundRect(kColorLine, IRect(36, 602, 1144, 714), 8.f, nullptr, 1.f);
  g.DrawLine(kColorLine, 36, 753, 1144, 753, nullptr, 1.f);
}

} // namespace tarvex
