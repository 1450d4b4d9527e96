#include "tests/framework/graphics/sfnt_builder.h"

#include <algorithm>
#include <cmath>

namespace plugkit::igraphics {

namespace {

constexpr double kPi = 3.14159265358979323846;

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

using Tables = std::vector<std::pair<std::string, std::vector<uint8_t>>>;

// A simple glyph: every point on the curve, every coordinate a 16-bit delta.
std::vector<uint8_t> GlyphData(const SfntGlyph& glyph) {
  int16_t box[4] = {INT16_MAX, INT16_MAX, INT16_MIN, INT16_MIN};
  std::vector<uint8_t> endPoints, flags, xs, ys;
  uint32_t points = 0;
  std::pair<int16_t, int16_t> pen{0, 0};
  for (const auto& contour : glyph.contours) {
    for (const auto& point : contour) {
      box[0] = std::min(box[0], point.first);
      box[1] = std::min(box[1], point.second);
      box[2] = std::max(box[2], point.first);
      box[3] = std::max(box[3], point.second);
      flags.push_back(1);
      Put16(xs, static_cast<uint16_t>(point.first - pen.first));
      Put16(ys, static_cast<uint16_t>(point.second - pen.second));
      pen = point;
    }
    points += static_cast<uint32_t>(contour.size());
    Put16(endPoints, points - 1);
  }
  std::vector<uint8_t> out;
  Put16(out, static_cast<uint32_t>(glyph.contours.size()));
  for (int16_t edge : box) Put16(out, static_cast<uint16_t>(edge));
  out.insert(out.end(), endPoints.begin(), endPoints.end());
  Put16(out, 0); // no instructions
  for (const auto* part : {&flags, &xs, &ys}) out.insert(out.end(), part->begin(), part->end());
  return out;
}

// Character map (format 12, code points ascending), outlines, their offsets
// (long) and advances for glyph 0 (empty) and the given glyphs.
Tables OutlineTables(const std::vector<SfntGlyph>& glyphs) {
  const auto count = static_cast<uint32_t>(glyphs.size());
  std::vector<uint8_t> cmap;
  for (uint32_t value : {0u, 1u, 3u, 10u}) Put16(cmap, value);
  Put32(cmap, 12);
  Put16(cmap, 12);
  Put16(cmap, 0);
  Put32(cmap, 16 + 12 * count);
  Put32(cmap, 0);
  Put32(cmap, count);
  std::vector<uint8_t> glyf, hmtx(4, 0), loca(8, 0);
  for (uint32_t i = 0; i < count; ++i) {
    for (int k = 0; k < 2; ++k) Put32(cmap, glyphs[i].codepoint);
    Put32(cmap, i + 1);
    const std::vector<uint8_t> data = GlyphData(glyphs[i]);
    glyf.insert(glyf.end(), data.begin(), data.end());
    Put32(loca, static_cast<uint32_t>(glyf.size()));
    Put16(hmtx, glyphs[i].advance);
    Put16(hmtx, 0);
  }
  std::vector<uint8_t> maxp;
  Put32(maxp, 0x00005000);
  Put16(maxp, count + 1);
  return {{"cmap", cmap}, {"glyf", glyf}, {"hmtx", hmtx}, {"loca", loca}, {"maxp", maxp}};
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
  Tables tables = {{"head", head}, {"hhea", hhea}, {"name", NameTable(face)}, {"post", post}};
  if (!face.glyphs.empty()) {
    Set16(tables[0].second, 50, 1); // long glyph offsets
    Set16(tables[1].second, 34, static_cast<uint32_t>(face.glyphs.size()) + 1);
    const Tables outlines = OutlineTables(face.glyphs);
    tables.insert(tables.end(), outlines.begin(), outlines.end());
  }

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

SfntFace ComplexGlyphFace(int points) {
  SfntGlyph disc{'A', 4000, {{}}};
  for (int i = 0; i < points; ++i) {
    const double angle = 2.0 * kPi * i / points;
    disc.contours[0].emplace_back(static_cast<int16_t>(std::lround(2000 + 2000 * std::cos(angle))),
                                  static_cast<int16_t>(std::lround(300 + 2000 * std::sin(angle))));
  }
  SfntFace face;
  face.glyphs = {disc};
  return face;
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
