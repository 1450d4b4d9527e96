#include "tarvex/editor/editor_layout.h"
#include "tarvex/editor/editor_palette.h"
#include "tests/support/vg_graphics/headless_editor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

namespace tarvex::testing {
namespace {

using plugkit::igraphics::IRect;
using testsupport::Rgba;
using testsupport::RgbaImage;

bool Near(const Rgba& a, const Rgba& e, int tolerance) {
  return std::abs(a.r - e.r) <= tolerance && std::abs(a.g - e.g) <= tolerance &&
         std::abs(a.b - e.b) <= tolerance && a.a == 255;
}

std::string Text(const Rgba& c) {
  return "(" + std::to_string(c.r) + ", " + std::to_string(c.g) + ", " + std::to_string(c.b) +
         ", " + std::to_string(c.a) + ")";
}

// The backdrop's vertical gradient at editor height y.
Rgba Backdrop(float y) {
  const float t = y / static_cast<float>(kEditorHeight);
  auto mix = [t](int a, int b) {
    return static_cast<uint8_t>(std::lround(static_cast<float>(a) + (b - a) * t));
  };
  return {mix(30, 15), mix(42, 23), mix(46, 27), 255};
}

class EditorPixelsTest : public ::testing::TestWithParam<float> {};

// The default screen: one frame drawn at the draw scale, pictured in the
// build folder and checked where the layout fixes its colours.
TEST_P(EditorPixelsTest, DefaultScreen) {
  const float scale = GetParam();
  HeadlessEditor editor(scale, TARVEX_FONT_FOLDER);
  if (!editor.Open()) GTEST_SKIP() << "no headless OpenGL context";
  const RgbaImage image = editor.DrawFrame();
  const std::string name = "editor_" + std::to_string(static_cast<int>(scale * 10)) + ".png";
  EXPECT_TRUE(image.WritePng(std::string(TARVEX_PICTURE_FOLDER) + "/" + name));
  ASSERT_EQ(image.Width(), static_cast<int>(kEditorWidth * scale));
  ASSERT_EQ(image.Height(), static_cast<int>(kEditorHeight * scale));
  // The pixel under an editor position, and the editor position of a
  // pixel's centre.
  auto at = [&](float x, float y) {
    return image.At(static_cast<int>(x * scale), static_cast<int>(y * scale));
  };

  struct Spot {
    const char* what;
    float x, y;
    Rgba colour;
  };
  const Spot spots[] = {
      {"backdrop top", 680.f, 18.f, Backdrop(18.5f)},
      {"backdrop bottom", 600.f, 798.f, Backdrop(798.5f)},
      {"tile panel", 600.f, 508.f, {24, 34, 39, 255}},
      {"selected tile", 140.f, 405.f, {34, 63, 62, 255}},
      {"tile", 310.f, 405.f, {24, 34, 39, 255}},
      {"corner grip", 1178.f, 798.f, {53, 74, 80, 255}},
      {"beside the grip", 1150.f, 770.f, Backdrop(770.5f)},
  };
  for (const Spot& spot : spots)
    EXPECT_TRUE(Near(at(spot.x, spot.y), spot.colour, 2))
        << spot.what << ": " << Text(at(spot.x, spot.y)) << " expected " << Text(spot.colour);

  // The brand's ivory letters lie inside the box the back end measures for
  // them and fill most of its width.
  auto* graphics = static_cast<plugkit::igraphics::IGraphicsVG*>(editor.GetUI());
  const plugkit::igraphics::ITextStyle brand(23.f, kColorIvory, kEditorFontId,
                                             plugkit::igraphics::EAlign::Near);
  IRect measured(36.f, 0.f, 238.f, 42.f);
  graphics->MeasureText(brand, "BRASKELIN", measured);
  float left = 1e9f, top = 1e9f, right = -1e9f, bottom = -1e9f;
  for (int y = 0; y < static_cast<int>(46 * scale); ++y) {
    for (int x = static_cast<int>(28 * scale); x < static_cast<int>(300 * scale); ++x) {
      if (image.At(x, y).r < 140) continue;
      left = std::min(left, x / scale);
      right = std::max(right, (x + 1) / scale);
      top = std::min(top, y / scale);
      bottom = std::max(bottom, (y + 1) / scale);
    }
  }
  EXPECT_GE(left, measured.L - 1.f);
  EXPECT_LE(right, measured.R + 1.f);
  EXPECT_GE(top, measured.T - 1.f);
  EXPECT_LE(bottom, measured.B + 1.f);
  EXPECT_GT(right - left, 0.85f * measured.W());
  EXPECT_GT(bottom - top, 0.5f * measured.H());
}

INSTANTIATE_TEST_SUITE_P(Scales, EditorPixelsTest, ::testing::Values(1.f, 1.5f));

} // namespace
} // namespace tarvex::testing
