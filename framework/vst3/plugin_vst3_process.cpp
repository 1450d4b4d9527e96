#include "framework/vst3/plugin_vst3_processor_base.h"

#include "framework/vst3/plugin_vst3.h"

#include "framework/vst3/host_param_changes.h"
#include "pluginterfaces/vst/ivstevents.h"

#include <algorithm>
#include <cstring>

namespace plugkit {

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

uint8_t SevenBit(double normalized) {
  return static_cast<uint8_t>(std::clamp(static_cast<int>(normalized * 127.0), 0, 127));
}

// The message a MIDI controller parameter stands for.
MidiMessage MidiFromControllerParam(int controller, double value, int32 offset) {
  MidiMessage message;
  message.offset = offset;
  if (controller == 128) {
    message.status = 0xD0;
    message.data1 = SevenBit(value);
  } else if (controller == 129) {
    const int bend = std::clamp(8192 - static_cast<int>((2.0 * value - 1.0) * -8192.0), 0, 16383);
    message.status = 0xE0;
    message.data1 = static_cast<uint8_t>(bend & 0x7F);
    message.data2 = static_cast<uint8_t>(bend >> 7);
  } else {
    message.status = 0xB0;
    message.data1 = static_cast<uint8_t>(controller);
    message.data2 = SevenBit(value);
  }
  return message;
}

} // namespace

void IPluginVST3ProcessorBase::Process(ProcessData& data) {
  UpdateTimeInfo(data);
  ApplyParameterChanges(data);
  if (DoesMidiIn()) ReceiveMidiEvents(data);
  ProcessAudioBuffers(data);
  if (DoesMidiOut()) SendMidiEvents(data);
}

void IPluginVST3ProcessorBase::UpdateTimeInfo(const ProcessData& data) {
  if (data.processContext)
    std::memcpy(&processContext_, data.processContext, sizeof(ProcessContext));
  const ProcessContext& context = processContext_;
  TransportInfo transport;
  transport.tempo = context.tempo;
  transport.samplePos = (context.state & ProcessContext::kProjectTimeMusicValid)
                            ? static_cast<double>(context.projectTimeSamples)
                            : -1.0;
  transport.ppqPos = context.projectTimeMusic;
  transport.lastBar = context.barPositionMusic;
  transport.cycleStart = context.cycleStartMusic;
  transport.cycleEnd = context.cycleEndMusic;
  transport.numerator = context.timeSigNumerator;
  transport.denominator = context.timeSigDenominator;
  transport.running = (context.state & ProcessContext::kPlaying) != 0;
  transport.cycleActive = (context.state & ProcessContext::kCycleActive) != 0;
  SetTransport(transport);
  SetOffline(data.processMode == kOffline);
}

void IPluginVST3ProcessorBase::ApplyParameterChanges(const ProcessData& data) {
  const auto apply = [&](ParamID id, ParamValue value, int32 offset) {
    if (id == kBypassParamId) {
      const bool bypassed = value > 0.5;
      if (bypassed != IsBypassed()) SetBypassed(bypassed);
    } else if (id < static_cast<ParamID>(owner_.NParams())) {
      const int paramIdx = static_cast<int>(id);
      owner_.GetParam(paramIdx)->SetNormalized(std::clamp(value, 0.0, 1.0));
      owner_.OnParamChange(paramIdx, ParamChangeSource::Host, offset);
    } else if (id >= kMidiCCParamStartId && id < kMidiCCParamStartId + kMidiCCParamsPerChannel &&
               owner_.HasMidiControllerParameters()) {
      const MidiMessage message =
          MidiFromControllerParam(static_cast<int>(id - kMidiCCParamStartId), value, offset);
      owner_.midiToUI_.Push(message);
      ProcessMidiMessage(message);
    }
  };
  ForEachHostParamChange(data.inputParameterChanges, apply);
}

