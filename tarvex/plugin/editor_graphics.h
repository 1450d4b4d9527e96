#pragma once

#include "framework/graphics/graphics_editor_delegate.h"
#include "framework/graphics/igraphics.h"

namespace tarvex {

// The editor's graphics context for `delegate`: the Win32 window over the
// vector back end at the editor's size and frame rate, finding the embedded
// font and logo in the module that holds this code (the program or the
// plug-in module).
plugkit::igraphics::IGraphics* CreateEditorGraphics(plugkit::igraphics::IGEditorDelegate& delegate);

} // namespace tarvex
