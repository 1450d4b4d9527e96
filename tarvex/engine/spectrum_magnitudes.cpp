#include "tarvex/engine/spectrum_magnitudes.h"

#include <cmath>

namespace tarvex {
namespace {

constexpr int kPoints = 8192;

void Magnitudes(const StereoPoint* fft, double sum, int first, int end,
                const MagnitudeArrays& out) {
  for (int k = first; k < end; ++k) {
    const StereoPoint& x = fft[k];
    const StereoPoint& y = fft[(kPoints - k) & (kPoints - 1)];
    const StereoLanes pr = x.re + y.re, pi = x.im - y.im;
    const StereoLanes qr = x.re - y.re, qi = x.im + y.im;
    const StereoLanes p2 = pr * pr + pi * pi;
    const StereoLanes q2 = qr * qr + qi * qi;
    const StereoLanes m0 = StereoLanes{std::sqrt(p2[0]), std::sqrt(p2[1])} / sum;
    const StereoLanes m1 = StereoLanes{std::sqrt(q2[0]), std::sqrt(q2[1])} / sum;
    out.input0[k] = m0[0];
    out.input1[k] = m1[0];
    out.output0[k] = m0[1];
    out.output1[k] = m1[1];
    out.linkedInput[k] = std::sqrt((m0[0] * m0[0] + m1[0] * m1[0]) / 2.0);
  }
}

#if defined(__x86_64__) || defined(__i386__)
typedef double PointLanes __attribute__((vector_size(32), may_alias));
typedef double PairLanes __attribute__((vector_size(16)));
typedef std::int64_t PointIndex __attribute__((vector_size(32)));

// The four squares of one bin sum in pairs and go through one square root and
// one division; each lane rounds as the scalar sums, roots and quotients do.
__attribute__((target("avx"))) void MagnitudesAvx(const StereoPoint* fft, double sum, int first,
                                                  int end, const MagnitudeArrays& out) {
  const PointLanes flip{1.0, 1.0, -1.0, -1.0};
  const PointLanes divisor{sum, sum, sum, sum};
  for (int k = first; k < end; ++k) {
    const PointLanes x = *reinterpret_cast<const PointLanes*>(&fft[k]);
    const PointLanes y = *reinterpret_cast<const PointLanes*>(&fft[(kPoints - k) & (kPoints - 1)]);
    const PointLanes yc = y * flip;
    const PointLanes p = x + yc;
    const PointLanes q = x - yc;
    const PointLanes pp = p * p;
    const PointLanes qq = q * q;
    const PointLanes squares = __builtin_shuffle(pp, qq, PointIndex{0, 1, 4, 5}) +
                               __builtin_shuffle(pp, qq, PointIndex{2, 3, 6, 7});
    const PointLanes m = PointLanes{__builtin_sqrt(squares[0]), __builtin_sqrt(squares[1]),
                                    __builtin_sqrt(squares[2]), __builtin_sqrt(squares[3])} /
                         divisor;
    out.input0[k] = m[0];
    out.output0[k] = m[1];
    out.input1[k] = m[2];
    out.output1[k] = m[3];
    out.linkedInput[k] = std::sqrt((m[0] * m[0] + m[2] * m[2]) / 2.0);
  }
}
#endif

} // namespace

MagnitudeKernel PortableMagnitudeKernel() { return Magnitudes; }

MagnitudeKernel SelectMagnitudeKernel() {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx")) return MagnitudesAvx;
#endif
  return Magnitudes;
}

} // namespace tarvex
