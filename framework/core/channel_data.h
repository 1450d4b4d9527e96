#pragma once

#include "framework/core/heap_buffer.h"

namespace plugkit {

// One input or output channel of the processor.
struct ChannelData {
  bool connected = false;
  // This channel's entry in its direction's channel-pointer array.
  float** slot = nullptr;
  // The host's 64-bit buffer; output channels attached to the host only.
  double* hostBuffer = nullptr;
  // Block-size floats that stand in for host memory: converted 64-bit input,
  // output awaiting conversion, and the buffer of a disconnected channel.
  HeapBuffer scratch{4096};

  float* Scratch() { return reinterpret_cast<float*>(scratch.Data()); }
};

} // namespace plugkit
