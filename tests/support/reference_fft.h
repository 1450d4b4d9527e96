#pragma once

#include <cmath>
#include <complex>
#include <utility>
#include <vector>

#include "tarvex/engine/engine_constants.h"

namespace tarvex::testing {

using LongComplex = std::complex<long double>;

// n with its lowest `bits` bits in reverse order.
inline int ReverseBits(int n, int bits) {
  int r = 0;
  for (int b = 0; b < bits; ++b) r |= ((n >> b) & 1) << (bits - 1 - b);
  return r;
}

// The discrete Fourier transform X[k] = Σ x[n]·e^(-2πi·nk/N) in long double,
// written plainly: radix-2 stages over bit-reversed input, each twiddle
// computed directly. N must be a power of two. Its error, some 1e-18 of the
// largest bin, is far below that of any double transform.
inline std::vector<LongComplex> LongDoubleFft(const std::vector<LongComplex>& x) {
  const int n = static_cast<int>(x.size());
  int bits = 0;
  while ((1 << bits) < n) ++bits;
  std::vector<LongComplex> a(n);
  for (int i = 0; i < n; ++i) a[ReverseBits(i, bits)] = x[i];
  for (int length = 2; length <= n; length *= 2)
    for (int j = 0; j < length / 2; ++j) {
      const long double angle = -2.0L * tarvex::kPiLong * j / length;
      const LongComplex w(std::cos(angle), std::sin(angle));
      for (int start = 0; start < n; start += length) {
        const LongComplex t = w * a[start + j + length / 2];
        a[start + j + length / 2] = a[start + j] - t;
        a[start + j] += t;
      }
    }
  return a;
}

// One bin of the transform summed directly, to check the one above.
inline LongComplex LongDoubleDftBin(const std::vector<LongComplex>& x, int k) {
  const int n = static_cast<int>(x.size());
  LongComplex sum = 0.0L;
  for (int i = 0; i < n; ++i) {
    const long double angle =
        -2.0L * tarvex::kPiLong * static_cast<long double>((1LL * i * k) % n) / n;
    sum += x[i] * LongComplex(std::cos(angle), std::sin(angle));
  }
  return sum;
}

} // namespace tarvex::testing
