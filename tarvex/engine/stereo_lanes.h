#pragma once

#include <cstdint>

namespace tarvex {

// Two doubles handled by one instruction: the engine runs its input and its
// output analysis (and, where they match, its two channels) side by side.
// Each lane is computed with plain IEEE operations, exactly as scalar code
// would, so results do not depend on the vector width.
typedef double StereoLanes __attribute__((vector_size(16)));
typedef std::int64_t StereoMask __attribute__((vector_size(16)));

// Lanes of a where the mask is set, else lanes of b.
inline StereoLanes SelectLanes(StereoMask mask, StereoLanes a, StereoLanes b) {
  return (StereoLanes)(((StereoMask)a & mask) | ((StereoMask)b & ~mask));
}

}  // namespace tarvex
