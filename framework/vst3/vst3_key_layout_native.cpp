#include "framework/vst3/vst3_key_press.h"

namespace plugkit {

// Native builds have no Windows keyboard layout to ask.
int32_t VirtualKeyForCharacter(char) { return 0; }

} // namespace plugkit
