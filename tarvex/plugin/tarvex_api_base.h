#pragma once

// The same Tarvex sources build the standalone program and the plug-in
// module; the build chooses which plug-in API class Tarvex derives from.
#if defined(TARVEX_API_APP)
#include "framework/app/instance_info.h"
#include "framework/app/plugin_app.h"

namespace tarvex {
using TarvexApiBase = plugkit::IPluginApp;
using TarvexInstanceInfo = plugkit::InstanceInfo;
} // namespace tarvex
#elif defined(TARVEX_API_VST3)
#include "tarvex/vst3/tarvex_api_vst3.h"
#else
#error "Tarvex needs its plug-in API class: define TARVEX_API_APP or TARVEX_API_VST3"
#endif
