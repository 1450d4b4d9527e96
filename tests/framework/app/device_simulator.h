#pragma once

#include "framework/app/app_host.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace plugkit::test {

// A sound device's buffer for one direction, channel after channel, between
// two guard zones. Input guards hold a value so large that reading one
// changes every later output sample; any write into a guard shows too.
class GuardedDeviceBuffer {
public:
  GuardedDeviceBuffer(int channels, int frames, double guardValue);

  double* Data() { return storage_.data() + kGuardFrames; }
  double& At(int channel, int frame) {
    return Data()[static_cast<size_t>(channel) * frames_ + frame];
  }
  void Fill(double value);
  bool GuardsIntact() const;

private:
  static constexpr int kGuardFrames = 64;
  int frames_;
  double guardValue_;
  std::vector<double> storage_;
};

constexpr double kInputGuard = 1.0e30;
constexpr double kOutputGuard = -777.0;

// A deterministic signal that differs between channels and frames.
double TestSignal(int channel, int64_t frame);

// The ramp of the audio callback's fades, computed on its own.
double FadeGain(int k, int nFrames, bool fadeOut);

// Makes the stateful test plug-in with one or two channels each way.
std::unique_ptr<IPluginApp> MakeMono(const InstanceInfo& info);
std::unique_ptr<IPluginApp> MakeStereo(const InstanceInfo& info);

// What the device must hear, per channel, over nBuffers buffers when the
// stop is requested before buffer exitBuffer: the test signal faded in over
// the first buffer and out over the exit buffer, run through a fresh
// instance in one piece, its output faded the same way, and silence after
// the exit buffer.
std::vector<std::vector<double>> ExpectedDeviceOutput(int channels, int bufferFrames, int nBuffers,
                                                      int exitBuffer);

} // namespace plugkit::test
