#include "framework/core/fixed_text.h"

#include <cstring>

namespace plugkit {

void CopyFixedText(char* field, size_t fieldSize, const char* text) {
  if (fieldSize == 0) return;
  size_t len = text ? std::strlen(text) : 0;
  if (len >= fieldSize) {
    len = fieldSize - 1;
    // Back off over continuation bytes (10xxxxxx) to the start of the
    // character that did not fit whole.
    while (len > 0 && (static_cast<unsigned char>(text[len]) & 0xC0) == 0x80) --len;
  }
  if (len > 0) std::memcpy(field, text, len);
  field[len] = 0;
}

} // namespace plugkit
