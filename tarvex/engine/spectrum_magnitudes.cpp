#include "tarvex/engine/spectrum_magnitudes.h"

namespace tarvex {
namespace {

typedef double Vec __attribute__((vector_size(32)));
typedef double AliasVec __attribute__((vector_size(32), may_alias));
// The magnitude arrays are plain double arrays: stores to them may be
// unaligned.
typedef double UnalignedVec __attribute__((vector_size(32), aligned(8), may_alias));
typedef std::int64_t VecIndex __attribute__((vector_size(32)));

constexpr int kPoints = kTransformPoints;

// One bin, or four consecutive bins, of one transform: the same operations
// on a double or on each lane of a vector.
template <typename T>
struct BinPair {
  T first;
  T second;
};

// The squared magnitudes of the pair of real channels that share a bin.
template <typename T>
[[gnu::always_inline]] inline BinPair<T> SplitSquares(const T& xr, const T& xi, const T& yr,
                                                      const T& yi) {
  const T pr = xr + yr, pi = xi - yi;
  const T qr = xr - yr, qi = xi + yi;
  return {pr * pr + pi * pi, qr * qr + qi * qi};
}

[[gnu::always_inline]] inline void ScalarBin(const TransformBuffers& b, double scale, int k,
                                             const MagnitudeArrays& out) {
  const int mirror = (kPoints - k) & (kPoints - 1);
  const double scaleSquared = scale * scale;
  const BinPair<double> in = SplitSquares(b.Re(0, k), b.Im(0, k), b.Re(0, mirror), b.Im(0, mirror));
  const BinPair<double> o = SplitSquares(b.Re(1, k), b.Im(1, k), b.Re(1, mirror), b.Im(1, mirror));
  out.input0[k] = in.first * scaleSquared;
  out.input1[k] = in.second * scaleSquared;
  out.linkedInput[k] = (out.input0[k] + out.input1[k]) / 2.0;
  out.outputPower[k] = (o.first + o.second) * (scaleSquared / 2.0);
}

// Bins k … k + 3 of one transform, k = 4g (real parts at vector 0 of the
// transform's place in a group, imaginary parts at vector 2): their mirrors
// are the first point
// of group 2048 - g (group 0 for g = 0) and the last three of the group
// before it, in reverse order.
[[gnu::always_inline]] inline BinPair<Vec> VectorBins(const TransformBuffers& b, int transform,
                                                      int g) {
  constexpr int kGroups = kPoints / 4;
  const VecIndex mirrored{4, 3, 2, 1};
  const AliasVec* x = reinterpret_cast<const AliasVec*>(&b.groups[g][4 * transform]);
  const AliasVec* before =
      reinterpret_cast<const AliasVec*>(&b.groups[kGroups - 1 - g][4 * transform]);
  const AliasVec* after =
      reinterpret_cast<const AliasVec*>(&b.groups[(kGroups - g) & (kGroups - 1)][4 * transform]);
  const Vec yr = __builtin_shuffle(Vec(before[0]), Vec(after[0]), mirrored);
  const Vec yi = __builtin_shuffle(Vec(before[2]), Vec(after[2]), mirrored);
  return SplitSquares(Vec(x[0]), Vec(x[2]), yr, yi);
}

[[gnu::always_inline]] inline void StoreVec(double* p, const Vec& v) {
  *reinterpret_cast<UnalignedVec*>(p) = v;
}

[[gnu::always_inline]] inline void MagnitudeBins(const TransformBuffers& b, double scale, int first,
                                                 int end, const MagnitudeArrays& out) {
  const double scaleSquared = scale * scale;
  int k = first;
  for (; k % 4 == 0 && k + 4 <= end; k += 4) {
    const BinPair<Vec> in = VectorBins(b, 0, k / 4);
    const BinPair<Vec> o = VectorBins(b, 1, k / 4);
    const Vec input0 = in.first * scaleSquared, input1 = in.second * scaleSquared;
    StoreVec(out.input0 + k, input0);
    StoreVec(out.input1 + k, input1);
    StoreVec(out.linkedInput + k, (input0 + input1) / 2.0);
    StoreVec(out.outputPower + k, (o.first + o.second) * (scaleSquared / 2.0));
  }
  for (; k < end; ++k) ScalarBin(b, scale, k, out);
}

void MagnitudesPortable(const TransformBuffers& b, double scale, int first, int end,
                        const MagnitudeArrays& out) {
  MagnitudeBins(b, scale, first, end, out);
}

#if defined(__x86_64__) || defined(__i386__)
__attribute__((target("avx2"))) void MagnitudesAvx2(const TransformBuffers& b, double scale,
                                                    int first, int end,
                                                    const MagnitudeArrays& out) {
  MagnitudeBins(b, scale, first, end, out);
}
#endif

} // namespace

MagnitudeKernel PortableMagnitudeKernel() { return MagnitudesPortable; }

MagnitudeKernel SelectMagnitudeKernel() {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx2")) return MagnitudesAvx2;
#endif
  return MagnitudesPortable;
}

} // namespace tarvex
