#include "framework/core/utf8_stream_decoder.h"

#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace plugkit {
namespace {

struct Decoded {
  std::vector<uint32_t> codepoints;
  uint32_t state = kUtf8StreamAccept;
  size_t consumed = 0; // bytes up to the last complete code point
};

Decoded DecodeAll(const std::string& bytes) {
  Decoded out;
  uint32_t cp = 0;
  for (size_t i = 0; i < bytes.size() && out.state != kUtf8StreamReject; ++i) {
    if (Utf8StreamDecode(&out.state, &cp, static_cast<uint8_t>(bytes[i])) == kUtf8StreamAccept) {
      out.codepoints.push_back(cp);
      out.consumed = i + 1;
    }
  }
  return out;
}

// Encodes by the rules of the encoding, apart from the decoder.
std::string Encode(uint32_t cp) {
  const int n = cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4;
  static const unsigned char kLead[] = {0, 0, 0xC0, 0xE0, 0xF0};
  std::string s(static_cast<size_t>(n), '\0');
  for (int i = n - 1; i > 0; --i, cp >>= 6)
    s[static_cast<size_t>(i)] = static_cast<char>(0x80 | (cp & 0x3F));
  s[0] = static_cast<char>(kLead[n] | cp);
  return s;
}

TEST(Utf8StreamDecode, EveryScalarValueRoundTrips) {
  for (uint32_t cp = 0; cp <= 0x10FFFF; cp += (cp < 0x3000 ? 1 : 61)) {
    if (cp >= 0xD800 && cp <= 0xDFFF) continue;
    ASSERT_EQ(DecodeAll(Encode(cp) + "x").codepoints, (std::vector<uint32_t>{cp, 'x'})) << cp;
  }
  EXPECT_EQ(DecodeAll(Encode(0x10FFFF)).codepoints, std::vector<uint32_t>{0x10FFFF});
}

TEST(Utf8StreamDecode, MalformedSequencesRejectForGoodAndCutOnesStayOpen) {
  // Overlong forms, a surrogate, values above U+10FFFF, stray and cut
  // sequences.
  const std::string rejected[] = {"\x80",
                                  "\xC0\x80",
                                  "\xC1\xBF",
                                  "\xE0\x80\x80",
                                  "\xF0\x8F\xBF\xBF",
                                  "\xED\xA0\x80",
                                  "\xF4\x90\x80\x80",
                                  "\xF5\x80\x80\x80",
                                  "\xFF",
                                  "\xC3\x41",
                                  "\xE2\x82\xE2\x82\xAC"};
  for (const std::string& bad : rejected) {
    const Decoded d = DecodeAll("ab" + bad + "cd");
    EXPECT_EQ(d.state, kUtf8StreamReject) << testing::PrintToString(bad);
    EXPECT_EQ(d.codepoints, (std::vector<uint32_t>{'a', 'b'})) << testing::PrintToString(bad);
  }
  const Decoded cut = DecodeAll("a\xE2\x82");
  EXPECT_NE(cut.state, kUtf8StreamReject);
  EXPECT_NE(cut.state, kUtf8StreamAccept);
  uint32_t state = 5, cp = 0; // not a state of the automaton
  EXPECT_EQ(Utf8StreamDecode(&state, &cp, 'a'), kUtf8StreamReject);
}

TEST(Utf8StreamDecode, RandomBytesDecodeOnlyToShortestFormsOfScalarValues) {
  std::mt19937 random(99);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int round = 0; round < 2000; ++round) {
    std::string bytes;
    for (int i = 0; i < 12; ++i) bytes += static_cast<char>(byte(random));
    const Decoded d = DecodeAll(bytes);
    std::string reencoded;
    for (uint32_t cp : d.codepoints) {
      ASSERT_LE(cp, 0x10FFFFu);
      ASSERT_FALSE(cp >= 0xD800 && cp <= 0xDFFF);
      reencoded += Encode(cp);
    }
    ASSERT_EQ(reencoded, bytes.substr(0, d.consumed));
  }
}

} // namespace
} // namespace plugkit
