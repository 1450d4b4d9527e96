#include "framework/graphics/vg/vg_context.h"
#include "framework/graphics/vg/vg_gl2_backend.h"
#include "tests/framework/graphics/vg/igraphics_vg_fixture.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

namespace plugkit::igraphics::testing {
namespace {

using testsupport::Rgba;

const IColor kWhite(255, 255, 255, 255);
const IColor kRed(255, 255, 0, 0);
const Rgba kWhitePixel{255, 255, 255, 255};

// Everything a control may ask of the back end, layers and shadows included.
void DrawEverything(IGraphics& g) {
  g.FillRect(kRed, IRect(10.f, 10.f, 50.f, 50.f));
  g.DrawText(ITextStyle(), "text", IRect(0.f, 0.f, 100.f, 20.f));
  g.DrawMultiLineText(ITextStyle(), "more text", IRect(0.f, 0.f, 100.f, 20.f));
  g.DrawDottedRect(kRed, IRect(60.f, 10.f, 90.f, 40.f));
  g.DrawFastDropShadow(IRect(10.f, 60.f, 40.f, 90.f), IRect(0.f, 50.f, 50.f, 100.f));
  g.BeginLayer(nullptr, IRect(100.f, 10.f, 150.f, 60.f));
  g.FillCircle(kRed, 125.f, 35.f, 20.f);
  ILayerPtr layer = g.FinishLayer();
  HeapBuffer pixels(4096);
  g.GetLayerBitmapData(layer, pixels);
  g.ApplyLayerDropShadow(layer, IShadow());
  if (layer) g.DrawBitmap(IBitmap(layer->GetAPIBitmap(), 1, false, ""), layer->Bounds(), 0, 0);
}

TEST_F(IGraphicsVGTest, WithoutDrawContextEveryCallDrawsNothingAndReturns) {
  g_ = std::make_unique<HeadlessGraphicsVG>(delegate_, kWidth, kHeight);
  // Nothing made: as after a shader that failed to compile.
  EXPECT_FALSE(g_->LoadFont("Roboto-Regular", TARVEX_TEST_FONT));
  g_->RecreateBackingLayer();
  EXPECT_EQ(g_->GetBackingLayer(), nullptr);
  g_->AttachControl(new SceneControl(IRect(0.f, 0.f, kWidth, kHeight), DrawEverything));
  EXPECT_TRUE(g_->DrawDirty());
  EXPECT_EQ(g_->CreateAPIBitmap(10, 10, 1.f, 1.0), nullptr);
  EXPECT_FALSE(g_->LoadBitmap("missing.png").IsValid());
  IRect r(0.f, 0.f, 50.f, 20.f);
  EXPECT_EQ(g_->MeasureText(ITextStyle(), "text", r), 0.f);
}

// A layer too large for any framebuffer has no bitmap; drawing into it,
// reading it and shadowing it do nothing, and the frame still reaches the
// window.
TEST_F(IGraphicsVGTest, LayerWithoutFramebufferIsSkipped) {
  if (!Open()) GTEST_SKIP() << "no headless OpenGL context";
  HeapBuffer pixels(4096);
  const testsupport::RgbaImage image = DrawScene([&](IGraphics& g) {
    g.FillRect(kWhite, IRect(0.f, 0.f, 200.f, 120.f));
    g.BeginLayer(nullptr, IRect(0.f, 0.f, 100000.f, 10.f));
    g.FillRect(kRed, IRect(0.f, 0.f, 100.f, 10.f));
    ILayerPtr layer = g.FinishLayer();
    EXPECT_EQ(layer->GetAPIBitmap(), nullptr);
    g.GetLayerBitmapData(layer, pixels);
    g.ApplyLayerDropShadow(layer, IShadow());
    while (vgGl.GetError() != GL_NO_ERROR) {
    }
    g.FillRect(kRed, IRect(150.f, 80.f, 190.f, 110.f));
  });
  EXPECT_EQ(pixels.Size(), 0);
  EXPECT_TRUE(Near(image.At(170, 95), {255, 0, 0, 255}));
  EXPECT_TRUE(Near(image.At(50, 60), kWhitePixel));
}

TEST_F(IGraphicsVGTest, FrameWithoutBackingLayerIsDrawnStraightIntoTheWindow) {
  if (!Open(1.f, false)) GTEST_SKIP() << "no headless OpenGL context";
  EXPECT_EQ(g_->GetBackingLayer(), nullptr);
  const testsupport::RgbaImage image = DrawScene([](IGraphics& g) {
    g.FillRect(kWhite, IRect(0.f, 0.f, 200.f, 120.f));
    DrawEverything(g);
  });
  EXPECT_TRUE(Near(image.At(30, 30), {255, 0, 0, 255}));
  EXPECT_TRUE(Near(image.At(190, 110), kWhitePixel));
}

TEST_F(IGraphicsVGTest, EmptyPathsAndDegenerateDashesDrawNothing) {
  if (!Open()) GTEST_SKIP() << "no headless OpenGL context";
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const testsupport::RgbaImage image = DrawScene([&](IGraphics& g) {
    g.FillRect(kWhite, IRect(0.f, 0.f, 200.f, 120.f));
    g.PathClear();
    g.PathFill(IPattern(kRed));
    g.PathStroke(IPattern(kRed), 3.f);
    g.PathFill(IPattern::CreateLinearGradient(0.f, 0.f, 0.f, 10.f, {{kRed, 0.f}, {kRed, 1.f}}));
    for (const float dash : {0.f, -2.f, nan, inf}) {
      g.DrawDottedLine(kRed, 10.f, 10.f, 190.f, 110.f, nullptr, 2.f, dash);
      g.DrawDottedRect(kRed, IRect(10.f, 10.f, 190.f, 110.f), nullptr, 2.f, dash);
    }
    g.DrawDottedLine(kRed, 10.f, 115.f, 190.f, 115.f, nullptr, 2.f, 4.f);
  });
  int red = 0;
  for (int y = 0; y < 112; ++y)
    for (int x = 0; x < image.Width(); ++x) red += image.At(x, y).g < 200 ? 1 : 0;
  EXPECT_EQ(red, 0);
  int dashes = 0;
  for (int x = 1; x < image.Width(); ++x)
    dashes += image.At(x, 115).g < 100 && image.At(x - 1, 115).g >= 100 ? 1 : 0;
  EXPECT_NEAR(dashes, 22, 2);
}

// Shapes wholly outside the clip are skipped before tessellation; a stroke
// whose centre line lies outside but whose width or joins reach in is not.
TEST_F(IGraphicsVGTest, ShapesReachingIntoTheClipAreDrawn) {
  if (!Open()) GTEST_SKIP() << "no headless OpenGL context";
  const testsupport::RgbaImage image = DrawScene([](IGraphics& g) {
    g.FillRect(kWhite, IRect(0.f, 0.f, 200.f, 120.f));
    g.PathClipRegion(IRect(50.f, 50.f, 150.f, 100.f));
    g.DrawLine(kRed, 60.f, 44.f, 90.f, 44.f, nullptr, 20.f);
    const float x[] = {100.f, 120.f, 140.f};
    const float y[] = {20.f, 46.f, 20.f};
    g.PathMoveTo(x[0], y[0]);
    g.PathLineTo(x[1], y[1]);
    g.PathLineTo(x[2], y[2]);
    IStrokeOptions miter;
    miter.miterLimit = 10.f;
    g.PathStroke(IPattern(kRed), 8.f, miter);
    g.FillRect(kRed, IRect(0.f, 0.f, 40.f, 40.f));
  });
  EXPECT_TRUE(Near(image.At(80, 52), {255, 0, 0, 255}));
  // The miter's tip, a few pixels wide there.
  EXPECT_LT(image.At(120, 51).g, 128);
  EXPECT_TRUE(Near(image.At(80, 48), kWhitePixel));
  EXPECT_TRUE(Near(image.At(20, 20), kWhitePixel));
}

TEST_F(IGraphicsVGTest, PaintOfASingularTransformIsFinite) {
  if (!Open()) GTEST_SKIP() << "no headless OpenGL context";
  IPattern linear =
      IPattern::CreateLinearGradient(0.f, 0.f, 10.f, 0.f, {{kRed, 0.f}, {kWhite, 1.f}});
  IPattern radial(EPatternType::Radial);
  radial.AddStop(kRed, 0.2f);
  radial.AddStop(kWhite, 1.f);
  for (IPattern pattern : {linear, radial}) {
    for (const ITransform& t : {ITransform(0, 0, 0, 0, 5, 5), ITransform(1, 2, 2, 4, 0, 0)}) {
      pattern.transform = t;
      const VgPaint paint = g_->MakePaint(pattern, nullptr);
      for (float v : paint.xform) EXPECT_TRUE(std::isfinite(v));
      EXPECT_TRUE(std::isfinite(paint.extent[0]) && std::isfinite(paint.extent[1]));
      EXPECT_TRUE(std::isfinite(paint.radius));
      EXPECT_EQ(paint.feather, 1.f);
      if (pattern.type == EPatternType::Linear) {
        EXPECT_EQ(paint.xform[2], 0.f);
        EXPECT_EQ(paint.xform[3], 1.f);
      }
    }
  }
}

// A layer read outside a frame leaves the backing layer alone, so later
// frames redraw only their dirty control over the first frame's pixels.
TEST_F(IGraphicsVGTest, BackingLayerKeepsPixelsAcrossFramesAndReadsBetweenThem) {
  if (!Open()) GTEST_SKIP() << "no headless OpenGL context";
  auto* small = new SceneControl(IRect(150.f, 80.f, 190.f, 110.f), [](IGraphics& g) {
    g.FillRect(kRed, IRect(150.f, 80.f, 190.f, 110.f));
  });
  g_->AttachControl(new SceneControl(IRect(0.f, 0.f, kWidth, kHeight), [](IGraphics& g) {
    g.FillRect(kWhite, IRect(0.f, 0.f, 200.f, 120.f));
  }));
  g_->AttachControl(small);
  EXPECT_TRUE(g_->DrawDirty());

  auto layer = std::make_unique<ILayer>(g_->CreateAPIBitmap(20, 20, 1.f, 1.0),
                                        IRect(0.f, 0.f, 20.f, 20.f), nullptr, IRect());
  HeapBuffer pixels(4096);
  g_->GetLayerBitmapData(layer, pixels);
  EXPECT_EQ(pixels.Size(), 20 * 20 * 4);

  for (int frame = 0; frame < 2; ++frame) {
    small->SetDirty(false);
    EXPECT_TRUE(g_->DrawDirty());
  }
  const testsupport::RgbaImage image = g_->ReadWindow();
  EXPECT_TRUE(Near(image.At(20, 20), kWhitePixel));
  EXPECT_TRUE(Near(image.At(170, 95), {255, 0, 0, 255}));
}

TEST_F(IGraphicsVGTest, BitmapExtensionsAndDecodedDataAreShared) {
  if (!Open()) GTEST_SKIP() << "no headless OpenGL context";
  struct Ext {
    const char* text;
    bool supported;
  };
  const Ext exts[] = {
      {"png", true},   {"PNG", true},    {"JpEg", true},
      {"xpngx", true}, {"gif", false},   {"svg", false},
      {"", false},     {nullptr, false}, {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaapng", false}};
  for (const Ext& ext : exts) EXPECT_EQ(g_->BitmapExtSupported(ext.text), ext.supported);

  testsupport::RgbaImage tiny(3, 2);
  const std::string path = testsupport::PicturePath("igraphics_vg_tiny.png");
  ASSERT_TRUE(tiny.WritePng(path));
  std::ifstream file(path, std::ios::binary);
  const std::vector<char> bytes((std::istreambuf_iterator<char>(file)),
                                std::istreambuf_iterator<char>());
  const IBitmap first =
      g_->LoadBitmapFromData("tiny.png", bytes.data(), static_cast<int>(bytes.size()));
  const IBitmap second =
      g_->LoadBitmapFromData("tiny.png", bytes.data(), static_cast<int>(bytes.size()));
  ASSERT_TRUE(first.IsValid());
  EXPECT_EQ(first.W(), 3);
  EXPECT_EQ(first.GetAPIBitmap()->GetHandle(), second.GetAPIBitmap()->GetHandle());
}

// Bytes that do not decode give the invalid bitmap and leave no cache
// entry: the same name with good bytes behind it loads afterwards.
TEST_F(IGraphicsVGTest, UndecodableImageIsInvalidAndNotCached) {
  if (!Open()) GTEST_SKIP() << "no headless OpenGL context";
  testsupport::RgbaImage tiny(3, 2);
  const std::string goodPath = testsupport::PicturePath("igraphics_vg_good.png");
  ASSERT_TRUE(tiny.WritePng(goodPath));
  std::ifstream file(goodPath, std::ios::binary);
  const std::string good((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  const std::string broken = "not an image at all";
  const std::string brokenPath = testsupport::PicturePath("igraphics_vg_broken.png");

  struct Loader {
    const char* what;
    std::function<IBitmap(const std::string& bytes)> load;
  };
  const Loader loaders[] = {
      {"file",
       [&](const std::string& bytes) {
         std::ofstream(brokenPath, std::ios::binary | std::ios::trunc) << bytes;
         return g_->LoadBitmap(brokenPath.c_str());
       }},
      {"data",
       [&](const std::string& bytes) {
         return g_->LoadBitmapFromData("broken.png", bytes.data(), static_cast<int>(bytes.size()));
       }},
  };
  for (const Loader& loader : loaders) {
    SCOPED_TRACE(loader.what);
    const IBitmap failed = loader.load(broken);
    EXPECT_FALSE(failed.IsValid());
    EXPECT_EQ(failed.GetAPIBitmap(), nullptr);
    const IBitmap loaded = loader.load(good);
    ASSERT_TRUE(loaded.IsValid());
    EXPECT_EQ(loaded.W(), 3);
    EXPECT_EQ(loaded.H(), 2);
  }
}

// Loading an image again takes the cached one, also at a scale it has no
// file for, so the renderer keeps no new texture.
TEST_F(IGraphicsVGTest, LoadingAnImageAgainKeepsNoNewTexture) {
  if (!Open()) GTEST_SKIP() << "no headless OpenGL context";
  const auto& textures =
      static_cast<VgGl2Backend*>(static_cast<VgContext*>(g_->GetDrawContext())->callbacks.user)
          ->textures;
  auto liveTextures = [&] {
    return std::count_if(&textures[0], &textures[0] + textures.Count(),
                         [](const VgGl2Texture& texture) { return texture.id != 0; });
  };
  const std::string path = testsupport::PicturePath("igraphics_vg_reloaded.png");
  ASSERT_TRUE(testsupport::RgbaImage(3, 2).WritePng(path));
  std::ifstream file(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  const std::function<IBitmap()> loads[] = {
      [&] { return g_->LoadBitmap(path.c_str(), 1, false, 2); },
      [&] {
        return g_->LoadBitmapFromData("reloaded.png", bytes.data(), static_cast<int>(bytes.size()),
                                      1, false, 2);
      },
  };
  for (const auto& load : loads) {
    ASSERT_TRUE(load().IsValid());
    const auto live = liveTextures();
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(load().IsValid());
    EXPECT_EQ(liveTextures(), live);
  }
}

// An image larger than the GPU's textures is refused rather than drawn black.
TEST_F(IGraphicsVGTest, ImageBeyondTheTextureLimitIsInvalid) {
  if (!Open()) GTEST_SKIP() << "no headless OpenGL context";
  GLint maxSize = 0;
  vgGl.GetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
  const std::string path = testsupport::PicturePath("igraphics_vg_too_wide.png");
  ASSERT_TRUE(testsupport::RgbaImage(maxSize + 1, 1).WritePng(path));
  EXPECT_FALSE(g_->LoadBitmap(path.c_str()).IsValid());
  EXPECT_EQ(vgGl.GetError(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace
} // namespace plugkit::igraphics::testing