void IPluginVST3ProcessorBase::ReceiveMidiEvents(const ProcessData& data) {
  if (IEventList* events = data.inputEvents) {
    for (int32 i = 0, n = events->getEventCount(); i < n; ++i) {
      Event event{};
      if (events->getEvent(i, event) != kResultOk) continue;
      MidiMessage message;
      message.offset = event.sampleOffset;
      switch (event.type) {
        case Event::kNoteOnEvent:
          message.status = static_cast<uint8_t>(0x90 + (event.noteOn.channel & 0x0F));
          message.data1 = static_cast<uint8_t>(event.noteOn.pitch & 0x7F);
          message.data2 = SevenBit(event.noteOn.velocity);
          break;
        case Event::kNoteOffEvent:
          message.status = static_cast<uint8_t>(0x80 + (event.noteOff.channel & 0x0F));
          message.data1 = static_cast<uint8_t>(event.noteOff.pitch & 0x7F);
          break;
        case Event::kPolyPressureEvent:
          message.status = static_cast<uint8_t>(0xA0 + (event.polyPressure.channel & 0x0F));
          message.data1 = static_cast<uint8_t>(event.polyPressure.pitch & 0x7F);
          message.data2 = SevenBit(event.polyPressure.pressure);
          break;
        case Event::kDataEvent:
          if (event.data.type == DataEvent::kMidiSysEx && event.data.bytes) {
            const auto size = static_cast<int32_t>(std::min<uint32>(event.data.size, 0x7FFFFFFF));
            ProcessSysEx(SysExMessage{event.sampleOffset, size, event.data.bytes});
          }
          continue;
        default:
          continue;
      }
      ProcessMidiMessage(message);
      owner_.midiToUI_.Push(message);
    }
  }
  MidiMessage message;
  for (int n = owner_.midiFromUI_.ElementsAvailable(); n > 0 && owner_.midiFromUI_.Pop(message);
       --n)
    ProcessMidiMessage(message);
}

void IPluginVST3ProcessorBase::ConnectAndBind(int direction, int first, AudioBusBuffers& bus,
                                              bool is32Bit, int nFrames) {
  if (is32Bit)
    BindHostChannelPointers(direction, first, bus.numChannels, bus.channelBuffers32);
  else
    AttachDoubleBuffers(direction, first, bus.numChannels, bus.channelBuffers64, nFrames);
}

void IPluginVST3ProcessorBase::ProcessAudioBuffers(ProcessData& data) {
  if (!CanProcessSampleSize(data.symbolicSampleSize)) return;
  const bool is32Bit = data.symbolicSampleSize == kSample32;
  const int nFrames = data.numSamples;
  const int nIn = NChannels(kDirectionInput);
  const int nOut = NChannels(kDirectionOutput);

  if (data.numInputs > 0 && data.inputs) {
    SetChannelConnections(kDirectionInput, 0, nIn, false);
    AudioBusBuffers& main = data.inputs[0];
    if (owner_.audioInputs.size() < 2) {
      SetChannelConnections(kDirectionInput, 0, main.numChannels, true);
      ConnectAndBind(kDirectionInput, 0, main, is32Bit, nFrames);
    } else {
      auto* sideChainBus = static_cast<Bus*>(owner_.audioInputs.at(1).get());
      if (data.numInputs > 1 && sideChainBus && sideChainBus->isActive()) {
        sideChainActive_ = true;
        AudioBusBuffers& sideChain = data.inputs[1];
        SetChannelConnections(kDirectionInput, 0, main.numChannels, true);
        SetChannelConnections(kDirectionInput, sideChainChannelOffset_, sideChain.numChannels,
                              true);
        ConnectAndBind(kDirectionInput, 0, main, is32Bit, nFrames);
        ConnectAndBind(kDirectionInput, sideChainChannelOffset_, sideChain, is32Bit, nFrames);
      } else {
        if (sideChainActive_) {
          ClearScratchBuffers();
          sideChainActive_ = false;
        }
        SetChannelConnections(kDirectionInput, 0, main.numChannels, true);
        ConnectAndBind(kDirectionInput, 0, main, is32Bit, nFrames);
      }
    }
  }

  int first = 0;
  for (int32 i = 0; i < data.numOutputs && data.outputs; ++i) {
    AudioBusBuffers& bus = data.outputs[i];
    const auto* declared =
        i < static_cast<int32>(owner_.audioOutputs.size())
            ? static_cast<Bus*>(owner_.audioOutputs.at(static_cast<size_t>(i)).get())
            : nullptr;
    SetChannelConnections(kDirectionOutput, first, bus.numChannels,
                          declared && declared->isActive());
    SetChannelConnections(kDirectionOutput, first + bus.numChannels, nOut, false);
    ConnectAndBind(kDirectionOutput, first, bus, is32Bit, nFrames);
    first += bus.numChannels;
  }

  if (IsBypassed()) {
    if (is32Bit)
      PassThroughFloat(nFrames);
    else
      PassThroughDouble(nFrames);
  } else {
    if (is32Bit)
      ProcessScratchBuffers(nFrames);
    else
      ProcessDoubleBuffers(nFrames);
  }
}

} // namespace plugkit
