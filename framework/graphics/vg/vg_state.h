#pragma once

#include "framework/graphics/vg/vg_backend.h"
#include "framework/graphics/vg/vg_text_align.h"

#include <cstdint>

namespace plugkit {

// Caps and joins share one numbering.
enum VgLineCap : int32_t {
  kVgButt = 0,
  kVgRound = 1,
  kVgSquare = 2,
  kVgBevel = 3,
  kVgMiter = 4,
};

// One entry of the renderer's state stack. The drawing back end writes the
// paints and blend factors into the current entry directly.
struct VgState {
  VgBlendState blend;
  int32_t shapeAntialias = 1;
  VgPaint fill;
  VgPaint stroke;
  float strokeWidth = 1.0f;
  float miterLimit = 10.0f;
  int32_t lineJoin = kVgMiter;
  int32_t lineCap = kVgButt;
  float alpha = 1.0f;
  float xform[6] = {1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f};
  VgScissorState scissor;
  float fontSize = 16.0f;
  float letterSpacing = 0.0f;
  float lineHeight = 1.0f;
  float fontBlur = 0.0f;
  int32_t textAlign = igraphics::kVgAlignLeft | igraphics::kVgAlignBaseline;
  int32_t fontId = 0;
};

} // namespace plugkit
