#include "framework/app/app_host.h"
#include "framework/app/midi_callback.h"
#include "framework/core/channel_io.h"

#include <cstring>
#include <string_view>

namespace plugkit {

namespace {

void ListPorts(MidiPortBackend& ports, std::vector<std::string>& names) {
  names.clear();
  names.push_back(AppHost::kMidiOff);
  for (const std::string& name : ports.PortNames()) names.push_back(name);
}

// The name without the port index that the Windows MIDI library appends
// (" 1" in "Keys 1"), which changes whenever another device comes or goes.
std::string_view WithoutPortIndex(std::string_view name) {
  const size_t blank = name.find_last_of(' ');
  if (blank == std::string_view::npos || blank + 1 == name.size()) return name;
  for (size_t i = blank + 1; i < name.size(); ++i)
    if (name[i] < '0' || name[i] > '9') return name;
  return name.substr(0, blank);
}

} // namespace

bool AppHost::CreateMidiPorts() {
  if (InScreenshotOrNoIOMode()) return true;
  midiIn_.reset();
  midiIn_ = backends_.makeMidiIn ? backends_.makeMidiIn() : nullptr;
  if (!midiIn_) return false;
  midiOut_.reset();
  midiOut_ = backends_.makeMidiOut ? backends_.makeMidiOut() : nullptr;
  if (!midiOut_) return false;
  midiIn_->SetCallback(HostMidiCallback, this);
  return true;
}

// Each direction is listed on its own, so a library that failed in one
// direction cannot make the other's stored port look gone.
void AppHost::ProbeMidiPorts() {
  if (midiIn_) ListPorts(*midiIn_, midiInPortNames_);
  if (midiOut_) ListPorts(*midiOut_, midiOutPortNames_);
}

const std::vector<std::string>& AppHost::GetMidiPortNames(int direction) const {
  return direction == kDirectionInput ? midiInPortNames_ : midiOutPortNames_;
}

int AppHost::FindMidiPort(int direction, const char* name) const {
  if (std::strcmp(name, kMidiOff) == 0) return 0;
  const std::vector<std::string>& names = GetMidiPortNames(direction);
  for (size_t i = 1; i < names.size(); ++i) {
    if (names[i] == name) return static_cast<int>(i);
  }
  const std::string_view device = WithoutPortIndex(name);
  for (size_t i = 1; i < names.size(); ++i) {
    if (WithoutPortIndex(names[i]) == device) return static_cast<int>(i);
  }
  return -1;
}

bool AppHost::SelectMidiPort(int direction, const char* name) {
  const bool isInput = direction == kDirectionInput;
  MidiPortBackend* ports = isInput ? static_cast<MidiPortBackend*>(midiIn_.get()) : midiOut_.get();
  // Without the direction's MIDI object (no-I/O or screenshot mode, or the
  // library failed) the ports cannot be listed, so a stored port is not
  // known to be gone and the choice is kept.
  if (!ports) return false;
  // A port that is gone may come back: its name stays chosen until the user
  // chooses another.
  const int port = FindMidiPort(direction, name);
  ports->ClosePort();
  if (port <= 0) return port == 0;
  return ports->OpenPort(static_cast<unsigned int>(port - 1),
                         isInput ? "RtMidi Input" : "RtMidi Output");
}

} // namespace plugkit
