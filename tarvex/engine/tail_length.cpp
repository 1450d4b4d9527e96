#include "tarvex/engine/tail_length.h"

#include <algorithm>
#include <cmath>

#include "tarvex/engine/engine_constants.h"
#include "tarvex/engine/param_table.h"

namespace tarvex {

double ComputeTailSeconds(const float* values, double sampleRate) {
  ParamValues v;
  SanitizeParamValues(v.data(), values);
  const double fs = std::clamp(sampleRate, kMinSampleRate, kMaxSampleRate);
  double longest = 0.03;
  for (int slot = 0; slot < kSlotCount; ++slot) {
    if (!(v[SlotParamIndex(slot, kSlotEnabled)] > 0.5f)) continue;
    const double f = std::clamp(static_cast<double>(v[SlotParamIndex(slot, kSlotFrequency)]), 20.0,
                                TopFrequency(fs));
    const double q = v[SlotParamIndex(slot, kSlotQ)];
    const double alpha = std::sin(2.0 * kPi * f / fs) / (2.0 * q);
    const double radius = std::sqrt(std::fabs((1.0 - alpha) / (1.0 + alpha)));
    const double ringOut = 0.03 + (-std::log(1e-7)) / (std::max(-std::log(radius), 1e-12) * fs);
    longest = std::max(longest, ringOut);
  }
  return std::max(22.0, longest);
}

} // namespace tarvex
