#include "tests/framework/graphics/vg/igraphics_vg_fixture.h"

#include <cstdlib>

namespace plugkit::igraphics::testing {

bool IGraphicsVGTest::Open(float scale, bool backingLayer) {
  // One headless context at a time: the one before goes first.
  g_.reset();
  g_ = std::make_unique<HeadlessGraphicsVG>(delegate_, kWidth, kHeight, scale);
  if (!g_->GlValid()) return false;
  if (backingLayer) {
    EXPECT_TRUE(g_->Open());
  } else {
    EXPECT_NE(g_->InitDrawContext(), nullptr);
  }
  EXPECT_TRUE(g_->LoadFont("Roboto-Regular", TARVEX_TEST_FONT));
  return true;
}

testsupport::RgbaImage IGraphicsVGTest::DrawScene(const SceneControl::DrawFunction& draw) {
  g_->RemoveAllControls();
  g_->AttachControl(new SceneControl(IRect(0.f, 0.f, kWidth, kHeight), draw));
  g_->SetAllControlsDirty();
  EXPECT_TRUE(g_->DrawDirty());
  EXPECT_EQ(vgGl.GetError(), static_cast<GLenum>(GL_NO_ERROR));
  return g_->ReadWindow();
}

void IGraphicsVGTest::Save(const testsupport::RgbaImage& image, const std::string& name) const {
  EXPECT_TRUE(image.WritePng(testsupport::PicturePath(name)));
}

::testing::AssertionResult Near(const testsupport::Rgba& a, const testsupport::Rgba& e,
                                int tolerance) {
  const int d[4] = {a.r - e.r, a.g - e.g, a.b - e.b, a.a - e.a};
  for (int v : d) {
    if (std::abs(v) > tolerance)
      return ::testing::AssertionFailure()
             << "got (" << int(a.r) << ", " << int(a.g) << ", " << int(a.b) << ", " << int(a.a)
             << "), expected (" << int(e.r) << ", " << int(e.g) << ", " << int(e.b) << ", "
             << int(e.a) << ")";
  }
  return ::testing::AssertionSuccess();
}

} // namespace plugkit::igraphics::testing
