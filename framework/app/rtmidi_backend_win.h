#pragma once

#include "framework/app/device_backends.h"

#include <memory>

namespace plugkit {

// RtMidi's Windows multimedia MIDI, one object per direction. A library
// error while making one is written to the standard error stream and gives
// null.
std::unique_ptr<MidiInBackend> MakeRtMidiInBackend();
std::unique_ptr<MidiOutBackend> MakeRtMidiOutBackend();

} // namespace plugkit
