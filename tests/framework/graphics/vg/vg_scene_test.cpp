#include <EGL/egl.h>

#include <vector>

#include <fstream>
#include <iterator>
#include <string>

#include "framework/graphics/vg/vg_commands.h"
#include "framework/graphics/vg/vg_draw.h"
#include "framework/graphics/vg/vg_glyph_cache.h"
#include "framework/graphics/vg/vg_paint.h"
#include "framework/graphics/vg/vg_state.h"
#include "framework/graphics/vg/vg_text.h"
#include "framework/graphics/vg/vg_transform.h"
#include "tests/framework/graphics/vg/gl2_context_fixture.h"

namespace plugkit {
namespace {

using testsupport::Rgba;
using testsupport::RgbaImage;

constexpr float kPi = 3.14159265f;

void Polyline(VgContext* ctx, const std::vector<std::pair<float, float>>& points) {
  VgBeginPath(ctx);
  std::vector<float> commands;
  for (size_t i = 0; i < points.size(); ++i) {
    commands.push_back(static_cast<float>(i == 0 ? kVgMoveTo : kVgLineTo));
    commands.push_back(points[i].first);
    commands.push_back(points[i].second);
  }
  VgAppendCommands(ctx, commands.data(), static_cast<int32_t>(commands.size()));
}

class Gl2SceneTest : public Gl2ContextTest {
protected:
  // Roboto as the context's font 0.
  void LoadRoboto() {
    std::ifstream file(TARVEX_TEST_FONT, std::ios::binary);
    font_.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    ASSERT_FALSE(font_.empty());
    VgGetState(ctx_)->fontId = igraphics::VgAddFontFromMemory(
        ctx_->glyphCache, "roboto", font_.data(), static_cast<int>(font_.size()), 0, false);
    ASSERT_EQ(VgGetState(ctx_)->fontId, 0);
  }

  std::vector<unsigned char> font_;
};

TEST_F(Gl2SceneTest, AntialiasedEdgesCoverWhatTheShapeCovers) {
  // A rectangle's left edge inside column 10: the column shows as much
  // white as the shape covers of it.
  for (float covered : {0.25f, 0.5f, 0.75f}) {
    SCOPED_TRACE(covered);
    vgGl.Clear(GL_COLOR_BUFFER_BIT);
    BeginFrame();
    VgBeginPath(ctx_);
    VgRect(ctx_, 11.0f - covered, 8, 40, 40);
    VgFill(ctx_);
    const RgbaImage image = EndFrame();
    EXPECT_NEAR(image.At(10, 20).a, covered * 255, 8);
    EXPECT_EQ(image.At(11, 20).a, 255);
    EXPECT_EQ(image.At(9, 20).a, 0);
    EXPECT_EQ(image.At(20, 7).a, 0) << "an edge on a pixel border stays sharp";
    EXPECT_EQ(image.At(20, 8).a, 255);
  }
}

// Several shapes through the whole renderer, for the eye: a rounded card
// with a gradient, circles, strokes with each join and cap, and a shape
// with a hole.
TEST_F(Gl2SceneTest, MixedScene) {
  BeginFrame();
  VgBeginPath(ctx_);
  VgRect(ctx_, 0, 0, kWidth, kHeight);
  VgGetState(ctx_)->fill = VgFillColor(VgColor{0.12f, 0.13f, 0.16f, 1});
  VgFill(ctx_);

  VgBeginPath(ctx_);
  VgArc(ctx_, 34, 34, 24, 0, 2 * kPi, kVgCw);
  VgGetState(ctx_)->fill =
      VgRadialGradient(34, 34, 2, 24, VgColor{1, 0.9f, 0.3f, 1}, VgColor{0.9f, 0.3f, 0.1f, 1});
  VgFill(ctx_);
  VgGetState(ctx_)->stroke = VgFillColor(VgColor{1, 1, 1, 1});
  VgGetState(ctx_)->strokeWidth = 2;
  VgStroke(ctx_);

  const int32_t joins[3] = {kVgMiter, kVgRound, kVgBevel};
  const int32_t caps[3] = {kVgButt, kVgRound, kVgSquare};
  for (int i = 0; i < 3; ++i) {
    const float x = 70 + 18 * static_cast<float>(i);
    Polyline(ctx_, {{x, 50}, {x + 4, 22}, {x + 12, 50}});
    VgGetState(ctx_)->lineJoin = joins[i];
    VgGetState(ctx_)->lineCap = caps[i];
    VgGetState(ctx_)->strokeWidth = 5;
    VgGetState(ctx_)->stroke = VgFillColor(VgColor{0.4f, 0.8f, 1, 1});
    VgStroke(ctx_);
  }

  VgBeginPath(ctx_);
  VgRect(ctx_, 10, 70, 108, 48);
  const float moveTo[3] = {kVgMoveTo, 78, 94};
  VgAppendCommands(ctx_, moveTo, 3);
  VgArc(ctx_, 64, 94, 14, 0, 2 * kPi, kVgCw);
  VgPathWinding(ctx_, kVgHole);
  VgGetState(ctx_)->fill =
      VgLinearGradient(10, 70, 10, 118, VgColor{0.3f, 0.9f, 0.5f, 1}, VgColor{0.1f, 0.4f, 0.3f, 1});
  VgFill(ctx_);
  const RgbaImage image = EndFrame();
  Save(image, "vg-scene-mixed.png", 3);
  EXPECT_EQ(image.At(64, 94).g, 33) << "the hole shows the background";
  EXPECT_GT(image.At(20, 80).g, 200);
  EXPECT_GT(image.At(34, 34).r, 240);
}

TEST_F(Gl2SceneTest, TextInksOnlyItsOwnBox) {
  ASSERT_NO_FATAL_FAILURE(LoadRoboto());
  BeginFrame();
  VgBeginPath(ctx_);
  VgRect(ctx_, 0, 64, kWidth, 64);
  VgGetState(ctx_)->fill = VgFillColor(VgColor{0.1f, 0.1f, 0.2f, 1});
  VgFill(ctx_);
  VgGetState(ctx_)->fontId = 0;
  VgGetState(ctx_)->fontSize = 22;
  VgGetState(ctx_)->fill = VgFillColor(VgColor{1, 0.6f, 0.2f, 1});
  const float end = VgText(ctx_, 8, 40, "Tarvex -12", nullptr);
  VgGetState(ctx_)->fontSize = 11;
  VgGetState(ctx_)->fill = VgFillColor(VgColor{1, 1, 1, 1});
  VgText(ctx_, 4, 100, "The quick brown fox", nullptr);
  const RgbaImage image = EndFrame();
  Save(image, "vg-scene-text.png", 3);
  EXPECT_GT(end, 80.0f);
  int inked = 0;
  int right = 0;
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      if (image.At(x, y).a == 0) continue;
      ++inked;
      right = std::max(right, x);
      EXPECT_TRUE(y >= 18 && y <= 46 && x >= 8) << "ink at " << x << ", " << y;
    }
  }
  EXPECT_GT(inked, 200);
  EXPECT_NEAR(right, end, 3.0f);
}

