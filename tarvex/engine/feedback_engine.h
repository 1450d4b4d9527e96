#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

#include "engine_snapshot.h"
#include "fft_butterflies.h"
#include "learned_set.h"
#include "memo.h"
#include "param_table.h"
#include "section_response.h"
#include "spectrum_magnitudes.h"
#include "stereo_lanes.h"

namespace tarvex {

constexpr int kRingSize = 8192;
constexpr int kSpectrumBins = kRingSize / 2 + 1;
constexpr int kAnalysisHop = 512;
constexpr int kControlPeriod = 32;

// Largest sqrt((m0[k]² + m1[k]²)/2) for k = first … last; 0 when last < first.
double BandPeakMagnitude(int first, int last, const double* m0, const double* m1);

// The DSP engine of one plug-in instance: a causal feedback suppressor with
// no lookahead and no latency. Prepare, Reset, SetParams and Process belong to
// the audio thread; the Read*, QueueCommand and RequestLearnedSet calls may
// come from any other thread.
class FeedbackEngine {
 public:
  static std::unique_ptr<FeedbackEngine> Create();
  static void Destroy(std::unique_ptr<FeedbackEngine>& engine);

  FeedbackEngine(const FeedbackEngine&) = delete;
  FeedbackEngine& operator=(const FeedbackEngine&) = delete;

  void Prepare(double sampleRate, unsigned maxBlock);
  void Reset();
  void SetParams(const float* values);
  void Process(const float* const* in, float* const* out, int frames, bool hostBypass);

  bool QueueCommand(unsigned bits);
  bool RequestLearnedSet(const LearnedSet& set);
  bool ReadLearnedSet(LearnedSet& out) const;
  void ReadSnapshot(EngineSnapshot& out) const;
  void ReadMeters(EngineMeters& out) const;

 private:
  // Control state of one slot's section on one channel.
  struct NotchSection {
    double b0 = 1.0, b1 = 0.0, b2 = 0.0, a1 = 0.0, a2 = 0.0;
    double fade = 0.0, envelope = 0.0, wet = 0.0, depth = 0.0;
    double designFrequency = -1.0, designQ = -1.0;
    double cutExponent = 1.0, cutGain = 10.0;  // last 10^exponent of the wet formula
  };


  // What the audio path runs for one slot, channel 0 in lane 0 and channel 1
  // in lane 1; a lane whose section is faded out passes its sample unchanged
  // and keeps its state at zero.
  struct NotchLanes {
    StereoLanes b0, b1, b2, a1, a2, wet;
    StereoLanes s1, s2;
    StereoMask active;
  };

  struct ResponseSection {
    double b0, b1, b2, a1, a2, wet;
  };

  struct DetectorChannel {
    double lastFrequency = 0.0;
    double persistence = 0.0;
    double lastLevel = -120.0;
    double startLevel = 0.0;
    double cooldown = 0.0;
  };

  enum AnalyzerState : int { kIdle = 0, kWindow, kButterflies, kMagnitudes, kDisplayBins, kDetect };

  static constexpr int kSnapshotWords = (sizeof(EngineSnapshot) + 7) / 8;

  FeedbackEngine();

  // Notch bank and its control update.
  void UpdateControl();
  void RebuildActiveSections();
  void ProcessSections(StereoLanes* samples, int count);

  // Analyser and display.
  void StartAnalyzer();
  void StepAnalyzer();
  void StepWindow();
  void StepButterflies();
  void StepMagnitudes();
  void StepDisplayBins();
  void StepResponseDisplay();
  void CopyBankForResponseDisplay();

  // Detector and learning.
  void DetectFeedback();
  bool HarmonicBlocked(const double* m, int peak, double magnitude, double guard) const;

  // Exchange with other threads.
  void TakeCommands();
  void PublishSnapshot();

  // Per-sample work outside the bank.
  void StepGlide(double g);
  void RebuildGlideList();
  void StepLiveAgeing();
  void EndOfHop();
  bool AnalysisWanted() const;

  int Mode() const { return static_cast<int>(target_[kParamMode]); }
  float Target(int index) const { return target_[index]; }
  float TargetSlot(int slot, int field) const { return target_[SlotParamIndex(slot, field)]; }
  void EmptySlot(int slot);

