#include <algorithm>
#include <cstdint>
#include <cstring>

#include "framework/core/byte_chunk.h"
#include "framework/vst3/host_call_guard.h"
#include "framework/vst3/host_param_changes.h"
#include "pluginterfaces/base/ibstream.h"
#include "tarvex/plugin/state_chunk.h"
#include "tarvex/vst3/tarvex_vst3.h"

namespace tarvex {

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

constexpr int kComponentStateSize = kStateChunkSize + 4;
constexpr int kMaxBusChannels = 2;

bool IsActiveBus(const BusList& buses, int32 index) {
  if (index < 0 || index >= static_cast<int32>(buses.size())) return false;
  const auto* bus = static_cast<const Bus*>(buses.at(static_cast<size_t>(index)).get());
  return bus && bus->isActive();
}

// A bus the host switched off may come without buffers: it is neither read
// nor written.
bool BusIsValid(const AudioBusBuffers& bus, bool active, int32 numSamples, int32 sampleSize) {
  if (bus.numChannels < 0 || bus.numChannels > kMaxBusChannels) return false;
  if (!active || numSamples == 0 || bus.numChannels == 0) return true;
  if (sampleSize == kSample32) {
    if (!bus.channelBuffers32) return false;
    return std::all_of(bus.channelBuffers32, bus.channelBuffers32 + bus.numChannels,
                       [](const Sample32* p) { return p != nullptr; });
  }
  if (sampleSize == kSample64) {
    if (!bus.channelBuffers64) return false;
    return std::all_of(bus.channelBuffers64, bus.channelBuffers64 + bus.numChannels,
                       [](const Sample64* p) { return p != nullptr; });
  }
  return false;
}

// Exact comparison: -0.0 is silent, a NaN is not.
template <typename Sample>
bool IsSilent(const Sample* samples, int32 n) {
  for (int32 i = 0; i < n; ++i)
    if (!(samples[i] == 0)) return false;
  return true;
}

// A channel without a buffer holds no sound.
template <typename Sample>
bool IsSilentChannel(Sample* const* channels, int32 ch, int32 n) {
  return !channels || !channels[ch] || IsSilent(channels[ch], n);
}

uint64 SilenceFlagsOf(const AudioBusBuffers& bus, int32 numSamples, int32 sampleSize) {
  uint64 flags = 0;
  for (int32 ch = 0; ch < bus.numChannels && ch < 64; ++ch) {
    const bool silent = sampleSize == kSample32
                            ? IsSilentChannel(bus.channelBuffers32, ch, numSamples)
                            : IsSilentChannel(bus.channelBuffers64, ch, numSamples);
    if (silent) flags |= uint64{1} << ch;
  }
  return flags;
}

} // namespace

TarvexVST3::TarvexVST3(const TarvexInstanceInfo& info) : Tarvex(info) {}

tresult PLUGIN_API TarvexVST3::setupProcessing(ProcessSetup& setup) {
  const tresult result = IPluginVST3::setupProcessing(setup);
  if (result != kResultOk) return result;
  return IsReady() ? kResultOk : kResultFalse;
}

