#pragma once

#include <cstddef>

namespace plugkit {

// Copies text into a fixed NUL-terminated field. Longer texts are cut at the
// last whole UTF-8 character that fits, so a cut never leaves half a
// character behind. A null text gives the empty text.
void CopyFixedText(char* field, size_t fieldSize, const char* text);

template <size_t N>
void CopyFixedText(char (&field)[N], const char* text) {
  CopyFixedText(field, N, text);
}

} // namespace plugkit
