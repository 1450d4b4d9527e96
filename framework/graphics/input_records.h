#pragma once

#include <cstdint>

namespace plugkit::igraphics {

// Modifier and pointer state of one pointer sample. Pointer id 0 is the
// mouse; touches carry their own ids.
struct IMouseMod {
  bool L = false;
  bool R = false;
  bool S = false;
  bool C = false;
  bool A = false;
  int64_t touchID = 0;
  float touchRadius = 0.f;
};

struct IMouseInfo {
  float x = 0.f;
  float y = 0.f;
  float dX = 0.f;
  float dY = 0.f;
  IMouseMod ms;
};

// A key: its UTF-8 text (empty for keys without one), its Windows
// virtual-key code and the modifiers held. `repeat` marks a key-down that a
// held key repeats, where the platform tells.
struct IKeyPress {
  char utf8[5] = {};
  int32_t VK = 0;
  bool S = false;
  bool C = false;
  bool A = false;
  bool repeat = false;
};

// What a gesture handler receives; the type selects the handler.
struct IGestureInfo {
  int32_t type = 0;
  float x = 0.f;
  float y = 0.f;
  float scale = 1.f;
  float velocity = 0.f;
  float angle = 0.f;
};

} // namespace plugkit::igraphics
