#pragma once

namespace tarvex {

struct NotchCoefficients {
  double b0;
  double b1;
  double b2;
  double a1;
  double a2;
};

// Biquad notch with unit gain away from the centre and a zero on the unit
// circle at it; frequency and Q are clamped to what the bank supports.
NotchCoefficients DesignNotch(double frequencyHz, double q, double sampleRate);

} // namespace tarvex
