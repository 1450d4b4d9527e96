#pragma once

#include "framework/vst3/plugin_vst3.h"

namespace tarvex {

// A host creates the module's instances through the factory, which has
// nothing to pass on.
struct TarvexInstanceInfo {};

// The plug-in API class Tarvex derives from in the module.
class TarvexApiBase : public plugkit::IPluginVST3 {
public:
  TarvexApiBase(const TarvexInstanceInfo&, const plugkit::PlugConfig& config)
      : plugkit::IPluginVST3(config) {}
};

} // namespace tarvex
