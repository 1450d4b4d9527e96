#include "framework/graphics/vg/vg_utf8.h"

#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace plugkit::igraphics {
namespace {

struct Decoded {
  std::vector<uint32_t> codepoints;
  bool rejected = false;
  bool pending = false; // ended inside a sequence
  size_t consumed = 0;  // bytes up to the last complete code point
};

Decoded DecodeAll(const std::string& bytes) {
  Decoded out;
  uint32_t state = kVgUtf8Accept;
  uint32_t codepoint = 0;
  for (size_t i = 0; i < bytes.size(); ++i) {
    VgUtf8Decode(&state, &codepoint, static_cast<uint8_t>(bytes[i]));
    if (state == kVgUtf8Reject) {
      out.rejected = true;
      break;
    }
    if (state == kVgUtf8Accept) {
      out.codepoints.push_back(codepoint);
      out.consumed = i + 1;
    }
  }
  out.pending = !out.rejected && state != kVgUtf8Accept;
  return out;
}

// Encodes independently of the decoder, by the rules of the encoding.
std::string Encode(uint32_t cp) {
  std::string s;
  if (cp < 0x80) {
    s += static_cast<char>(cp);
  } else if (cp < 0x800) {
    s += static_cast<char>(0xC0 | (cp >> 6));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    s += static_cast<char>(0xE0 | (cp >> 12));
    s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    s += static_cast<char>(0xF0 | (cp >> 18));
    s += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  }
  return s;
}

TEST(VgUtf8, EveryScalarValueRoundTrips) {
  for (uint32_t cp = 0; cp <= 0x10FFFF; cp += (cp < 0x3000 ? 1 : 61)) {
    if (cp >= 0xD800 && cp <= 0xDFFF) continue;
    const Decoded d = DecodeAll(Encode(cp) + "x");
    ASSERT_FALSE(d.rejected) << std::hex << cp;
    ASSERT_EQ(d.codepoints, (std::vector<uint32_t>{cp, 'x'})) << std::hex << cp;
  }
  EXPECT_EQ(DecodeAll(Encode(0x10FFFF)).codepoints, std::vector<uint32_t>{0x10FFFF});
}

TEST(VgUtf8, MalformedSequencesAreRejectedAndRejectIsFinal) {
  const struct {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"lone continuation", "\x80"},
      {"overlong two-byte", "\xC0\x80"},
      {"overlong C1", "\xC1\xBF"},
      {"overlong three-byte", "\xE0\x80\x80"},
      {"overlong four-byte", "\xF0\x8F\xBF\xBF"},
      {"surrogate", "\xED\xA0\x80"},
      {"above U+10FFFF", "\xF4\x90\x80\x80"},
      {"F5 lead", "\xF5\x80\x80\x80"},
      {"FF", "\xFF"},
      {"lead then ASCII",
       "\xC3"
       "A"},
      {"three-byte cut by lead", "\xE2\x82\xE2\x82\xAC"},
  };
  for (const auto& c : cases) {
    const Decoded d = DecodeAll("ab" + c.bytes + "cd");
    EXPECT_TRUE(d.rejected) << c.name;
    EXPECT_EQ(d.codepoints, (std::vector<uint32_t>{'a', 'b'})) << c.name;
  }
  uint32_t state = kVgUtf8Reject;
  uint32_t cp = 0;
  EXPECT_EQ(VgUtf8Decode(&state, &cp, 'a'), kVgUtf8Reject);
  state = 5; // not a state of the automaton
  EXPECT_EQ(VgUtf8Decode(&state, &cp, 'a'), kVgUtf8Reject);
}

TEST(VgUtf8, CutOffSequenceStaysPending) {
  const Decoded d = DecodeAll("a\xE2\x82");
  EXPECT_FALSE(d.rejected);
  EXPECT_TRUE(d.pending);
  EXPECT_EQ(d.codepoints, std::vector<uint32_t>{'a'});
}

TEST(VgUtf8, RandomBytesNeverYieldSurrogatesOrValuesAboveTheRange) {
  std::mt19937 random(99);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int round = 0; round < 2000; ++round) {
    std::string bytes;
    for (int i = 0; i < 12; ++i) bytes += static_cast<char>(byte(random));
    const Decoded d = DecodeAll(bytes);
    std::string reencoded;
    for (uint32_t cp : d.codepoints) {
      EXPECT_LE(cp, 0x10FFFFu);
      EXPECT_FALSE(cp >= 0xD800 && cp <= 0xDFFF);
      reencoded += Encode(cp);
    }
    // Only shortest forms are accepted: the bytes read are exactly the
    // canonical encoding of what was decoded.
    EXPECT_EQ(reencoded, bytes.substr(0, d.consumed));
  }
}

} // namespace
} // namespace plugkit::igraphics
