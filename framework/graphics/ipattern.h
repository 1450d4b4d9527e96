#pragma once

#include "framework/graphics/icolor.h"
#include "framework/graphics/itransform.h"

#include <cstdint>
#include <initializer_list>

namespace plugkit::igraphics {

enum class EPatternType : int32_t { Solid = 0, Linear = 1, Radial = 2 };
enum class EPatternExtend : int32_t { Pad = 1, Reflect = 2, Repeat = 3 };

struct IColorStop {
  IColor color;
  float offset = 0.f;
};

// The paint of every fill and stroke: a solid colour in stop 0, or a
// gradient whose transform maps user space into the gradient's 0..1 space.
struct IPattern {
  static constexpr int kMaxStops = 16;

  EPatternType type = EPatternType::Solid;
  EPatternExtend extend = EPatternExtend::Pad;
  IColorStop stops[kMaxStops];
  int32_t nStops = 0;
  ITransform transform;

  explicit IPattern(EPatternType t) : type(t) {}
  IPattern(const IColor& color); // NOLINT: a colour is a pattern wherever one is asked for

  // From (x1, y1) at gradient position 0 to (x2, y2) at position 1; stops
  // beyond the sixteenth are dropped.
  static IPattern CreateLinearGradient(float x1, float y1, float x2, float y2,
                                       std::initializer_list<IColorStop> stops);

  // Ignored when all sixteen stops are in use.
  void AddStop(const IColor& color, float offset);
  const IColor& GetStop0() const { return stops[0].color; }
};

} // namespace plugkit::igraphics
