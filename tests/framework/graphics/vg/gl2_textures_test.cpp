#include <EGL/egl.h>

#include "tests/framework/graphics/vg/gl2_backend_fixture.h"

namespace plugkit {
namespace {

using testsupport::Rgba;
using testsupport::RgbaImage;

// A 2 x 2 RGBA image: red and half-transparent green (not premultiplied) on
// the top row, blue and white below.
const uint8_t kQuadrants[16] = {255, 0, 0, 255, 0, 255, 0, 128, 0, 0, 255, 255, 255, 255, 255, 255};
const uint8_t kAlphaQuadrants[4] = {0, 255, 128, 64};

constexpr Rgba kRed{255, 0, 0, 255};
constexpr Rgba kBlue{0, 0, 255, 255};
constexpr Rgba kWhite{255, 255, 255, 255};
constexpr Rgba kClear{0, 0, 0, 0};

class Gl2TextureTest : public Gl2BackendTest {
protected:
  // Draws the image over (16, 16)-(48, 48), the pattern `patternWidth` wide.
  RgbaImage DrawImage(int32_t image, float patternWidth = 32) {
    ConvexFill(VgImagePattern(16, 16, patternWidth, 32, 0, image, 1), Rectangle(16, 16, 48, 48));
    return Draw();
  }
};

TEST_F(Gl2TextureTest, IdsCountUpAndAreNeverReused) {
  const int32_t rgba = VgGl2CreateTexture(backend_, kVgTextureRgba, 4, 2, 0, nullptr);
  const int32_t alpha = VgGl2CreateTexture(backend_, kVgTextureAlpha, 3, 5, 0, nullptr);
  EXPECT_GT(rgba, backend_->dummyTexture);
  EXPECT_EQ(alpha, rgba + 1);
  int32_t w = 0;
  int32_t h = 0;
  ASSERT_EQ(VgGl2GetTextureSize(backend_, alpha, &w, &h), 1);
  EXPECT_EQ(w, 3);
  EXPECT_EQ(h, 5);

  const int slots = backend_->textures.Count();
  EXPECT_EQ(VgGl2DeleteTexture(backend_, rgba), 1);
  EXPECT_EQ(VgGl2DeleteTexture(backend_, rgba), 0);
  EXPECT_EQ(VgGl2GetTextureSize(backend_, rgba, &w, &h), 0);
  const int32_t next = VgGl2CreateTexture(backend_, kVgTextureRgba, 1, 1, 0, nullptr);
  EXPECT_EQ(next, alpha + 1);
  EXPECT_EQ(backend_->textures.Count(), slots) << "the freed slot is taken again";
}

TEST_F(Gl2TextureTest, RefusesUnknownIdsAndBadInput) {
  const uint8_t pixels[64] = {};
  const int32_t image = VgGl2CreateTexture(backend_, kVgTextureRgba, 4, 4, 0, nullptr);
  int32_t w = 0;
  int32_t h = 0;
  for (int32_t unknown : {0, -1, image + 100}) {
    EXPECT_EQ(VgGl2DeleteTexture(backend_, unknown), 0);
    EXPECT_EQ(VgGl2UpdateTexture(backend_, unknown, 0, 0, 1, 1, pixels), 0);
    EXPECT_EQ(VgGl2GetTextureSize(backend_, unknown, &w, &h), 0);
  }
  EXPECT_EQ(VgGl2CreateTexture(backend_, kVgTextureRgba, 0, 4, 0, nullptr), 0);
  EXPECT_EQ(VgGl2CreateTexture(backend_, kVgTextureRgba, 4, -1, 0, nullptr), 0);
  EXPECT_EQ(VgGl2CreateTexture(backend_, 3, 4, 4, 0, nullptr), 0);
  EXPECT_EQ(VgGl2UpdateTexture(backend_, image, 2, 0, 3, 1, pixels), 0);
  EXPECT_EQ(VgGl2UpdateTexture(backend_, image, 0, -1, 1, 1, pixels), 0);
  EXPECT_EQ(VgGl2UpdateTexture(backend_, image, 0, 0, 1, 1, nullptr), 0);
  EXPECT_EQ(VgGl2UpdateTexture(backend_, image, 0, 0, 4, 4, pixels), 1);
  EXPECT_EQ(vgGl.GetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(Gl2TextureTest, DoNotDeleteForgetsTheIdButKeepsTheGlTexture) {
  auto isTexture = reinterpret_cast<GLboolean (*)(GLuint)>(eglGetProcAddress("glIsTexture"));
  ASSERT_NE(isTexture, nullptr);
  const int32_t kept =
      VgGl2CreateTexture(backend_, kVgTextureRgba, 2, 2, kVgImageDoNotDelete, kQuadrants);
  const int32_t owned = VgGl2CreateTexture(backend_, kVgTextureRgba, 2, 2, 0, kQuadrants);
  GLuint keptName = VgGl2FindTexture(backend_, kept)->texture;
  const GLuint ownedName = VgGl2FindTexture(backend_, owned)->texture;
  EXPECT_EQ(VgGl2DeleteTexture(backend_, kept), 1);
  EXPECT_EQ(VgGl2DeleteTexture(backend_, owned), 1);
  EXPECT_EQ(VgGl2FindTexture(backend_, kept), nullptr);
  EXPECT_TRUE(isTexture(keptName));
  EXPECT_FALSE(isTexture(ownedName));
  vgGl.DeleteTextures(1, &keptName);
}

TEST_F(Gl2TextureTest, ImageFillsHonourTheImageFlags) {
  struct FlagCase {
    const char* name;
    int32_t type;
    int32_t flags;
    Rgba topLeft, topRight, bottomLeft, bottomRight;
  };
  const std::vector<FlagCase> cases = {
      {"straight-alpha", kVgTextureRgba, kVgImageNearest, kRed, {0, 128, 0, 128}, kBlue, kWhite},
      {"premultiplied",
       kVgTextureRgba,
       kVgImageNearest | kVgImagePremultiplied,
       kRed,
       {0, 255, 0, 128},
       kBlue,
       kWhite},
      {"flipped",
       kVgTextureRgba,
       kVgImageNearest | kVgImageFlipY,
       kBlue,
       kWhite,
       kRed,
       {0, 128, 0, 128}},
      {"alpha",
       kVgTextureAlpha,
       kVgImageNearest,
       kClear,
       kWhite,
       {128, 128, 128, 128},
       {64, 64, 64, 64}},
  };
  for (const FlagCase& c : cases) {
    SCOPED_TRACE(c.name);
    const uint8_t* data = c.type == kVgTextureRgba ? kQuadrants : kAlphaQuadrants;
    const int32_t image = VgGl2CreateTexture(backend_, c.type, 2, 2, c.flags, data);
    vgGl.Clear(GL_COLOR_BUFFER_BIT);
    const RgbaImage picture = DrawImage(image);
    Save(picture, std::string("gl2-image-") + c.name + ".png");
    EXPECT_TRUE(PixelNear(picture, 17, 17, c.topLeft, 1));
    EXPECT_TRUE(PixelNear(picture, 46, 17, c.topRight, 1));
    EXPECT_TRUE(PixelNear(picture, 17, 46, c.bottomLeft, 1));
    EXPECT_TRUE(PixelNear(picture, 46, 46, c.bottomRight, 1));
    EXPECT_TRUE(PixelNear(picture, 8, 8, kClear, 0));
    VgGl2DeleteTexture(backend_, image);
  }
}

TEST_F(Gl2TextureTest, AnImageThatIsGoneDrawsNothing) {
  const int32_t image = VgGl2CreateTexture(backend_, kVgTextureRgba, 2, 2, 0, kQuadrants);
  VgGl2DeleteTexture(backend_, image);
  const RgbaImage picture = DrawImage(image);
  EXPECT_TRUE(PixelNear(picture, 32, 32, kClear, 0));
}

TEST_F(Gl2TextureTest, NearestAndRepeatFlagsChangeSampling) {
  // The pattern is 16 pixels wide over a 32 pixel wide rectangle: its second
  // half shows the image again only when it repeats, else the last column.
  const int32_t clamped =
      VgGl2CreateTexture(backend_, kVgTextureRgba, 2, 2, kVgImageNearest, kQuadrants);
  const int32_t repeated = VgGl2CreateTexture(backend_, kVgTextureRgba, 2, 2,
                                              kVgImageNearest | kVgImageRepeatX, kQuadrants);
  const int32_t smooth = VgGl2CreateTexture(backend_, kVgTextureRgba, 2, 2, 0, kQuadrants);
  const RgbaImage clampedPicture = DrawImage(clamped, 16);
  EXPECT_TRUE(PixelNear(clampedPicture, 36, 17, Rgba{0, 128, 0, 128}, 1));
  const RgbaImage repeatedPicture = DrawImage(repeated, 16);
  EXPECT_TRUE(PixelNear(repeatedPicture, 36, 17, kRed, 1));
  // Across the border between red and blue a linear filter blends them.
  const Rgba nearestBorder = DrawImage(clamped).At(17, 32);
  const Rgba linearBorder = DrawImage(smooth).At(17, 32);
  EXPECT_EQ(nearestBorder.r, 0);
  EXPECT_GT(linearBorder.r, 64);
  EXPECT_GT(linearBorder.b, 64);
}

TEST_F(Gl2TextureTest, UpdateCopiesExactlyItsRectangle) {
  for (int32_t type : {kVgTextureRgba, kVgTextureAlpha}) {
    SCOPED_TRACE(type);
    const int bytesPerPixel = type == kVgTextureRgba ? 4 : 1;
    const std::vector<uint8_t> zeros(4 * 4 * bytesPerPixel, 0);
    const int32_t image = VgGl2CreateTexture(backend_, type, 4, 4,
                                             kVgImageNearest | kVgImagePremultiplied, zeros.data());
    std::vector<uint8_t> source(zeros.size(), 255);
    ASSERT_EQ(VgGl2UpdateTexture(backend_, image, 1, 2, 2, 1, source.data()), 1);
    vgGl.Clear(GL_COLOR_BUFFER_BIT);
    const RgbaImage picture = DrawImage(image);
    for (int ty = 0; ty < 4; ++ty) {
      for (int tx = 0; tx < 4; ++tx) {
        const bool updated = ty == 2 && (tx == 1 || tx == 2);
        EXPECT_TRUE(PixelNear(picture, 20 + tx * 8, 20 + ty * 8, updated ? kWhite : kClear, 0))
            << "texel " << tx << ", " << ty;
      }
    }
    VgGl2DeleteTexture(backend_, image);
  }
}

TEST_F(Gl2TextureTest, TrianglesTintAnAlphaTextureWithTheInnerColour) {
  const int32_t image =
      VgGl2CreateTexture(backend_, kVgTextureAlpha, 2, 2, kVgImageNearest, kAlphaQuadrants);
  VgPaint paint = VgFillColor(Colour(0, 1, 0));
  paint.image = image;
  const VgVertex quad[6] = {{16, 16, 0, 0}, {48, 48, 1, 1}, {48, 16, 1, 0},
                            {16, 16, 0, 0}, {16, 48, 0, 1}, {48, 48, 1, 1}};
  const VgScissorState scissor;
  VgGl2RenderTriangles(backend_, &paint, {}, &scissor, quad, 6, 1.0f);
  const RgbaImage picture = Draw();
  EXPECT_TRUE(PixelNear(picture, 20, 20, kClear, 0));
  EXPECT_TRUE(PixelNear(picture, 44, 20, Rgba{0, 255, 0, 255}, 0));
  EXPECT_TRUE(PixelNear(picture, 20, 44, Rgba{0, 128, 0, 128}, 1));
  EXPECT_TRUE(PixelNear(picture, 44, 44, Rgba{0, 64, 0, 64}, 1));
}

} // namespace
} // namespace plugkit
