#pragma once

#include <cstdint>

namespace plugkit::igraphics {

// Blurs the w x h block at pixels (rows stride bytes apart) in place: two
// vertical and two horizontal passes of a recursive filter whose strength
// grows with blur. The block's border pixels end up 0.
void VgBlurGlyph(uint8_t* pixels, int w, int h, int stride, int blur);

} // namespace plugkit::igraphics
