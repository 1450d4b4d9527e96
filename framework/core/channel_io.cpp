#include "framework/core/channel_io.h"

namespace plugkit {

ChannelIOConfig::~ChannelIOConfig() {
  inputBuses.DeleteAll();
  outputBuses.DeleteAll();
}

void ChannelIOConfig::AddBus(BusSpec* bus) {
  PointerList<BusSpec>& buses = bus->direction == kDirectionInput ? inputBuses : outputBuses;
  const int before = buses.Count();
  buses.Add(bus);
  if (buses.Count() == before) delete bus;
}

const PointerList<BusSpec>* ChannelIOConfig::Buses(int direction) const {
  if (direction == kDirectionInput) return &inputBuses;
  if (direction == kDirectionOutput) return &outputBuses;
  return nullptr;
}

int ChannelIOConfig::NBuses(int direction) const {
  const PointerList<BusSpec>* buses = Buses(direction);
  return buses ? buses->Count() : 0;
}

int ChannelIOConfig::NChannelsOnBus(int direction, int busIdx) const {
  const PointerList<BusSpec>* buses = Buses(direction);
  const BusSpec* bus = buses ? buses->Get(busIdx) : nullptr;
  return bus ? bus->channels : 0;
}

int ChannelIOConfig::TotalChannels(int direction) const {
  int total = 0;
  for (int i = 0; i < NBuses(direction); ++i) total += NChannelsOnBus(direction, i);
  return total;
}

} // namespace plugkit
