#include "tests/support/graphics/recording_graphics.h"
#include "tests/support/graphics/test_delegate.h"

#include <gtest/gtest.h>

#include <map>

namespace plugkit::igraphics {
namespace {

using testing::RecordingBitmap;
using testing::RecordingGraphics;
using testing::TestDelegate;

// Counts its draws and notes the clip each one had.
class CountingControl : public IControl {
public:
  explicit CountingControl(const IRect& r) : IControl(r) {}
  void Draw(IGraphics&) override { ++draws; }
  int draws = 0;
};

struct Frame {
  TestDelegate delegate;
  RecordingGraphics g{delegate, 200, 200};

  CountingControl* Add(const IRect& r) {
    auto* c = new CountingControl(r);
    g.AttachControl(c);
    return c;
  }
  void Tick() {
    IRectList rects;
    if (g.IsDirty(rects)) {
      g.ClearAllControlsDirty();
      g.Draw(rects);
    }
  }
};

TEST(FrameLoop, NothingDirtyDrawsNothing) {
  Frame f;
  f.Add({0, 0, 10, 10});
  f.g.ClearAllControlsDirty();
  IRectList rects;
  EXPECT_FALSE(f.g.IsDirty(rects));
  EXPECT_EQ(rects.Size(), 0);
  f.g.Draw(rects);
  EXPECT_TRUE(f.g.Calls().empty());
}

TEST(FrameLoop, DirtyAreasAreGrownAndAlignedToDevicePixels) {
  struct Case {
    float screen, draw;
    float left, right; // device pixels of the clip
  } cases[] = {{1, 1, 9, 21}, {1.25f, 1, 11, 26}, {1, 1.5f, 13, 32}, {1, 2, 18, 42}};
  for (const Case& c : cases) {
    Frame f;
    f.g.SetScales(c.screen, c.draw);
    auto* control = f.Add({10, 10, 20, 20});
    IRectList rects;
    ASSERT_TRUE(f.g.IsDirty(rects));
    ASSERT_EQ(rects.Size(), 1);
    EXPECT_EQ(rects.Get(0), IRect(9.25f, 9.25f, 20.75f, 20.75f));
    f.g.Draw(rects);
    EXPECT_EQ(control->draws, 1);
    const auto clips = f.g.CallsNamed({"SetClipRegion"});
    ASSERT_EQ(clips.size(), 1u);
    const float s = c.screen * c.draw;
    EXPECT_FLOAT_EQ(clips[0].rect.L * s, c.left);
    EXPECT_FLOAT_EQ(clips[0].rect.T * s, c.left);
    EXPECT_FLOAT_EQ(clips[0].rect.R * s, c.right);
    EXPECT_FLOAT_EQ(clips[0].rect.B * s, c.right);
    const auto names = f.g.OpNames();
    EXPECT_EQ(names.front(), "BeginFrame");
    EXPECT_EQ(names.back(), "EndFrame");
  }
}

TEST(FrameLoop, ControlsAreDrawnClippedOncePerArea) {
  Frame f;
  auto* wide = f.Add({0, 0, 100, 10});
  auto* left = f.Add({0, 0, 10, 10});
  auto* right = f.Add({90, 0, 100, 10});
  auto* below = f.Add({0, 50, 10, 60});
  f.Tick();
  f.g.ClearCalls();
  wide->draws = left->draws = right->draws = below->draws = 0;

  left->SetDirty(false);
  right->SetDirty(false);
  f.Tick();
  EXPECT_EQ(wide->draws, 2);
  EXPECT_EQ(left->draws, 1);
  EXPECT_EQ(right->draws, 1);
  EXPECT_EQ(below->draws, 0);
  std::map<float, int> clipsByLeft;
  for (const auto& call : f.g.CallsNamed({"SetClipRegion"})) {
    EXPECT_TRUE(call.rect.R <= 11.f || call.rect.L >= 89.f);
    ++clipsByLeft[call.rect.L];
  }
  EXPECT_EQ(clipsByLeft.size(), 2u);
}

TEST(FrameLoop, HiddenControlsExceptTheBackgroundAreSkipped) {
  Frame f;
  auto* background = f.Add({0, 0, 200, 200});
  auto* hidden = f.Add({10, 10, 20, 20});
  background->Hide(true);
  hidden->Hide(true);
  f.Tick();
  EXPECT_EQ(background->draws, 1);
  EXPECT_EQ(hidden->draws, 0);
}

TEST(FrameLoop, AControlWithAnEmptyRectangleDrawsNothing) {
  // As a closed text entry: its dirty area still touches the origin.
  for (const float scale : {1.f, 1.5f, 2.f}) {
    Frame f;
    f.g.SetScales(1, scale);
    auto* background = f.Add({0, 0, 200, 200});
    auto* empty = f.Add(IRect());
    f.Tick();
    EXPECT_EQ(background->draws, 1) << scale;
    EXPECT_EQ(empty->draws, 0) << scale;
  }
}

TEST(FrameLoop, ParentsClipTheirChildren) {
  Frame f;
  auto* parent = f.Add({0, 0, 50, 50});
  auto* child = f.Add({40, 40, 80, 80});
  auto* outside = f.Add({100, 100, 120, 120});
  child->SetParent(parent);
  outside->SetParent(parent);
  f.g.ClearAllControlsDirty();
  child->SetDirty(false);
  IRectList rects;
  ASSERT_TRUE(f.g.IsDirty(rects));
  // Moved back inside the grown parent, one unit clear of its right and
  // bottom edges, keeping its size where it fits.
  EXPECT_EQ(rects.Get(0), IRect(8.25f, 8.25f, 49.75f, 49.75f));
  f.g.ClearAllControlsDirty();
  outside->SetDirty(false);
  rects.Clear();
  f.g.IsDirty(rects);
  f.g.Draw(rects);
  EXPECT_EQ(outside->draws, 0);
}

TEST(Layers, BoundsPixelSizeAndTheClipStack) {
  Frame f;
  f.g.SetScales(2.f, 1.f);
  auto* owner = f.Add({1, 2, 3, 4});
  f.g.BeginLayer(owner, {0.3f, 0.3f, 10.2f, 5.1f});
  const auto created = f.g.CallsNamed({"CreateAPIBitmap"});
  ASSERT_EQ(created.size(), 1u);
  EXPECT_EQ(created[0].args, (std::vector<float>{22, 12, 2, 1}));
  EXPECT_EQ(f.g.LayerDepth(), 1);
  EXPECT_EQ(f.g.CallsNamed({"SetClipRegion"}).back().rect, IRect(0, 0, 10.5f, 5.5f));

  f.g.PathTransformTranslate(5, 5);
  f.g.PathClipRegion({2, 2, 30, 3});
  EXPECT_EQ(f.g.CallsNamed({"SetClipRegion"}).back().rect, IRect(2, 2, 10.5f, 3));
  EXPECT_EQ(f.g.CallsNamed({"SetClipRegion"}).back().transform, ITransform());
  EXPECT_EQ(f.g.GetTransform(), ITransform().Translate(5, 5));

  ILayerPtr layer = f.g.FinishLayer();
  ASSERT_TRUE(layer);
  EXPECT_EQ(layer->Bounds(), IRect(0, 0, 10.5f, 5.5f));
  EXPECT_EQ(layer->GetControl(), owner);
  EXPECT_EQ(layer->GetControlRect(), IRect(1, 2, 3, 4));
  EXPECT_EQ(f.g.LayerDepth(), 0);
  EXPECT_EQ(f.g.GetTransform(), ITransform());

  f.g.ClearCalls();
  EXPECT_EQ(f.g.PopLayer(), nullptr);
  EXPECT_EQ(f.g.OpNames(),
            (std::vector<std::string>{"UpdateLayer", "SetTransformMatrix", "SetTransformMatrix",
                                      "SetClipRegion", "SetTransformMatrix", "PathClear"}));
  layer.reset();
  f.g.RemoveAllControls();
  EXPECT_EQ(RecordingBitmap::Live(), 0);
}

TEST(Layers, DropShadowBlursOnlyTheAlpha) {
  Frame f;
  f.g.BeginLayer(nullptr, {0, 0, 11, 11});
  ILayerPtr layer = f.g.FinishLayer();
  auto* bitmap = static_cast<RecordingBitmap*>(layer->GetAPIBitmap());
  auto alphaAt = [](const std::vector<uint8_t>& px, int x, int y) {
    return px[static_cast<size_t>((y * 11 + x) * 4 + 3)];
  };
  bitmap->pixels[static_cast<size_t>((5 * 11 + 5) * 4 + 3)] = 255;
  bitmap->pixels[static_cast<size_t>((2 * 11 + 7) * 4 + 3)] = 40;
  bitmap->pixels[0] = 77; // a colour byte

  IShadow sharp;
  sharp.blurSize = 0.f;
  f.g.ApplyLayerDropShadow(layer, sharp);
  EXPECT_EQ(f.g.LastShadowMask(), bitmap->pixels);

  bitmap->pixels[static_cast<size_t>((2 * 11 + 7) * 4 + 3)] = 0;
  IShadow soft;
  soft.blurSize = 2.f;
  f.g.ApplyLayerDropShadow(layer, soft);
  const auto& mask = f.g.LastShadowMask();
  ASSERT_EQ(mask.size(), bitmap->pixels.size());
  // Kernel 255, 155, 35 over 635 in each direction: 255 -> 102 -> 40.
  EXPECT_EQ(alphaAt(mask, 5, 5), 40);
  EXPECT_EQ(alphaAt(mask, 5, 3), 5);
  EXPECT_EQ(alphaAt(mask, 5, 2), 0);
  EXPECT_EQ(alphaAt(mask, 0, 0), 0);
  EXPECT_EQ(mask[0], 77);
  for (int y = 0; y < 11; ++y) {
    for (int x = 0; x < 11; ++x) {
      EXPECT_EQ(alphaAt(mask, x, y), alphaAt(mask, y, x));
      EXPECT_EQ(alphaAt(mask, x, y), alphaAt(mask, 10 - x, y));
    }
  }
}

} // namespace
} // namespace plugkit::igraphics
