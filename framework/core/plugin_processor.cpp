#include "framework/core/plugin_processor.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace plugkit {

IPluginProcessor::IPluginProcessor(const PlugConfig& config)
    : plugType_(config.plugType),
      doesMidiIn_(config.doesMidiIn),
      doesMidiOut_(config.doesMidiOut),
      doesMpe_(config.doesMpe),
      latency_(std::max(config.latency, 0)) {
  int maxChannels[2] = {0, 0};
  int maxBuses[2] = {0, 0};
  ParseChannelIO(config.channelIO, ioConfigs_, maxChannels[kDirectionInput],
                 maxChannels[kDirectionOutput], maxBuses[kDirectionInput],
                 maxBuses[kDirectionOutput]);
  for (int direction : {kDirectionInput, kDirectionOutput}) {
    const int wanted = maxChannels[direction] * static_cast<int>(sizeof(float*));
    channelPointers_[direction].Resize(wanted, false);
    const int channels = channelPointers_[direction].Size() / static_cast<int>(sizeof(float*));
    float** pointers = ChannelPointers(direction);
    for (int i = 0; i < channels; ++i) {
      auto* channel = new ChannelData();
      channel->slot = &pointers[i];
      *channel->slot = nullptr;
      channelData_[direction].Add(channel);
      if (channelData_[direction].Count() != i + 1) {
        delete channel;
        break;
      }
    }
  }
}

IPluginProcessor::~IPluginProcessor() {
  for (PointerList<ChannelData>& channels : channelData_) channels.DeleteAll();
  ioConfigs_.DeleteAll();
}

void IPluginProcessor::ProcessBlock(float** inputs, float** outputs, int nFrames) {
  if (nFrames <= 0) return;
  const int nIn = NChannels(kDirectionInput);
  const int nOut = NChannels(kDirectionOutput);
  const size_t bytes = sizeof(float) * static_cast<size_t>(nFrames);
  for (int i = 0; i < nOut; ++i) {
    if (i < nIn)
      std::memmove(outputs[i], inputs[i], bytes);
    else
      std::memset(outputs[i], 0, bytes);
  }
}

void IPluginProcessor::ProcessMidiMessage(const MidiMessage& message) { SendMidiOut(message); }

void IPluginProcessor::ProcessSysEx(const SysExMessage&) {}

void IPluginProcessor::OnReset() {}

void IPluginProcessor::OnActivate(bool) {}

bool IPluginProcessor::SendMidiOutList(const MidiMessage* messages, int count) {
  bool allSent = true;
  for (int i = 0; i < count; ++i) allSent = SendMidiOut(messages[i]) && allSent;
  return allSent;
}

bool IPluginProcessor::SendSysExOut(const SysExMessage&) { return false; }

void IPluginProcessor::GetBusName(int direction, int busIdx, int nBuses, StringBuffer& out) const {
  if (direction == kDirectionInput) {
    if (nBuses == 1)
      out.Set("Input");
    else if (nBuses == 2)
      out.Set(busIdx == 0 ? "Main" : "Aux");
    else
      out.SetFormatted(32, "Input %i", busIdx);
  } else {
    if (nBuses == 1)
      out.Set("Output");
    else
      out.SetFormatted(32, "Output %i", busIdx);
  }
}

void IPluginProcessor::SetLatency(int samples) {
  latency_ = std::max(samples, 0);
  if (latencyDelayLine_) latencyDelayLine_->SetLatency(latency_);
}

void IPluginProcessor::SetTailLength(int samples) { tailLength_ = samples; }

void IPluginProcessor::SetBlockSize(int n) {
  n = std::clamp(n, 0, INT_MAX / static_cast<int>(sizeof(float)));
  if (n == blockSize_) return;
  // A scratch buffer that could not grow limits the block for every channel,
  // so no later block runs past the end of one.
  int achieved = n;
  for (PointerList<ChannelData>& channels : channelData_) {
    for (int i = 0; i < channels.Count(); ++i) {
      ChannelData* channel = channels.Get(i);
      const float* old = channel->Scratch();
      channel->scratch.Resize(n * static_cast<int>(sizeof(float)), true);
      const int floats = channel->scratch.Size() / static_cast<int>(sizeof(float));
      achieved = std::min(achieved, floats);
      if (floats > 0)
        std::memset(channel->Scratch(), 0, sizeof(float) * static_cast<size_t>(floats));
      // The old block may be gone; no channel may keep pointing at it.
      if (!channel->connected || *channel->slot == old) *channel->slot = channel->Scratch();
    }
  }
  blockSize_ = achieved;
}

void IPluginProcessor::RebuildLatencyDelayLine() {
  const int nIn = NChannels(kDirectionInput);
  if (nIn > 0) latencyDelayLine_ = std::make_unique<LatencyDelayLine>(nIn, latency_);
}

int IPluginProcessor::NChannels(int direction) const {
  if (direction != kDirectionInput && direction != kDirectionOutput) return 0;
  return channelData_[direction].Count();
}

ChannelData* IPluginProcessor::Channel(int direction, int channel) const {
  if (direction != kDirectionInput && direction != kDirectionOutput) return nullptr;
  return channelData_[direction].Get(channel);
}

float** IPluginProcessor::ChannelPointers(int direction) const {
  return reinterpret_cast<float**>(const_cast<uint8_t*>(channelPointers_[direction].Data()));
}

} // namespace plugkit
