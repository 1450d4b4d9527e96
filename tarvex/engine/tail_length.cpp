#include "tail_length.h"

#include <algorithm>
#include <cmath>

#include "param_table.h"

namespace tarvex {

double ComputeTailSeconds(const float* values, double sampleRate) {
  ParamValues v;
  SanitizeParamValues(v.data(), values);
  const double fs = std::clamp(sampleRate, 22050.0, 192000.0);
  const double pi = 3.14159265358979323846;
  double longest = 0.03;
  for (int slot = 0; slot < kSlotCount; ++slot) {
    if (!(v[SlotParamIndex(slot, kSlotEnabled)] > 0.5f)) continue;
    const double f = std::clamp(static_cast<double>(v[SlotParamIndex(slot, kSlotFrequency)]), 20.0,
                                0.49 * fs);
    const double q = v[SlotParamIndex(slot, kSlotQ)];
    const double alpha = std::sin(2.0 * pi * f / fs) / (2.0 * q);
    const double radius = std::sqrt(std::fabs((1.0 - alpha) / (1.0 + alpha)));
    const double ringOut = 0.03 + (-std::log(1e-7)) / (std::max(-std::log(radius), 1e-12) * fs);
    longest = std::max(longest, ringOut);
  }
  return std::max(22.0, longest);
}

}  // namespace tarvex