tresult PLUGIN_API TarvexVST3::process(ProcessData& data) {
  return plugkit::GuardHostCall(kResultFalse, [&]() -> tresult {
    const int32 n = data.numSamples;
    if (n < 0 || n > GetBlockSize()) return kInvalidArgument;
    if (data.numInputs < 0 || data.numInputs > 1 || data.numOutputs < 0 || data.numOutputs > 1)
      return kInvalidArgument;
    if ((data.numInputs == 1 && !data.inputs) || (data.numOutputs == 1 && !data.outputs))
      return kInvalidArgument;
    if (data.symbolicSampleSize != processSetup.symbolicSampleSize) return kInvalidArgument;
    for (int32 i = 0; i < data.numInputs; ++i)
      if (!BusIsValid(data.inputs[i], IsActiveBus(audioInputs, i), n, data.symbolicSampleSize))
        return kInvalidArgument;
    for (int32 i = 0; i < data.numOutputs; ++i)
      if (!BusIsValid(data.outputs[i], IsActiveBus(audioOutputs, i), n, data.symbolicSampleSize))
        return kInvalidArgument;

    const ProcessCallScope scope(*this);
    UpdateTimeInfo(data);
    ApplyHostParamChanges(data);
    if (n == 0) {
      ProcessBlock(nullptr, nullptr, 0);
      return kResultOk;
    }

    // The block processing sees exactly one main input bus; one the host
    // switched off is fed as an empty, silent bus.
    const bool hasInput = data.numInputs == 1 && IsActiveBus(audioInputs, 0);
    AudioBusBuffers mainInput = hasInput ? data.inputs[0] : AudioBusBuffers{};
    inputSilenceFlags_.store(hasInput ? data.inputs[0].silenceFlags : 3);
    ProcessData single = data;
    single.numInputs = 1;
    single.inputs = &mainInput;
    if (data.numOutputs == 0)
      SetChannelConnections(plugkit::kDirectionOutput, 0, NChannels(plugkit::kDirectionOutput),
                            false);
    ProcessAudioBuffers(single);

    for (int32 i = 0; i < data.numOutputs; ++i)
      data.outputs[i].silenceFlags = SilenceFlagsOf(data.outputs[i], n, data.symbolicSampleSize);
    return kResultOk;
  });
}

void TarvexVST3::ApplyHostParamChanges(const ProcessData& data) {
  bool paramsSet = false;
  const auto apply = [&](ParamID id, ParamValue value, int32) {
    if (id == plugkit::kBypassParamId) {
      hostBypass_.exchange(value > 0.5);
    } else if (id < static_cast<ParamID>(kParamCount)) {
      GetParam(static_cast<int>(id))->SetNormalized(std::clamp(value, 0.0, 1.0));
      paramsSet = true;
    }
  };
  plugkit::ForEachHostParamChange(data.inputParameterChanges, apply);
  if (paramsSet) UpdateTailLength();
}

tresult PLUGIN_API TarvexVST3::getState(IBStream* state) {
  return plugkit::GuardHostCall(kResultFalse, [&]() -> tresult {
    if (!state) return kResultFalse;
    plugkit::ByteChunk chunk;
    if (!SerializeState(chunk) || chunk.Size() != kStateChunkSize) return kResultFalse;
    const int32_t bypass = hostBypass_.load() ? 1 : 0;
    if (chunk.Put(bypass) != kComponentStateSize) return kResultFalse;
    int written = 0;
    while (written < kComponentStateSize) {
      const int32 remaining = kComponentStateSize - written;
      int32 count = 0;
      if (state->write(chunk.Data() + written, remaining, &count) != kResultOk || count <= 0 ||
          count > remaining)
        return kResultFalse;
      written += count;
    }
    return kResultOk;
  });
}

tresult PLUGIN_API TarvexVST3::setState(IBStream* state) {
  return plugkit::GuardHostCall(kResultFalse, [&]() -> tresult {
    if (!state) return kResultFalse;
    uint8_t bytes[kComponentStateSize] = {};
    int read = 0;
    while (read < kComponentStateSize) {
      const int32 remaining = kComponentStateSize - read;
      int32 count = 0;
      if (state->read(bytes + read, remaining, &count) != kResultOk || count < 1 ||
          count > remaining)
        return kResultFalse;
      read += count;
    }
    uint8_t extra = 0;
    int32 extraCount = 0;
    const tresult end = state->read(&extra, 1, &extraCount);
    if ((end != kResultOk && end != kResultFalse) || extraCount != 0) return kResultFalse;
    int32_t bypass = 0;
    std::memcpy(&bypass, bytes + kStateChunkSize, sizeof(bypass));
    if (bypass != 0 && bypass != 1) return kResultFalse;
    plugkit::ByteChunk chunk;
    if (chunk.PutBytes(bytes, kStateChunkSize) != kStateChunkSize) return kResultFalse;
    if (UnserializeState(chunk, 0) != kStateChunkSize) return kResultFalse;

    hostBypass_.store(bypass == 1);
    PublishRestoredState(bypass == 1);
    return kResultOk;
  });
}

uint32 PLUGIN_API TarvexVST3::getTailSamples() { return static_cast<uint32>(TailLength()); }

} // namespace tarvex
