#pragma once

namespace tarvex::testing {

// Reproducible uniform noise in [-0.5, 0.5): a linear congruential sequence,
// each value taken from the next state.
class NoiseSequence {
public:
  explicit NoiseSequence(unsigned seed) : state_(seed) {}

  double Next() {
    state_ = state_ * 1664525u + 1013904223u;
    return state_ / 4294967296.0 - 0.5;
  }

private:
  unsigned state_;
};

// Uniform noise in [-1, 1] that depends on nothing but the sample index, the
// channel and the seed, so two runs can read the same sample at any time.
inline double HashNoise(long n, int channel, unsigned seed) {
  unsigned x =
      static_cast<unsigned>(n) * 2654435761u ^ (seed + 97u * static_cast<unsigned>(channel));
  x ^= x >> 15;
  x *= 2246822519u;
  x ^= x >> 13;
  return static_cast<double>(x) / 4294967295.0 * 2.0 - 1.0;
}

} // namespace tarvex::testing
