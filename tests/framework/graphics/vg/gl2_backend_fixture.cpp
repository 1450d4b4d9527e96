#include "tests/framework/graphics/vg/gl2_backend_fixture.h"

#include <cstdlib>

namespace plugkit {

HandPath Polygon(const std::vector<std::pair<float, float>>& points) {
  HandPath path;
  for (const auto& [x, y] : points) path.fill.push_back(VgVertex{x, y, 0.5f, 1.0f});
  return path;
}

HandPath Rectangle(float left, float top, float right, float bottom, bool hole) {
  if (hole) return Polygon({{left, top}, {right, top}, {right, bottom}, {left, bottom}});
  return Polygon({{left, top}, {left, bottom}, {right, bottom}, {right, top}});
}

VgColor Colour(float r, float g, float b, float a) { return VgColor{r, g, b, a}; }

::testing::AssertionResult PixelNear(const testsupport::RgbaImage& image, int x, int y,
                                     testsupport::Rgba expected, int tolerance) {
  const testsupport::Rgba actual = image.At(x, y);
  const int got[4] = {actual.r, actual.g, actual.b, actual.a};
  const int want[4] = {expected.r, expected.g, expected.b, expected.a};
  for (int i = 0; i < 4; ++i) {
    if (std::abs(got[i] - want[i]) > tolerance) {
      return ::testing::AssertionFailure()
             << "pixel (" << x << ", " << y << ") is (" << got[0] << ", " << got[1] << ", "
             << got[2] << ", " << got[3] << "), expected (" << want[0] << ", " << want[1] << ", "
             << want[2] << ", " << want[3] << ") within " << tolerance;
    }
  }
  return ::testing::AssertionSuccess();
}

void Gl2BackendTest::SetUp() {
  gl_ = std::make_unique<testsupport::HeadlessGlContext>(kSize, kSize);
  ASSERT_TRUE(gl_->Valid()) << "no headless OpenGL context";
  backend_ = new VgGl2Backend{};
  backend_->flags = kVgGl2Antialias;
  ASSERT_EQ(VgGl2RenderCreate(backend_), 1);
  VgGl2Viewport(backend_, kSize, kSize, 1.0f);
}

void Gl2BackendTest::TearDown() {
  VgGl2RenderDelete(backend_);
  gl_.reset();
}

void Gl2BackendTest::Fill(const VgPaint& paint, std::vector<HandPath> paths, const float bounds[4],
                          VgBlendState blend, const VgScissorState& scissor) {
  std::vector<VgPath> records;
  for (HandPath& path : paths) records.push_back(path.Path());
  VgGl2RenderFill(backend_, &paint, blend, &scissor, 1.0f, bounds, records.data(),
                  static_cast<int32_t>(records.size()));
}

void Gl2BackendTest::ConvexFill(const VgPaint& paint, HandPath path, VgBlendState blend,
                                const VgScissorState& scissor) {
  VgPath record = path.Path();
  record.convex = 1;
  const float noBounds[4] = {0.0f, 0.0f, 0.0f, 0.0f};
  VgGl2RenderFill(backend_, &paint, blend, &scissor, 1.0f, noBounds, &record, 1);
}

testsupport::RgbaImage Gl2BackendTest::Draw() {
  VgGl2Flush(backend_);
  EXPECT_EQ(vgGl.GetError(), static_cast<GLenum>(GL_NO_ERROR));
  return gl_->Read();
}

void Gl2BackendTest::Save(const testsupport::RgbaImage& image, const std::string& name) const {
  EXPECT_TRUE(image.Enlarged(4).WritePng(testsupport::PicturePath(name)));
}

} // namespace plugkit
