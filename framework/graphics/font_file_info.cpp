#include "framework/graphics/font_file_info.h"

#include "framework/core/utf_forgiving.h"

#include <cstring>
#include <string>

namespace plugkit::igraphics {

namespace {

// Table lengths the fields read from them need.
constexpr uint32_t kHeadBytes = 46; // up to macStyle
constexpr uint32_t kHheaBytes = 10; // up to lineGap
constexpr uint32_t kNameHeaderBytes = 6;
constexpr uint32_t kNameRecordBytes = 12;
constexpr uint32_t kTableRecordBytes = 16;
constexpr uint32_t kSfntHeaderBytes = 12;

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }
uint32_t U32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
         static_cast<uint32_t>(p[2]) << 8 | p[3];
}

// Whether `length` bytes at `offset` lie inside `size` bytes.
bool Inside(uint64_t offset, uint64_t length, uint64_t size) { return offset + length <= size; }

bool TagIs(const uint8_t* p, const char* tag) { return std::memcmp(p, tag, 4) == 0; }

std::string Utf16BigEndianToUtf8(const uint8_t* p, uint32_t length) {
  std::u16string units(length / 2, u'\0');
  for (size_t i = 0; i < units.size(); ++i) units[i] = static_cast<char16_t>(U16(p + 2 * i));
  return Utf16ToUtf8Forgiving(units);
}

} // namespace

void FontFileInfo::Parse(const uint8_t* bytes, int size, int faceIndex) {
  *this = FontFileInfo();
  if (!bytes || size < 4 || faceIndex < 0) return;
  bytes_ = bytes;
  size_ = static_cast<uint32_t>(size);

  uint64_t faceOffset = 0;
  const bool singleFace = (bytes[0] == 0 && bytes[1] == 1 && bytes[2] == 0 && bytes[3] == 0) ||
                          (bytes[0] == '1' && bytes[1] == 0 && bytes[2] == 0 && bytes[3] == 0) ||
                          TagIs(bytes, "OTTO") || TagIs(bytes, "typ1");
  if (singleFace) {
    if (faceIndex != 0) return;
  } else if (TagIs(bytes, "ttcf")) {
    if (!Inside(0, 12, size_)) return;
    const uint32_t version = U32(bytes + 4);
    if (version != 0x00010000 && version != 0x00020000) return;
    if (static_cast<uint32_t>(faceIndex) >= U32(bytes + 8)) return;
    const uint64_t entry = 12 + 4 * static_cast<uint64_t>(faceIndex);
    if (!Inside(entry, 4, size_)) return;
    faceOffset = U32(bytes + entry);
  } else {
    return;
  }
  if (!Inside(faceOffset, kSfntHeaderBytes, size_)) return;
  faceData = bytes + faceOffset;

  uint32_t offset = 0;
  if (TableLength("head", offset) >= kHeadBytes) headOffset = offset;
  if (TableLength("name", offset) >= kNameHeaderBytes) nameOffset = offset;
  if (TableLength("hhea", offset) >= kHheaBytes) hheaOffset = offset;
  if (!IsValid()) return;
  unitsPerEm = U16(bytes + headOffset + 18);
  macStyle = U16(bytes + headOffset + 44);
  family = GetNameString(1);
  style = GetNameString(2);
  ascender = static_cast<int16_t>(U16(bytes + hheaOffset + 4));
  descender = static_cast<int16_t>(U16(bytes + hheaOffset + 6));
  lineGap = static_cast<int16_t>(U16(bytes + hheaOffset + 8));
}

uint32_t FontFileInfo::TableLength(const char* tag, uint32_t& offset) const {
  offset = 0;
  if (!faceData) return 0;
  const uint64_t face = static_cast<uint64_t>(faceData - bytes_);
  const uint16_t count = U16(faceData + 4);
  for (uint32_t i = 0; i < count; ++i) {
    const uint64_t record = face + kSfntHeaderBytes + kTableRecordBytes * i;
    if (!Inside(record, kTableRecordBytes, size_)) return 0;
    const uint8_t* p = bytes_ + record;
    if (!TagIs(p, tag)) continue;
    const uint32_t start = U32(p + 8);
    const uint32_t length = U32(p + 12);
    if (start == 0 || !Inside(start, length, size_)) return 0;
    offset = start;
    return length;
  }
  return 0;
}

uint32_t FontFileInfo::FindTable(const char* tag) const {
  uint32_t offset = 0;
  TableLength(tag, offset);
  return offset;
}

std::string FontFileInfo::GetNameString(int nameId) const {
  uint32_t table = 0;
  const uint32_t tableLength = TableLength("name", table);
  if (tableLength < kNameHeaderBytes) return std::string();
  const uint8_t* name = bytes_ + table;
  const uint16_t count = U16(name + 2);
  const uint16_t storage = U16(name + 4);
  // Finds the first record of the platform, encoding and language whose text
  // lies inside the table; null when there is none.
  auto find = [&](uint16_t platform, uint16_t encoding, uint16_t language, uint16_t& length) {
    for (uint32_t i = 0; i < count; ++i) {
      const uint64_t record = kNameHeaderBytes + kNameRecordBytes * static_cast<uint64_t>(i);
      if (!Inside(record, kNameRecordBytes, tableLength))
        return static_cast<const uint8_t*>(nullptr);
      const uint8_t* r = name + record;
      if (U16(r) != platform || U16(r + 2) != encoding || U16(r + 4) != language ||
          U16(r + 6) != nameId)
        continue;
      length = U16(r + 8);
      const uint64_t text = static_cast<uint64_t>(storage) + U16(r + 10);
      if (!Inside(text, length, tableLength)) continue;
      return name + text;
    }
    return static_cast<const uint8_t*>(nullptr);
  };
  uint16_t length = 0;
  if (const uint8_t* text = find(3, 1, 0x409, length)) {
    std::string utf8 = Utf16BigEndianToUtf8(text, length);
    if (!utf8.empty()) return utf8;
  }
  if (const uint8_t* text = find(1, 0, 0, length))
    return std::string(reinterpret_cast<const char*>(text), length);
  return std::string();
}

} // namespace plugkit::igraphics
