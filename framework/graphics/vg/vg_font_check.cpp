#include "framework/graphics/vg/vg_font_check.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace plugkit::igraphics {
namespace {

// Bounds-checked big-endian reads over the font bytes.
class FontBytes {
public:
  FontBytes(const unsigned char* data, int size)
      : data_(data), size_(size > 0 ? static_cast<uint64_t>(size) : 0) {}

  bool Has(uint64_t offset, uint64_t length) const {
    return offset <= size_ && length <= size_ - offset;
  }
  uint16_t U16(uint64_t at) const {
    return static_cast<uint16_t>((data_[at] << 8) | data_[at + 1]);
  }
  int16_t I16(uint64_t at) const { return static_cast<int16_t>(U16(at)); }
  uint32_t U32(uint64_t at) const { return (static_cast<uint32_t>(U16(at)) << 16) | U16(at + 2); }
  uint8_t U8(uint64_t at) const { return data_[at]; }
  bool Tag(uint64_t at, const char* tag) const { return std::memcmp(data_ + at, tag, 4) == 0; }

private:
  const unsigned char* data_;
  uint64_t size_;
};

struct Table {
  uint64_t offset = 0;
  uint64_t length = 0;
};

// The first directory record with the tag, as the outline reader takes it.
bool FindTable(const FontBytes& bytes, uint64_t face, const char* tag, Table* table) {
  const uint16_t count = bytes.U16(face + 4);
  for (uint16_t i = 0; i < count; ++i) {
    const uint64_t record = face + 12 + 16u * i;
    if (bytes.Tag(record, tag)) {
      table->offset = bytes.U32(record + 8);
      table->length = bytes.U32(record + 12);
      return true;
    }
  }
  return false;
}

bool CheckCollectionHeader(const FontBytes& bytes, int faceIndex) {
  if (!bytes.Has(0, 12)) return false;
  if (!bytes.Tag(0, "ttcf")) return faceIndex == 0;
  const uint32_t version = bytes.U32(4);
  if (version != 0x00010000u && version != 0x00020000u) return false;
  const uint32_t faces = bytes.U32(8);
  return static_cast<uint32_t>(faceIndex) < faces && bytes.Has(12, 4u * (faceIndex + 1ull));
}

bool CheckDirectory(const FontBytes& bytes, uint64_t face) {
  if (!bytes.Has(face, 12)) return false;
  const uint16_t count = bytes.U16(face + 4);
  if (!bytes.Has(face + 12, 16ull * count)) return false;
  for (uint16_t i = 0; i < count; ++i) {
    const uint64_t record = face + 12 + 16u * i;
    if (!bytes.Has(bytes.U32(record + 8), bytes.U32(record + 12))) return false;
  }
  struct Need {
    const char* tag;
    uint64_t minLength;
  };
  // Fixed parts of the tables read while the face is set up and measured.
  static const Need kNeeded[] = {{"cmap", 4}, {"head", 54}, {"hhea", 36}, {"hmtx", 4},
                                 {"loca", 2}, {"glyf", 0},  {"maxp", 6}};
  for (const Need& need : kNeeded) {
    Table table;
    if (!FindTable(bytes, face, need.tag, &table) || table.length < need.minLength) return false;
  }
  Table cmap;
  FindTable(bytes, face, "cmap", &cmap);
  return cmap.length >= 4 + 8ull * bytes.U16(cmap.offset + 2);
}

bool CheckFormat4(const FontBytes& bytes, uint64_t map) {
  if (!bytes.Has(map, 14)) return false;
  const uint32_t segCount = bytes.U16(map + 6) >> 1;
  if (segCount == 0) return false;
  // The lookup's binary search trusts these three fields; only their exact
  // values keep it inside the segment arrays.
  uint32_t range = 1;
  uint32_t selector = 0;
  while (range * 2 <= segCount) {
    range *= 2;
    ++selector;
  }
  if (bytes.U16(map + 8) != range * 2 || bytes.U16(map + 10) != selector ||
      bytes.U16(map + 12) != (segCount - range) * 2) {
    return false;
  }
  const uint64_t ends = map + 14;
  const uint64_t starts = ends + 2ull * segCount + 2;
  const uint64_t rangeOffsets = starts + 4ull * segCount;
  if (!bytes.Has(ends, 8ull * segCount + 2)) return false;
  for (uint32_t i = 0; i < segCount; ++i) {
    const uint16_t start = bytes.U16(starts + 2ull * i);
    const uint16_t last = bytes.U16(ends + 2ull * i);
    const uint16_t offset = bytes.U16(rangeOffsets + 2ull * i);
    if (offset == 0 || start > last) continue;
    if (!bytes.Has(rangeOffsets + 2ull * i + offset, 2ull * (last - start) + 2)) return false;
  }
  return true;
}

bool CheckCharacterMap(const FontBytes& bytes, uint64_t map) {
  if (!bytes.Has(map, 2)) return false;
  switch (bytes.U16(map)) {
    case 0:
      return bytes.Has(map, 6) && bytes.Has(map, bytes.U16(map + 2));
    case 4:
      return CheckFormat4(bytes, map);
    case 6:
      return bytes.Has(map, 10) && bytes.Has(map + 10, 2ull * bytes.U16(map + 8));
    case 12:
    case 13:
      return bytes.Has(map, 16) && bytes.Has(map + 16, 12ull * bytes.U32(map + 12));
    default:
      return false;
  }
}

bool CheckGlyphLocations(const FontBytes& bytes, const stbtt_fontinfo& info) {
  if (info.indexToLocFormat != 0 && info.indexToLocFormat != 1) return false;
  const uint64_t entry = info.indexToLocFormat == 0 ? 2 : 4;
  const uint64_t count = static_cast<uint64_t>(info.numGlyphs) + 1;
  if (!bytes.Has(static_cast<uint64_t>(info.loca), entry * count)) return false;
  for (uint64_t i = 0; i < count; ++i) {
    const uint64_t at = static_cast<uint64_t>(info.loca) + entry * i;
    const uint64_t offset = entry == 2 ? 2ull * bytes.U16(at) : bytes.U32(at);
    if (!bytes.Has(static_cast<uint64_t>(info.glyf) + offset, 0)) return false;
  }
  return true;
}

bool CheckHorizontalMetrics(const FontBytes& bytes, const stbtt_fontinfo& info) {
  const uint64_t longMetrics = bytes.U16(static_cast<uint64_t>(info.hhea) + 34);
  if (longMetrics == 0) return false;
  const uint64_t glyphs = static_cast<uint64_t>(info.numGlyphs);
  const uint64_t shortMetrics = glyphs > longMetrics ? glyphs - longMetrics : 0;
  return bytes.Has(static_cast<uint64_t>(info.hmtx), 4 * longMetrics + 2 * shortMetrics);
}

bool KernTableSound(const FontBytes& bytes, uint64_t kern) {
  if (!bytes.Has(kern, 4)) return false;
  if (bytes.U16(kern + 2) < 1) return true;
  if (!bytes.Has(kern, 12)) return false;
  if (bytes.U16(kern + 8) != 1) return true;
  return bytes.Has(kern + 18, 6ull * bytes.U16(kern + 10));
}

constexpr int64_t kDamaged = -2;

// Highest index a coverage table can give (-1 when it gives none), or
// kDamaged.
int64_t CoverageLimit(const FontBytes& bytes, uint64_t coverage) {
  if (!bytes.Has(coverage, 4)) return kDamaged;
  const uint16_t count = bytes.U16(coverage + 2);
  switch (bytes.U16(coverage)) {
    case 1:
      return bytes.Has(coverage + 4, 2ull * count) ? count - 1 : kDamaged;
    case 2: {
      if (!bytes.Has(coverage + 4, 6ull * count)) return kDamaged;
      int64_t limit = -1;
      for (uint16_t i = 0; i < count; ++i) {
        const uint64_t record = coverage + 4 + 6ull * i;
        const int64_t last =
            static_cast<int64_t>(bytes.U16(record + 4)) + bytes.U16(record + 2) - bytes.U16(record);
        if (last > limit) limit = last;
      }
      return limit;
    }
    default:
      return -1; // unknown formats cover nothing
  }
}

bool ClassDefSound(const FontBytes& bytes, uint64_t classDef) {
  if (!bytes.Has(classDef, 4)) return false;
  switch (bytes.U16(classDef)) {
    case 1:
      return bytes.Has(classDef, 6) && bytes.Has(classDef + 6, 2ull * bytes.U16(classDef + 4));
    case 2:
      return bytes.Has(classDef + 4, 6ull * bytes.U16(classDef + 2));
    default:
      return true; // unknown formats are not read
  }
}

bool PairSubtableSound(const FontBytes& bytes, uint64_t table) {
  if (!bytes.Has(table, 8)) return false;
  const int64_t coverageLimit = CoverageLimit(bytes, table + bytes.U16(table + 2));
  if (coverageLimit == kDamaged) return false;
  if (bytes.U16(table + 4) != 4 || bytes.U16(table + 6) != 0) return true;
  switch (bytes.U16(table)) {
    case 1: {
      if (!bytes.Has(table, 10)) return false;
      // The pair set at the coverage index, and its count, are read before
      // that index is compared with the number of sets.
      const uint64_t sets = static_cast<uint64_t>(coverageLimit + 1);
      if (!bytes.Has(table + 10, 2 * sets)) return false;
      const uint16_t setCount = bytes.U16(table + 8);
      for (uint64_t i = 0; i < sets; ++i) {
        const uint64_t set = table + bytes.U16(table + 10 + 2 * i);
        if (!bytes.Has(set, 2)) return false;
        if (i < setCount && !bytes.Has(set + 2, 4ull * bytes.U16(set))) return false;
      }
      return true;
    }
    case 2: {
      if (!bytes.Has(table, 16)) return false;
      if (!ClassDefSound(bytes, table + bytes.U16(table + 8)) ||
          !ClassDefSound(bytes, table + bytes.U16(table + 10))) {
        return false;
      }
      return bytes.Has(table + 16, 2ull * bytes.U16(table + 12) * bytes.U16(table + 14));
    }
    default:
      return true;
  }
}

bool PositioningTableSound(const FontBytes& bytes, uint64_t gpos) {
  if (!bytes.Has(gpos, 4)) return false;
  if (bytes.U16(gpos) != 1 || bytes.U16(gpos + 2) != 0) return true; // not read
  if (!bytes.Has(gpos, 10)) return false;
  const uint64_t lookups = gpos + bytes.U16(gpos + 8);
  if (!bytes.Has(lookups, 2)) return false;
  const uint16_t lookupCount = bytes.U16(lookups);
  if (!bytes.Has(lookups + 2, 2ull * lookupCount)) return false;
  for (uint16_t i = 0; i < lookupCount; ++i) {
    const uint64_t lookup = lookups + bytes.U16(lookups + 2 + 2ull * i);
    if (!bytes.Has(lookup, 6)) return false;
    if (bytes.U16(lookup) != 2) continue;
    const uint16_t subtables = bytes.U16(lookup + 4);
    if (!bytes.Has(lookup + 6, 2ull * subtables)) return false;
    for (uint16_t s = 0; s < subtables; ++s) {
      if (!PairSubtableSound(bytes, lookup + bytes.U16(lookup + 6 + 2ull * s))) return false;
    }
  }
  return true;
}

// Composite glyphs may nest and repeat; this bounds the work of one check.
constexpr int kMaxComponentDepth = 8;
constexpr int kMaxComponentVisits = 256;

bool GlyphRange(const FontBytes& bytes, const stbtt_fontinfo& info, int glyph, uint64_t* start,
                uint64_t* end) {
  const uint64_t loca = static_cast<uint64_t>(info.loca);
  const uint64_t glyf = static_cast<uint64_t>(info.glyf);
  const auto index = static_cast<uint64_t>(glyph);
  if (info.indexToLocFormat == 0) {
    *start = glyf + 2ull * bytes.U16(loca + 2 * index);
    *end = glyf + 2ull * bytes.U16(loca + 2 * index + 2);
  } else {
    *start = glyf + bytes.U32(loca + 4 * index);
    *end = glyf + bytes.U32(loca + 4 * index + 4);
  }
  return *start <= *end && bytes.Has(*start, *end - *start);
}

// Decodes one axis of a simple glyph's coordinates as the reader does (a
// running sum kept in 16 bits) and widens *extent to its largest magnitude.
uint64_t AxisExtent(const FontBytes& bytes, uint64_t p, const uint8_t* flagsOf, uint64_t points,
                    uint8_t shortBit, uint8_t sameBit, double* extent) {
  int32_t value = 0;
  for (uint64_t i = 0; i < points; ++i) {
    const uint8_t flags = flagsOf[i];
    if (flags & shortBit) {
      const int delta = bytes.U8(p++);
      value += (flags & sameBit) ? delta : -delta;
    } else if (!(flags & sameBit)) {
      value += bytes.I16(p);
      p += 2;
    }
    *extent = std::max(*extent, std::fabs(static_cast<double>(static_cast<int16_t>(value))));
  }
  return p;
}

bool SimpleGlyphSound(const FontBytes& bytes, uint64_t at, uint64_t end, int contours,
                      double* extent) {
  const uint64_t endPoints = at + 10;
  if (endPoints + 2ull * contours + 2 > end) return false;
  const uint64_t points = 1ull + bytes.U16(endPoints + 2ull * contours - 2);
  uint64_t p = endPoints + 2ull * contours + 2 + bytes.U16(endPoints + 2ull * contours);
  // Flags, with the same repeat rule as the reader, then the coordinate
  // bytes they announce.
  std::vector<uint8_t> flagsOf(points);
  uint64_t coordinateBytes = 0;
  uint8_t flags = 0;
  unsigned repeat = 0;
  for (uint64_t i = 0; i < points; ++i) {
    if (repeat == 0) {
      if (p >= end) return false;
      flags = bytes.U8(p++);
      if (flags & 8) {
        if (p >= end) return false;
        repeat = bytes.U8(p++);
      }
    } else {
      --repeat;
    }
    flagsOf[i] = flags;
    coordinateBytes += (flags & 2) ? 1 : ((flags & 16) ? 0 : 2);
    coordinateBytes += (flags & 4) ? 1 : ((flags & 32) ? 0 : 2);
  }
  if (p + coordinateBytes > end) return false;
  p = AxisExtent(bytes, p, flagsOf.data(), points, 2, 16, extent);
  AxisExtent(bytes, p, flagsOf.data(), points, 4, 32, extent);
  return true;
}

// The reader places a component by converting a float to a 16-bit
// coordinate; a transform that could leave that range would be undefined
// there, so such a component makes the glyph unsafe.
bool ComponentPlaced(const FontBytes& bytes, uint64_t p, uint16_t flags, double componentExtent,
                     double* extent) {
  double a = 1.0, b = 0.0, c = 0.0, d = 1.0;
  double e = 0.0, f = 0.0;
  if (flags & 1) {
    e = bytes.I16(p);
    f = bytes.I16(p + 2);
    p += 4;
  } else {
    e = static_cast<int8_t>(bytes.U8(p));
    f = static_cast<int8_t>(bytes.U8(p + 1));
    p += 2;
  }
  const auto f2dot14 = [&](uint64_t at) { return bytes.I16(at) / 16384.0; };
  if (flags & 8) {
    a = d = f2dot14(p);
  } else if (flags & 64) {
    a = f2dot14(p);
    d = f2dot14(p + 2);
  } else if (flags & 128) {
    a = f2dot14(p);
    b = f2dot14(p + 2);
    c = f2dot14(p + 4);
    d = f2dot14(p + 6);
  }
  const double m = std::sqrt(a * a + b * b);
  const double n = std::sqrt(c * c + d * d);
  const double x = m * ((std::fabs(a) + std::fabs(c)) * componentExtent + std::fabs(e));
  const double y = n * ((std::fabs(b) + std::fabs(d)) * componentExtent + std::fabs(f));
  const double largest = std::max(x, y);
  if (largest >= 32767.0) return false;
  *extent = std::max(*extent, std::ceil(largest));
  return true;
}

bool GlyphSound(const FontBytes& bytes, const stbtt_fontinfo& info, int glyph, int depth,
                int* visits, double* extent) {
  if (glyph < 0 || glyph >= info.numGlyphs || depth > kMaxComponentDepth ||
      ++*visits > kMaxComponentVisits) {
    return false;
  }
  uint64_t at = 0;
  uint64_t end = 0;
  if (!GlyphRange(bytes, info, glyph, &at, &end)) return false;
  if (at == end) return true; // no outline
  if (end - at < 10) return false;
  const int contours = bytes.I16(at);
  if (contours > 0) return SimpleGlyphSound(bytes, at, end, contours, extent);
  if (contours == 0) return true;
  uint64_t p = at + 10;
  for (;;) {
    if (p + 4 > end) return false;
    const uint16_t flags = bytes.U16(p);
    const int component = bytes.I16(p + 2);
    const uint64_t arguments = p + 4;
    p = arguments;
    // Components placed by matching points are not supported by the reader.
    if (!(flags & 2)) return false;
    p += (flags & 1) ? 4 : 2;
    if (flags & 8)
      p += 2;
    else if (flags & 64)
      p += 4;
    else if (flags & 128)
      p += 8;
    if (p > end) return false;
    double componentExtent = 0.0;
    if (!GlyphSound(bytes, info, component, depth + 1, visits, &componentExtent) ||
        !ComponentPlaced(bytes, arguments, flags, componentExtent, extent)) {
      return false;
    }
    if (!(flags & 32)) return true;
  }
}

} // namespace

