#pragma once

#include "framework/core/string_buffer.h"

namespace plugkit {

// The title of MIDI controller 0..127 as the host shows it; numbers without
// a name become "Contr. <n>".
void MidiControllerName(int controller, StringBuffer& out);

} // namespace plugkit
