#pragma once

#include <cstdint>

#include "tarvex/engine/stereo_lanes.h"

namespace tarvex {

constexpr int kTransformPoints = 8192;

// One time point of both analysed signals, lane 0 the input and lane 1 the
// output: the first channel is the real part and the second the imaginary
// part, so one complex transform serves two real channels.
struct alignas(32) StereoPoint {
  StereoLanes re;
  StereoLanes im;
};

// The two complex transforms, input (0) and output (1), in groups of four
// points: per group the real parts of the four points in the input's
// transform, then in the output's, then the imaginary parts likewise. A
// vector of eight thus holds one part of four consecutive points of both
// transforms, and a group spans two cache lines (arrays of their own would
// put the many streams of a pass on the same few cache sets).
struct TransformBuffers {
  alignas(64) double groups[kTransformPoints / 4][16];

  double Re(int transform, int point) const {
    return groups[point >> 2][4 * transform + (point & 3)];
  }
  double Im(int transform, int point) const {
    return groups[point >> 2][8 + 4 * transform + (point & 3)];
  }
};

// The Hann window and the twiddles of every pass, built once per
// preparation; they depend on nothing else.
struct TransformTables {
  TransformTables();

  static constexpr int kRadix4Passes = 5;
  static constexpr int kTwiddleCount = 4 + 16 + 64 + 256 + 1024;

  alignas(64) double window[kTransformPoints];
  double windowSum;
  // The first group block i of the windowing step writes: 4 times the 9-bit
  // reversal of i.
  std::uint16_t blockGroup[kTransformPoints / 16];
  // Per radix-4 pass of quarter length q, from offset[pass]: W^j, W^2j and
  // W^3j for j < q, W = e^(-2πi/4q), as six arrays of q values each.
  int offset[kRadix4Passes];
  alignas(64) double radix4[6 * kTwiddleCount];
  // e^(-2πi·j/8192) for j < 4096, for the last, radix-2 pass.
  alignas(64) double lastRe[kTransformPoints / 2];
  alignas(64) double lastIm[kTransformPoints / 2];
};

// Blocks 0 … 511 of the windowing step: block i windows the 16 time points
// i + 512·k (k = 0 … 15, counted from ring[oldest]) and runs the first two
// stages and the first radix-4 pass on them. Block i reads no point older
// than i.
constexpr int kWindowBlocks = kTransformPoints / 16;

// The passes after windowing, in units of 16 points of each transform (512
// units per pass); the transform is complete once every unit has run, in
// order.
constexpr int kTransformUnits = 5 * 512;

using WindowKernel = void (*)(const StereoPoint* ring, int oldest, const TransformTables& tables,
                              TransformBuffers& buffers, int first, int end);
using PassKernel = void (*)(const TransformTables& tables, TransformBuffers& buffers, int first,
                            int end);

struct TransformKernels {
  WindowKernel window;
  PassKernel passes;
};

// The fastest kernels this processor runs; all kernels give identical
// results, bit for bit.
TransformKernels SelectTransformKernels();

// The kernels for processors without wider vectors.
TransformKernels PortableTransformKernels();

} // namespace tarvex
