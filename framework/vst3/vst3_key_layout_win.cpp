#include "framework/vst3/vst3_key_press.h"

#include <windows.h>

namespace plugkit {

int32_t VirtualKeyForCharacter(char character) {
  const SHORT scan = VkKeyScanExA(character, GetKeyboardLayout(0));
  // The low byte is the key; -1 means no key types the character.
  return scan == -1 ? 0 : static_cast<int32_t>(scan & 0xFF);
}

} // namespace plugkit
