#pragma once

#include "framework/app/app_host.h"

#include <windows.h>

namespace plugkit {

// The standalone program: lets one instance named `name` run (a second one
// brings the first one's window to the front and returns 0; a screenshot
// start runs beside it), makes the host with the plug-in from `factory`,
// reads the command line, starts audio, shows the main window and runs the
// message loop until that window is gone. Returns 0, or 1 after a failure to
// start, an exception, or a screenshot that screenshot mode could not save
// (said on the standard error stream).
int AppMain(HINSTANCE module, AppHost::PluginFactory factory, const char* name);

} // namespace plugkit
