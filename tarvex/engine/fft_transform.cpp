#include "tarvex/engine/fft_transform.h"

#include <algorithm>
#include <cmath>

#include "tarvex/engine/engine_constants.h"

// The 8192-point transform, decimation in time over bit-reversed input.
// The windowing step reads the ring through the bit reversal and runs the
// first two radix-2 stages on the way (their twiddles are 1 and -i, so they
// need no multiplication) and then the first radix-4 pass, on 16 points at a
// time. Four more radix-4 passes each do the work of two radix-2 stages with
// three complex multiplications per four points where two radix-2 stages
// need four, and a last radix-2 pass joins the two halves. Twiddles come from
// precomputed tables, each rounded once from long double.
//
// Real and imaginary parts are kept apart (see TransformBuffers), so a
// vector holds one part of consecutive points and a complex multiplication
// needs no shuffle; both transforms, input and output, share every
// operation. Each transform carries two real channels as its real and
// imaginary parts; the magnitude step separates them. The vector code is
// written with the compiler's generic vectors: built for a processor with
// wider vectors it gives the same operations, lane by lane, as the portable
// build.

namespace tarvex {
namespace {

typedef double Vec __attribute__((vector_size(32), may_alias));
typedef std::int64_t VecIndex __attribute__((vector_size(32)));

constexpr int kN = kTransformPoints;
constexpr int kMask = kN - 1;
constexpr int kUnitsPerPass = 512;

int Reverse9(int n) {
  int r = 0;
  for (int b = 0; b < 9; ++b) r |= ((n >> b) & 1) << (8 - b);
  return r;
}

// One part of four consecutive points of both transforms, as the buffers
// hold them.
typedef double Wide __attribute__((vector_size(64), may_alias));

struct Complex {
  Wide re, im;
};

// Four values, once for each transform.
[[gnu::always_inline]] inline void Twice(Wide& out, const double* p) {
  const Vec v = *reinterpret_cast<const Vec*>(p);
  out = Wide{v[0], v[1], v[2], v[3], v[0], v[1], v[2], v[3]};
}

[[gnu::always_inline]] inline Complex Multiply(const Complex& x, const double* wRe,
                                               const double* wIm, int j) {
  Wide wr, wi;
  Twice(wr, wRe + j);
  Twice(wi, wIm + j);
  return {x.re * wr - x.im * wi, x.re * wi + x.im * wr};
}

[[gnu::always_inline]] inline Complex LoadGroup(const double* group) {
  return {*reinterpret_cast<const Wide*>(group), *reinterpret_cast<const Wide*>(group + 8)};
}

[[gnu::always_inline]] inline void StoreGroup(double* group, const Complex& c) {
  *reinterpret_cast<Wide*>(group) = c.re;
  *reinterpret_cast<Wide*>(group + 8) = c.im;
}

// Windows the points n, n + 4096, n + 2048 and n + 6144 (the order the bit
// reversal puts them in) and runs the stages of lengths 2 and 4 on them.
[[gnu::always_inline]] inline void FirstStages(Complex& out, const Vec* points, int oldest,
                                               const double* w, int n) {
  const Vec a0 = points[(oldest + n) & kMask] * w[n];
  const Vec a1 = points[(oldest + n + 4096) & kMask] * w[n + 4096];
  const Vec a2 = points[(oldest + n + 2048) & kMask] * w[n + 2048];
  const Vec a3 = points[(oldest + n + 6144) & kMask] * w[n + 6144];
  const Vec s0 = a0 + a1, s1 = a0 - a1, s2 = a2 + a3, s3 = a2 - a3;
  const Vec y0 = s0 + s2, y2 = s0 - s2;
  // y1 = s1 - i·s3 and y3 = s1 + i·s3.
  const Vec swapped = __builtin_shuffle(s3, VecIndex{2, 3, 0, 1});
  const Vec plus = s1 + swapped, minus = s1 - swapped;
  const Vec y1 = __builtin_shuffle(plus, minus, VecIndex{0, 1, 6, 7});
  const Vec y3 = __builtin_shuffle(minus, plus, VecIndex{0, 1, 6, 7});
  // Rows y0 … y3 become the four signals' columns: the real parts of both
  // transforms, then the imaginary parts.
  const Vec even01 = __builtin_shuffle(y0, y1, VecIndex{0, 4, 2, 6});
  const Vec odd01 = __builtin_shuffle(y0, y1, VecIndex{1, 5, 3, 7});
  const Vec even23 = __builtin_shuffle(y2, y3, VecIndex{0, 4, 2, 6});
  const Vec odd23 = __builtin_shuffle(y2, y3, VecIndex{1, 5, 3, 7});
  const Vec re0 = __builtin_shuffle(even01, even23, VecIndex{0, 1, 4, 5});
  const Vec im0 = __builtin_shuffle(even01, even23, VecIndex{2, 3, 6, 7});
  const Vec re1 = __builtin_shuffle(odd01, odd23, VecIndex{0, 1, 4, 5});
  const Vec im1 = __builtin_shuffle(odd01, odd23, VecIndex{2, 3, 6, 7});
  out.re = Wide{re0[0], re0[1], re0[2], re0[3], re1[0], re1[1], re1[2], re1[3]};
  out.im = Wide{im0[0], im0[1], im0[2], im0[3], im1[0], im1[1], im1[2], im1[3]};
}

// One radix-4 butterfly on four consecutive j of both transforms: the
// quarters E0 … E3 of a block of 4q points hold the transforms of its points
// ≡ 0, 2, 1 and 3 mod 4 (bit-reversed order), so with W = e^(-2πi/4q),
// t0 = E0, t1 = W^2j·E1, t2 = W^j·E2 and t3 = W^3j·E3 the block becomes
// t0 + t1 ± (t2 + t3) and t0 - t1 ∓ i·(t2 - t3). tw holds W^j, W^2j and
// W^3j as six arrays of q.
[[gnu::always_inline]] inline void Radix4(Complex& e0, Complex& e1, Complex& e2, Complex& e3,
                                          const double* tw, int q, int j) {
  const Complex t1 = Multiply(e1, tw + 2 * q, tw + 3 * q, j);
  const Complex t2 = Multiply(e2, tw, tw + q, j);
  const Complex t3 = Multiply(e3, tw + 4 * q, tw + 5 * q, j);
  const Complex sum01{e0.re + t1.re, e0.im + t1.im};
  const Complex diff01{e0.re - t1.re, e0.im - t1.im};
  const Complex sum23{t2.re + t3.re, t2.im + t3.im};
  const Complex diff23{t2.re - t3.re, t2.im - t3.im};
  e0 = {sum01.re + sum23.re, sum01.im + sum23.im};
  e1 = {diff01.re + diff23.im, diff01.im - diff23.re};
  e2 = {sum01.re - sum23.re, sum01.im - sum23.im};
  e3 = {diff01.re - diff23.im, diff01.im + diff23.re};
}

// Blocks first … end - 1 of 16 points: block i takes the groups of the
// first two stages that start at the points i, i + 1024, i + 512 and
// i + 1536, and runs the radix-4 pass of quarter 4 on them.
[[gnu::always_inline]] inline void WindowBlocks(const StereoPoint* ring, int oldest,
                                                const TransformTables& t, TransformBuffers& out,
                                                int first, int end) {
  // A ring point's lanes: input channel 0, output channel 0, input channel 1,
  // output channel 1.
  const Vec* points = reinterpret_cast<const Vec*>(ring);
  const double* tw = t.radix4 + 6 * t.offset[0];
  for (int i = first; i < end; ++i) {
    Complex g[4];
    FirstStages(g[0], points, oldest, t.window, i);
    FirstStages(g[1], points, oldest, t.window, i + 1024);
    FirstStages(g[2], points, oldest, t.window, i + 512);
    FirstStages(g[3], points, oldest, t.window, i + 1536);
    Radix4(g[0], g[1], g[2], g[3], tw, 4, 0);
    double(*block)[16] = &out.groups[t.blockGroup[i]];
    for (int k = 0; k < 4; ++k) StoreGroup(block[k], g[k]);
  }
}

// Units first … end - 1 of the radix-4 pass of quarter q = 4^(pass + 1),
// counted within the pass: unit u is four consecutive j of one block of 4q
// points, in both transforms.
[[gnu::always_inline]] inline void Radix4Units(const TransformTables& t, int pass,
                                               TransformBuffers& b, int first, int end) {
  const int q = 4 << (2 * pass);
  const int groupShift = 2 * pass; // q/4 = 4^pass groups of four points per quarter
  const int groupsPerQuarter = 1 << groupShift;
  const double* tw = t.radix4 + 6 * t.offset[pass];
  int j = 4 * (first & (groupsPerQuarter - 1));
  double(*g)[16] = &b.groups[(first >> groupShift) * 4 * groupsPerQuarter + j / 4];
  for (int u = first; u < end; ++u) {
    Complex e0 = LoadGroup(g[0]), e1 = LoadGroup(g[groupsPerQuarter]);
    Complex e2 = LoadGroup(g[2 * groupsPerQuarter]), e3 = LoadGroup(g[3 * groupsPerQuarter]);
    Radix4(e0, e1, e2, e3, tw, q, j);
    StoreGroup(g[0], e0);
    StoreGroup(g[groupsPerQuarter], e1);
    StoreGroup(g[2 * groupsPerQuarter], e2);
    StoreGroup(g[3 * groupsPerQuarter], e3);
    ++g;
    j += 4;
    if (j == q) {
      j = 0;
      g += 3 * groupsPerQuarter;
    }
  }
}

// Units first … end - 1 of the last pass: j = 8u … 8u + 7 of the two halves.
[[gnu::always_inline]] inline void Radix2Units(const TransformTables& t, TransformBuffers& b,
                                               int first, int end) {
  constexpr int kHalfGroups = kN / 8;
  for (int j = 8 * first; j < 8 * end; j += 4) {
    double(*g)[16] = &b.groups[j / 4];
    const Complex e0 = LoadGroup(g[0]);
    const Complex e1 = Multiply(LoadGroup(g[kHalfGroups]), t.lastRe, t.lastIm, j);
    StoreGroup(g[0], {e0.re + e1.re, e0.im + e1.im});
    StoreGroup(g[kHalfGroups], {e0.re - e1.re, e0.im - e1.im});
  }
}

// The passes after the windowing step, in runs of units of one pass. The
// passes of quarters 16 and 64 run block by block: both on one block of 256
// points (which stays in the first-level cache) before the next, as 16 units
// of the one and 16 of the other; then come the passes of quarters 256 and
// 1024 and the last.
[[gnu::always_inline]] inline void PassUnits(const TransformTables& t, TransformBuffers& b,
                                             int first, int end) {
  while (first < end) {
    if (first < 2 * kUnitsPerPass) {
      const int runEnd = std::min(end, (first | 15) + 1);
      const int unit = 16 * (first >> 5) + (first & 15);
      Radix4Units(t, (first & 16) ? 2 : 1, b, unit, unit + runEnd - first);
      first = runEnd;
    } else if (first < 4 * kUnitsPerPass) {
      const int runEnd = std::min(end, (first / kUnitsPerPass + 1) * kUnitsPerPass);
      const int unit = first % kUnitsPerPass;
      Radix4Units(t, 1 + first / kUnitsPerPass, b, unit, unit + runEnd - first);
      first = runEnd;
    } else {
      Radix2Units(t, b, first - 4 * kUnitsPerPass, end - 4 * kUnitsPerPass);
      first = end;
    }
  }
}

void WindowPortable(const StereoPoint* ring, int oldest, const TransformTables& t,
                    TransformBuffers& out, int first, int end) {
  WindowBlocks(ring, oldest, t, out, first, end);
}

void PassesPortable(const TransformTables& t, TransformBuffers& b, int first, int end) {
  PassUnits(t, b, first, end);
}

#if defined(__x86_64__) || defined(__i386__)
__attribute__((target("avx2"))) void WindowAvx2(const StereoPoint* ring, int oldest,
                                                const TransformTables& t, TransformBuffers& out,
                                                int first, int end) {
  WindowBlocks(ring, oldest, t, out, first, end);
}

__attribute__((target("avx2"))) void PassesAvx2(const TransformTables& t, TransformBuffers& b,
                                                int first, int end) {
  PassUnits(t, b, first, end);
}
#endif

} // namespace

TransformTables::TransformTables() {
  windowSum = 0.0;
  for (int n = 0; n < kN; ++n) {
    window[n] = 0.5 - 0.5 * std::cos(2.0 * kPi * n / kN);
    windowSum += window[n];
  }
  for (int i = 0; i < kWindowBlocks; ++i)
    blockGroup[i] = static_cast<std::uint16_t>(4 * Reverse9(i));
  int at = 0;
  for (int pass = 0; pass < kRadix4Passes; ++pass) {
    const int q = 4 << (2 * pass);
    offset[pass] = at;
    double* tw = radix4 + 6 * at;
    for (int k = 1; k <= 3; ++k)
      for (int j = 0; j < q; ++j) {
        const long double angle = -2.0L * kPiLong * k * j / (4 * q);
        tw[(2 * k - 2) * q + j] = static_cast<double>(std::cos(angle));
        tw[(2 * k - 1) * q + j] = static_cast<double>(std::sin(angle));
      }
    at += q;
  }
  for (int j = 0; j < kN / 2; ++j) {
    const long double angle = -2.0L * kPiLong * j / kN;
    lastRe[j] = static_cast<double>(std::cos(angle));
    lastIm[j] = static_cast<double>(std::sin(angle));
  }
}

TransformKernels PortableTransformKernels() { return {WindowPortable, PassesPortable}; }

TransformKernels SelectTransformKernels() {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx2")) return {WindowAvx2, PassesAvx2};
#endif
  return PortableTransformKernels();
}

} // namespace tarvex
