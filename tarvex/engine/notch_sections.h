#pragma once

#include "tarvex/engine/engine_parts.h"

namespace tarvex {

// Sections the audio path runs side by side.
constexpr int kSectionGroup = 4;

// Runs `size` (1 … kSectionGroup) consecutive sections of the bank over
// count samples in place: every sample meets the sections in order and every
// section its samples in time order, with the same arithmetic as one sample
// at a time.
void RunSectionGroup(NotchLanes* const* sections, int size, StereoLanes* samples, int count);

} // namespace tarvex
