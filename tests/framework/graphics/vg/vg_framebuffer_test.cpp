#include "framework/graphics/vg/vg_framebuffer.h"

#include <EGL/egl.h>

#include <vector>

#include "framework/graphics/vg/vg_commands.h"
#include "framework/graphics/vg/vg_draw.h"
#include "framework/graphics/vg/vg_gl2_backend.h"
#include "framework/graphics/vg/vg_paint.h"
#include "tests/framework/graphics/vg/gl2_context_fixture.h"

namespace plugkit {
namespace {

using testsupport::Rgba;
using testsupport::RgbaImage;

using IsObject = GLboolean (*)(GLuint);

IsObject GlQuery(const char* name) { return reinterpret_cast<IsObject>(eglGetProcAddress(name)); }

GLint Bound(GLenum binding) {
  GLint name = 0;
  vgGl.GetIntegerv(binding, &name);
  return name;
}

void FillRect(VgContext* ctx, float x, float y, float w, float h, const VgColor& colour) {
  VgBeginPath(ctx);
  VgRect(ctx, x, y, w, h);
  VgGetState(ctx)->fill = VgFillColor(colour);
  VgFill(ctx);
}

// Makes the framebuffer the target of a frame of its own size.
void BeginFrameOn(VgContext* ctx, const VgFramebuffer* target, int width, int height) {
  VgBindFramebuffer(target);
  vgGl.Viewport(0, 0, width, height);
  vgGl.ClearColor(0, 0, 0, 0);
  vgGl.Clear(GL_COLOR_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  VgBeginFrame(ctx, static_cast<float>(width), static_cast<float>(height), 1.0f);
}

using Gl2FramebufferTest = Gl2ContextTest;

TEST_F(Gl2FramebufferTest, CreatesACompleteTargetAndLeavesTheBindings) {
  GLuint renderbuffer = 0;
  vgGl.GenRenderbuffers(1, &renderbuffer);
  vgGl.BindRenderbuffer(GL_RENDERBUFFER, renderbuffer);
  const VgFramebufferPtr target(VgCreateFramebuffer(ctx_, 100, 50, kVgImageNearest));
  ASSERT_NE(target, nullptr);
  EXPECT_EQ(Bound(GL_FRAMEBUFFER_BINDING), static_cast<GLint>(gl_->Framebuffer()));
  EXPECT_EQ(Bound(GL_RENDERBUFFER_BINDING), static_cast<GLint>(renderbuffer));
  EXPECT_EQ(target->context, ctx_);
  EXPECT_NE(target->framebuffer, 0u);
  EXPECT_NE(target->stencilRenderbuffer, 0u);

  const VgGl2Texture* texture =
      VgGl2FindTexture(static_cast<VgGl2Backend*>(ctx_->callbacks.user), target->image);
  ASSERT_NE(texture, nullptr);
  EXPECT_EQ(texture->texture, target->texture);
  EXPECT_EQ(texture->type, kVgTextureRgba);
  EXPECT_EQ(texture->flags, kVgImageNearest | kVgImageFlipY | kVgImagePremultiplied);
  EXPECT_EQ(texture->width, 100);
  EXPECT_EQ(texture->height, 50);

  VgBindFramebuffer(target.get());
  EXPECT_EQ(vgGl.CheckFramebufferStatus(GL_FRAMEBUFFER),
            static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
  VgBindFramebuffer(nullptr);
  EXPECT_EQ(Bound(GL_FRAMEBUFFER_BINDING), static_cast<GLint>(gl_->Framebuffer()));
  vgGl.DeleteRenderbuffers(1, &renderbuffer);
}

TEST_F(Gl2FramebufferTest, RefusesSizesWithoutPixels) {
  const auto* backend = static_cast<VgGl2Backend*>(ctx_->callbacks.user);
  const int32_t lastId = backend->textureIdCounter;
  for (const auto& [w, h] : std::vector<std::pair<int, int>>{{0, 10}, {10, 0}, {-4, 10}}) {
    EXPECT_EQ(VgCreateFramebuffer(ctx_, w, h, 0), nullptr) << w << " x " << h;
  }
  EXPECT_EQ(VgCreateFramebuffer(nullptr, 10, 10, 0), nullptr);
  EXPECT_EQ(backend->textureIdCounter, lastId) << "no image was made";
}

TEST_F(Gl2FramebufferTest, DeletionFreesEveryGlObjectAndTheImage) {
  const IsObject isFramebuffer = GlQuery("glIsFramebuffer");
  const IsObject isRenderbuffer = GlQuery("glIsRenderbuffer");
  const IsObject isTexture = GlQuery("glIsTexture");
  VgFramebuffer* target = VgCreateFramebuffer(ctx_, 16, 16, 0);
  ASSERT_NE(target, nullptr);
  const VgFramebuffer copy = *target;
  EXPECT_TRUE(isFramebuffer(copy.framebuffer));
  VgDeleteFramebuffer(target);
  EXPECT_FALSE(isFramebuffer(copy.framebuffer));
  EXPECT_FALSE(isRenderbuffer(copy.stencilRenderbuffer));
  EXPECT_FALSE(isTexture(copy.texture));
  int32_t w = 0;
  int32_t h = 0;
  EXPECT_EQ(ctx_->callbacks.getTextureSize(ctx_->callbacks.user, copy.image, &w, &h), 0);
  VgDeleteFramebuffer(nullptr);
}

TEST_F(Gl2FramebufferTest, ReadBackStartsAtTheBottomLeftPixel) {
  const VgFramebufferPtr target(VgCreateFramebuffer(ctx_, 100, 50, 0));
  ASSERT_NE(target, nullptr);
  BeginFrameOn(ctx_, target.get(), 100, 50);
  FillRect(ctx_, 0, 0, 10, 10, VgColor{0, 0, 1, 1});  // top left
  FillRect(ctx_, 0, 40, 10, 10, VgColor{1, 0, 0, 1}); // bottom left
  VgEndFrame(ctx_);

  constexpr size_t kBytes = 100 * 50 * 4;
  std::vector<uint8_t> pixels(kBytes + 4, 0xAB);
  VgReadPixels(100, 50, pixels.data());
  EXPECT_EQ(vgGl.GetError(), static_cast<GLenum>(GL_NO_ERROR));
  EXPECT_EQ(std::vector<uint8_t>(pixels.begin(), pixels.begin() + 4),
            (std::vector<uint8_t>{255, 0, 0, 255}));
  const size_t topLeft = 49 * 100 * 4;
  EXPECT_EQ(std::vector<uint8_t>(pixels.begin() + topLeft, pixels.begin() + topLeft + 4),
            (std::vector<uint8_t>{0, 0, 255, 255}));
  EXPECT_EQ(std::vector<uint8_t>(pixels.begin() + kBytes, pixels.end()),
            (std::vector<uint8_t>(4, 0xAB)))
      << "nothing is written past width x height x 4 bytes";
}

TEST_F(Gl2FramebufferTest, ALayerDrawnIntoTheWindowStandsUpright) {
  const VgFramebufferPtr layer(VgCreateFramebuffer(ctx_, 64, 64, 0));
  ASSERT_NE(layer, nullptr);
  BeginFrameOn(ctx_, layer.get(), 64, 64);
  FillRect(ctx_, 0, 0, 64, 32, VgColor{1, 0, 0, 1});
  // A shape with a hole needs the layer's stencil buffer.
  VgBeginPath(ctx_);
  VgRect(ctx_, 8, 36, 48, 24);
  VgRect(ctx_, 24, 42, 16, 12);
  VgPathWinding(ctx_, kVgHole);
  VgGetState(ctx_)->fill = VgFillColor(VgColor{0, 0, 1, 0.5f});
  VgFill(ctx_);
  VgEndFrame(ctx_);

  VgBindFramebuffer(nullptr);
  vgGl.Viewport(0, 0, kWidth, kHeight);
  BeginFrame();
  VgBeginPath(ctx_);
  VgRect(ctx_, 32, 32, 64, 64);
  VgGetState(ctx_)->fill = VgImagePattern(32, 32, 64, 64, 0, layer->image, 1);
  VgFill(ctx_);
  const RgbaImage image = EndFrame();
  Save(image, "vg-framebuffer-layer.png");
  EXPECT_EQ(image.At(64, 40).r, 255) << "the top half of the layer is red";
  EXPECT_EQ(image.At(64, 40).b, 0);
  const Rgba ring = image.At(44, 72);
  EXPECT_NEAR(ring.b, 128, 2) << "premultiplied half blue, drawn as it is";
  EXPECT_NEAR(ring.a, 128, 2);
  EXPECT_EQ(image.At(64, 80).a, 0) << "the hole stays empty";
}

} // namespace
} // namespace plugkit
