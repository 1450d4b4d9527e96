#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "tarvex/engine/engine_snapshot.h"
#include "tarvex/engine/fft_transform.h"
#include "tarvex/engine/learned_set.h"
#include "tarvex/engine/level_climb.h"
#include "tarvex/engine/memo.h"
#include "tarvex/engine/param_table.h"
#include "tarvex/engine/section_response.h"
#include "tarvex/engine/spectrum_magnitudes.h"
#include "tarvex/engine/stereo_lanes.h"
#include "tarvex/engine/tone_level.h"

// The state of the engine, one record per part that owns it.
namespace tarvex {

constexpr int kRingSize = 8192;
constexpr int kSpectrumBins = kRingSize / 2 + 1;
constexpr int kAnalysisHop = 512;
// Samples between two control updates; the bank's smoothing coefficients
// are per control period.
constexpr int kControlPeriod = 32;

// Parameters as last set, and as the audio path glides towards them; only
// the continuous parameters glide, and only those still moving are listed.
struct ParamGlide {
  ParamValues target{};
  ParamValues smoothed{};
  std::array<std::uint8_t, kParamCount> glides{};
  std::array<std::int16_t, kParamCount> moving{};
  int movingCount = 0;
};

// Control state of one slot's section on one channel.
struct NotchSection {
  double b0 = 1.0, b1 = 0.0, b2 = 0.0, a1 = 0.0, a2 = 0.0;
  double fade = 0.0, envelope = 0.0, wet = 0.0, depth = 0.0;
  double designFrequency = -1.0, designQ = -1.0;
  bool designGlides = false;                // the design follows its slot's Manual knobs
  double cutExponent = 1.0, cutGain = 10.0; // last 10^exponent of the wet formula
};

// What the audio path runs for one slot, channel 0 in lane 0 and channel 1
// in lane 1; a lane whose section is faded out passes its sample unchanged
// and keeps its state at zero.
struct NotchLanes {
  StereoLanes b0, b1, b2, a1, a2, wet;
  StereoLanes s1, s2;
  StereoMask active;
};

// The notch bank: the control update writes the sections, gains and mix;
// the audio path runs the active lanes.
struct NotchBank {
  NotchSection sections[kEngineChannels][kSlotCount];
  NotchLanes lanes[kSlotCount];
  std::array<std::int8_t, kSlotCount> activeSlots{};
  int activeCount = 0;
  double inputGain = 1.0, outputGain = 1.0, mix = 1.0;
  Memo inputGainMemo, outputGainMemo;
  std::array<Memo, kSlotCount> levelMemo{};
  int controlCounter = 0;
};

// The learned filters as the engine runs them, and the Live slots' ageing:
// per sample each slot's age grows by its step, one sample's duration for a
// Live slot and zero for any other.
struct LearnedFilters {
  LearnedSet actual{};
  alignas(32) std::array<double, kSlotCount> liveAge{};
  alignas(32) std::array<double, kSlotCount> liveStep{};
  std::array<double, kSlotCount> liveDepth{};
};

// The crossfade between the processed and the dry signal for bypass.
struct BypassFade {
  double value = 0.0;
  bool startPending = true;
};

enum class AnalyzerStage : int { kIdle, kWindow, kButterflies, kMagnitudes, kDisplayBins, kDetect };

// The analyser: the ring of raw input and final output samples, the tables
// of the transform and of the display bands, and the analysis in progress,
// which runs one step per sample.
struct Analyzer {
  StereoPoint ring[kRingSize];
  int ringWrite = 0;
  int ringFill = 0;
  int hopCounter = 0;

  TransformTables tables;
  TransformBuffers buffers;
  // Powers of each bin: per input channel, their mean, and the mean of the
  // output channels.
  double inPower[kEngineChannels][kSpectrumBins];
  double linkedPower[kSpectrumBins];
  double outPower[kSpectrumBins];

  std::array<int, kDisplayBinCount> displayLower{};
  std::array<int, kDisplayBinCount> displayUpper{};

  AnalyzerStage stage = AnalyzerStage::kIdle;
  int oldest = 0;
  int step = 0;
  TransformKernels transform = SelectTransformKernels();
  MagnitudeKernel magnitudes = SelectMagnitudeKernel();
};

struct ResponseSection {
  double b0, b1, b2, a1, a2, wet;
};

// The response display: a copy of the bank taken at a hop's end, swept one
// display frequency every other sample. Each section's own response at each
// display frequency is kept while its coefficients (and the sample rate)
// stay the same: a generation number per section says which coefficients an
// entry belongs to.
struct ResponseDisplay {
  struct CacheEntry {
    ComplexValue response;
    std::uint64_t generation;
  };

  // e^(-iω) and e^(-2iω) at each display frequency.
  std::array<ComplexValue, kDisplayBinCount> z{};
  std::array<ComplexValue, kDisplayBinCount> z2{};
  ResponseSection bank[kEngineChannels][kSlotCount];
  std::uint64_t generation[kEngineChannels][kSlotCount];
  CacheEntry cache[kDisplayBinCount][kEngineChannels][kSlotCount];
  int bin = kDisplayBinCount;
  bool stale = true;
  unsigned parity = 0;
};

struct DetectorChannel {
  double lastFrequency = 0.0;
  double persistence = 0.0;
  double lastLevel = -120.0;
  double cooldown = 0.0;
  LevelClimb climb;   // how the candidate came to its level
  bool grown = false; // it grew fast enough once it had persisted
  int toneBlock = 0;  // samples in one measure of the candidate's level
  int unmeasured = 0; // newest samples not yet in a measure
  ToneInput toneInput = ToneInput::kBoth;
};

// The feedback detector, per analysed channel, and whether it is learning.
struct Detector {
  DetectorChannel channels[kEngineChannels];
  bool learning = false;
};

// What the audio thread shares with the others: the published snapshot and
// learned set, the queued commands, the requested learned set and the meters.
struct Exchange {
  static constexpr int kSnapshotWords = (sizeof(EngineSnapshot) + 7) / 8;

  EngineSnapshot working;
  EngineSnapshot publishImage;
  int historyIndex = 0;
  std::atomic<std::uint32_t> snapshotCounter{0};
  std::array<std::atomic<std::uint64_t>, kSnapshotWords> snapshotWords{};

  std::atomic<std::uint32_t> commandWord{0};
  SharedLearnedSet publishedSet;
  SharedLearnedSet mailbox;
  std::atomic<std::uint32_t> requestGeneration{0};
  std::atomic<std::uint32_t> appliedGeneration{0};
  std::array<std::atomic<float>, 5> meters{};
};

} // namespace tarvex
