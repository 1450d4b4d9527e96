#pragma once

#include "framework/core/heap_buffer.h"

namespace plugkit {

// Delays each channel by the plug-in's latency while it is bypassed, so the
// bypassed signal stays aligned with what the host compensates for.
class LatencyDelayLine {
public:
  LatencyDelayLine(int channels, int latency);

  // Empties the line and gives it a new length. When the memory cannot be
  // had the line delays by nothing rather than run past its buffer.
  void SetLatency(int samples);

  // For every frame and every channel j below `channels`: outputs[j] gets the
  // sample that entered latency frames earlier, and inputs[j] enters. Inputs
  // and outputs may be the same buffers.
  void Process(float* const* inputs, float* const* outputs, int channels, int nFrames);

  int Latency() const { return latency_; }
  int Channels() const { return channels_; }
  int WritePosition() const { return writePos_; }

private:
  float* Samples() { return reinterpret_cast<float*>(buffer_.Data()); }

  HeapBuffer buffer_{4096};
  int channels_;
  int writePos_ = 0;
  int latency_ = 0;
};

} // namespace plugkit