int VgFontFaceOffset(const unsigned char* data, int size, int faceIndex) {
  if (!data || faceIndex < 0) return -1;
  const FontBytes bytes(data, size);
  if (!CheckCollectionHeader(bytes, faceIndex)) return -1;
  const int offset = stbtt_GetFontOffsetForIndex(data, faceIndex);
  if (offset < 0 || !CheckDirectory(bytes, static_cast<uint64_t>(offset))) return -1;
  return offset;
}

bool VgFontCheckTables(stbtt_fontinfo* info, int size) {
  const FontBytes bytes(info->data, size);
  if (!CheckCharacterMap(bytes, static_cast<uint64_t>(info->index_map)) ||
      !CheckGlyphLocations(bytes, *info) || !CheckHorizontalMetrics(bytes, *info)) {
    return false;
  }
  if (info->kern && !KernTableSound(bytes, static_cast<uint64_t>(info->kern))) info->kern = 0;
  if (info->gpos && !PositioningTableSound(bytes, static_cast<uint64_t>(info->gpos))) {
    info->gpos = 0;
  }
  return true;
}

bool VgFontGlyphSafe(const stbtt_fontinfo& info, int size, int glyph) {
  int visits = 0;
  double extent = 0.0;
  return GlyphSound(FontBytes(info.data, size), info, glyph, 0, &visits, &extent);
}

} // namespace plugkit::igraphics
