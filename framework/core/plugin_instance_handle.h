#pragma once

#include "framework/core/resource_services.h"

namespace plugkit {

// The module whose embedded resources (font, logo, dialogs) the plug-in
// loads: a plug-in module sets its own handle when it initialises, since the
// process that loads it is a host with resources of its own. Null until set.
void SetPluginInstanceHandle(ModuleHandle module);
ModuleHandle GetPluginInstanceHandle();

} // namespace plugkit
