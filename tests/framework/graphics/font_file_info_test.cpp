#include "framework/graphics/font_file_info.h"

#include "framework/graphics/font_file_data.h"
#include "framework/graphics/platform_font.h"
#include "tests/framework/graphics/sfnt_builder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace plugkit::igraphics {
namespace {

// The bytes in a heap block of exactly their size, so that AddressSanitizer
// sees any read past the end.
std::unique_ptr<uint8_t[]> Exact(const std::vector<uint8_t>& bytes, size_t size) {
  auto copy = std::make_unique<uint8_t[]>(size);
  if (size > 0) std::memcpy(copy.get(), bytes.data(), size);
  return copy;
}

FontFileInfo ParseFace(const std::vector<uint8_t>& bytes, int face) {
  FontFileInfo info;
  info.Parse(bytes.data(), static_cast<int>(bytes.size()), face);
  return info;
}

SfntFace Styled(const char* style, uint16_t macStyle = 0) {
  SfntFace face;
  face.style = style;
  face.macStyle = macStyle;
  return face;
}

TEST(FontFileInfo, FaceIndexAndFileKinds) {
  const std::vector<uint8_t> single = BuildFace(SfntFace());
  const std::vector<uint8_t> collection = BuildCollection({Styled("Regular"), Styled("Bold")});
  auto retagged = [](std::vector<uint8_t> bytes, const char* tag) {
    std::copy(tag, tag + 4, bytes.begin());
    return bytes;
  };
  std::vector<uint8_t> version2 = collection;
  version2[5] = 2;
  std::vector<uint8_t> version3 = collection;
  version3[5] = 3;
  struct Case {
    const char* label;
    std::vector<uint8_t> bytes;
    int face;
    const char* style; // null: invalid
  };
  const Case cases[] = {
      {"single", single, 0, "Regular"},
      {"single, face 1", single, 1, nullptr},
      {"single, face -1", single, -1, nullptr},
      {"OTTO", retagged(single, "OTTO"), 0, "Regular"},
      {"typ1", retagged(single, "typ1"), 0, "Regular"},
      {"'1'", retagged(single, std::string("1\0\0\0", 4).c_str()), 0, "Regular"},
      {"true", retagged(single, "true"), 0, nullptr},
      {"collection 0", collection, 0, "Regular"},
      {"collection 1", collection, 1, "Bold"},
      {"collection 2", collection, 2, nullptr},
      {"collection version 2", version2, 1, "Bold"},
      {"collection version 3", version3, 0, nullptr},
      {"four bytes", std::vector<uint8_t>(single.begin(), single.begin() + 4), 0, nullptr},
  };
  for (const Case& c : cases) {
    const FontFileInfo info = ParseFace(c.bytes, c.face);
    EXPECT_EQ(info.IsValid(), c.style != nullptr) << c.label;
    if (c.style) {
      EXPECT_EQ(info.style, c.style) << c.label;
    }
  }
  FontFileInfo none;
  none.Parse(nullptr, 100, 0);
  EXPECT_FALSE(none.IsValid());
  EXPECT_EQ(none.GetNameString(1), "");
}

TEST(FontFileInfo, NameStrings) {
  struct Case {
    const char* label;
    std::vector<SfntName> names;
    std::string expected;
  };
  const std::u16string pair = u"A\U0001F600";
  const std::u16string loneHigh{u'x', static_cast<char16_t>(0xD83D)};
  const Case cases[] = {
      {"windows", {{3, 1, 0x409, 4, Utf16BigEndian(u"Caf\u00E9")}}, "Caf\xC3\xA9"},
      {"surrogate pair", {{3, 1, 0x409, 4, Utf16BigEndian(pair)}}, "A\xF0\x9F\x98\x80"},
      {"unpaired surrogate kept", {{3, 1, 0x409, 4, Utf16BigEndian(loneHigh)}}, "x\xED\xA0\xBD"},
      {"odd length", {{3, 1, 0x409, 4, {0, 'a', 0}}}, "a"},
      {"mac fallback for empty windows record",
       {{3, 1, 0x409, 4, {}}, {1, 0, 0, 4, {'M', 'a', 'c'}}},
       "Mac"},
      {"other language skipped", {{3, 1, 0x407, 4, Utf16BigEndian(u"de")}}, ""},
      {"none", {}, ""},
  };
  for (const Case& c : cases) {
    SfntFace face;
    face.extraNames = c.names;
    const std::vector<uint8_t> bytes = BuildFace(face);
    const FontFileInfo info = ParseFace(bytes, 0);
    ASSERT_TRUE(info.IsValid()) << c.label;
    EXPECT_EQ(info.GetNameString(4), c.expected) << c.label;
  }
}

// Damaged headers: each must parse without reading outside the bytes, and
// give a valid face only when what it reads is whole.
TEST(FontFileInfo, DamagedHeadersNeverReadOutside) {
  const std::vector<uint8_t> collection = BuildCollection({Styled("Regular"), Styled("Bold")});
  const std::vector<uint8_t> single = BuildFace(SfntFace());
  auto damaged = [](std::vector<uint8_t> bytes, size_t at, std::vector<uint8_t> with) {
    std::copy(with.begin(), with.end(), bytes.begin() + static_cast<long>(at));
    return bytes;
  };
  const size_t firstRecord = 12;         // "head" record of a single face
  const size_t nameRecord = 12 + 2 * 16; // "name" record of a single face
  struct Case {
    const char* label;
    std::vector<uint8_t> bytes;
    int face;
    bool valid;
  };
  const Case cases[] = {
      {"face offset beyond the end", damaged(collection, 12, {0xFF, 0xFF, 0xFF, 0x00}), 0, false},
      {"face offset just short of the end",
       damaged(collection, 12,
               {0, 0, static_cast<uint8_t>((collection.size() - 4) >> 8),
                static_cast<uint8_t>(collection.size() - 4)}),
       0, false},
      {"face count beyond the directory", damaged(collection, 8, {0x40, 0, 0, 0}), 0x3FFFFFFF,
       false},
      {"table count far beyond the bytes", damaged(single, 4, {0xFF, 0xFF}), 0, true},
      {"table offset beyond the end", damaged(single, firstRecord + 8, {0x7F, 0xFF, 0xFF, 0xF0}), 0,
       false},
      {"table length beyond the end", damaged(single, firstRecord + 12, {0x7F, 0, 0, 0}), 0, false},
      {"offset plus length wraps",
       damaged(single, firstRecord + 8, {0xFF, 0xFF, 0xFF, 0xF0, 0, 0, 0, 0x40}), 0, false},
      {"head too short", damaged(single, firstRecord + 12, {0, 0, 0, 20}), 0, false},
      {"name storage beyond the table", damaged(single, nameRecord + 12, {0, 0, 0, 6}), 0, true},
  };
  for (const Case& c : cases) {
    const auto exact = Exact(c.bytes, c.bytes.size());
    FontFileInfo info;
    info.Parse(exact.get(), static_cast<int>(c.bytes.size()), c.face);
    EXPECT_EQ(info.IsValid(), c.valid) << c.label;
    info.GetNameString(1);
    info.GetNameString(2);
  }
}

// Every cut of a collection: a face is valid exactly when everything read
// of it lies inside the cut.
TEST(FontFileInfo, EveryTruncationOfACollection) {
  const std::vector<uint8_t> collection = BuildCollection({Styled("Regular"), Styled("Bold")});
  for (size_t size = 0; size <= collection.size(); ++size) {
    const auto exact = Exact(collection, size);
    for (int face = 0; face < 3; ++face) {
      FontFileInfo info;
      info.Parse(exact.get(), static_cast<int>(size), face);
      bool expected = false;
      if (face < 2 && size >= 16 + 4 * static_cast<size_t>(face)) {
        const uint32_t offset =
            face == 0 ? collection[15] | collection[14] << 8 : collection[19] | collection[18] << 8;
        expected = size >= NeededEnd(collection, offset);
      }
      EXPECT_EQ(info.IsValid(), expected) << "size " << size << " face " << face;
      if (info.IsValid()) {
        EXPECT_EQ(info.style, face == 0 ? "Regular" : "Bold");
      }
    }
  }
}

// Random damage anywhere in a collection never makes the parser read outside.
TEST(FontFileInfo, RandomDamageNeverReadsOutside) {
  const std::vector<uint8_t> collection = BuildCollection({Styled("Regular"), Styled("Bold")});
  std::mt19937 random(20261209);
  std::uniform_int_distribution<size_t> position(0, collection.size() - 1);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int round = 0; round < 3000; ++round) {
    std::vector<uint8_t> bytes = collection;
    for (int k = 0; k < 1 + round % 8; ++k)
      bytes[position(random)] = static_cast<uint8_t>(byte(random));
    const size_t size = round % 3 == 0 ? position(random) : bytes.size();
    const auto exact = Exact(bytes, size);
    FontFileData data;
    if (uint8_t* copy = data.ResizeBytes(static_cast<int>(size)))
      std::copy(exact.get(), exact.get() + size, copy);
    data.SelectFace(round % 2 ? "Bold" : "");
    for (int face = 0; face < 3; ++face) {
      FontFileInfo info;
      info.Parse(exact.get(), static_cast<int>(size), face);
      if (!info.IsValid()) continue;
      EXPECT_LE(info.headOffset + 46u, size);
      EXPECT_LE(info.hheaOffset + 10u, size);
    }
  }
}

