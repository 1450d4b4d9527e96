#pragma once

#include "framework/graphics/input_records.h"

#include <cstdint>

namespace plugkit {

// Keys the host forwards to the view arrive as a VST3 virtual key code, a
// UTF-16 character and VST3 modifier bits; the editor takes them as Windows
// virtual keys with UTF-8 text.

// The Windows virtual key for a VST3 key code; `character` (the first byte
// of the key's text) answers the codes that stand for a character. 0 when
// the code has no Windows key.
int32_t VirtualKeyFromVST3(int32_t keyCode, char character);

// The key press for a host key event: the character (derived from the key
// code when the host gives none) as UTF-8 text, the Windows key, and shift,
// alt and control from modifier bits 0, 1 and 2.
igraphics::IKeyPress KeyPressFromVST3(char16_t key, int32_t keyCode, int32_t modifiers);

// The Windows key that types `character` with the current keyboard layout;
// 0 where there is no such key or no keyboard layout to ask.
int32_t VirtualKeyForCharacter(char character);

} // namespace plugkit
