#pragma once

namespace plugkit {

struct VgContext;

// Fill and stroke the current path with the current state; the path stays
// and its flattening is reused by the next fill or stroke.
void VgFill(VgContext* ctx);
void VgStroke(VgContext* ctx);
// Replaces the scissor with the rectangle under the current transform.
void VgScissor(VgContext* ctx, float x, float y, float w, float h);

} // namespace plugkit
