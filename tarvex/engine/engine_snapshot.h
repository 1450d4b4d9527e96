#pragma once

#include <array>
#include <cstdint>

#include "tarvex/engine/param_table.h"

namespace tarvex {

constexpr int kDisplayBinCount = 256;
constexpr int kEngineChannels = 2;

enum EngineCommand : unsigned {
  kCommandStartLearning = 1,
  kCommandStopLearning = 2,
  kCommandClearFixed = 4,
  kCommandClearLive = 8,
  kCommandFreezeLive = 16,
};

struct SectionView {
  double b0 = 1.0;
  double b1 = 0.0;
  double b2 = 0.0;
  double a1 = 0.0;
  double a2 = 0.0;
  double wet = 0.0;
};

// Linear peak magnitudes of the last processing call.
struct EngineMeters {
  float input = 0.0f;
  float filtered = 0.0f;
  float output = 0.0f;
  float output0 = 0.0f;
  float output1 = 0.0f;
};

template <typename T>
using SlotArray = std::array<T, kSlotCount>;
using DisplayArray = std::array<float, kDisplayBinCount>;

// What the engine publishes for the editor; constructed as the default
// (silent) snapshot.
struct EngineSnapshot {
  EngineSnapshot();

  DisplayArray inputSpectrumDb;
  DisplayArray outputSpectrumDb;
  std::array<DisplayArray, kEngineChannels> responseDb;
  DisplayArray activeHistory;
  SlotArray<float> slotFrequency;
  SlotArray<float> slotDepth;
  SlotArray<float> slotQ;
  SlotArray<float> slotConfidence;
  SlotArray<float> slotLevelDb;
  SlotArray<std::int32_t> slotKind;
  SlotArray<std::int32_t> slotChannel;
  std::array<SlotArray<SectionView>, kEngineChannels> sections;
  double sampleRate;
  float candidateFrequency;
  float candidateConfidence;
  std::int32_t fixedCount;
  std::int32_t liveCount;
  std::int32_t manualCount;
  bool learning;
  bool signal;
};

// Inverse of DesignNotch for a processed section: its centre and Q.
bool NotchFromSection(const SectionView& view, double sampleRate, double& frequencyHz, double& q);

// Response in dB of one channel's processed bank at a frequency.
double BankResponseDb(const EngineSnapshot& snapshot, double frequencyHz, int channel);

} // namespace tarvex
