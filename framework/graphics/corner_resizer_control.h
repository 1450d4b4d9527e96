#pragma once

#include "framework/graphics/icontrol.h"

namespace plugkit::igraphics {

// How a drag of the corner resizer changes the editor.
enum class EUIResizerMode : int32_t { Scale = 0, Size = 1 };

// The grip in the editor's bottom-right corner: dragging it scales or sizes
// the editor, a double click returns to the size it had when attached at
// draw scale 1.
class ICornerResizerControl : public IControl {
public:
  static constexpr int kResizeCursor = 5;

  ICornerResizerControl(const IRect& editorBounds, float size, const IColor& color,
                        const IColor& mouseOverColor, const IColor& dragColor);

  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  void OnMouseDblClick(float x, float y, const IMouseMod& mod) override;
  void OnMouseOver(float x, float y, const IMouseMod& mod) override;
  void OnMouseOut() override;
  void OnRescale() override;
  void Draw(IGraphics& g) override;

private:
  float size_;
  int savedCursor_ = 0;
  IRect initialBounds_;
  IColor color_;
  IColor mouseOverColor_;
  IColor dragColor_;
};

} // namespace plugkit::igraphics
