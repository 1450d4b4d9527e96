#include <algorithm>
#include <cmath>
#include <cstdint>

#include "tarvex/engine/feedback_engine.h"

namespace tarvex {
namespace {

constexpr int kWindowPerStep = 128;
// As many calls as 160 radix-2 butterflies per call would take for the 13
// stages of 4096 butterflies.
constexpr int kTransformSteps = (13 * kRingSize / 2 + 159) / 160;
constexpr int kMagnitudesPerStep = 128;
constexpr int kDisplayBinsPerStep = 4;

// Largest of a band's values, several bins to a vector. The largest of a set
// is the same in any order, so every vector width gives the same result.
template <typename Lanes, typename Mask>
[[gnu::always_inline]] inline double BandPeakLanes(int first, int last, const double* m) {
  constexpr int kWidth = sizeof(Lanes) / sizeof(double);
  typedef double Unaligned __attribute__((vector_size(sizeof(Lanes)), aligned(8), may_alias));
  Lanes best = Lanes{} - 1.0;
  int k = first;
  for (; k + kWidth - 1 <= last; k += kWidth) {
    const Lanes v = *reinterpret_cast<const Unaligned*>(m + k);
    const Mask larger = v > best;
    best = (Lanes)(((Mask)v & larger) | ((Mask)best & ~larger));
  }
  double peak = -1.0;
  for (int lane = 0; lane < kWidth; ++lane) peak = std::max(peak, best[lane]);
  for (; k <= last; ++k) peak = std::max(peak, m[k]);
  return peak;
}

double BandPeakPortable(int first, int last, const double* m) {
  return BandPeakLanes<StereoLanes, StereoMask>(first, last, m);
}

#if defined(__x86_64__) || defined(__i386__)
typedef double WideLanes __attribute__((vector_size(32)));
typedef std::int64_t WideMask __attribute__((vector_size(32)));

__attribute__((target("avx2"))) double BandPeakAvx2(int first, int last, const double* m) {
  return BandPeakLanes<WideLanes, WideMask>(first, last, m);
}
#endif

using BandPeakKernel = double (*)(int first, int last, const double* m);

const BandPeakKernel kBandPeak = [] {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx2")) return BandPeakAvx2;
#endif
  return BandPeakPortable;
}();

float ToDb(double power) { return static_cast<float>(PowerDb(power)); }

} // namespace

double BandPeak(int first, int last, const double* m) {
  if (last < first) return 0.0;
  return kBandPeak(first, last, m);
}

void FeedbackEngine::StartAnalyzer() {
  analyzer_.stage = AnalyzerStage::kWindow;
  analyzer_.oldest = analyzer_.ringWrite;
  analyzer_.step = 0;
}

void FeedbackEngine::StepAnalyzer() {
  switch (analyzer_.stage) {
    case AnalyzerStage::kWindow:
      StepWindow();
      break;
    case AnalyzerStage::kButterflies:
      StepButterflies();
      break;
    case AnalyzerStage::kMagnitudes:
      StepMagnitudes();
      break;
    case AnalyzerStage::kDisplayBins:
      StepDisplayBins();
      break;
    case AnalyzerStage::kDetect:
      DetectFeedback();
      analyzer_.stage = AnalyzerStage::kIdle;
      break;
    case AnalyzerStage::kIdle:
      break;
  }
}

// Each window step windows 128 points as 8 blocks of 16 and runs the
// transform's first stages on them. No step reads a ring slot that has been
// overwritten since the analysis started: step s runs blocks of at least
// 8·s, which read offsets of at least 8·s from the oldest point, and at most
// s samples have been written.
void FeedbackEngine::StepWindow() {
  constexpr int kBlocksPerStep = kWindowPerStep / 16;
  Analyzer& a = analyzer_;
  const int first = a.step * kBlocksPerStep;
  const int end = std::min(first + kBlocksPerStep, kWindowBlocks);
  a.transform.window(a.ring, a.oldest, a.tables, a.buffers, first, end);
  ++a.step;
  if (end == kWindowBlocks) {
    a.stage = AnalyzerStage::kButterflies;
    a.step = 0;
  }
}

// The remaining passes take exactly as many calls as the radix-2 butterflies
// they replace did, each call running an even share of their units.
void FeedbackEngine::StepButterflies() {
  Analyzer& a = analyzer_;
  const int first = a.step * kTransformUnits / kTransformSteps;
  const int end = (a.step + 1) * kTransformUnits / kTransformSteps;
  a.transform.passes(a.tables, a.buffers, first, end);
  if (++a.step == kTransformSteps) {
    a.stage = AnalyzerStage::kMagnitudes;
    a.step = 0;
  }
}

void FeedbackEngine::StepMagnitudes() {
  Analyzer& a = analyzer_;
  const int end = std::min(a.step + kMagnitudesPerStep, kSpectrumBins);
  a.magnitudes(a.buffers, 1.0 / a.tables.windowSum, a.step, end,
               {a.inPower[0], a.inPower[1], a.linkedPower, a.outPower});
  a.step = end;
  if (end == kSpectrumBins) {
    a.stage = AnalyzerStage::kDisplayBins;
    a.step = 0;
    exchange_.working.signal = false;
  }
}

// A band shows the largest mean power of the two channels.
void FeedbackEngine::StepDisplayBins() {
  Analyzer& a = analyzer_;
  EngineSnapshot& w = exchange_.working;
  const int end = std::min(a.step + kDisplayBinsPerStep, kDisplayBinCount);
  for (int j = a.step; j < end; ++j) {
    const int lower = a.displayLower[j];
    const int upper = a.displayUpper[j];
    w.inputSpectrumDb[j] = ToDb(BandPeak(lower, upper, a.linkedPower));
    w.outputSpectrumDb[j] = ToDb(BandPeak(lower, upper, a.outPower));
    if (w.inputSpectrumDb[j] > -100.0f) w.signal = true;
  }
  a.step = end;
  if (end == kDisplayBinCount) a.stage = AnalyzerStage::kDetect;
}

// A sweep of an unchanged bank would give the values the display already
// holds, so it is skipped; a reset makes the held values stale.
void FeedbackEngine::CopyBankForResponseDisplay() {
  ResponseDisplay& r = response_;
  bool changed = r.stale;
  for (int ch = 0; ch < kEngineChannels; ++ch)
    for (int s = 0; s < kSlotCount; ++s) {
      const NotchSection& sec = bank_.sections[ch][s];
      ResponseSection& copy = r.bank[ch][s];
      if (copy.b0 != sec.b0 || copy.b1 != sec.b1 || copy.b2 != sec.b2 || copy.a1 != sec.a1 ||
          copy.a2 != sec.a2) {
        ++r.generation[ch][s];
        changed = true;
      }
      if (copy.wet != sec.wet) changed = true;
      copy = {sec.b0, sec.b1, sec.b2, sec.a1, sec.a2, sec.wet};
    }
  if (changed) {
    r.bin = 0;
    r.stale = false;
  }
}

void FeedbackEngine::StepResponseDisplay() {
  ResponseDisplay& r = response_;
  if (r.bin >= kDisplayBinCount) return;
  if (r.parity++ & 1u) return;
  const int a = r.bin++;
  const ComplexValue z = r.z[a];
  const ComplexValue z2 = r.z2[a];
  for (int ch = 0; ch < kEngineChannels; ++ch) {
    ComplexValue h{1.0, 0.0};
    for (int slot = 0; slot < kSlotCount; ++slot) {
      const ResponseSection& s = r.bank[ch][slot];
      if (s.wet == 0.0) continue;
      ResponseDisplay::CacheEntry& entry = r.cache[a][ch][slot];
      if (entry.generation != r.generation[ch][slot]) {
        entry.response = SectionResponse(s.b0, s.b1, s.b2, s.a1, s.a2, z, z2);
        entry.generation = r.generation[ch][slot];
      }
      h = MixSectionResponse(h, entry.response, s.wet);
    }
    exchange_.working.responseDb[ch][a] = static_cast<float>(MagnitudeDb(h));
  }
}

} // namespace tarvex
