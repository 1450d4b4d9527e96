#include "tarvex/engine/notch_sections.h"

#include <cstdint>

namespace tarvex {
namespace {

// Runs one section on the sample x, in place. A lane whose section is faded
// out passes its sample and keeps a zero state; when both lanes run
// (BothActive) there is nothing to mask. The state s1, s2 is the caller's
// copy of the section's. The same code runs on one section's two channels
// (StereoLanes) and on two sections side by side.
template <bool BothActive, typename Lanes, typename Mask, typename Section>
[[gnu::always_inline]] inline void RunSection(const Section& q, Lanes& s1, Lanes& s2, Lanes& x) {
  const Lanes v = q.b0 * x + s1;
  Lanes n1 = q.b1 * x - q.a1 * v + s2;
  Lanes n2 = q.b2 * x - q.a2 * v;
  FlushTinyLanes<Lanes, Mask>(n1);
  FlushTinyLanes<Lanes, Mask>(n2);
  const Lanes y = x + (v - x) * q.wet;
  if (BothActive) {
    s1 = n1;
    s2 = n2;
    x = y;
    return;
  }
  s1 = (Lanes)((Mask)n1 & q.active);
  s2 = (Lanes)((Mask)n2 & q.active);
  x = (Lanes)(((Mask)y & q.active) | ((Mask)x & ~q.active));
}

// The sections' states and the samples passed on from one section to the
// next, while a group runs.
template <int G>
struct GroupState {
  StereoLanes s1[G], s2[G];
  StereoLanes in[G]; // each section's input at the step to come
};

// One step t of a skewed group: section k takes sample t - k where that is
// one of the count samples. From the last section back, so each passes its
// output on after the next has taken its input.
template <int G, bool BothActive>
[[gnu::always_inline]] inline void SkewedStep(NotchLanes* const* sections, GroupState<G>& g,
                                              StereoLanes* samples, int count, int t) {
  if (t < count) g.in[0] = samples[t];
#pragma GCC unroll 4
  for (int k = G - 1; k >= 0; --k) {
    const int i = t - k;
    if (i < 0 || i >= count) continue;
    StereoLanes y = g.in[k];
    RunSection<BothActive, StereoLanes, StereoMask>(*sections[k], g.s1[k], g.s2[k], y);
    if (k == G - 1)
      samples[i] = y;
    else
      g.in[k + 1] = y;
  }
}

#if defined(__x86_64__) || defined(__i386__)
typedef double PairLanes __attribute__((vector_size(32)));
typedef std::int64_t PairMask __attribute__((vector_size(32)));

// Two consecutive sections in one vector: the first in lanes 0 and 1, the
// second in lanes 2 and 3.
struct SectionPair {
  PairLanes b0, b1, b2, a1, a2, wet;
  PairMask active;
};

__attribute__((target("avx2"))) [[gnu::always_inline]] inline PairLanes Join(StereoLanes low,
                                                                             StereoLanes high) {
  return PairLanes{low[0], low[1], high[0], high[1]};
}

// The steps in which all four sections of a group have a sample (t = 3 …
// count - 1), two sections to a vector: the second section of a pair works
// one sample behind the first, and a step's outputs become the next step's
// inputs one section further on.
template <bool BothActive>
__attribute__((target("avx2"))) void PairedSteps(NotchLanes* const* sections, GroupState<4>& g,
                                                 StereoLanes* samples, int count) {
  SectionPair pair[2];
  for (int p = 0; p < 2; ++p) {
    const NotchLanes& a = *sections[2 * p];
    const NotchLanes& b = *sections[2 * p + 1];
    pair[p] = {Join(a.b0, b.b0),
               Join(a.b1, b.b1),
               Join(a.b2, b.b2),
               Join(a.a1, b.a1),
               Join(a.a2, b.a2),
               Join(a.wet, b.wet),
               PairMask{a.active[0], a.active[1], b.active[0], b.active[1]}};
  }
  PairLanes s1[2] = {Join(g.s1[0], g.s1[1]), Join(g.s1[2], g.s1[3])};
  PairLanes s2[2] = {Join(g.s2[0], g.s2[1]), Join(g.s2[2], g.s2[3])};
  PairLanes x0 = Join(samples[3], g.in[1]);
  PairLanes x1 = Join(g.in[2], g.in[3]);
  for (int t = 3; t < count; ++t) {
    PairLanes y0 = x0, y1 = x1;
    RunSection<BothActive, PairLanes, PairMask>(pair[0], s1[0], s2[0], y0);
    RunSection<BothActive, PairLanes, PairMask>(pair[1], s1[1], s2[1], y1);
    samples[t - 3] = StereoLanes{y1[2], y1[3]};
    const StereoLanes next = t + 1 < count ? samples[t + 1] : StereoLanes{0.0, 0.0};
    x0 = PairLanes{next[0], next[1], y0[0], y0[1]};
    x1 = __builtin_shuffle(y0, y1, PairMask{2, 3, 4, 5});
  }
  for (int p = 0; p < 2; ++p) {
    g.s1[2 * p] = StereoLanes{s1[p][0], s1[p][1]};
    g.s1[2 * p + 1] = StereoLanes{s1[p][2], s1[p][3]};
    g.s2[2 * p] = StereoLanes{s2[p][0], s2[p][1]};
    g.s2[2 * p + 1] = StereoLanes{s2[p][2], s2[p][3]};
  }
  g.in[1] = StereoLanes{x0[2], x0[3]};
  g.in[2] = StereoLanes{x1[0], x1[1]};
  g.in[3] = StereoLanes{x1[2], x1[3]};
}

const bool kPairedSteps = [] {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2") != 0;
}();
#endif

// Up to G consecutive sections over count samples, skewed: at step t
// section k takes sample t - k, so the G sections of one step are independent
// and run side by side instead of waiting on each other's latency. The
// sections' states and the samples passed on stay in registers for the
// whole run.
template <int G, bool BothActive>
void RunSkewed(NotchLanes* const* sections, StereoLanes* samples, int count) {
  GroupState<G> g;
#pragma GCC unroll 4
  for (int k = 0; k < G; ++k) {
    g.s1[k] = sections[k]->s1;
    g.s2[k] = sections[k]->s2;
    g.in[k] = StereoLanes{0.0, 0.0};
  }
  int t = 0;
#if defined(__x86_64__) || defined(__i386__)
  if constexpr (G == 4) {
    if (kPairedSteps && count > G) {
      for (; t < G - 1; ++t) SkewedStep<G, BothActive>(sections, g, samples, count, t);
      PairedSteps<BothActive>(sections, g, samples, count);
      t = count;
    }
  }
#endif
  for (; t < count + G - 1; ++t) SkewedStep<G, BothActive>(sections, g, samples, count, t);
#pragma GCC unroll 4
  for (int k = 0; k < G; ++k) {
    sections[k]->s1 = g.s1[k];
    sections[k]->s2 = g.s2[k];
  }
}

template <int G>
void RunGroup(NotchLanes* const* sections, StereoLanes* samples, int count) {
  bool both = true;
  for (int k = 0; k < G; ++k) both = both && sections[k]->active[0] && sections[k]->active[1];
  if (both)
    RunSkewed<G, true>(sections, samples, count);
  else
    RunSkewed<G, false>(sections, samples, count);
}

} // namespace

void RunSectionGroup(NotchLanes* const* sections, int size, StereoLanes* samples, int count) {
  switch (size) {
    case 1:
      RunGroup<1>(sections, samples, count);
      break;
    case 2:
      RunGroup<2>(sections, samples, count);
      break;
    case 3:
      RunGroup<3>(sections, samples, count);
      break;
    default:
      RunGroup<4>(sections, samples, count);
      break;
  }
}

} // namespace tarvex
