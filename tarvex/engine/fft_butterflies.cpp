#include "tarvex/engine/fft_butterflies.h"

namespace tarvex {
namespace {

inline void Butterfly(StereoPoint& a, StereoPoint& b, double wr, double wi) {
  const StereoLanes tr = wr * b.re - wi * b.im;
  const StereoLanes ti = wr * b.im + wi * b.re;
  const StereoLanes ar = a.re, ai = a.im;
  a.re = ar + tr;
  a.im = ai + ti;
  b.re = ar - tr;
  b.im = ai - ti;
}

// Points p[k] = base + k·h, k = 0 … 7, of group g: the three stages of half
// lengths h, 2h and 4h pair them as below.
inline int GroupBase(int g, int h, int shift) {
  return ((g >> shift) << (shift + 3)) + (g & (h - 1));
}

void Butterflies(const ButterflyData& data, const ButterflyPass& pass, int first, int end) {
  StereoPoint* fft = data.fft;
  const double* twRe = data.twiddleRe;
  const double* twIm = data.twiddleIm;
  const int h = pass.half;
  const int shift = __builtin_ctz(static_cast<unsigned>(h));
  if (pass.cost == 1) {
    for (int q = first; q < end; ++q) {
      StereoPoint a = data.windowed[data.bitReverse[2 * q]];
      StereoPoint b = data.windowed[data.bitReverse[2 * q + 1]];
      Butterfly(a, b, twRe[1], twIm[1]);
      fft[2 * q] = a;
      fft[2 * q + 1] = b;
    }
    return;
  }
  for (int g = first; g < end; ++g) {
    const int j = g & (h - 1);
    StereoPoint* p = fft + GroupBase(g, h, shift);
    StereoPoint x[8];
    for (int k = 0; k < 8; ++k) x[k] = p[k * h];
    for (int k = 0; k < 8; k += 2) Butterfly(x[k], x[k + 1], twRe[h + j], twIm[h + j]);
    for (int k = 0; k < 2; ++k) {
      const int t = 2 * h + j + k * h;
      Butterfly(x[k], x[k + 2], twRe[t], twIm[t]);
      Butterfly(x[k + 4], x[k + 6], twRe[t], twIm[t]);
    }
    for (int k = 0; k < 4; ++k) {
      const int t = 4 * h + j + k * h;
      Butterfly(x[k], x[k + 4], twRe[t], twIm[t]);
    }
    for (int k = 0; k < 8; ++k) p[k * h] = x[k];
  }
}

#if defined(__x86_64__) || defined(__i386__)
typedef double PointLanes __attribute__((vector_size(32), may_alias));
typedef std::int64_t PointIndex __attribute__((vector_size(32)));

// A whole point in one register: t = w·b becomes wr·(re, im) + wi·(−im, re),
// which rounds exactly as wr·re − wi·im and wr·im + wi·re do (negating an
// operand negates the rounded product, and x + (−y) is x − y; the analysed
// points are always finite). Both twiddle parts are plain broadcasts from
// memory and the only shuffle is the swap of b's halves.
__attribute__((target("avx"))) inline void ButterflyAvx(PointLanes& a, PointLanes& b,
                                                        const double* wr, const double* wi) {
  const PointLanes swapped = __builtin_shuffle(b, PointIndex{2, 3, 0, 1});
  const PointLanes negated =
      (PointLanes)((PointIndex)swapped ^ PointIndex{INT64_MIN, INT64_MIN, 0, 0});
  const PointLanes t =
      PointLanes{*wr, *wr, *wr, *wr} * b + PointLanes{*wi, *wi, *wi, *wi} * negated;
  const PointLanes sum = a + t;
  b = a - t;
  a = sum;
}

__attribute__((target("avx"))) void ButterfliesAvx(const ButterflyData& data,
                                                   const ButterflyPass& pass, int first, int end) {
  StereoPoint* fft = data.fft;
  const double* twRe = data.twiddleRe;
  const double* twIm = data.twiddleIm;
  const int h = pass.half;
  const int shift = __builtin_ctz(static_cast<unsigned>(h));
  if (pass.cost == 1) {
    const PointLanes* windowed = reinterpret_cast<const PointLanes*>(data.windowed);
    for (int q = first; q < end; ++q) {
      PointLanes a = windowed[data.bitReverse[2 * q]];
      PointLanes b = windowed[data.bitReverse[2 * q + 1]];
      ButterflyAvx(a, b, twRe + 1, twIm + 1);
      PointLanes* p = reinterpret_cast<PointLanes*>(&fft[2 * q]);
      p[0] = a;
      p[1] = b;
    }
    return;
  }
  for (int g = first; g < end; ++g) {
    const int j = g & (h - 1);
    PointLanes* p = reinterpret_cast<PointLanes*>(fft + GroupBase(g, h, shift));
    PointLanes x0 = p[0], x1 = p[h], x2 = p[2 * h], x3 = p[3 * h];
    PointLanes x4 = p[4 * h], x5 = p[5 * h], x6 = p[6 * h], x7 = p[7 * h];
    const int t1 = h + j;
    ButterflyAvx(x0, x1, twRe + t1, twIm + t1);
    ButterflyAvx(x2, x3, twRe + t1, twIm + t1);
    ButterflyAvx(x4, x5, twRe + t1, twIm + t1);
    ButterflyAvx(x6, x7, twRe + t1, twIm + t1);
    const int t2 = 2 * h + j, t3 = t2 + h;
    ButterflyAvx(x0, x2, twRe + t2, twIm + t2);
    ButterflyAvx(x4, x6, twRe + t2, twIm + t2);
    ButterflyAvx(x1, x3, twRe + t3, twIm + t3);
    ButterflyAvx(x5, x7, twRe + t3, twIm + t3);
    const int t4 = 4 * h + j;
    ButterflyAvx(x0, x4, twRe + t4, twIm + t4);
    ButterflyAvx(x1, x5, twRe + t4 + h, twIm + t4 + h);
    ButterflyAvx(x2, x6, twRe + t4 + 2 * h, twIm + t4 + 2 * h);
    ButterflyAvx(x3, x7, twRe + t4 + 3 * h, twIm + t4 + 3 * h);
    p[0] = x0, p[h] = x1, p[2 * h] = x2, p[3 * h] = x3;
    p[4 * h] = x4, p[5 * h] = x5, p[6 * h] = x6, p[7 * h] = x7;
  }
}
#endif

} // namespace

void WindowFirstPass(const StereoPoint* ring, int oldest, const double* window,
                     const std::uint16_t* bitReverse, const double* twiddleRe,
                     const double* twiddleIm, StereoPoint* fft, int first, int end) {
  constexpr int kPoints = 8192;
  constexpr int kHalf = kPoints / 2;
  const double wr = twiddleRe[1], wi = twiddleIm[1];
  for (int m = first; m < end; ++m) {
    const StereoPoint& x0 = ring[(oldest + m) & (kPoints - 1)];
    const StereoPoint& x1 = ring[(oldest + m + kHalf) & (kPoints - 1)];
    const double w0 = window[m], w1 = window[m + kHalf];
    StereoPoint a{w0 * x0.re, w0 * x0.im};
    StereoPoint b{w1 * x1.re, w1 * x1.im};
    Butterfly(a, b, wr, wi);
    StereoPoint* y = fft + bitReverse[m];
    y[0] = a;
    y[1] = b;
  }
}

ButterflyKernel PortableButterflyKernel() { return Butterflies; }

ButterflyKernel SelectButterflyKernel() {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx")) return ButterfliesAvx;
#endif
  return Butterflies;
}

} // namespace tarvex
