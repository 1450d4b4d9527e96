#pragma once

#include "tarvex/editor/editor_palette.h"
#include "tarvex/engine/learned_set.h"

namespace tarvex {

// How a slot's kind and channel read on screen.
inline const IColor& KindColor(int kind) {
  switch (kind) {
    case kSlotManual:
      return kColorAmber;
    case kSlotFixed:
      return kColorTeal;
    case kSlotLive:
      return kColorBlue;
    default:
      return kColorSlate;
  }
}

inline const char* KindText(int kind) {
  switch (kind) {
    case kSlotManual:
      return "MANUAL";
    case kSlotFixed:
      return "FIXED";
    case kSlotLive:
      return "LIVE";
    default:
      return "OFF";
  }
}

inline const char* ChannelText(int channel) {
  return channel == 1 ? "L" : channel == 2 ? "R" : "L+R";
}

} // namespace tarvex
