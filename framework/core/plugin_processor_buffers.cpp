#include "framework/core/plugin_processor.h"

#include "framework/core/sample_conversion.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace plugkit {

namespace {

void Silence(float* samples, int from, int to) {
  if (samples && to > from)
    std::memset(samples + from, 0, sizeof(float) * static_cast<size_t>(to - from));
}

void Silence(double* samples, int from, int to) {
  if (samples && to > from)
    std::memset(samples + from, 0, sizeof(double) * static_cast<size_t>(to - from));
}

// The channels first .. first + count - 1 that exist, as a half-open range.
void ChannelRange(int first, int count, int nChannels, int& begin, int& end) {
  begin = std::max(first, 0);
  end = static_cast<int>(std::min<int64_t>(int64_t{first} + count, nChannels));
}

} // namespace

template <typename Sample, typename Bind>
void IPluginProcessor::ForEachConnectedChannel(int direction, int first, int count, Sample** host,
                                               Bind&& bind) {
  int begin = 0;
  int end = 0;
  ChannelRange(first, count, NChannels(direction), begin, end);
  int next = 0;
  for (int i = begin; i < end; ++i) {
    ChannelData* channel = Channel(direction, i);
    if (!channel->connected) continue;
    Sample* hostBuffer = host ? host[next] : nullptr;
    ++next;
    bind(*channel, hostBuffer);
  }
}

void IPluginProcessor::SetChannelConnections(int direction, int first, int count, bool connected) {
  int begin = 0;
  int end = 0;
  ChannelRange(first, count, NChannels(direction), begin, end);
  for (int i = begin; i < end; ++i) {
    ChannelData* channel = Channel(direction, i);
    if (!connected) {
      // A channel the host no longer feeds reads silence, not its last block.
      if (channel->connected)
        Silence(channel->Scratch(), 0, channel->scratch.Size() / static_cast<int>(sizeof(float)));
      *channel->slot = channel->Scratch();
      channel->hostBuffer = nullptr;
    }
    channel->connected = connected;
  }
}

int IPluginProcessor::ConnectedChannelCount(int direction) const {
  int connected = 0;
  for (int i = 0; i < NChannels(direction); ++i)
    connected += Channel(direction, i)->connected ? 1 : 0;
  return connected;
}

bool IPluginProcessor::IsChannelConnected(int direction, int channel) const {
  const ChannelData* data = Channel(direction, channel);
  return data && data->connected;
}

void IPluginProcessor::AttachDoubleBuffers(int direction, int first, int count, double** host,
                                           int nFrames) {
  const int frames = FramesWithinBlock(nFrames);
  const auto attach = [&](ChannelData& channel, double* hostBuffer) {
    float* scratch = channel.Scratch();
    *channel.slot = scratch;
    if (direction == kDirectionInput) {
      if (hostBuffer)
        CastCopyDoubleToFloat(scratch, hostBuffer, frames);
      else
        Silence(scratch, 0, frames);
    } else {
      channel.hostBuffer = hostBuffer;
    }
  };
  ForEachConnectedChannel(direction, first, count, host, attach);
}

void IPluginProcessor::ProcessDoubleBuffers(int nFrames) {
  const int frames = FramesWithinBlock(nFrames);
  ProcessBlock(ChannelPointers(kDirectionInput), ChannelPointers(kDirectionOutput), frames);
  ConvertOutputsToHost(frames, nFrames);
}

void IPluginProcessor::BindHostChannelPointers(int direction, int first, int count,
                                               float** pointers) {
  const auto bind = [&](ChannelData& channel, float* hostBuffer) {
    if (hostBuffer) {
      *channel.slot = hostBuffer;
    } else {
      // A host that gives no buffer gets silence in and discarded output.
      *channel.slot = channel.Scratch();
      if (direction == kDirectionInput) Silence(channel.Scratch(), 0, blockSize_);
    }
  };
  ForEachConnectedChannel(direction, first, count, pointers, bind);
}

void IPluginProcessor::ProcessScratchBuffers(int nFrames) {
  const int frames = FramesWithinBlock(nFrames);
  ProcessBlock(ChannelPointers(kDirectionInput), ChannelPointers(kDirectionOutput), frames);
  SilenceHostFloatOutputs(frames, nFrames);
}

void IPluginProcessor::PassThroughFloat(int nFrames) {
  const int frames = FramesWithinBlock(nFrames);
  float** inputs = ChannelPointers(kDirectionInput);
  float** outputs = ChannelPointers(kDirectionOutput);
  if (latencyDelayLine_ && latencyDelayLine_->Latency() > 0) {
    const int nOut = NChannels(kDirectionOutput);
    const int shared = std::min(NChannels(kDirectionInput), nOut);
    latencyDelayLine_->Process(inputs, outputs, shared, frames);
    for (int j = shared; j < nOut; ++j) Silence(outputs[j], 0, frames);
  } else {
    IPluginProcessor::ProcessBlock(inputs, outputs, frames);
  }
  SilenceHostFloatOutputs(frames, nFrames);
}

void IPluginProcessor::PassThroughDouble(int nFrames) {
  PassThroughFloat(nFrames);
  ConvertOutputsToHost(FramesWithinBlock(nFrames), nFrames);
}

void IPluginProcessor::ClearScratchBuffers() {
  for (PointerList<ChannelData>& channels : channelData_) {
    for (int i = 0; i < channels.Count(); ++i) {
      ChannelData* channel = channels.Get(i);
      Silence(channel->Scratch(), 0, channel->scratch.Size() / static_cast<int>(sizeof(float)));
    }
  }
}

int IPluginProcessor::FramesWithinBlock(int nFrames) const {
  return std::clamp(nFrames, 0, blockSize_);
}

// Output frames beyond the block that a connected channel bound to host
// memory would otherwise keep from before.
void IPluginProcessor::SilenceHostFloatOutputs(int from, int nFrames) {
  for (int i = 0; i < NChannels(kDirectionOutput); ++i) {
    ChannelData* channel = Channel(kDirectionOutput, i);
    if (channel->connected && *channel->slot != channel->Scratch())
      Silence(*channel->slot, from, nFrames);
  }
}

void IPluginProcessor::ConvertOutputsToHost(int nFrames, int hostFrames) {
  for (int i = 0; i < NChannels(kDirectionOutput); ++i) {
    ChannelData* channel = Channel(kDirectionOutput, i);
    if (!channel->connected || !channel->hostBuffer) continue;
    CastCopyFloatToDouble(channel->hostBuffer, *channel->slot, nFrames);
    Silence(channel->hostBuffer, nFrames, hostFrames);
  }
}

} // namespace plugkit