  // Parameters.
  ParamValues target_{};
  ParamValues smoothed_{};
  std::array<std::uint8_t, kParamCount> glideFlags_{};
  std::array<std::int16_t, kParamCount> glideList_{};
  int glideCount_ = 0;

  double sampleRate_ = 48000.0;
  int blockSize_ = 512;
  bool prepared_ = false;
  bool snapAfterReset_ = true;
  bool learning_ = false;

  // Notch bank.
  NotchSection sections_[kEngineChannels][kSlotCount];
  NotchLanes lanes_[kSlotCount];
  std::array<std::int8_t, kSlotCount> activeSlots_{};
  int activeCount_ = 0;
  double inputGain_ = 1.0, outputGain_ = 1.0, mix_ = 1.0;
  Memo inputGainMemo_, outputGainMemo_;
  std::array<Memo, kSlotCount> levelMemo_{};
  int controlCounter_ = 0;
  std::array<double, kSlotCount> slotDepth_{};

  // Learned filters.
  LearnedSet actual_{};
  std::array<double, kSlotCount> liveAge_{};
  std::array<double, kSlotCount> liveDepth_{};

  // Bypass crossfade.
  double crossfade_ = 0.0;
  bool crossfadeInit_ = true;

  // Rings of raw input and final output samples.
  StereoPoint ring_[kRingSize];
  int ringWrite_ = 0;
  int ringFill_ = 0;
  int hopCounter_ = 0;

  // Analyser tables and buffers.
  double window_[kRingSize];
  double windowSum_ = 0.0;
  std::uint16_t bitReverse_[kRingSize];
  double twiddleRe_[kRingSize];
  double twiddleIm_[kRingSize];
  StereoPoint fft_[kRingSize];
  double inMag_[kEngineChannels][kSpectrumBins];
  double outMag_[kEngineChannels][kSpectrumBins];
  double linkedMag_[kSpectrumBins];
  std::array<ComplexValue, kDisplayBinCount> displayZ_{};
  std::array<ComplexValue, kDisplayBinCount> displayZ2_{};
  std::array<int, kDisplayBinCount> displayLower_{};
  std::array<int, kDisplayBinCount> displayUpper_{};
  int analyzerState_ = kIdle;
  int analyzerOldest_ = 0;
  int analyzerStep_ = 0;
  int butterflyPass_ = 0;
  int butterflyUnit_ = 0;
  int butterflyCredit_ = 0;
  ButterflyKernel butterflies_ = SelectButterflyKernel();
  MagnitudeKernel magnitudes_ = SelectMagnitudeKernel();

  // Response display.
  ResponseSection responseBank_[kEngineChannels][kSlotCount];
  // Each section's own response at each display frequency, kept while its
  // coefficients (and the sample rate) stay the same: a generation number
  // per section says which coefficients an entry belongs to.
  struct ResponseCacheEntry {
    ComplexValue response;
    std::uint64_t generation;
  };
  std::uint64_t responseGeneration_[kEngineChannels][kSlotCount];
  ResponseCacheEntry responseCache_[kDisplayBinCount][kEngineChannels][kSlotCount];
  int responseBin_ = kDisplayBinCount;
  bool responseStale_ = true;
  unsigned responseParity_ = 0;

  // Detector.
  DetectorChannel detector_[kEngineChannels];

  // Snapshot.
  EngineSnapshot working_;
  EngineSnapshot publishImage_;
  int historyIndex_ = 0;
  std::atomic<std::uint32_t> snapshotCounter_{0};
  std::array<std::atomic<std::uint64_t>, kSnapshotWords> snapshotWords_{};

  // Exchange.
  std::atomic<std::uint32_t> commandWord_{0};
  SharedLearnedSet publishedSet_;
  SharedLearnedSet mailbox_;
  std::atomic<std::uint32_t> requestGeneration_{0};
  std::atomic<std::uint32_t> appliedGeneration_{0};
  std::array<std::atomic<float>, 5> meters_{};
};

}  // namespace tarvex
