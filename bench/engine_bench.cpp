#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <vector>

#include "bench/engine_scenarios.h"
#include "tarvex/engine/feedback_engine.h"

namespace {

using tarvex::FeedbackEngine;

using namespace tarvex::bench;

// Nanoseconds per stereo frame, real-time factor, and the slowest 512-frame
// block relative to the mean block; on a shared machine the slowest block
// also catches the scheduler, so the 99.9th percentile block is given too.
void BM_Process(benchmark::State& state) {
  const auto scenario = static_cast<Scenario>(state.range(0));
  const double fs = static_cast<double>(state.range(1));
  auto engine = MakeEngine(scenario, fs);
  NoiseBlock block;
  const float* const* in = block.in;
  float* const* out = block.out;
  for (int warm = 0; warm < 64; ++warm) engine->Process(in, out, kBlock, false);

  std::vector<double> times;
  times.reserve(1 << 20);
  double total = 0.0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    engine->Process(in, out, kBlock, false);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    benchmark::DoNotOptimize(block.out0.data());
    if (times.size() < times.capacity()) times.push_back(seconds);
    total += seconds;
  }
  const double blocks = static_cast<double>(state.iterations());
  const double frames = blocks * kBlock;
  const double mean = total / blocks;
  std::sort(times.begin(), times.end());
  state.counters["ns_per_frame"] = total / frames * 1e9;
  state.counters["realtime_x"] = frames / fs / total;
  state.counters["slowest_block_vs_mean"] = times.back() / mean;
  state.counters["p999_block_vs_mean"] = times[times.size() * 999 / 1000] / mean;
}

void Arguments(benchmark::internal::Benchmark* b) {
  for (Scenario scenario :
       {Scenario::kManualAnalyzer, Scenario::kLiveAllSlots, Scenario::kAnalyzerOff})
    for (int fs : {44100, 48000, 96000, 192000}) b->Args({static_cast<int>(scenario), fs});
  b->ArgNames({"scenario", "fs"});
}

} // namespace

BENCHMARK(BM_Process)->Apply(Arguments)->MinTime(1.0);

BENCHMARK_MAIN();