TEST(FontFileData, FaceChoiceByStyleName) {
  const std::vector<uint8_t> collection = BuildCollection({Styled("Regular"), Styled("Bold")});
  const std::vector<uint8_t> unnamedFirst = BuildCollection({Styled(""), Styled("Italic")});
  const std::vector<uint8_t> single = BuildFace(Styled("Regular"));
  struct Case {
    const char* label;
    const std::vector<uint8_t>& bytes;
    const char* style;
    int expected;
    const char* chosenStyle;
  };
  const Case cases[] = {
      {"bold of two", collection, "Bold", 1, "Bold"},
      {"any of two", collection, "", 0, "Regular"},
      {"missing style", collection, "Italic", -1, ""},
      {"first face without a style name", unnamedFirst, "", 1, "Italic"},
      {"single face, other style", single, "Bold", -1, ""},
      {"single face, its style", single, "Regular", 0, "Regular"},
  };
  for (const Case& c : cases) {
    FontFileData data;
    uint8_t* bytes = data.ResizeBytes(static_cast<int>(c.bytes.size()));
    ASSERT_NE(bytes, nullptr);
    std::copy(c.bytes.begin(), c.bytes.end(), bytes);
    data.SelectFace(c.style);
    EXPECT_EQ(data.FaceIndex(), c.expected) << c.label;
    EXPECT_EQ(data.IsUsable(), c.expected >= 0) << c.label;
    EXPECT_EQ(data.Info().style, c.chosenStyle) << c.label;
  }
  const PlatformFont base;
  EXPECT_EQ(base.GetHandle(), nullptr);
  const FontFileDataPtr empty = base.GetFontData();
  ASSERT_TRUE(empty);
  EXPECT_EQ(empty->FaceIndex(), -1);
  EXPECT_FALSE(empty->IsUsable());
}

TEST(FontFileInfo, ParsesRoboto) {
#if defined(_WIN32)
  const std::string path = std::string("Z:") + TARVEX_TEST_FONT;
#else
  const std::string path = TARVEX_TEST_FONT;
#endif
  std::vector<uint8_t> bytes;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    uint8_t chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
      bytes.insert(bytes.end(), chunk, chunk + n);
    std::fclose(f);
  }
  ASSERT_GT(bytes.size(), 1000u);
  const FontFileInfo info = ParseFace(bytes, 0);
  ASSERT_TRUE(info.IsValid());
  EXPECT_EQ(info.family, "Roboto");
  EXPECT_EQ(info.style, "Regular");
  EXPECT_EQ(info.unitsPerEm, 2048);
  EXPECT_EQ(info.macStyle, 0);
  EXPECT_EQ(info.ascender, 1900);
  EXPECT_EQ(info.descender, -500);
  EXPECT_EQ(info.lineGap, 0);
  EXPECT_EQ(info.faceData, bytes.data());
  EXPECT_NE(info.FindTable("glyf"), 0u);
  EXPECT_EQ(info.FindTable("zzzz"), 0u);
}

} // namespace
} // namespace plugkit::igraphics
