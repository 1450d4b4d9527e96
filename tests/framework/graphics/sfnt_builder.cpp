#include "tests/framework/graphics/sfnt_builder.h"

#include <algorithm>

namespace plugkit::igraphics {

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t value) {
  out.push_back(static_cast<uint8_t>(value >> 8));
  out.push_back(static_cast<uint8_t>(value));
}

void Put32(std::vector<uint8_t>& out, uint32_t value) {
  Put16(out, value >> 16);
  Put16(out, value & 0xFFFF);
}

void Set16(std::vector<uint8_t>& out, size_t at, uint32_t value) {
  out[at] = static_cast<uint8_t>(value >> 8);
  out[at + 1] = static_cast<uint8_t>(value);
}

uint32_t Get32(const std::vector<uint8_t>& in, size_t at) {
  return static_cast<uint32_t>(in[at]) << 24 | static_cast<uint32_t>(in[at + 1]) << 16 |
         static_cast<uint32_t>(in[at + 2]) << 8 | in[at + 3];
}

std::vector<uint8_t> NameTable(const SfntFace& face) {
  std::vector<SfntName> names = {
      {3, 1, 0x409, 1, Utf16BigEndian(std::u16string(face.family.begin(), face.family.end()))},
      {3, 1, 0x409, 2, Utf16BigEndian(std::u16string(face.style.begin(), face.style.end()))}};
  names.insert(names.end(), face.extraNames.begin(), face.extraNames.end());
  std::vector<uint8_t> table;
  Put16(table, 0);
  Put16(table, static_cast<uint32_t>(names.size()));
  Put16(table, static_cast<uint32_t>(6 + 12 * names.size()));
  std::vector<uint8_t> storage;
  for (const SfntName& name : names) {
    Put16(table, name.platform);
    Put16(table, name.encoding);
    Put16(table, name.language);
    Put16(table, name.nameId);
    Put16(table, static_cast<uint32_t>(name.text.size()));
    Put16(table, static_cast<uint32_t>(storage.size()));
    storage.insert(storage.end(), name.text.begin(), name.text.end());
  }
  table.insert(table.end(), storage.begin(), storage.end());
  return table;
}

} // namespace

std::vector<uint8_t> Utf16BigEndian(const std::u16string& text) {
  std::vector<uint8_t> out;
  for (char16_t unit : text) Put16(out, unit);
  return out;
}

std::vector<uint8_t> BuildFace(const SfntFace& face, uint32_t base) {
  std::vector<uint8_t> head(54, 0);
  Set16(head, 18, face.unitsPerEm);
  Set16(head, 44, face.macStyle);
  std::vector<uint8_t> hhea(36, 0);
  Set16(hhea, 4, static_cast<uint16_t>(face.ascender));
  Set16(hhea, 6, static_cast<uint16_t>(face.descender));
  Set16(hhea, 8, static_cast<uint16_t>(face.lineGap));
  std::vector<uint8_t> post(32, 0);
  const std::vector<std::pair<std::string, std::vector<uint8_t>>> tables = {
      {"head", head}, {"hhea", hhea}, {"name", NameTable(face)}, {"post", post}};

  std::vector<uint8_t> out;
  Put32(out, 0x00010000);
  Put16(out, static_cast<uint32_t>(tables.size()));
  Put16(out, 0);
  Put16(out, 0);
  Put16(out, 0);
  uint32_t offset = base + 12 + 16 * static_cast<uint32_t>(tables.size());
  for (const auto& [tag, data] : tables) {
    out.insert(out.end(), tag.begin(), tag.end());
    Put32(out, 0);
    Put32(out, offset);
    Put32(out, static_cast<uint32_t>(data.size()));
    offset += (static_cast<uint32_t>(data.size()) + 3) & ~3u;
  }
  for (const auto& table : tables) {
    out.insert(out.end(), table.second.begin(), table.second.end());
    out.resize((out.size() + 3) & ~size_t{3}, 0);
  }
  return out;
}

std::vector<uint8_t> BuildCollection(const std::vector<SfntFace>& faces) {
  std::vector<uint8_t> out = {'t', 't', 'c', 'f'};
  Put32(out, 0x00010000);
  Put32(out, static_cast<uint32_t>(faces.size()));
  const size_t directory = out.size();
  out.resize(out.size() + 4 * faces.size(), 0);
  for (size_t i = 0; i < faces.size(); ++i) {
    const auto base = static_cast<uint32_t>(out.size());
    for (int k = 0; k < 4; ++k)
      out[directory + 4 * i + k] = static_cast<uint8_t>(base >> (24 - 8 * k));
    const std::vector<uint8_t> face = BuildFace(faces[i], base);
    out.insert(out.end(), face.begin(), face.end());
  }
  return out;
}

uint32_t NeededEnd(const std::vector<uint8_t>& file, uint32_t faceOffset) {
  uint32_t end = faceOffset + 12;
  const uint32_t count = static_cast<uint32_t>(file[faceOffset + 4]) << 8 | file[faceOffset + 5];
  for (uint32_t i = 0; i < count; ++i) {
    const size_t record = faceOffset + 12 + 16 * i;
    const std::string tag(file.begin() + static_cast<long>(record),
                          file.begin() + static_cast<long>(record) + 4);
    if (tag != "head" && tag != "name" && tag != "hhea") continue;
    end = std::max(end, static_cast<uint32_t>(record) + 16);
    end = std::max(end, Get32(file, record + 8) + Get32(file, record + 12));
  }
  return end;
}

} // namespace plugkit::igraphics
