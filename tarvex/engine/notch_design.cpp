#include "tarvex/engine/notch_design.h"

#include <algorithm>
#include <cmath>

#include "tarvex/engine/engine_constants.h"

namespace tarvex {

NotchCoefficients DesignNotch(double frequencyHz, double q, double sampleRate) {
  const double f = std::clamp(frequencyHz, 20.0, TopFrequency(sampleRate));
  const double qc = std::clamp(q, 0.5, 80.0);
  const double omega = 2.0 * kPi * f / sampleRate;
  const double alpha = std::sin(omega) / (2.0 * qc);
  const double h = 1.0 / (1.0 + alpha);
  const double b1 = -2.0 * std::cos(omega) * h;
  return {h, b1, h, b1, (1.0 - alpha) * h};
}

} // namespace tarvex
