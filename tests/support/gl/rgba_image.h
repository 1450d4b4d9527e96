#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

struct Rgba {
  uint8_t r = 0;
  uint8_t g = 0;
  uint8_t b = 0;
  uint8_t a = 0;
};

// Pixels read back from GL, kept in picture order: row 0 is the top.
class RgbaImage {
public:
  RgbaImage() = default;
  RgbaImage(int width, int height);

  // Takes rows as glReadPixels delivers them, bottom row first.
  static RgbaImage FromBottomUp(int width, int height, const uint8_t* pixels);

  int Width() const { return width_; }
  int Height() const { return height_; }
  // (0, 0) is the top-left pixel.
  Rgba At(int x, int y) const;
  const std::vector<uint8_t>& Bytes() const { return bytes_; }

  // The picture enlarged `factor` times, each pixel a square block, so that
  // small test scenes can be looked at.
  RgbaImage Enlarged(int factor) const;

  // Writes the picture as a PNG; false when the file cannot be written.
  bool WritePng(const std::string& path) const;

private:
  int width_ = 0;
  int height_ = 0;
  std::vector<uint8_t> bytes_;
};

// Where tests leave the pictures they draw: <build folder>/pictures/<name>.
std::string PicturePath(const std::string& name);

} // namespace testsupport
