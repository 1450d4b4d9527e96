#include "tests/framework/graphics/vg/gl2_context_fixture.h"

#include <new>

#include "framework/graphics/vg/vg_gl2_backend.h"

namespace plugkit {

void Gl2ContextTest::SetUp() {
  gl_ = std::make_unique<testsupport::HeadlessGlContext>(kWidth, kHeight);
  ASSERT_TRUE(gl_->Valid()) << "no headless OpenGL context";
  auto* backend = new (std::nothrow) VgGl2Backend{};
  ASSERT_NE(backend, nullptr);
  backend->flags = kVgGl2Antialias;
  ctx_ = VgCreateContext(VgGl2Callbacks(backend));
  ASSERT_NE(ctx_, nullptr);
}

void Gl2ContextTest::TearDown() {
  VgDeleteContext(ctx_);
  gl_.reset();
}

testsupport::RgbaImage Gl2ContextTest::EndFrame() {
  VgEndFrame(ctx_);
  EXPECT_EQ(vgGl.GetError(), static_cast<GLenum>(GL_NO_ERROR));
  return gl_->Read();
}

void Gl2ContextTest::Save(const testsupport::RgbaImage& image, const std::string& name,
                          int enlarge) const {
  EXPECT_TRUE(image.Enlarged(enlarge).WritePng(testsupport::PicturePath(name)));
}

} // namespace plugkit
