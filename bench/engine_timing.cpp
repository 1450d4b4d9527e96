// Times the engine and the stages of its analysis with the standard clock
// alone, so the Windows build (run under Wine) is measured by the same
// program as the native one. On a shared machine every figure is the median
// of several repeats; run it pinned to one core.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "bench/engine_scenarios.h"
#include "tarvex/engine/feedback_engine.h"
#include "tarvex/engine/fft_transform.h"
#include "tarvex/engine/spectrum_magnitudes.h"

namespace {

using Clock = std::chrono::steady_clock;
using tarvex::FeedbackEngine;
using namespace tarvex::bench;

constexpr double kRates[] = {44100.0, 48000.0, 96000.0, 192000.0};

const char* Name(Scenario s) {
  switch (s) {
    case Scenario::kLiveAllSlots:
      return "Live, 24 slots";
    case Scenario::kManualAnalyzer:
      return "Manual, analyser";
    case Scenario::kAnalyzerOff:
      return "Analyser off";
  }
  return "";
}

double Seconds(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double>(to - from).count();
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

struct BlockFigures {
  double nsPerFrame;      // mean block
  double typicalPerFrame; // median block
  double fastestPerFrame; // fastest block, the least disturbed by other work
  double slowestVsMean;
  double p99VsMean;
};

// Figures over `blocks` blocks of noise; on a shared machine the slowest
// block mostly measures the scheduler, so the 99th percentile is given too.
BlockFigures TimeBlocks(FeedbackEngine& engine, int blocks) {
  NoiseBlock block;
  std::vector<double> times(blocks);
  double total = 0.0;
  for (int b = 0; b < blocks; ++b) {
    const Clock::time_point start = Clock::now();
    engine.Process(block.in, block.out, kBlock, false);
    times[b] = Seconds(start, Clock::now());
    total += times[b];
  }
  const double mean = total / blocks;
  std::sort(times.begin(), times.end());
  return {mean / kBlock * 1e9, times[blocks / 2] / kBlock * 1e9, times.front() / kBlock * 1e9,
          times.back() / mean, times[blocks * 99 / 100] / mean};
}

void TimeScenarios(int repeats, int blocks) {
  std::printf("%-18s %8s %10s %10s %10s %10s %10s %8s\n", "scenario", "fs", "ns/frame",
              "median blk", "best blk", "x realtime", "slowest/mn", "p99/mn");
  for (Scenario scenario :
       {Scenario::kLiveAllSlots, Scenario::kManualAnalyzer, Scenario::kAnalyzerOff}) {
    for (double fs : kRates) {
      auto engine = MakeEngine(scenario, fs);
      TimeBlocks(*engine, 64);
      std::vector<double> cost, typical, fastest, slowest, p99;
      for (int r = 0; r < repeats; ++r) {
        if (scenario == Scenario::kLiveAllSlots) RequestLiveFilters(*engine);
        const BlockFigures f = TimeBlocks(*engine, blocks);
        cost.push_back(f.nsPerFrame);
        typical.push_back(f.typicalPerFrame);
        fastest.push_back(f.fastestPerFrame);
        slowest.push_back(f.slowestVsMean);
        p99.push_back(f.p99VsMean);
      }
      const double ns = Median(cost);
      std::printf("%-18s %8.0f %10.1f %10.1f %10.1f %10.0f %10.2f %8.2f\n", Name(scenario), fs, ns,
                  Median(typical), Median(fastest), 1e9 / (ns * fs), Median(slowest), Median(p99));
    }
  }
}

// The analysis stages that run on their own, each over one whole hop's
// work, at their fastest of many runs (the least disturbed by other work).
void TimeStages(int runs) {
  auto tables = std::make_unique<tarvex::TransformTables>();
  auto buffers = std::make_unique<tarvex::TransformBuffers>();
  std::vector<tarvex::StereoPoint> ring(tarvex::kTransformPoints);
  unsigned seed = 5;
  auto next = [&] {
    seed = seed * 1664525u + 1013904223u;
    return seed / 4294967296.0 - 0.5;
  };
  for (tarvex::StereoPoint& p : ring) {
    p.re = tarvex::StereoLanes{next(), next()};
    p.im = tarvex::StereoLanes{next(), next()};
  }
  constexpr int kBins = tarvex::kTransformPoints / 2 + 1;
  std::vector<double> m(4 * kBins);
  const tarvex::MagnitudeArrays arrays{&m[0], &m[kBins], &m[2 * kBins], &m[3 * kBins]};
  const tarvex::TransformKernels transform = tarvex::SelectTransformKernels();
  const tarvex::MagnitudeKernel magnitudes = tarvex::SelectMagnitudeKernel();
  // The display bands at 48 kHz: 256 from 20 Hz to 20 kHz.
  int lower[256], upper[256];
  for (int j = 0; j < 256; ++j) {
    lower[j] = static_cast<int>(
        std::floor(20.0 * std::pow(1000.0, std::max(j - 0.5, 0.0) / 255.0) * 8192.0 / 48000.0));
    upper[j] = std::min(
        4096, static_cast<int>(std::ceil(20.0 * std::pow(1000.0, std::min(j + 0.5, 255.0) / 255.0) *
                                         8192.0 / 48000.0)));
  }
  std::vector<double> window, passes, split, bands;
  double sink = 0.0;
  for (int r = 0; r < runs; ++r) {
    const Clock::time_point t0 = Clock::now();
    transform.window(ring.data(), 17, *tables, *buffers, 0, tarvex::kWindowBlocks);
    const Clock::time_point t1 = Clock::now();
    transform.passes(*tables, *buffers, 0, tarvex::kTransformUnits);
    const Clock::time_point t2 = Clock::now();
    magnitudes(*buffers, 1.0 / tables->windowSum, 0, kBins, arrays);
    const Clock::time_point t3 = Clock::now();
    for (int j = 0; j < 256; ++j) {
      sink += tarvex::BandPeak(lower[j], upper[j], arrays.linkedInput);
      sink += tarvex::BandPeak(lower[j], upper[j], arrays.outputPower);
    }
    const Clock::time_point t4 = Clock::now();
    window.push_back(Seconds(t0, t1));
    passes.push_back(Seconds(t1, t2));
    split.push_back(Seconds(t2, t3));
    bands.push_back(Seconds(t3, t4));
  }
  auto show = [&](const char* name, std::vector<double>& v) {
    const double best = *std::min_element(v.begin(), v.end());
    std::printf("%-34s %8.1f %8.1f %10.1f\n", name, best * 1e6, Median(v) * 1e6,
                best * 1e9 / kBlock);
  };
  std::printf("\n%-34s %8s %8s %10s\n", "analysis stage (one hop)", "best us", "median",
              "ns/frame*");
  show("window and first stages", window);
  show("transform passes", passes);
  show("magnitudes", split);
  show("display bins", bands);
  std::printf("* best, spread over the 512 frames of a hop%s\n", sink == 0.123 ? " " : "");
}

} // namespace

int main(int argc, char** argv) {
  const bool quick = argc > 1 && std::strcmp(argv[1], "--quick") == 0;
  TimeScenarios(quick ? 3 : 7, quick ? 500 : 2000);
  TimeStages(quick ? 100 : 500);
  return 0;
}
