#pragma once

#include <cstdint>

namespace plugkit {

// The most system-exclusive bytes any queue carries.
constexpr int MaxSysExBytes = 512;

struct ParamChange {
  int32_t paramIdx = 0;
  double value = 0.0;
};

struct MidiMessage {
  int32_t offset = 0;
  uint8_t status = 0;
  uint8_t data1 = 0;
  uint8_t data2 = 0;
};

// A view of system-exclusive bytes owned by the caller; never stored.
struct SysExMessage {
  int32_t offset = 0;
  int32_t size = 0;
  const uint8_t* data = nullptr;
};

struct SysExRecord {
  int32_t offset = 0;
  int32_t size = 0;
  uint8_t data[MaxSysExBytes] = {};
};

} // namespace plugkit
