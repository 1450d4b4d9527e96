#pragma once

// The engine set-ups that both engine benchmarks time, and their input.

#include <cmath>
#include <memory>
#include <vector>

#include "tarvex/engine/feedback_engine.h"
#include "tarvex/engine/param_table.h"
#include "tests/support/test_noise.h"

namespace tarvex::bench {

constexpr int kBlock = 512;

// The values are the Google Benchmark arguments that select them.
enum class Scenario { kManualAnalyzer = 0, kLiveAllSlots = 1, kAnalyzerOff = 2 };

// A learned set of 24 Live filters; sending it again restarts their hold,
// so a repeat measures all 24 before any begins to recover.
inline void RequestLiveFilters(FeedbackEngine& engine) {
  LearnedSet set{};
  for (int s = 0; s < kSlotCount; ++s)
    set[s] = {static_cast<float>(100.0 * std::pow(1.2, s)), 9.0f, 20.0f, 0.5f, kSlotLive, 0};
  engine.RequestLearnedSet(set);
}

// A prepared engine; the Live scenario has its 24 filters requested.
inline std::unique_ptr<FeedbackEngine> MakeEngine(Scenario scenario, double fs) {
  auto engine = FeedbackEngine::Create();
  ParamValues params = DefaultParamValues();
  if (scenario == Scenario::kLiveAllSlots) {
    params[kParamMode] = static_cast<float>(Mode::kLiveAssist);
    params[kParamLiveHold] = 60.0f;
  }
  if (scenario == Scenario::kAnalyzerOff) params[kParamAnalyzer] = 0.0f;
  engine->SetParams(params.data());
  engine->Prepare(fs, kBlock);
  if (scenario == Scenario::kLiveAllSlots) RequestLiveFilters(*engine);
  return engine;
}

// One stereo block of quiet noise (-20 dBFS peak) and room for the output.
struct NoiseBlock {
  std::vector<float> in0 = std::vector<float>(kBlock), in1 = std::vector<float>(kBlock);
  std::vector<float> out0 = std::vector<float>(kBlock), out1 = std::vector<float>(kBlock);
  const float* in[2] = {in0.data(), in1.data()};
  float* out[2] = {out0.data(), out1.data()};

  NoiseBlock() {
    testing::NoiseSequence noise(1);
    for (int i = 0; i < kBlock; ++i) {
      in0[i] = static_cast<float>(0.1 * noise.Next());
      in1[i] = static_cast<float>(0.1 * noise.Next());
    }
  }
  NoiseBlock(const NoiseBlock&) = delete;
  NoiseBlock& operator=(const NoiseBlock&) = delete;
};

} // namespace tarvex::bench
