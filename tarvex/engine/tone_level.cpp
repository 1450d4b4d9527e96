#include "tarvex/engine/tone_level.h"

#include <cmath>

#include "tarvex/engine/engine_constants.h"
#include "tarvex/engine/engine_parts.h"
#include "tarvex/engine/section_response.h"

namespace tarvex {
namespace {

constexpr int kMaxBlocks = kRingSize / kToneBlockMin;
constexpr double kMeasureSeconds = kToneBlockMin / 48000.0;
constexpr double kMinPeriods = 4.0;

} // namespace

int ToneBlockSize(double frequency, double sampleRate) {
  int size = kToneBlockMin;
  while (size < kToneBlockMax && (size < 0.999 * kMeasureSeconds * sampleRate ||
                                  size * frequency < kMinPeriods * sampleRate))
    size *= 2;
  return size;
}

// A Goertzel resonator per block and channel, both channels in the two lanes
// of one vector; the blocks' resonators run side by side, so their
// independent recursions overlap instead of waiting on each other.
void MeasureToneLevels(const StereoPoint* ring, const double* hann, int start, int blockSize,
                       int blocks, double frequency, double sampleRate, ToneInput input,
                       double* levelsDb) {
  const double omega = 2.0 * kPi * frequency / sampleRate;
  const double coefficient = 2.0 * std::cos(omega);
  const int stride = kToneBlockMax / blockSize;
  StereoLanes s1[kMaxBlocks] = {};
  StereoLanes s2[kMaxBlocks] = {};
  for (int i = 0; i < blockSize; ++i) {
    const double w = hann[i * stride + stride / 2];
    for (int b = 0; b < blocks; ++b) {
      const StereoPoint& p = ring[(start + b * blockSize + i) & (kRingSize - 1)];
      const StereoLanes x = StereoLanes{p.re[0], p.im[0]} * w;
      const StereoLanes s = x + coefficient * s1[b] - s2[b];
      s2[b] = s1[b];
      s1[b] = s;
    }
  }
  // The window sums to half the block, and a sine of amplitude 1 to half of
  // that.
  const double scale = 4.0 / blockSize;
  const double c = std::cos(omega);
  const double sn = std::sin(omega);
  for (int b = 0; b < blocks; ++b) {
    const StereoLanes re = (s1[b] - c * s2[b]) * scale;
    const StereoLanes im = (sn * s2[b]) * scale;
    const StereoLanes power = re * re + im * im;
    const double selected =
        input == ToneInput::kBoth ? 0.5 * (power[0] + power[1]) : power[static_cast<int>(input)];
    levelsDb[b] = PowerDb(selected);
  }
}

} // namespace tarvex
