#include "tests/framework/app/device_simulator.h"

#include "tests/framework/app/stateful_plugin.h"

#include <algorithm>
#include <cmath>

namespace plugkit::test {

GuardedDeviceBuffer::GuardedDeviceBuffer(int channels, int frames, double guardValue)
    : frames_(frames),
      guardValue_(guardValue),
      storage_(static_cast<size_t>(channels) * frames + 2 * kGuardFrames, guardValue) {}

void GuardedDeviceBuffer::Fill(double value) {
  std::fill(storage_.begin() + kGuardFrames, storage_.end() - kGuardFrames, value);
}

bool GuardedDeviceBuffer::GuardsIntact() const {
  const auto isGuard = [this](double sample) { return sample == guardValue_; };
  return std::all_of(storage_.begin(), storage_.begin() + kGuardFrames, isGuard) &&
         std::all_of(storage_.end() - kGuardFrames, storage_.end(), isGuard);
}

double TestSignal(int channel, int64_t frame) {
  const double t = static_cast<double>(frame);
  return 0.6 * std::sin(0.0137 * t * (channel + 1)) + 0.3 * std::sin(0.71 * t + channel);
}

double FadeGain(int k, int nFrames, bool fadeOut) {
  return static_cast<double>(fadeOut ? nFrames - 1 - k : k) / static_cast<double>(nFrames);
}

std::unique_ptr<IPluginApp> MakeMono(const InstanceInfo& info) {
  return std::make_unique<StatefulPlugin>(info, StatefulConfig("1-1"));
}

std::unique_ptr<IPluginApp> MakeStereo(const InstanceInfo& info) {
  return std::make_unique<StatefulPlugin>(info, StatefulConfig("2-2"));
}

std::vector<std::vector<double>> ExpectedDeviceOutput(int channels, int bufferFrames, int nBuffers,
                                                      int exitBuffer) {
  const int processed = (exitBuffer + 1) * bufferFrames;
  const int total = nBuffers * bufferFrames;
  // The fade applying to a stream frame, if any.
  const auto faded = [&](double sample, int frame) {
    const int buffer = frame / bufferFrames;
    const int k = frame % bufferFrames;
    if (buffer == exitBuffer) return sample * FadeGain(k, bufferFrames, true);
    if (buffer == 0) return sample * FadeGain(k, bufferFrames, false);
    return sample;
  };

  std::vector<std::vector<float>> in(channels, std::vector<float>(processed));
  std::vector<std::vector<float>> out(channels, std::vector<float>(processed));
  std::vector<float*> inputs;
  std::vector<float*> outputs;
  for (int c = 0; c < channels; ++c) {
    for (int t = 0; t < processed; ++t) in[c][t] = static_cast<float>(faded(TestSignal(c, t), t));
    inputs.push_back(in[c].data());
    outputs.push_back(out[c].data());
  }
  StatefulPlugin reference(InstanceInfo{}, StatefulConfig(channels == 1 ? "1-1" : "2-2"));
  reference.ProcessBlock(inputs.data(), outputs.data(), processed);

  std::vector<std::vector<double>> expected(channels, std::vector<double>(total, 0.0));
  for (int c = 0; c < channels; ++c) {
    for (int t = 0; t < processed; ++t) expected[c][t] = faded(static_cast<double>(out[c][t]), t);
  }
  return expected;
}

} // namespace plugkit::test
