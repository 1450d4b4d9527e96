#pragma once

#include "framework/core/pointer_list.h"

#include <cstdint>

namespace plugkit {

constexpr int kDirectionInput = 0;
constexpr int kDirectionOutput = 1;

// Channel count of a bus written "*": the bus takes any number of channels.
constexpr int kAnyChannelCount = -64;

// Channel-I/O texts are compile-time constants of a plug-in, but a mistyped one
// must not make the processor allocate without bound: a configuration whose
// bus exceeds these limits is rejected when the text is parsed.
constexpr int kMaxChannelsPerBus = 64;
constexpr int kMaxBusesPerSide = 64;

struct BusSpec {
  int32_t direction = kDirectionInput;
  int32_t channels = 0;
};

// One channel configuration: the buses of each direction, owned.
class ChannelIOConfig {
public:
  ChannelIOConfig() = default;
  ChannelIOConfig(const ChannelIOConfig&) = delete;
  ChannelIOConfig& operator=(const ChannelIOConfig&) = delete;
  ~ChannelIOConfig();

  // Takes ownership of the bus.
  void AddBus(BusSpec* bus);
  int NBuses(int direction) const;
  // The bus's channel count; 0 when there is no such bus.
  int NChannelsOnBus(int direction, int busIdx) const;
  // The sum of the bus channel counts; each wildcard bus adds its -64.
  int TotalChannels(int direction) const;

  PointerList<BusSpec> inputBuses{4096};
  PointerList<BusSpec> outputBuses{4096};

private:
  const PointerList<BusSpec>* Buses(int direction) const;
};

} // namespace plugkit
