#pragma once

#include <cmath>
#include <functional>
#include <memory>
#include <vector>

#include "tarvex/engine/engine_constants.h"
#include "tarvex/engine/feedback_engine.h"
#include "tarvex/engine/param_table.h"

namespace tarvex::testing {

// Drives one engine through blocks of generated stereo input and keeps the
// output of the last processed sample for each channel.
class EngineRig {
public:
  explicit EngineRig(double sampleRate = 48000.0, int blockSize = 512)
      : engine(FeedbackEngine::Create()),
        params(DefaultParamValues()),
        fs(sampleRate),
        block(blockSize),
        in0(blockSize),
        in1(blockSize),
        out0(blockSize),
        out1(blockSize) {
    engine->SetParams(params.data());
    engine->Prepare(sampleRate, static_cast<unsigned>(blockSize));
  }

  void Set(int index, float value) {
    params[index] = value;
    engine->SetParams(params.data());
  }
  void SetSlot(int slot, int field, float value) { Set(SlotParamIndex(slot, field), value); }

  // Processes frames samples; source(n, ch) gives input sample n (counted from
  // the rig's start); sink(n, ch, value) sees every output sample.
  void Run(long frames, const std::function<double(long, int)>& source,
           const std::function<void(long, int, float)>& sink = {}, bool hostBypass = false) {
    while (frames > 0) {
      const int n = static_cast<int>(std::min<long>(frames, block));
      for (int i = 0; i < n; ++i) {
        in0[i] = static_cast<float>(source(position + i, 0));
        in1[i] = static_cast<float>(source(position + i, 1));
      }
      const float* in[2] = {in0.data(), in1.data()};
      float* out[2] = {out0.data(), out1.data()};
      engine->Process(in, out, n, hostBypass);
      if (sink)
        for (int i = 0; i < n; ++i) {
          sink(position + i, 0, out0[i]);
          sink(position + i, 1, out1[i]);
        }
      position += n;
      frames -= n;
    }
  }

  EngineSnapshot Snapshot() const {
    EngineSnapshot s;
    engine->ReadSnapshot(s);
    return s;
  }

  LearnedSet Learned() const {
    LearnedSet set{};
    engine->ReadLearnedSet(set);
    return set;
  }

  std::unique_ptr<FeedbackEngine> engine;
  ParamValues params;
  double fs;
  int block;
  long position = 0;
  std::vector<float> in0, in1, out0, out1;
};

inline std::function<double(long, int)> Sine(double amplitude, double frequency, double fs) {
  return [=](long n, int) { return amplitude * std::sin(2.0 * kPi * frequency * n / fs); };
}

inline std::function<double(long, int)> Silence() {
  return [](long, int) { return 0.0; };
}

// Peak absolute output over the samples [from, to) of one channel.
struct PeakMeter {
  long from;
  long to;
  int channel;
  double peak = 0.0;
  std::function<void(long, int, float)> Sink() {
    return [this](long n, int ch, float v) {
      if (ch == channel && n >= from && n < to) peak = std::max(peak, std::fabs(double(v)));
    };
  }
};

} // namespace tarvex::testing
