#pragma once

#include <cstdint>

namespace plugkit::igraphics {

enum class ELineCap : int32_t { Butt = 0, Round = 1, Square = 2 };
enum class ELineJoin : int32_t { Miter = 0, Round = 1, Bevel = 2 };
// NonZero and EvenOdd select the back end's two windings; Preserve keeps the
// winding each sub-path was given with PathSetWinding.
enum class EFillRule : int32_t { NonZero = 0, EvenOdd = 1, Preserve = 2 };

struct IStrokeOptions {
  static constexpr int kMaxDashes = 8;

  float miterLimit = 10.f;
  bool preserve = false;
  ELineCap cap = ELineCap::Butt;
  ELineJoin join = ELineJoin::Miter;
  float dashes[kMaxDashes] = {};
  float dashOffset = 0.f;
  int32_t dashCount = 0;
};

struct IFillOptions {
  EFillRule rule = EFillRule::NonZero;
  bool preserve = false;
};

} // namespace plugkit::igraphics
