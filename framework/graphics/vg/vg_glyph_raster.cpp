#include "framework/graphics/vg/vg_glyph_raster.h"

#include <cmath>

namespace plugkit::igraphics {
namespace {

// One pass along a line of count pixels step bytes apart: forward, then
// backward, in 7-bit fixed point; both ends of the line become 0.
void BlurLine(uint8_t* line, int count, int step, int64_t alpha) {
  int64_t z = 0;
  for (int i = 1; i < count; ++i) {
    uint8_t& pixel = line[i * step];
    z += ((static_cast<int64_t>(pixel) * 128 - z) * alpha) >> 16;
    pixel = static_cast<uint8_t>(z >> 7);
  }
  line[(count - 1) * step] = 0;
  z = 0;
  for (int i = count - 2; i >= 0; --i) {
    uint8_t& pixel = line[i * step];
    z += ((static_cast<int64_t>(pixel) * 128 - z) * alpha) >> 16;
    pixel = static_cast<uint8_t>(z >> 7);
  }
  line[0] = 0;
}

void BlurColumns(uint8_t* pixels, int w, int h, int stride, int64_t alpha) {
  for (int x = 0; x < w; ++x) BlurLine(pixels + x, h, stride, alpha);
}

void BlurRows(uint8_t* pixels, int w, int h, int stride, int64_t alpha) {
  for (int y = 0; y < h; ++y) BlurLine(pixels + y * stride, w, 1, alpha);
}

} // namespace

void VgBlurGlyph(uint8_t* pixels, int w, int h, int stride, int blur) {
  if (blur < 1 || w < 1 || h < 1) return;
  // Filter coefficient for this radius, 16-bit fixed point.
  const double sigma = static_cast<double>(blur) * 0.57735;
  const auto alpha = static_cast<int64_t>((1.0 - std::exp(-2.3 / (sigma + 1.0))) * 65536.0);
  BlurColumns(pixels, w, h, stride, alpha);
  BlurRows(pixels, w, h, stride, alpha);
  BlurColumns(pixels, w, h, stride, alpha);
  BlurRows(pixels, w, h, stride, alpha);
}

} // namespace plugkit::igraphics
