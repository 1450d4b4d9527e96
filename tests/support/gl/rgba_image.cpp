#include "tests/support/gl/rgba_image.h"

#include <cstring>
#include <filesystem>

// Kept private to this file, so test programs that write pictures of their
// own can link this one too.
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

namespace testsupport {

RgbaImage::RgbaImage(int width, int height)
    : width_(width), height_(height), bytes_(static_cast<size_t>(width) * height * 4, 0) {}

RgbaImage RgbaImage::FromBottomUp(int width, int height, const uint8_t* pixels) {
  RgbaImage image(width, height);
  const size_t row = static_cast<size_t>(width) * 4;
  for (int y = 0; y < height; ++y) {
    std::memcpy(image.bytes_.data() + row * y, pixels + row * (height - 1 - y), row);
  }
  return image;
}

Rgba RgbaImage::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return Rgba{};
  const uint8_t* p = bytes_.data() + (static_cast<size_t>(y) * width_ + x) * 4;
  return Rgba{p[0], p[1], p[2], p[3]};
}

RgbaImage RgbaImage::Enlarged(int factor) const {
  RgbaImage large(width_ * factor, height_ * factor);
  for (int y = 0; y < large.height_; ++y) {
    for (int x = 0; x < large.width_; ++x) {
      std::memcpy(large.bytes_.data() + (static_cast<size_t>(y) * large.width_ + x) * 4,
                  bytes_.data() + (static_cast<size_t>(y / factor) * width_ + x / factor) * 4, 4);
    }
  }
  return large;
}

bool RgbaImage::WritePng(const std::string& path) const {
  if (width_ == 0 || height_ == 0) return false;
  return stbi_write_png(path.c_str(), width_, height_, 4, bytes_.data(), width_ * 4) != 0;
}

std::string PicturePath(const std::string& name) {
  const std::filesystem::path folder = TARVEX_PICTURE_DIR;
  std::error_code ignored;
  std::filesystem::create_directories(folder, ignored);
  return (folder / name).string();
}

} // namespace testsupport
