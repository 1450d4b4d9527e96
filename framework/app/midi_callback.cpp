#include "framework/app/midi_callback.h"

#include "framework/app/app_host.h"
#include "framework/core/queue_messages.h"

#include <cstring>

namespace plugkit {

void HostMidiCallback(double, std::vector<unsigned char>* message, void* userData) {
  auto* host = static_cast<AppHost*>(userData);
  if (!host || !message || message->empty() || host->closing_.load()) return;
  const std::vector<unsigned char>& bytes = *message;
  const size_t size = bytes.size();
  IPluginApp& plug = *host->plug_;
  if (size < 4) {
    MidiMessage midi;
    midi.status = bytes[0];
    midi.data1 = size > 1 ? bytes[1] : 0;
    midi.data2 = size > 2 ? bytes[2] : 0;
    plug.MidiIn().Push(midi);
  } else if (size <= static_cast<size_t>(MaxSysExBytes)) {
    SysExRecord record;
    record.size = static_cast<int32_t>(size);
    std::memcpy(record.data, bytes.data(), size);
    plug.SysExIn().Push(record);
  }
}

} // namespace plugkit
