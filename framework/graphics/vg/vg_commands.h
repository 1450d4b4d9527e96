#pragma once

#include <cstdint>

namespace plugkit {

struct VgContext;

// The first float of each command in the buffer; its values follow.
enum VgCommand : int32_t {
  kVgMoveTo = 0,   // x, y
  kVgLineTo = 1,   // x, y
  kVgBezierTo = 2, // c1x, c1y, c2x, c2y, x, y
  kVgClose = 3,
  kVgWindingCmd = 4, // direction (VgWinding)
};

// Clears the command buffer and the flattened path.
void VgBeginPath(VgContext* ctx);
// Appends whole commands; their points are transformed by the current
// state's transform. A call holding an unknown or truncated command, or a
// coordinate that is not finite, is dropped whole: such points would turn
// into garbage vertices.
void VgAppendCommands(VgContext* ctx, const float* values, int32_t count);
void VgRect(VgContext* ctx, float x, float y, float w, float h);
// Angles in radians; dir is a VgWinding (kVgCw sweeps clockwise on screen).
void VgArc(VgContext* ctx, float cx, float cy, float r, float a0, float a1, int32_t dir);
// Sets the winding of the last sub-path.
void VgPathWinding(VgContext* ctx, int32_t dir);

} // namespace plugkit
