#include "framework/graphics/vg/vg_image.h"
#include "tests/framework/graphics/vg/vg_fixture.h"

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

#include <cstdio>
#include <string>

namespace plugkit::testing {
namespace {

class VgImageTest : public VgFixture {
protected:
  // A 3 x 2 image of distinct pixels, some translucent, as PNG bytes.
  void SetUp() override {
    VgFixture::SetUp();
    for (int i = 0; i < 24; ++i) pixels.push_back(static_cast<uint8_t>(i * 10 + 5));
    stbi_write_png_to_func(
        [](void* out, void* data, int size) {
          auto* bytes = static_cast<std::vector<uint8_t>*>(out);
          bytes->insert(bytes->end(), static_cast<uint8_t*>(data),
                        static_cast<uint8_t*>(data) + size);
        },
        &png, 3, 2, 4, pixels.data(), 12);
  }
  void ExpectImage(int32_t image, int32_t flags) {
    ASSERT_NE(image, 0);
    const RecordedTexture& t = backend.textures.at(image);
    EXPECT_EQ(t.type, kVgTextureRgba);
    EXPECT_EQ(t.flags, flags);
    EXPECT_EQ(t.pixels, pixels);
    int32_t w = 0, h = 0;
    EXPECT_EQ(VgImageSize(ctx, image, &w, &h), 1);
    EXPECT_EQ(w, 3);
    EXPECT_EQ(h, 2);
  }
  std::vector<uint8_t> pixels;
  std::vector<uint8_t> png;
};

TEST_F(VgImageTest, DecodesFromMemoryAndFromFile) {
  ExpectImage(
      VgCreateImageFromMemory(ctx, kVgImageRepeatX, png.data(), static_cast<int32_t>(png.size())),
      kVgImageRepeatX);
  const std::string path = ::testing::TempDir() + "vg_image_test.png";
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fwrite(png.data(), 1, png.size(), f);
  std::fclose(f);
  ExpectImage(VgCreateImageFromFile(ctx, path.c_str(), kVgImageNearest), kVgImageNearest);
  std::remove(path.c_str());
}

TEST_F(VgImageTest, UnreadableInputGivesNoImage) {
  const uint8_t garbage[] = {1, 2, 3, 4, 5, 6, 7, 8};
  EXPECT_EQ(VgCreateImageFromMemory(ctx, 0, garbage, sizeof(garbage)), 0);
  EXPECT_EQ(VgCreateImageFromMemory(ctx, 0, png.data(), 20), 0); // cut short
  EXPECT_EQ(VgCreateImageFromMemory(ctx, 0, nullptr, 10), 0);
  EXPECT_EQ(VgCreateImageFromFile(ctx, "/nonexistent/none.png", 0), 0);
  EXPECT_EQ(VgCreateImageFromFile(ctx, nullptr, 0), 0);
  backend.refuseTextures = true;
  EXPECT_EQ(VgCreateImageFromMemory(ctx, 0, png.data(), static_cast<int32_t>(png.size())), 0);
  EXPECT_TRUE(backend.textures.size() <= 1u); // only the glyph atlas, if any
}

} // namespace
} // namespace plugkit::testing
