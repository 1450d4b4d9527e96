#pragma once

#include "framework/core/byte_chunk.h"

namespace plugkit {

// One factory preset: its name and the state chunk it loads.
struct PresetSlot {
  bool initialised = false;
  char name[256] = "empty";
  ByteChunk data;
};

} // namespace plugkit
