#pragma once

#include <cstdint>

namespace plugkit::igraphics {

// Text alignment bits: one horizontal and one vertical bit are combined.
enum VgTextAlign : int32_t {
  kVgAlignLeft = 1,
  kVgAlignCenter = 2,
  kVgAlignRight = 4,
  kVgAlignTop = 8,
  kVgAlignMiddle = 16,
  kVgAlignBottom = 32,
  kVgAlignBaseline = 64,
};

} // namespace plugkit::igraphics
