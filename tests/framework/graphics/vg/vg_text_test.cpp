#include "framework/graphics/vg/vg_text.h"
#include "framework/graphics/vg/vg_glyph_cache.h"
#include "framework/graphics/vg/vg_paint.h"
#include "framework/graphics/vg/vg_text_layout.h"
#include "framework/graphics/vg/vg_transform.h"
#include "tests/framework/graphics/vg/vg_fixture.h"
#include "tests/framework/graphics/vg/vg_test_font.h"

#include <cstring>
#include <string>

namespace plugkit::testing {
namespace {

class VgTextTest : public VgFixture {
protected:
  void SetUp() override {
    VgFixture::SetUp();
    const auto& bytes = igraphics::test::RobotoBytes();
    ASSERT_FALSE(bytes.empty());
    VgGetState(ctx)->fontId = igraphics::VgAddFontFromMemory(
        ctx->glyphCache, "roboto", bytes.data(), static_cast<int>(bytes.size()), 0, false);
    ASSERT_EQ(VgGetState(ctx)->fontId, 0);
  }
  std::vector<std::string> Rows(const char* text, float width, int maxRows = 16) {
    std::vector<VgTextRow> rows(maxRows);
    const int n = VgTextBreakLines(ctx, text, nullptr, width, rows.data(), maxRows);
    std::vector<std::string> out;
    for (int i = 0; i < n; ++i) {
      out.emplace_back(rows[i].start, rows[i].end);
      EXPECT_LE(rows[i].width, width + 1e-3f) << out.back();
      EXPECT_LE(rows[i].maxx, rows[i].width + 2.0f);
    }
    return out;
  }
  float Width(const char* text) {
    VgTextRow row;
    EXPECT_EQ(VgTextBreakLines(ctx, text, nullptr, 1e6f, &row, 1), 1);
    return row.width;
  }
  // Every glyph quad: two front-facing triangles sharing a diagonal, whose
  // texture rectangle holds rasterised pixels in the atlas.
  void ExpectQuads(const RecordedCall& call) {
    ASSERT_EQ(call.kind, RecordedCall::Kind::Triangles);
    ASSERT_EQ(call.triangles.size() % 6, 0u);
    const RecordedTexture& atlas = backend.textures.at(call.paint.image);
    for (size_t i = 0; i < call.triangles.size(); i += 6) {
      const VgVertex* v = &call.triangles[i];
      EXPECT_LT(TriangleArea(v[0], v[1], v[2]), 0.0f);
      EXPECT_LT(TriangleArea(v[3], v[4], v[5]), 0.0f);
      int lit = 0;
      for (float t = v[0].v; t < v[1].v; t += 1.0f / atlas.height)
        for (float s = v[0].u; s < v[1].u; s += 1.0f / atlas.width)
          lit += atlas.pixels[static_cast<size_t>(t * atlas.height) * atlas.width +
                              static_cast<size_t>(s * atlas.width)] != 0;
      EXPECT_GT(lit, 0) << "quad " << i / 6;
    }
  }
};

TEST_F(VgTextTest, TextIsOneTriangleListOfGlyphQuadsFromTheAtlas) {
  VgGetState(ctx)->fill = VgFillColor(VgColor{0, 1, 0, 1});
  VgGetState(ctx)->alpha = 0.5f;
  const float after = VgText(ctx, 10, 50, "Hello", nullptr);
  const RecordedCall& call = OnlyCall();
  EXPECT_EQ(call.triangles.size(), 30u);
  EXPECT_EQ(call.paint.image, ctx->fontImages[0]);
  EXPECT_EQ(call.paint.innerColor.g, 1.0f);
  EXPECT_EQ(call.paint.innerColor.a, 0.5f);
  ExpectQuads(call);
  // Left to right on the baseline; the pen ends one text width further on.
  for (size_t i = 6; i < 30; i += 6) EXPECT_GT(call.triangles[i].x, call.triangles[i - 6].x);
  EXPECT_LT(call.triangles[0].y, 50.0f);
  EXPECT_NEAR(after, 10 + Width("Hello"), 0.5f);
}

TEST_F(VgTextTest, TransformScalesTheQuadsNotTheAdvance) {
  const float after1 = VgText(ctx, 0, 0, "Wide", nullptr);
  const float w1 = backend.queued[0].triangles.back().x - backend.queued[0].triangles[0].x;
  VgTransformScale(VgGetState(ctx)->xform, 2, 2);
  const float after2 = VgText(ctx, 0, 0, "Wide", nullptr);
  const float w2 = backend.queued[1].triangles.back().x - backend.queued[1].triangles[0].x;
  EXPECT_NEAR(w2, 2 * w1, 2.0f);
  EXPECT_NEAR(after2, after1, 0.5f);
}

TEST_F(VgTextTest, NothingDrawableDrawsNothingAndReturnsTheStart) {
  struct Case {
    int font;
    float scale;
    const char* text;
  };
  const Case cases[] = {{-1, 1, "abc"}, {7, 1, "abc"}, {0, 1, ""}, {0, 0, "abc"}, {0, 1, nullptr}};
  for (const Case& c : cases) {
    VgGetState(ctx)->fontId = c.font;
    VgTransformScale(VgGetState(ctx)->xform, c.scale, c.scale);
    EXPECT_EQ(VgText(ctx, 3, 4, c.text, nullptr), 3.0f);
    VgTextRow row;
    EXPECT_EQ(VgTextBreakLines(ctx, c.text, nullptr, 100, &row, 1), 0);
  }
  VgGetState(ctx)->fontId = 0;
  VgTransformScale(VgGetState(ctx)->xform, 1, 1);
  EXPECT_TRUE(std::isnan(VgText(ctx, std::nanf(""), 4, "abc", nullptr)));
  EXPECT_EQ(VgText(ctx, 3, std::nanf(""), "abc", nullptr), 3.0f);
  EXPECT_TRUE(backend.queued.empty());
}

TEST_F(VgTextTest, FontScaleIsRoundedAndLimited) {
  const float cases[][2] = {{1, 1}, {1.234f, 1.23f}, {2.5f, 2.5f}, {5, 4}, {0.004f, 0}};
  for (const auto& c : cases) {
    VgTransformScale(VgGetState(ctx)->xform, c[0], c[0]);
    EXPECT_NEAR(VgFontScale(*VgGetState(ctx)), c[1], 1e-6f);
  }
}

TEST_F(VgTextTest, BreakLinesAtSpacesNewlinesAndWithinLongWords) {
  // Wider than any one letter, narrower than two with a space.
  const float letter = Width("m") * 1.1f;
  using Lines = std::vector<std::string>;
  EXPECT_EQ(Rows(" a b ", letter), (Lines{"a", "b"}));
  EXPECT_EQ(Rows("one\r\ntwo", 1000), (Lines{"one", "two"}));
  EXPECT_EQ(Rows("one\n\n  two\n", 1000), (Lines{"one", "", "two"}));
  EXPECT_EQ(Rows("mmmm", Width("mm") + 0.5f), (Lines{"mm", "mm"}));
  EXPECT_EQ(Rows("ab cd ef", Width("ab cd") + 0.5f), (Lines{"ab cd", "ef"}));
  // Each CJK character may start a row.
  EXPECT_EQ(Rows("\xe4\xb8\x80\xe4\xba\x8c\xe4\xb8\x89", Width("\xe4\xb8\x80") * 1.5f).size(), 3u);
}

TEST_F(VgTextTest, BreakLinesStopsAtMaxRowsAndContinues) {
  const char* text = "a b c";
  VgTextRow rows[2];
  const float letter = Width("m") * 1.1f;
  ASSERT_EQ(VgTextBreakLines(ctx, text, nullptr, letter, rows, 2), 2);
  EXPECT_EQ(std::string(rows[1].start, rows[1].end), "b");
  ASSERT_EQ(VgTextBreakLines(ctx, rows[1].next, nullptr, letter, rows, 2), 1);
  EXPECT_EQ(std::string(rows[0].start, rows[0].end), "c");
  EXPECT_EQ(*rows[0].next, '\0');
}

TEST_F(VgTextTest, FullAtlasMovesToLargerImagesAndEndFrameKeepsTheLargest) {
  VgGetState(ctx)->fontSize = 250;
  const std::string letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  VgText(ctx, 0, 200, letters.c_str(), nullptr);
  ASSERT_GT(ctx->fontImageIdx, 0);
  size_t quads = 0;
  for (const RecordedCall& call : backend.queued) {
    ExpectQuads(call);
    quads += call.triangles.size() / 6;
  }
  EXPECT_EQ(quads, letters.size()); // every glyph drawn, from one atlas or another
  const int32_t newest = ctx->fontImages[ctx->fontImageIdx];
  const RecordedTexture& largest = backend.textures.at(newest);
  EXPECT_GT(largest.width * largest.height, 512 * 512);
  VgEndFrame(ctx);
  EXPECT_EQ(ctx->fontImageIdx, 0);
  EXPECT_EQ(ctx->fontImages[0], newest);
  for (int i = 1; i < kVgMaxFontAtlases; ++i) EXPECT_EQ(ctx->fontImages[i], 0);
  EXPECT_EQ(backend.textures.size(), 1u); // the smaller atlases were deleted
}

TEST_F(VgTextTest, GlyphTooBigForTheNextAtlasGoesToTheOneAfter) {
  VgGetState(ctx)->fontSize = 900; // W needs 1024 x 1024, M then 2048 x 1024
  VgText(ctx, 0, 800, "WM", nullptr);
  size_t quads = 0;
  for (const RecordedCall& call : backend.queued) {
    ExpectQuads(call);
    quads += call.triangles.size() / 6;
  }
  EXPECT_EQ(quads, 2u);
}

TEST_F(VgTextTest, WhenAllAtlasesAreFullTextStopsAtTheFirstGlyphThatDoesNotFit) {
  VgGetState(ctx)->fontSize = 600;
  const char* text = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  const float after = VgText(ctx, 0, 700, text, nullptr);
  EXPECT_EQ(ctx->fontImageIdx, kVgMaxFontAtlases - 1);
  size_t quads = 0;
  for (const RecordedCall& call : backend.queued) quads += call.triangles.size() / 6;
  EXPECT_GT(quads, 0u);
  EXPECT_LT(quads, std::strlen(text));
  EXPECT_GT(after, 0.0f);
  EXPECT_LT(after, 700.0f * std::strlen(text));
}

TEST_F(VgTextTest, WithoutRoomForANewAtlasImageTextStopsOnTheCurrentOne) {
  backend.refuseTextures = true;
  VgGetState(ctx)->fontSize = 250;
  VgText(ctx, 0, 200, "ABCDEFGHIJKLMNOPQRSTUVWXYZ", nullptr);
  EXPECT_EQ(ctx->fontImageIdx, 0);
  ASSERT_FALSE(backend.queued.empty());
  for (const RecordedCall& call : backend.queued) EXPECT_EQ(call.paint.image, ctx->fontImages[0]);
}

TEST_F(VgTextTest, GlyphLargerThanAnyAtlasIsSkippedWithoutUsingUpAtlases) {
  VgGetState(ctx)->fontSize = 3000; // "(" is then taller than 2048 pixels
  VgText(ctx, 0, 0, "(", nullptr);
  EXPECT_EQ(ctx->fontImageIdx, 0);
  EXPECT_TRUE(backend.queued.empty());
}

} // namespace
} // namespace plugkit::testing
