#pragma once

#include <cstdint>

namespace plugkit::igraphics {

// Components are meant to lie in 0..255; nothing clamps them.
struct IColor {
  int32_t A = 255;
  int32_t R = 0;
  int32_t G = 0;
  int32_t B = 0;

  constexpr IColor() = default;
  constexpr IColor(int32_t a, int32_t r, int32_t g, int32_t b) : A(a), R(r), G(g), B(b) {}

  bool operator==(const IColor& o) const { return A == o.A && R == o.R && G == o.G && B == o.B; }
  bool operator!=(const IColor& o) const { return !(*this == o); }
};

// How a drawing call is composited. An absent blend means method 0 at
// weight 1.
struct IBlend {
  int32_t method = 0;
  float weight = 1.f;
};

inline float BlendWeight(const IBlend* blend) { return blend ? blend->weight : 1.f; }

} // namespace plugkit::igraphics
