#include "framework/core/latency_delay_line.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>

namespace plugkit {

LatencyDelayLine::LatencyDelayLine(int channels, int latency) : channels_(std::max(channels, 0)) {
  SetLatency(latency);
}

void LatencyDelayLine::SetLatency(int samples) {
  samples = std::max(samples, 0);
  writePos_ = 0;
  const int64_t bytes = int64_t{samples} * channels_ * int64_t{sizeof(float)};
  const int wanted = bytes > INT_MAX ? -1 : static_cast<int>(bytes);
  if (wanted >= 0) buffer_.Resize(wanted, true);
  if (wanted < 0 || buffer_.Size() != wanted) {
    buffer_.Resize(0, true);
    latency_ = 0;
    return;
  }
  latency_ = samples;
  if (wanted > 0) std::memset(buffer_.Data(), 0, static_cast<size_t>(wanted));
}

void LatencyDelayLine::Process(float* const* inputs, float* const* outputs, int channels,
                               int nFrames) {
  channels = std::min(channels, channels_);
  if (latency_ <= 0 || channels <= 0) return;
  float* samples = Samples();
  for (int frame = 0; frame < nFrames; ++frame) {
    for (int j = 0; j < channels; ++j) {
      float& stored = samples[static_cast<size_t>(j) * static_cast<size_t>(latency_) +
                              static_cast<size_t>(writePos_)];
      const float delayed = stored;
      stored = inputs[j][frame];
      outputs[j][frame] = delayed;
    }
    if (++writePos_ == latency_) writePos_ = 0;
  }
}

} // namespace plugkit
