#include "tarvex/vst3/tarvex_vst3_editor.h"

namespace tarvex {

plugkit::igraphics::IGEditorDelegate::MakeGraphicsFunc ModuleEditorGraphics(
    plugkit::igraphics::IGEditorDelegate&) {
  return {};
}

} // namespace tarvex
