#include "tests/framework/graphics/vg/vg_test_font.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace plugkit::igraphics::test {

const std::vector<unsigned char>& RobotoBytes() {
  static const std::vector<unsigned char> bytes = [] {
    std::ifstream file(TARVEX_TEST_FONT, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(file),
                                      std::istreambuf_iterator<char>());
  }();
  return bytes;
}

std::string OutputPath(const std::string& name) {
  return std::string(TARVEX_TEST_OUTPUT_DIR) + "/" + name;
}

namespace {

void PutU16(std::vector<unsigned char>& out, uint32_t value) {
  out.push_back(static_cast<unsigned char>(value >> 8));
  out.push_back(static_cast<unsigned char>(value));
}

void SetU32(std::vector<unsigned char>& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i)
    bytes[at + static_cast<size_t>(i)] = static_cast<unsigned char>(value >> (24 - 8 * i));
}

} // namespace

std::vector<unsigned char> RobotoWithCharacterMap(
    const std::vector<std::pair<uint16_t, uint16_t>>& map) {
  std::vector<unsigned char> bytes = RobotoBytes();
  while (bytes.size() % 4 != 0) bytes.push_back(0);
  const size_t offset = bytes.size();
  // One segment per code point, with the closing 0xFFFF segment.
  const uint32_t segments = static_cast<uint32_t>(map.size()) + 1;
  uint32_t range = 1;
  uint32_t selector = 0;
  while (range * 2 <= segments) {
    range *= 2;
    ++selector;
  }
  std::vector<unsigned char> table;
  PutU16(table, 0); // version
  PutU16(table, 1); // one encoding record
  PutU16(table, 3); // Windows
  PutU16(table, 1); // Unicode BMP
  PutU16(table, 0);
  PutU16(table, 12);
  PutU16(table, 4);
  PutU16(table, 16 + 8 * segments);
  PutU16(table, 0);
  PutU16(table, segments * 2);
  PutU16(table, range * 2);
  PutU16(table, selector);
  PutU16(table, (segments - range) * 2);
  for (const auto& entry : map) PutU16(table, entry.first);
  PutU16(table, 0xFFFF);
  PutU16(table, 0);
  for (const auto& entry : map) PutU16(table, entry.first);
  PutU16(table, 0xFFFF);
  for (const auto& entry : map) PutU16(table, (entry.second - entry.first) & 0xFFFFu);
  PutU16(table, 1);
  for (size_t i = 0; i < segments; ++i) PutU16(table, 0);
  bytes.insert(bytes.end(), table.begin(), table.end());

  const size_t count = static_cast<size_t>((bytes[4] << 8) | bytes[5]);
  for (size_t i = 0; i < count; ++i) {
    const size_t record = 12 + 16 * i;
    if (std::memcmp(&bytes[record], "cmap", 4) == 0) {
      SetU32(bytes, record + 8, static_cast<uint32_t>(offset));
      SetU32(bytes, record + 12, static_cast<uint32_t>(table.size()));
    }
  }
  return bytes;
}

size_t TableOffset(const std::vector<unsigned char>& bytes, const char* tag) {
  const size_t count = static_cast<size_t>((bytes[4] << 8) | bytes[5]);
  for (size_t i = 0; i < count; ++i) {
    const size_t record = 12 + 16 * i;
    if (std::memcmp(&bytes[record], tag, 4) == 0) return ReadU32(bytes, record + 8);
  }
  return 0;
}

} // namespace plugkit::igraphics::test
