#pragma once

#include <memory>

#include "tarvex/engine/engine_parts.h"

namespace tarvex {

// Largest m[k] for k = first … last of values no less than 0; 0 when
// last < first.
double BandPeak(int first, int last, const double* m);

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
  // SetParams for values loaded all at once (a preset, a bank, a state): a
  // Manual filter they move fades out and comes back at its new place instead
  // of gliding there.
  void LoadParams(const float* values);
  void Process(const float* const* in, float* const* out, int frames, bool hostBypass);

  bool QueueCommand(unsigned bits);
  bool RequestLearnedSet(const LearnedSet& set);
  bool ReadLearnedSet(LearnedSet& out) const;
  void ReadSnapshot(EngineSnapshot& out) const;
  void ReadMeters(EngineMeters& out) const;

private:
  FeedbackEngine();

  // Notch bank and its control update, once per control period.
  struct SlotSource;
  void UpdateControl();
  void UpdateGains();
  SlotSource ReadSlotSource(int slot) const;
  void ShowSlot(int slot, const SlotSource& source);
  double DynamicEnvelopeTarget(int slot) const;
  bool TakeUpFilter(int channel, int slot, const SlotSource& source);
  double UpdateSection(int channel, int slot, const SlotSource& source, double envelopeTarget,
                       const double fadeCoefs[2]);
  void RebuildActiveSections();
  void ProcessSections(StereoLanes* samples, int count);

  // Analyser, one step per sample.
  void StartAnalyzer();
  void StepAnalyzer();
  void StepWindow();
  void StepButterflies();
  void StepMagnitudes();
  void StepDisplayBins();

  // Response display, one frequency every other sample.
  void StepResponseDisplay();
  void CopyBankForResponseDisplay();

  // Detector and learning, once per analysis.
  struct Peak;
  void DetectFeedback();
  void DetectOnChannel(int channel, bool dualMono, double low, double high);
  Peak FindPeak(const double* m, double low, double high) const;
  double Prominence(const double* m, int bin, double level) const;
  double InterpolatedFrequency(const double* m, int bin) const;
  bool HarmonicBlocked(const double* m, int peak, double power, double guard) const;
  void TrackPersistence(DetectorChannel& d, double frequency, double level, ToneInput input) const;
  bool RefreshMatchingFilters(int kind, int channelValue, double frequency, double confidence,
                              int& sameKind, int& freeSlot);
  void PlaceFilter(DetectorChannel& d, int slot, int kind, int channelValue, double frequency,
                   double confidence);

  // Exchange with other threads.
  void TakeCommands();
  void TakeRequestedLearnedSet();
  void PublishSnapshot();

  // Per-sample work outside the bank.
  void StepGlide(double g);
  void RebuildGlideList();
  void StepLiveAgeing();
  void RecoverLiveSlots(double hold);
  void RefreshLiveSteps();
  void EndOfHop();
  bool AnalysisWanted() const;

  Mode CurrentMode() const {
    return static_cast<Mode>(static_cast<int>(params_.target[kParamMode]));
  }
  float Target(int index) const { return params_.target[index]; }
  float TargetSlot(int slot, int field) const {
    return params_.target[SlotParamIndex(slot, field)];
  }
  void EmptySlot(int slot);

  double sampleRate_ = 48000.0;
  int blockSize_ = 512;
  bool prepared_ = false;
  bool snapAfterReset_ = true;

  ParamGlide params_;
  NotchBank bank_;
  LearnedFilters learned_;
  BypassFade bypass_;
  Analyzer analyzer_;
  ResponseDisplay response_;
  Detector detector_;
  Exchange exchange_;
};

} // namespace tarvex
