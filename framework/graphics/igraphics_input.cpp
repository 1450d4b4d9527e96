#include "framework/graphics/igraphics.h"

namespace plugkit::igraphics {

IControl* IGraphics::GetMouseControl(float x, float y, bool capture, bool mouseOver,
                                     int64_t pointerId) {
  if (const auto it = captureMap_.find(pointerId); it != captureMap_.end()) return it->second;

  IControl* found = nullptr;
  int foundIdx = -1;
  if (cornerResizer_ && cornerResizer_->IsHit(x, y)) {
    found = cornerResizer_.get();
  } else if (!mouseOver || enableMouseOver_) {
    const int last = mouseOver ? 1 : 0;
    for (int i = controls_.Count() - 1; i >= last; --i) {
      IControl* c = controls_.Get(i);
      const bool allowedWhenDisabled =
          mouseOver ? c->GetMouseOverWhenDisabled() : c->GetMouseEventsWhenDisabled();
      if (c->IsHidden() || c->GetIgnoreMouse() || !c->IsHit(x, y) ||
          (c->IsDisabled() && !allowedWhenDisabled))
        continue;
      found = c;
      foundIdx = i;
      break;
    }
  }
  if (capture && found) captureMap_[pointerId] = found;
  if (mouseOver) mouseOverIdx_ = foundIdx;
  return found;
}

bool IGraphics::OnKeyDown(float x, float y, const IKeyPress& key) {
  IControl* control = GetMouseControl(x, y, false);
  return control && control != GetControl(0) && control->OnKeyDown(x, y, key);
}

bool IGraphics::OnKeyUp(float x, float y, const IKeyPress& key) {
  IControl* control = GetMouseControl(x, y, false);
  return control && control != GetControl(0) && control->OnKeyUp(x, y, key);
}

} // namespace plugkit::igraphics
