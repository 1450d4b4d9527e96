#include "framework/graphics/iknob_control_base.h"

#include "framework/core/param_shape.h"
#include "framework/graphics/igraphics.h"

#include <algorithm>

namespace plugkit::igraphics {

IKnobControlBase::IKnobControlBase(const IRect& bounds, int paramIdx, EDirection direction,
                                   double gearing)
    : IControl(bounds, paramIdx), direction_(direction), gearing_(gearing) {}

void IKnobControlBase::OnMouseDown(float x, float y, const IMouseMod& mod) {
  mouseDown_ = true;
  dragValue_ = GetValue(0);
  if (hideCursorOnDrag_ && GetUI()) GetUI()->HideMouseCursor(true, true);
  IControl::OnMouseDown(x, y, mod);
}

void IKnobControlBase::OnMouseUp(float, float, const IMouseMod&) {
  if (hideCursorOnDrag_ && GetUI()) GetUI()->HideMouseCursor(false, true);
  mouseDown_ = false;
  SetDirty(false);
}

void IKnobControlBase::OnMouseDrag(float, float, float dX, float dY, const IMouseMod& mod) {
  // Only a press this knob took itself sets where its drag starts.
  if (!mouseDown_) return;
  double gearing = gearing_;
  if (mod.S || mod.C) gearing *= 10.0;
  const IRect b = GetDragBounds();
  if (direction_ == EDirection::Horizontal)
    dragValue_ += static_cast<double>(dX) / static_cast<double>(b.R - b.L) / gearing;
  else
    dragValue_ += static_cast<double>(dY) / static_cast<double>(b.T - b.B) / gearing;
  dragValue_ = std::clamp(dragValue_, 0.0, 1.0);

  double value = dragValue_;
  if (const IParam* param = SteppedParam()) {
    const double plain = param->ConstrainValue(param->GetShape().NormalizedToValue(value, *param));
    value = std::clamp(param->NormalizeValue(plain), 0.0, 1.0);
  }
  SetValue(value, 0);
  SetDirty(true, -1);
}

void IKnobControlBase::OnMouseWheel(float, float, const IMouseMod& mod, float delta) {
  const double step = (mod.S || mod.C) ? 0.001 : 0.01;
  double value = GetValue(0) + static_cast<double>(delta) * step;
  if (const IParam* param = SteppedParam(); param && delta != 0.f) {
    const double plain =
        param->ConstrainValue(param->GetShape().NormalizedToValue(GetValue(0), *param));
    const double stepped = plain + (delta > 0.f ? param->Step() : -param->Step());
    value = param->NormalizeValue(stepped);
  }
  SetValue(value, 0);
  SetDirty(true, -1);
}

const IParam* IKnobControlBase::SteppedParam() const {
  const IParam* param = GetParam(0);
  if (param && (param->Flags() & kFlagStepped) && param->Step() > 0.0) return param;
  return nullptr;
}

} // namespace plugkit::igraphics
