#include "framework/core/sample_conversion.h"

#include <cstdint>

namespace plugkit {

namespace {

template <typename Dst, typename Src>
bool Overlap(const Dst* dst, const Src* src, int n) {
  const auto dstBegin = reinterpret_cast<uintptr_t>(dst);
  const auto srcBegin = reinterpret_cast<uintptr_t>(src);
  const uintptr_t dstEnd = dstBegin + sizeof(Dst) * static_cast<uintptr_t>(n);
  const uintptr_t srcEnd = srcBegin + sizeof(Src) * static_cast<uintptr_t>(n);
  return dstBegin < srcEnd && srcBegin < dstEnd;
}

template <typename Dst, typename Src>
void CastCopy(Dst* dst, const Src* src, int n) {
  if (n <= 0) return;
  int i = 0;
  if (!Overlap(dst, src, n)) {
    // Disjoint buffers: a fixed group size lets the compiler vectorise.
    for (; i + 8 <= n; i += 8) {
      for (int k = 0; k < 8; ++k) dst[i + k] = static_cast<Dst>(src[i + k]);
    }
  }
  for (; i < n; ++i) dst[i] = static_cast<Dst>(src[i]);
}

} // namespace

void CastCopyFloatToDouble(double* dst, const float* src, int n) { CastCopy(dst, src, n); }

void CastCopyDoubleToFloat(float* dst, const double* src, int n) { CastCopy(dst, src, n); }

} // namespace plugkit
