#include "tests/framework/graphics/vg/igraphics_vg_fixture.h"

#include "framework/graphics/vg/vg_image.h"

#include <vector>

namespace plugkit::igraphics::testing {
namespace {

using testsupport::Rgba;

const IColor kWhite(255, 255, 255, 255);
const IColor kBlue(255, 0, 0, 255);
const IColor kRed(255, 255, 0, 0);

void DrawLayer(IGraphics& g, const ILayerPtr& layer) {
  g.DrawBitmap(IBitmap(layer->GetAPIBitmap(), 1, false, ""), layer->Bounds(), 0, 0);
}

int32_t ImageWidth(IGraphicsVG& g, int32_t image) {
  int32_t w = 0;
  int32_t h = 0;
  VgImageSize(static_cast<VgContext*>(g.GetDrawContext()), image, &w, &h);
  return w;
}

TEST_F(IGraphicsVGTest, LayerIsReadBackBottomRowFirstAndDrawnOnTheWindow) {
  if (!Open()) GTEST_SKIP() << "no headless OpenGL context";
  HeapBuffer pixels(4096);
  const testsupport::RgbaImage image = DrawScene([&](IGraphics& g) {
    g.FillRect(kWhite, IRect(0.f, 0.f, 200.f, 120.f));
    g.BeginLayer(nullptr, IRect(10.f, 10.f, 110.f, 60.f));
    g.FillRect(kBlue, IRect(10.f, 10.f, 110.f, 60.f));
    g.FillRect(kRed, IRect(10.f, 50.f, 20.f, 60.f));
    ILayerPtr layer = g.FinishLayer();
    g.GetLayerBitmapData(layer, pixels);
    DrawLayer(g, layer);
  });
  Save(image, "igraphics_vg_layer.png");
  ASSERT_EQ(pixels.Size(), 100 * 50 * 4);
  const uint8_t* p = pixels.Data();
  EXPECT_TRUE(Near({p[0], p[1], p[2], p[3]}, {255, 0, 0, 255}));
  const int topLeft = 49 * 100 * 4;
  EXPECT_TRUE(Near({p[topLeft], p[topLeft + 1], p[topLeft + 2], p[topLeft + 3]}, {0, 0, 255, 255}));
  EXPECT_TRUE(Near(image.At(15, 55), {255, 0, 0, 255}));
  EXPECT_TRUE(Near(image.At(60, 20), {0, 0, 255, 255}));
  EXPECT_TRUE(Near(image.At(150, 100), {255, 255, 255, 255}));
}

TEST_F(IGraphicsVGTest, LayerReleasedDuringFrameKeepsItsImageUntilTheFrameEnds) {
  if (!Open()) GTEST_SKIP() << "no headless OpenGL context";
  int32_t image = 0;
  int32_t widthInFrame = 0;
  DrawScene([&](IGraphics& g) {
    g.BeginLayer(nullptr, IRect(0.f, 0.f, 40.f, 30.f));
    ILayerPtr layer = g.FinishLayer();
    image = layer->GetAPIBitmap()->GetHandle();
    DrawLayer(g, layer);
    layer.reset();
    widthInFrame = ImageWidth(*g_, image);
  });
  EXPECT_EQ(widthInFrame, 40);
  EXPECT_EQ(ImageWidth(*g_, image), 0);

  std::unique_ptr<APIBitmap> outside = g_->CreateAPIBitmap(16, 8, 1.f, 1.0);
  ASSERT_NE(outside, nullptr);
  image = outside->GetHandle();
  EXPECT_EQ(ImageWidth(*g_, image), 16);
  outside.reset();
  EXPECT_EQ(ImageWidth(*g_, image), 0);
}

// A bar along the top of a layer casts its shadow just below itself, and
// nowhere near the layer's bottom.
TEST_F(IGraphicsVGTest, DropShadowFallsBelowAndRightOfTheShape) {
  if (!Open(1.5f)) GTEST_SKIP() << "no headless OpenGL context";
  const IRect bounds(20.f, 20.f, 120.f, 100.f);
  const testsupport::RgbaImage image = DrawScene([&](IGraphics& g) {
    g.FillRect(kWhite, IRect(0.f, 0.f, 200.f, 120.f));
    g.BeginLayer(nullptr, bounds);
    g.FillRect(kBlue, IRect(30.f, 30.f, 100.f, 45.f));
    ILayerPtr layer = g.FinishLayer();
    IShadow shadow;
    shadow.blurSize = 2.f;
    shadow.xOffset = 8.f;
    shadow.yOffset = 8.f;
    g.ApplyLayerDropShadow(layer, shadow);
    DrawLayer(g, layer);
  });
  Save(image, "igraphics_vg_shadow.png");
  auto at = [&](float x, float y) {
    return image.At(static_cast<int>(x * 1.5f), static_cast<int>(y * 1.5f));
  };
  EXPECT_TRUE(Near(at(60.f, 37.f), {0, 0, 255, 255}));
  EXPECT_LT(at(70.f, 49.f).r, 80);
  EXPECT_LT(at(104.f, 40.f).r, 80);
  EXPECT_TRUE(Near(at(70.f, 95.f), {255, 255, 255, 255}));
  EXPECT_TRUE(Near(at(25.f, 30.f), {255, 255, 255, 255}));
}

// Rows of column x that a red bar on white covers more than half. The
// cases keep the bars' edges off half pixels, where the two ways of
// drawing may round apart.
std::vector<int> RedRows(const testsupport::RgbaImage& image, int x) {
  std::vector<int> rows;
  for (int y = 0; y < image.Height(); ++y)
    if (image.At(x, y).g < 128) rows.push_back(y);
  return rows;
}

// A bar drawn through a layer lands on the device pixels it covers when
// drawn directly, whatever fraction the layer's bounds and the scale leave.
TEST_F(IGraphicsVGTest, BarThroughALayerCoversTheRowsItCoversDirectly) {
  struct Case {
    float scale;
    float layerTop;
    float layerBottom;
    float barTop;
    float barBottom;
  };
  const Case cases[] = {
      {1.5f, 60.5f, 66.5f, 60.5f, 62.5f}, {1.5f, 10.f, 18.25f, 12.f, 15.2f},
      {1.25f, 33.3f, 41.5f, 35.f, 38.2f}, {1.75f, 20.2f, 27.25f, 21.1f, 24.f},
      {1.f, 40.5f, 48.f, 41.f, 44.75f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "scale " << c.scale << ", layer top " << c.layerTop);
    if (!Open(c.scale)) GTEST_SKIP() << "no headless OpenGL context";
    const testsupport::RgbaImage image = DrawScene([&](IGraphics& g) {
      g.FillRect(kWhite, IRect(0.f, 0.f, 200.f, 120.f));
      g.FillRect(kRed, IRect(10.f, c.barTop, 50.f, c.barBottom));
      g.BeginLayer(nullptr, IRect(100.5f, c.layerTop, 160.5f, c.layerBottom));
      g.FillRect(kRed, IRect(110.f, c.barTop, 150.f, c.barBottom));
      ILayerPtr layer = g.FinishLayer();
      DrawLayer(g, layer);
    });
    const std::vector<int> direct = RedRows(image, static_cast<int>(30.f * c.scale));
    EXPECT_FALSE(direct.empty());
    EXPECT_EQ(RedRows(image, static_cast<int>(130.f * c.scale)), direct);
  }
}

} // namespace
} // namespace plugkit::igraphics::testing
