#pragma once

namespace tarvex {

constexpr double kPi = 3.14159265358979323846;
// For tables computed in long double and rounded once.
constexpr long double kPiLong = 3.141592653589793238462643383279502884L;

// The sample rates the engine runs at.
constexpr double kMinSampleRate = 22050.0;
constexpr double kMaxSampleRate = 192000.0;

// Notches are designed, shown and detected no higher than this share of the
// sample rate: just below Nyquist, where a notch would no longer have room
// for its upper side.
constexpr double kTopFrequencyShare = 0.49;

inline double TopFrequency(double sampleRate) { return kTopFrequencyShare * sampleRate; }

} // namespace tarvex