// A mirroring transform turns the glyph quads over; they still face the
// viewer (back faces are culled).
TEST_F(Gl2SceneTest, MirroredTextDraws) {
  ASSERT_NO_FATAL_FAILURE(LoadRoboto());
  BeginFrame();
  VgGetState(ctx_)->fontSize = 22;
  float* xform = VgGetState(ctx_)->xform;
  VgTransformScale(xform, -1, 1); // left to right
  xform[4] = kWidth;
  VgText(ctx_, 8, 40, "Tarvex", nullptr);
  VgTransformScale(xform, 1, -1); // upside down
  xform[5] = kHeight;
  VgText(ctx_, 8, 40, "Tarvex", nullptr);
  const RgbaImage image = EndFrame();
  Save(image, "vg-scene-mirrored-text.png", 3);
  int top = 0;
  int bottom = 0;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) (y < kHeight / 2 ? top : bottom) += image.At(x, y).a > 0;
  EXPECT_GT(top, 200);
  EXPECT_GT(bottom, 200);
}

// A fill with coordinates far beyond what the rasteriser resolves exactly
// draws nonsense, but leaves nothing that changes the next frame's fills.
TEST_F(Gl2SceneTest, FarOutFillLeavesNothingForTheNextFrame) {
  const float far = 1e10f;
  BeginFrame();
  Polyline(ctx_, {{60, 60}, {far, 61}, {64, 64}, {far, 62}, {60, 70}, {-far, 80}, {-far, 81}});
  VgFill(ctx_);
  EndFrame();
  vgGl.Clear(GL_COLOR_BUFFER_BIT);
  BeginFrame();
  // An L along the left and bottom edges, covered through the stencil over
  // the whole window.
  Polyline(ctx_, {{0, 0}, {10, 0}, {10, 118}, {128, 118}, {128, 128}, {0, 128}});
  VgFill(ctx_);
  const RgbaImage image = EndFrame();
  int stray = 0;
  for (int y = 0; y < 117; ++y)
    for (int x = 11; x < kWidth; ++x) stray += image.At(x, y).a > 0;
  EXPECT_EQ(stray, 0);
}

// Frames whose text overflows the atlas once or twice, one after another:
// the only GL textures alive are the back end's dummy and the renderer's
// atlas images.
TEST_F(Gl2SceneTest, AtlasOverflowsFrameAfterFrameLeaveNoTextureBehind) {
  ASSERT_NO_FATAL_FAILURE(LoadRoboto());
  auto isTexture = reinterpret_cast<GLboolean (*)(GLuint)>(eglGetProcAddress("glIsTexture"));
  ASSERT_NE(isTexture, nullptr);
  const std::string letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  int stoppedBeforeSpares = 0;
  for (int frame = 0; frame < 8; ++frame) {
    SCOPED_TRACE(frame);
    BeginFrame();
    // Even frames use up every atlas, odd ones move on by one.
    const int texts = frame % 2 == 0 ? 3 : 1;
    for (int text = 0; text < texts; ++text) {
      VgGetState(ctx_)->fontSize = 400.0f + 10.0f * static_cast<float>(frame + text);
      VgText(ctx_, 0, 100, letters.c_str(), nullptr);
    }
    const int32_t next = ctx_->fontImageIdx + 1;
    if (next > 1 && next < kVgMaxFontAtlases && ctx_->fontImages[next] != 0) ++stoppedBeforeSpares;
    EndFrame();
    int atlases = 0;
    for (const int32_t image : ctx_->fontImages) atlases += image != 0 ? 1 : 0;
    int live = 0;
    for (GLuint name = 1; name < 256; ++name) live += isTexture(name) ? 1 : 0;
    EXPECT_EQ(live, 1 + atlases);
  }
  EXPECT_GT(stoppedBeforeSpares, 0) << "no frame ended with atlases to spare";
}

} // namespace
} // namespace plugkit
