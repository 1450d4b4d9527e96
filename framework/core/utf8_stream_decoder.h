#pragma once

#include <cstdint>

namespace plugkit {

// Streaming decoder: a table-driven UTF-8 automaton fed one byte at a time,
// for text drawn and measured byte by byte. It is strict and unforgiving:
// the reject state is final, so once a text holds an invalid sequence
// nothing after it decodes.

// States of the automaton. Every other state means "inside a sequence".
enum Utf8StreamState : uint32_t {
  kUtf8StreamAccept = 0,
  kUtf8StreamReject = 12,
};

// Feeds one byte. Returns the new state; when it is kUtf8StreamAccept the code
// point is complete in *codepoint. Start with state kUtf8StreamAccept.
uint32_t Utf8StreamDecode(uint32_t* state, uint32_t* codepoint, uint8_t byte);

} // namespace plugkit
