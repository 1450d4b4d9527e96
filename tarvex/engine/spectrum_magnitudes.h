#pragma once

#include "tarvex/engine/fft_transform.h"

namespace tarvex {

// Where the powers (squared amplitude magnitudes) of bins k go: of each input
// channel, their mean, and the mean of the two output channels. Everything
// that reads them compares, sums or takes logarithms, so no bin needs a
// square root.
struct MagnitudeArrays {
  double* input0;
  double* input1;
  double* linkedInput;
  double* outputPower;
};

// Splits bins first … end - 1 (end ≤ 4097) of the two transforms into the
// powers of their real channels, (|X + conj(Y)|·scale)² and
// (|X − conj(Y)|·scale)², Y being the mirrored bin and scale one over the
// window sum.
using MagnitudeKernel = void (*)(const TransformBuffers& buffers, double scale, int first, int end,
                                 const MagnitudeArrays& out);

// The fastest kernel this processor runs; all kernels give identical results.
MagnitudeKernel SelectMagnitudeKernel();

// The kernel for processors without wider vectors.
MagnitudeKernel PortableMagnitudeKernel();

} // namespace tarvex
