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

// Zero where |v| < 1e-250, as a comparison of the magnitude bits: filter
// states that small are inaudible, and left alone they decay into subnormal
// numbers that cost many times the work of normal ones. For any vector of
// doubles and its mask type.
template <typename Lanes, typename Mask>
[[gnu::always_inline]] inline void FlushTinyLanes(Lanes& v) {
  const Lanes magnitude = (Lanes)((Mask)v & INT64_MAX);
  const Mask tiny = magnitude < 1e-250;
  v = (Lanes)((Mask)v & ~tiny);
}

inline StereoLanes FlushTiny(StereoLanes v) {
  FlushTinyLanes<StereoLanes, StereoMask>(v);
  return v;
}

} // namespace tarvex
