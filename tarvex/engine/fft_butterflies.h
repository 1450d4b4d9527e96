#pragma once

#include <cstdint>

#include "tarvex/engine/stereo_lanes.h"

namespace tarvex {

// One time point (or FFT bin) of both analysed signals, lane 0 the input and
// lane 1 the output: the first channel is the real part and the second the
// imaginary part, so one complex FFT serves two real channels and the two
// lanes share every operation.
struct alignas(32) StereoPoint {
  StereoLanes re;
  StereoLanes im;
};

// The radix-2 butterflies of the 8192-point transform, grouped: first the
// 4096 butterflies of the stage of length 2 one by one, then four passes
// that each run three stages together on closed groups of eight points (12
// butterflies per group, the points never leaving registers in between).
// Every butterfly is computed exactly as a stage-by-stage transform would.
struct ButterflyPass {
  int half;  // half length of the pass's first stage
  int units; // butterflies (first pass) or groups (the others)
  int cost;  // butterflies per unit
};

constexpr int kButterflyPasses = 5;
constexpr ButterflyPass kButterflyPlan[kButterflyPasses] = {
    {1, 4096, 1}, {2, 1024, 12}, {16, 1024, 12}, {128, 1024, 12}, {1024, 1024, 12}};

// Where a transform works: the windowed points in time order, the bit
// reversal that the first pass reads them through, the twiddles (index L/2 + j
// holds e^(-2πi·j/L) for the stage of length L) and the transform itself.
struct ButterflyData {
  const StereoPoint* windowed;
  const std::uint16_t* bitReverse;
  const double* twiddleRe;
  const double* twiddleIm;
  StereoPoint* fft;
};

// Runs units first … end - 1 of a pass.
using ButterflyKernel = void (*)(const ButterflyData& data, const ButterflyPass& pass, int first,
                                 int end);

// Windows points m and m + 4096 (m = first … end - 1, end ≤ 4096) of the
// 8192 time points that start at ring[oldest], and runs on them the butterfly
// of the first pass that pairs them, writing it where that pass would
// (bitReverse[m] and bitReverse[m] + 1): each point's product and the
// butterfly are computed exactly as the window step and the pass compute them.
void WindowFirstPass(const StereoPoint* ring, int oldest, const double* window,
                     const std::uint16_t* bitReverse, const double* twiddleRe,
                     const double* twiddleIm, StereoPoint* fft, int first, int end);

// The fastest kernel this processor runs; all kernels give identical results.
ButterflyKernel SelectButterflyKernel();

// The kernel for processors without wider vectors.
ButterflyKernel PortableButterflyKernel();

} // namespace tarvex
