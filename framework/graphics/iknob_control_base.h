#pragma once

#include "framework/graphics/icontrol.h"

namespace plugkit::igraphics {

enum class EDirection : int32_t { Vertical = 0, Horizontal = 1 };

// A control whose first value is changed by dragging over its drag bounds
// and by the wheel; Shift or Control makes both ten times finer. The drag
// value accumulates unsnapped, so a drag past an end starts changing the
// value again at once when it turns back.
class IKnobControlBase : public IControl {
public:
  static constexpr double kDefaultGearing = 4.0;

  IKnobControlBase(const IRect& bounds, int paramIdx = -1,
                   EDirection direction = EDirection::Vertical, double gearing = kDefaultGearing);

  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  void OnMouseUp(float x, float y, const IMouseMod& mod) override;
  void OnMouseDrag(float x, float y, float dX, float dY, const IMouseMod& mod) override;
  void OnMouseWheel(float x, float y, const IMouseMod& mod, float delta) override;

  // The rectangle over which a drag covers the whole range.
  virtual IRect GetDragBounds() const = 0;

  double GetGearing() const { return gearing_; }
  void SetGearing(double gearing) { gearing_ = gearing; }
  bool GetMouseDown() const { return mouseDown_; }

protected:
  void SetHideCursorOnDrag(bool hide) { hideCursorOnDrag_ = hide; }

private:
  // The first value's parameter when it is stepped, else null.
  const IParam* SteppedParam() const;

  bool hideCursorOnDrag_ = true;
  EDirection direction_;
  double gearing_;
  bool mouseDown_ = false;
  double dragValue_ = 0.0;
};

} // namespace plugkit::igraphics
