#pragma once

#include "framework/vst3/plugin_vst3.h"

#include "framework/core/param_shape.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "public.sdk/source/vst/hosting/hostclasses.h"
#include "tests/support/plug_config_builder.h"

#include <string>
#include <vector>

namespace plugkit::test {

// A small VST3 plug-in: a gain with its own group, a four-way mode with
// display texts, a stepped count sharing the gain's group and a switch the
// host may not automate. Its block processing multiplies by the gain.
class GainPlugin : public IPluginVST3 {
public:
  static PlugConfig Config(const char* channelIO = "1-1 2-2", bool midi = false) {
    return PlugConfigBuilder("Gain", "Gain")
        .Params(4, 2)
        .Channels(channelIO)
        .Version(0x00000100)
        .Midi(midi, midi)
        .Build();
  }

  explicit GainPlugin(const PlugConfig& config = Config()) : IPluginVST3(config) {
    GetParam(0)->ConfigureDouble("Gain", 1.0, 0.0, 4.0, 0.01, "x", 0, "Amp", IParam::ShapeLinear());
    GetParam(1)->ConfigureInt("Mode", 0, 0, 3);
    const char* modes[] = {"Off", "Soft", "Hard", "Auto"};
    for (int v = 0; v < 4; ++v) GetParam(1)->AddDisplayText(v, modes[v]);
    GetParam(2)->ConfigureInt("Steps", 2, 0, 10, "st", 0, "Amp");
    GetParam(3)->ConfigureDouble("Lock", 0.0, 0.0, 1.0, 1.0, "", kFlagCannotAutomate, "Misc",
                                 IParam::ShapeLinear());
  }

  void ProcessBlock(float** inputs, float** outputs, int nFrames) override {
    const float gain = static_cast<float>(GetParam(0)->Value());
    for (int ch = 0; ch < NChannels(kDirectionOutput); ++ch)
      for (int i = 0; i < nFrames; ++i)
        outputs[ch][i] = ch < NChannels(kDirectionInput) ? inputs[ch][i] * gain : 0.0f;
    for (const MidiMessage& message : midiToSend) SendMidiOut(message);
    midiToSend.clear();
  }
  void OnParamChange(int paramIdx, ParamChangeSource source, int sampleOffset) override {
    changes.push_back({paramIdx, source, sampleOffset});
  }
  void OnReset() override { ++resets; }
  void ProcessMidiMessage(const MidiMessage& message) override { midiIn.push_back(message); }
  void SendParamValueToUI(int paramIdx, double value, bool normalized) override {
    toUI.push_back({paramIdx, ParamChangeSource::Unknown, normalized ? 1 : 0, value});
  }

  using IPluginVST3::IsInProcessCall;
  using IPluginVST3::ProcessCallScope;

  struct Change {
    int paramIdx;
    ParamChangeSource source;
    int offset;
    double value = 0.0;
  };
  std::vector<Change> changes;
  std::vector<Change> toUI;
  std::vector<MidiMessage> midiIn;
  std::vector<MidiMessage> midiToSend;
  int resets = 0;
};

// A host context that names itself as asked.
class NamedHost : public Steinberg::Vst::HostApplication {
public:
  explicit NamedHost(const char16_t* name) : name_(name) {}
  Steinberg::tresult PLUGIN_API getName(Steinberg::Vst::String128 name) override {
    size_t i = 0;
    for (; i < name_.size() && i < 127; ++i) name[i] = static_cast<Steinberg::Vst::TChar>(name_[i]);
    name[i] = 0;
    return Steinberg::kResultOk;
  }

private:
  std::u16string name_;
};

// SDK interfaces have no virtual destructors by design: their objects die through release().
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
// Records what the plug-in asks of the host.
class RecordingHandler : public Steinberg::FObject, public Steinberg::Vst::IComponentHandler {
public:
  Steinberg::tresult PLUGIN_API beginEdit(Steinberg::Vst::ParamID id) override {
    log.push_back("begin " + std::to_string(id));
    return Steinberg::kResultOk;
  }
  Steinberg::tresult PLUGIN_API performEdit(Steinberg::Vst::ParamID id,
                                            Steinberg::Vst::ParamValue) override {
    log.push_back("perform " + std::to_string(id));
    return Steinberg::kResultOk;
  }
  Steinberg::tresult PLUGIN_API endEdit(Steinberg::Vst::ParamID id) override {
    log.push_back("end " + std::to_string(id));
    return Steinberg::kResultOk;
  }
  Steinberg::tresult PLUGIN_API restartComponent(Steinberg::int32 flags) override {
    log.push_back("restart " + std::to_string(flags));
    return Steinberg::kResultOk;
  }
  OBJ_METHODS(RecordingHandler, FObject)
  REFCOUNT_METHODS(FObject)
  DEFINE_INTERFACES
  DEF_INTERFACE(Steinberg::Vst::IComponentHandler)
  END_DEFINE_INTERFACES(FObject)

  std::vector<std::string> log;
};
#pragma GCC diagnostic pop

} // namespace plugkit::test
