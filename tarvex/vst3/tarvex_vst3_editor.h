#pragma once

#include "framework/graphics/graphics_editor_delegate.h"

namespace tarvex {

// The make-graphics function of the module's instances: the Win32 editor
// window over the vector back end, finding the embedded font in the module
// whose handle the module's initialisation kept. Empty where the module has
// no editor windows.
plugkit::igraphics::IGEditorDelegate::MakeGraphicsFunc ModuleEditorGraphics(
    plugkit::igraphics::IGEditorDelegate& delegate);

} // namespace tarvex
