#include "tests/framework/graphics/vg/vg_test_font.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace plugkit::igraphics::test {

const Bytes& RobotoBytes() {
  static const Bytes bytes = [] {
    std::ifstream file(TARVEX_TEST_FONT, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  }();
  return bytes;
}

stbtt_fontinfo RobotoInfo() {
  stbtt_fontinfo info{};
  stbtt_InitFont(&info, RobotoBytes().data(), 0);
  return info;
}

CachePtr RobotoCache(uint8_t flags, int width, int height) {
  VgGlyphCacheParams params;
  params.flags = flags;
  params.width = width;
  params.height = height;
  CachePtr cache(VgGlyphCacheCreate(params));
  const Bytes& bytes = RobotoBytes();
  if (!cache || VgAddFontFromMemory(cache.get(), "Roboto", bytes.data(),
                                    static_cast<int>(bytes.size()), 0, false) != 0) {
    return nullptr;
  }
  return cache;
}

size_t TableOffset(const Bytes& bytes, const char* tag) {
  for (size_t record = 12; record < 12 + 16u * static_cast<size_t>(ReadI16(bytes, 4));
       record += 16) {
    if (std::memcmp(&bytes[record], tag, 4) == 0) {
      return static_cast<size_t>(bytes[record + 8]) << 24 | bytes[record + 9] << 16 |
             bytes[record + 10] << 8 | bytes[record + 11];
    }
  }
  return 0;
}

size_t CharacterMapOffset() { return (RobotoBytes().size() + 3) / 4 * 4 + 12; }

Bytes RobotoWithCharacterMap(const std::vector<std::pair<uint16_t, uint16_t>>& map) {
  const uint32_t segments = static_cast<uint32_t>(map.size()) + 1; // and the closing 0xFFFF
  uint32_t range = 1, selector = 0;
  for (; range * 2 <= segments; range *= 2) ++selector;
  std::vector<uint32_t> words = {0,
                                 1,
                                 3,
                                 1,
                                 0,
                                 12, // header, one Windows Unicode record
                                 4,
                                 16 + 8 * segments,
                                 0,
                                 segments * 2,
                                 range * 2,
                                 selector,
                                 (segments - range) * 2};
  for (const auto& entry : map) words.push_back(entry.first);
  words.insert(words.end(), {0xFFFF, 0});
  for (const auto& entry : map) words.push_back(entry.first);
  words.push_back(0xFFFF);
  for (const auto& entry : map) words.push_back((entry.second - entry.first) & 0xFFFFu);
  words.push_back(1);
  words.insert(words.end(), segments, 0);

  Bytes bytes = RobotoBytes();
  bytes.resize(CharacterMapOffset() - 12 + 2 * words.size());
  for (size_t i = 0; i < words.size(); ++i)
    PutU16(bytes, CharacterMapOffset() - 12 + 2 * i, words[i]);
  for (size_t record = 12; record < 12 + 16u * static_cast<size_t>(ReadI16(bytes, 4));
       record += 16) {
    if (std::memcmp(&bytes[record], "cmap", 4) == 0) {
      PutU16(bytes, record + 10, static_cast<uint32_t>(CharacterMapOffset() - 12));
      PutU16(bytes, record + 8, static_cast<uint32_t>((CharacterMapOffset() - 12) >> 16));
      PutU16(bytes, record + 12, 0);
      PutU16(bytes, record + 14, static_cast<uint32_t>(2 * words.size()));
    }
  }
  return bytes;
}

std::string OutputPath(const std::string& name) {
  return std::string(TARVEX_TEST_OUTPUT_DIR) + "/" + name;
}

} // namespace plugkit::igraphics::test
