#pragma once

namespace tarvex {

// Seconds the effect may keep ringing after its input stops, from 192 values
// (sanitised here) and a sample rate (clamped to the supported range).
double ComputeTailSeconds(const float* values, double sampleRate);

} // namespace tarvex
