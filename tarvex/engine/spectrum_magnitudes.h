#pragma once

#include "tarvex/engine/fft_transform.h"

namespace tarvex {

// Where the values of bins k go: the magnitude of each input channel, their
// root mean square, and the mean power of the two output channels (only the
// display reads the output, and it needs no magnitude per channel).
struct MagnitudeArrays {
  double* input0;
  double* input1;
  double* linkedInput;
  double* outputPower;
};

// Splits bins first … end - 1 (end ≤ 4097) of the two transforms into their
// real channels, |X + conj(Y)|·scale and |X − conj(Y)|·scale, Y being the
// mirrored bin and scale one over the window sum: the input's as magnitudes,
// the output's as the mean of their squares.
using MagnitudeKernel = void (*)(const TransformBuffers& buffers, double scale, int first, int end,
                                 const MagnitudeArrays& out);

// The fastest kernel this processor runs; all kernels give identical results.
MagnitudeKernel SelectMagnitudeKernel();

// The kernel for processors without wider vectors.
MagnitudeKernel PortableMagnitudeKernel();

} // namespace tarvex
