#pragma once

namespace tarvex::testing {

// n with its lowest `bits` bits in reverse order.
inline int ReverseBits(int n, int bits) {
  int r = 0;
  for (int b = 0; b < bits; ++b) r |= ((n >> b) & 1) << (bits - 1 - b);
  return r;
}

// The radix-2 stages of a decimation-in-time transform, written plainly,
// in place over points already in bit-reversed order: stage after stage,
// block after block, butterfly after butterfly. Twiddle index L/2 + j holds
// e^(-2πi·j/L) for the stage of length L.
inline void RadixTwoStages(double* re, double* im, int points, const double* twRe,
                           const double* twIm) {
  for (int length = 2; length <= points; length *= 2)
    for (int start = 0; start < points; start += length)
      for (int j = 0; j < length / 2; ++j) {
        const int a = start + j, b = a + length / 2;
        const double wr = twRe[length / 2 + j], wi = twIm[length / 2 + j];
        const double tr = wr * re[b] - wi * im[b], ti = wr * im[b] + wi * re[b];
        const double ar = re[a], ai = im[a];
        re[a] = ar + tr;
        im[a] = ai + ti;
        re[b] = ar - tr;
        im[b] = ai - ti;
      }
}

} // namespace tarvex::testing
