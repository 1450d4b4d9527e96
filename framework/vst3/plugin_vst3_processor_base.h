#pragma once

#include "framework/vst3/plugin_vst3_parameter.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstprocesscontext.h"

#include "framework/core/plugin_processor.h"
#include "framework/vst3/midi_out_queue.h"

namespace plugkit {

class IPluginVST3;

// The processing half of the VST3 plug-in object: declares the buses from
// the channel configurations, accepts or refuses the host's arrangements and
// turns each process call into the framework's block processing.
class IPluginVST3ProcessorBase : public IPluginProcessor {
public:
  IPluginVST3ProcessorBase(const PlugConfig& config, IPluginVST3& owner);

  // The VST3 speaker arrangement for a channel count; 0 when it has none.
  static Steinberg::Vst::SpeakerArrangement SpeakerArrangementForChannels(int channels);
  static bool CanProcessSampleSize(Steinberg::int32 symbolicSampleSize);

  void SetupBuses();
  bool ApplyBusArrangements(const Steinberg::Vst::SpeakerArrangement* inputs,
                            Steinberg::int32 numIns,
                            const Steinberg::Vst::SpeakerArrangement* outputs,
                            Steinberg::int32 numOuts);
  bool SetupProcessing(const Steinberg::Vst::ProcessSetup& setup);
  bool SetProcessing(bool state);

  // Audio thread.
  void Process(Steinberg::Vst::ProcessData& data);
  void UpdateTimeInfo(const Steinberg::Vst::ProcessData& data);
  void ApplyParameterChanges(const Steinberg::Vst::ProcessData& data);
  void ReceiveMidiEvents(const Steinberg::Vst::ProcessData& data);
  void ProcessAudioBuffers(Steinberg::Vst::ProcessData& data);
  void SendMidiEvents(Steinberg::Vst::ProcessData& data);
  bool SendMidiOut(const MidiMessage& message) override;

  const Steinberg::Vst::ProcessContext& GetProcessContext() const { return processContext_; }

private:
  void AddAudioBuses(const ChannelIOConfig& config, int direction);
  void ConnectAndBind(int direction, int first, Steinberg::Vst::AudioBusBuffers& bus, bool is32Bit,
                      int nFrames);

  IPluginVST3& owner_;
  int sideChainChannelOffset_;
  bool sideChainActive_ = false;
  MidiOutQueue midiOut_;
  Steinberg::Vst::ProcessContext processContext_{};
};

} // namespace plugkit
