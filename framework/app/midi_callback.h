#pragma once

#include <vector>

namespace plugkit {

// Called by the MIDI library on its input thread for every message, with the
// AppHost as user data. Messages of one to three bytes join the plug-in's
// MIDI input ring, longer ones up to the system-exclusive limit its
// system-exclusive ring; each reaches the plug-in at the start of the next
// block. A full ring, a longer message and anything arriving while the host
// is destroyed are dropped.
void HostMidiCallback(double timeStamp, std::vector<unsigned char>* message, void* userData);

} // namespace plugkit
