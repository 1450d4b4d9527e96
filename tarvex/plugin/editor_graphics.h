#pragma once

#include "framework/graphics/graphics_editor_delegate.h"
#include "framework/graphics/igraphics.h"

namespace tarvex {

// The editor's graphics context for `delegate`: the Win32 window over the
// vector back end at the editor's size and frame rate, finding the embedded
// font and logo in the plug-in's own module (the program, or the plug-in
// module inside a host's process).
plugkit::igraphics::IGraphics* CreateEditorGraphics(plugkit::igraphics::IGEditorDelegate& delegate);

} // namespace tarvex
