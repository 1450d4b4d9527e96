#pragma once

#include "tarvex/engine/fft_transform.h"

namespace tarvex {

// Where the magnitudes of bins k go: per channel of the input and of the
// output, and the root mean square of the two input channels.
struct MagnitudeArrays {
  double* input0;
  double* input1;
  double* output0;
  double* output1;
  double* linkedInput;
};

// Splits bins first … end - 1 (end ≤ 4097) of the two transforms into the
// amplitude magnitudes of each real channel: |X + conj(Y)|·scale and
// |X − conj(Y)|·scale, Y being the mirrored bin and scale one over the window
// sum.
using MagnitudeKernel = void (*)(const TransformBuffers& buffers, double scale, int first, int end,
                                 const MagnitudeArrays& out);

// The fastest kernel this processor runs; all kernels give identical results.
MagnitudeKernel SelectMagnitudeKernel();

// The kernel for processors without wider vectors.
MagnitudeKernel PortableMagnitudeKernel();

} // namespace tarvex
