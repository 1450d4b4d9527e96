#include "framework/graphics/corner_resizer_control.h"

#include "framework/graphics/igraphics.h"

namespace plugkit::igraphics {

ICornerResizerControl::ICornerResizerControl(const IRect& editorBounds, float size,
                                             const IColor& color, const IColor& mouseOverColor,
                                             const IColor& dragColor)
    : IControl(IRect()),
      size_(size),
      initialBounds_(editorBounds),
      color_(color),
      mouseOverColor_(mouseOverColor),
      dragColor_(dragColor) {}

void ICornerResizerControl::OnMouseDown(float, float, const IMouseMod&) {
  GetUI()->StartResizing();
}

void ICornerResizerControl::OnMouseDblClick(float, float, const IMouseMod&) {
  GetUI()->Resize(static_cast<int>(initialBounds_.W()), static_cast<int>(initialBounds_.H()), 1.f,
                  true);
}

void ICornerResizerControl::OnMouseOver(float x, float y, const IMouseMod& mod) {
  if (!GetMouseIsOver()) savedCursor_ = GetUI()->SetMouseCursor(kResizeCursor);
  IControl::OnMouseOver(x, y, mod);
}

void ICornerResizerControl::OnMouseOut() {
  if (GetMouseIsOver()) GetUI()->SetMouseCursor(savedCursor_);
  IControl::OnMouseOut();
}

void ICornerResizerControl::OnRescale() {
  // The grip keeps its size in pixels of draw scale 1.
  const IGraphics& g = *GetUI();
  const float w = static_cast<float>(g.Width());
  const float h = static_cast<float>(g.Height());
  const float grip = size_ / g.GetDrawScale();
  SetTargetAndDrawRECTs({w - grip, h - grip, w, h});
  OnResize();
}

void ICornerResizerControl::Draw(IGraphics& g) {
  const IColor& color = g.IsResizing() ? dragColor_ : GetMouseIsOver() ? mouseOverColor_ : color_;
  const IRect& r = GetRECT();
  g.FillTriangle(color, r.L, r.B, r.R, r.T, r.R, r.B);
}

} // namespace plugkit::igraphics
