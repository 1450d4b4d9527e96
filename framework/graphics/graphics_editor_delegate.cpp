#include "graphics_editor_delegate.h"

namespace plugkit::igraphics {

IGEditorDelegate::IGEditorDelegate(int nParams) : IEditorDelegate(nParams) {}

IGraphics* IGEditorDelegate::CreateGraphics() {
  return makeGraphicsFunc_ ? makeGraphicsFunc_() : nullptr;
}

void IGEditorDelegate::LayoutEditor(IGraphics* graphics) {
  if (layoutFunc_) layoutFunc_(graphics);
}

} // namespace plugkit::igraphics
