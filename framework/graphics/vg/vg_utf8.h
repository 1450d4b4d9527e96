#pragma once

#include <cstdint>

namespace plugkit::igraphics {

// States of the UTF-8 automaton. Every other state means "inside a sequence".
// Reject is final: once a text holds an invalid sequence, nothing after it
// decodes.
enum VgUtf8State : uint32_t {
  kVgUtf8Accept = 0,
  kVgUtf8Reject = 12,
};

// Feeds one byte. Returns the new state; when it is kVgUtf8Accept the code
// point is complete in *codepoint. Start with state kVgUtf8Accept.
uint32_t VgUtf8Decode(uint32_t* state, uint32_t* codepoint, uint8_t byte);

} // namespace plugkit::igraphics
