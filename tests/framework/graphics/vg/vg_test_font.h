#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace plugkit::igraphics::test {

// Roboto Regular as read from its file; empty when it cannot be read.
const std::vector<unsigned char>& RobotoBytes();

// Where tests leave files to look at.
std::string OutputPath(const std::string& name);

inline int16_t ReadI16(const std::vector<unsigned char>& bytes, size_t at) {
  return static_cast<int16_t>((bytes[at] << 8) | bytes[at + 1]);
}
inline uint32_t ReadU32(const std::vector<unsigned char>& bytes, size_t at) {
  return (static_cast<uint32_t>(bytes[at]) << 24) | (static_cast<uint32_t>(bytes[at + 1]) << 16) |
         (static_cast<uint32_t>(bytes[at + 2]) << 8) | bytes[at + 3];
}

// Roboto whose character map holds only the given (code point, glyph index)
// pairs, code points ascending and below 0xFFFF.
std::vector<unsigned char> RobotoWithCharacterMap(
    const std::vector<std::pair<uint16_t, uint16_t>>& map);

// Offset of a table of a single-face font, 0 when absent.
size_t TableOffset(const std::vector<unsigned char>& bytes, const char* tag);

} // namespace plugkit::igraphics::test
