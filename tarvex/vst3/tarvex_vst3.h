#pragma once

#include "tarvex/plugin/tarvex_plugin.h"

namespace tarvex {

// Tarvex as the module's instances are: the host's calls checked and turned
// into the plug-in class's own.
class TarvexVST3 final : public Tarvex {
public:
  // The editor opens through the module's own make-graphics function.
  explicit TarvexVST3(const TarvexInstanceInfo& info);

  // The process call checks the host's data strictly, applies the host's
  // changes (its bypass goes to the engine's crossfade) and runs the block
  // processing on exactly one main input bus.
  Steinberg::tresult PLUGIN_API process(Steinberg::Vst::ProcessData& data) override;
  // The state chunk followed by the bypass flag; a state is applied only
  // when all of it is valid.
  Steinberg::tresult PLUGIN_API getState(Steinberg::IBStream* state) override;
  Steinberg::tresult PLUGIN_API setState(Steinberg::IBStream* state) override;
  Steinberg::uint32 PLUGIN_API getTailSamples() override;
  // Refuses a sample rate the engine cannot run at; the instance then stays
  // silent until a setup it accepts.
  Steinberg::tresult PLUGIN_API setupProcessing(Steinberg::Vst::ProcessSetup& setup) override;
  void ApplyHostParamChanges(const Steinberg::Vst::ProcessData& data);
  bool HostBypass() const { return hostBypass_.load(); }
};

} // namespace tarvex
