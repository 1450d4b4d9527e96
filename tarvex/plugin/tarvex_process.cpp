#include <algorithm>
#include <cstring>

#include "framework/core/channel_io.h"
#include "tarvex/plugin/tarvex_plugin.h"

namespace tarvex {
namespace {

// Engine input for one channel, or null (read as silence by the engine) when
// the host gave no buffer or flagged it silent.
const float* EngineSource(float** inputs, int channel, std::uint64_t silenceFlags) {
  if (!inputs || ((silenceFlags >> channel) & 1u)) return nullptr;
  return inputs[channel];
}

const float* At(const float* source, int offset) { return source ? source + offset : nullptr; }

} // namespace

void Tarvex::ProcessBlock(float** inputs, float** outputs, int nFrames) {
  float* engineOut[kEngineChannels] = {engineOut_[0], engineOut_[1]};
  if (nFrames <= 0) {
    // Lets pending learned-set requests and commands land without audio.
    if (ready_.load()) {
      PassValuesToEngine();
      engine_->Process(nullptr, engineOut, 0, hostBypass_.load());
    }
    return;
  }
  if (!ready_.load()) {
    for (int ch = 0; outputs && ch < NChannels(plugkit::kDirectionOutput); ++ch)
      if (IsChannelConnected(plugkit::kDirectionOutput, ch) && outputs[ch])
        std::memset(outputs[ch], 0, sizeof(float) * static_cast<size_t>(nFrames));
    return;
  }

  PassValuesToEngine();
  const int nIn = std::min(ConnectedChannelCount(plugkit::kDirectionInput), 2);
  const int nOut = ConnectedChannelCount(plugkit::kDirectionOutput);
  const std::uint64_t silenceFlags = inputSilenceFlags_.load();
  // One input feeds both engine channels.
  const float* source[kEngineChannels] = {nullptr, nullptr};
  if (nIn >= 1) source[0] = EngineSource(inputs, 0, silenceFlags);
  source[1] = nIn == 2 ? EngineSource(inputs, 1, silenceFlags) : source[0];
  const bool bypass = hostBypass_.load();

  for (int offset = 0; offset < nFrames; offset += kChunkFrames) {
    const int frames = std::min(kChunkFrames, nFrames - offset);
    const float* engineIn[kEngineChannels] = {At(source[0], offset), At(source[1], offset)};
    engine_->Process(engineIn, engineOut, frames, bypass);
    WriteOutputs(outputs, nOut, offset, frames);
  }
}

void Tarvex::WriteOutputs(float** outputs, int nOut, int offset, int frames) const {
  if (!outputs) return;
  const size_t bytes = sizeof(float) * static_cast<size_t>(frames);
  if (nOut == 1) {
    if (float* out = outputs[0])
      for (int i = 0; i < frames; ++i)
        out[offset + i] =
            static_cast<float>((static_cast<double>(engineOut_[0][i]) + engineOut_[1][i]) * 0.5);
    return;
  }
  for (int ch = 0; ch < nOut; ++ch) {
    float* out = outputs[ch];
    if (!out) continue;
    if (ch < kEngineChannels)
      std::memcpy(out + offset, engineOut_[ch], bytes);
    else
      std::memset(out + offset, 0, bytes);
  }
}

} // namespace tarvex
