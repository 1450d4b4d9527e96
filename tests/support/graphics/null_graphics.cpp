#include "tests/support/graphics/null_graphics.h"

namespace plugkit::igraphics::testing {

NullGraphics::NullGraphics(IGEditorDelegate& delegate, int width, int height, int fps, float scale)
    : WindowlessPlatform<IGraphics>(delegate, width, height, fps, scale) {}

NullGraphics::~NullGraphics() { RemoveAllControls(); }

int NullGraphics::SetMouseCursor(int cursorType) {
  const int previous = CursorType();
  SetCursorTypeValue(cursorType);
  return previous;
}

float NullGraphics::DoMeasureText(const ITextStyle&, const char*, IRect& bounds) const {
  bounds = IRect();
  return 0.f;
}

} // namespace plugkit::igraphics::testing
