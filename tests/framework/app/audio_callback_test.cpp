#include "framework/app/audio_callback.h"
#include "framework/app/app_host.h"
#include "tests/framework/app/device_simulator.h"
#include "tests/framework/app/stateful_plugin.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

namespace plugkit {
namespace {

using test::ExpectedDeviceOutput;
using test::FadeGain;
using test::GuardedDeviceBuffer;
using test::kInputGuard;
using test::kOutputGuard;
using test::StatefulPlugin;
using test::TestSignal;

int RunCallback(GuardedDeviceBuffer& out, GuardedDeviceBuffer& in, int nFrames, AppHost* host) {
  return HostAudioCallback(out.Data(), in.Data(), static_cast<unsigned int>(nFrames), 0.0, 0, host);
}

StatefulPlugin& PlugOf(AppHost* host) { return static_cast<StatefulPlugin&>(*host->GetPlug()); }

class AudioCallbackTest : public ::testing::Test {
protected:
  void TearDown() override { AppHost::Destroy(); }
};

TEST_F(AudioCallbackTest, FadeChannelsRampsOverTheWholeBufferOfEveryChannel) {
  std::vector<double> samples(8, 1.0);
  FadeChannels(samples.data(), 2, 4, false);
  EXPECT_EQ(samples, (std::vector<double>{0.0, 0.25, 0.5, 0.75, 0.0, 0.25, 0.5, 0.75}));
  std::fill(samples.begin(), samples.end(), 2.0);
  FadeChannels(samples.data(), 2, 4, true);
  EXPECT_EQ(samples, (std::vector<double>{1.5, 1.0, 0.5, 0.0, 1.5, 1.0, 0.5, 0.0}));
  FadeChannels(samples.data(), 2, 0, true);
  FadeChannels(nullptr, 2, 4, true);
  EXPECT_EQ(samples[0], 1.5);
}

// Sub-blocks as the callback must cut them: ending at every multiple of the
// sub-block size in the stream and at every buffer end.
std::vector<int> ExpectedSubBlocks(int bufferFrames, int nBuffers) {
  std::vector<int> sizes;
  for (int b = 0; b < nBuffers; ++b) {
    const int end = (b + 1) * bufferFrames;
    for (int at = b * bufferFrames; at < end;) {
      const int next = std::min((at / AppHost::SubBlockFrames + 1) * AppHost::SubBlockFrames, end);
      sizes.push_back(next - at);
      at = next;
    }
  }
  return sizes;
}

class DeviceBufferSizes : public AudioCallbackTest,
                          public ::testing::WithParamInterface<std::tuple<int, int>> {};

// The device hears exactly what one uninterrupted run of the instance gives,
// apart from the fades, whatever the buffer size; nothing outside the
// device buffers is read or written.
TEST_P(DeviceBufferSizes, OutputEqualsOnePieceProcessingWithExactFades) {
  const auto [channels, bufferFrames] = GetParam();
  const int nBuffers = std::max(3, 4096 / bufferFrames + 3);
  const int exitBuffer = nBuffers - 2;
  AppHost* host = AppHost::Create(channels == 1 ? test::MakeMono : test::MakeStereo);
  ASSERT_TRUE(host->PrepareAudioStream(48000.0, bufferFrames));
  const std::vector<std::vector<double>> expected =
      ExpectedDeviceOutput(channels, bufferFrames, nBuffers, exitBuffer);

  GuardedDeviceBuffer in(channels, bufferFrames, kInputGuard);
  GuardedDeviceBuffer out(channels, bufferFrames, kOutputGuard);
  for (int b = 0; b < nBuffers; ++b) {
    const int start = b * bufferFrames;
    for (int c = 0; c < channels; ++c) {
      for (int k = 0; k < bufferFrames; ++k) in.At(c, k) = TestSignal(c, start + k);
    }
    out.Fill(555.0);
    if (b == exitBuffer) host->SetAudioExiting(true);
    ASSERT_EQ(RunCallback(out, in, bufferFrames, host), 0);
    ASSERT_TRUE(in.GuardsIntact()) << "buffer " << b;
    ASSERT_TRUE(out.GuardsIntact()) << "buffer " << b;
    for (int c = 0; c < channels; ++c) {
      for (int k = 0; k < bufferFrames; ++k)
        ASSERT_EQ(out.At(c, k), expected[c][start + k])
            << "buffer " << b << " channel " << c << " frame " << k;
    }
    EXPECT_EQ(host->IsAudioDone(), b >= exitBuffer);
    EXPECT_EQ(host->GetSamplesElapsed(), int64_t{std::min(b, exitBuffer) + 1} * bufferFrames);
  }
  EXPECT_EQ(PlugOf(host).blockSizes, ExpectedSubBlocks(bufferFrames, exitBuffer + 1));
  EXPECT_EQ(host->GetFrameCounter(), (exitBuffer + 1) * bufferFrames % AppHost::SubBlockFrames);
}

INSTANTIATE_TEST_SUITE_P(MonoAndStereo, DeviceBufferSizes,
                         ::testing::Combine(::testing::Values(1, 2),
                                            ::testing::Values(32, 500, 512, 1000, 1024, 8192)),
                         [](const ::testing::TestParamInfo<std::tuple<int, int>>& param) {
                           return std::string(std::get<0>(param.param) == 1 ? "Mono" : "Stereo") +
                                  std::to_string(std::get<1>(param.param));
                         });

TEST_F(AudioCallbackTest, AStopRequestedBeforeTheFirstBufferFadesItOut) {
  AppHost* host = AppHost::Create(test::MakeMono);
  ASSERT_TRUE(host->PrepareAudioStream(48000.0, 64));
  GuardedDeviceBuffer in(1, 64, kInputGuard);
  GuardedDeviceBuffer out(1, 64, kOutputGuard);
  in.Fill(1.0);
  host->SetAudioExiting(true);
  RunCallback(out, in, 64, host);
  EXPECT_EQ(in.At(0, 0), FadeGain(0, 64, true));
  EXPECT_EQ(in.At(0, 63), 0.0);
  EXPECT_EQ(out.At(0, 63), 0.0);
  EXPECT_TRUE(host->IsAudioDone());
  EXPECT_EQ(host->GetCallbackCount(), 1);
}

TEST_F(AudioCallbackTest, AfterTheStopEveryBufferIsSilentAndNothingIsProcessed) {
  AppHost* host = AppHost::Create(test::MakeStereo);
  ASSERT_TRUE(host->PrepareAudioStream(48000.0, 256));
  GuardedDeviceBuffer in(2, 256, kInputGuard);
  GuardedDeviceBuffer out(2, 256, kOutputGuard);
  in.Fill(0.5);
  RunCallback(out, in, 256, host);
  host->SetAudioExiting(true);
  RunCallback(out, in, 256, host);
  ASSERT_TRUE(host->IsAudioDone());
  const int64_t processed = PlugOf(host).framesSeen;
  for (int i = 0; i < 3; ++i) {
    out.Fill(555.0);
    in.Fill(0.5);
    RunCallback(out, in, 256, host);
    for (int c = 0; c < 2; ++c) {
      for (int k = 0; k < 256; ++k) ASSERT_EQ(out.At(c, k), 0.0);
    }
    EXPECT_EQ(in.At(1, 255), 0.5);
    EXPECT_TRUE(out.GuardsIntact());
  }
  EXPECT_EQ(PlugOf(host).framesSeen, processed);
  EXPECT_EQ(host->GetSamplesElapsed(), 512);
}

TEST_F(AudioCallbackTest, AnUnpreparedStreamGetsSilence) {
  AppHost* host = AppHost::Create(test::MakeStereo);
  GuardedDeviceBuffer in(2, 128, kInputGuard);
  GuardedDeviceBuffer out(2, 128, kOutputGuard);
  in.Fill(0.5);
  out.Fill(555.0);
  EXPECT_EQ(RunCallback(out, in, 128, host), 0);
  EXPECT_EQ(out.At(1, 127), 0.0);
  EXPECT_TRUE(out.GuardsIntact());
  EXPECT_EQ(PlugOf(host).framesSeen, 0);
  EXPECT_EQ(HostAudioCallback(out.Data(), in.Data(), 128, 0.0, 0, nullptr), 0);
}

TEST_F(AudioCallbackTest, AStreamWithoutInputBufferFeedsSilence) {
  AppHost* host = AppHost::Create(test::MakeMono);
  ASSERT_TRUE(host->PrepareAudioStream(48000.0, 600));
  GuardedDeviceBuffer out(1, 600, kOutputGuard);
  for (int i = 0; i < 2; ++i)
    EXPECT_EQ(HostAudioCallback(out.Data(), nullptr, 600, 0.0, 0, host), 0);
  EXPECT_EQ(PlugOf(host).state[0], 0.0f);
  EXPECT_FLOAT_EQ(static_cast<float>(out.At(0, 599)), 1200 * 0.001f);
  EXPECT_TRUE(out.GuardsIntact());
}

TEST_F(AudioCallbackTest, MessagesQueuedBeforeABufferReachTheInstanceInThatBuffer) {
  AppHost* host = AppHost::Create(test::MakeStereo);
  ASSERT_TRUE(host->PrepareAudioStream(48000.0, 500));
  StatefulPlugin& plug = PlugOf(host);
  GuardedDeviceBuffer in(2, 500, kInputGuard);
  GuardedDeviceBuffer out(2, 500, kOutputGuard);
  RunCallback(out, in, 500, host);

  // The ring holds 32 messages and 4 system-exclusive records; the rest is
  // dropped at once.
  for (int i = 0; i < 40; ++i) plug.MidiIn().Push(MidiMessage{0, 0x90, static_cast<uint8_t>(i), 1});
  for (int i = 0; i < 6; ++i) {
    SysExRecord record;
    record.size = 10 + i;
    record.data[0] = 0xF0;
    plug.SysExIn().Push(record);
  }
  RunCallback(out, in, 500, host);
  ASSERT_EQ(plug.midi.size(), 32u);
  for (int i = 0; i < 32; ++i) {
    EXPECT_EQ(plug.midi[i].message.data1, i);
    EXPECT_EQ(plug.midi[i].atFrame, 500);
  }
  ASSERT_EQ(plug.sysEx.size(), 4u);
  EXPECT_EQ(plug.sysEx[3].size, 13);
  EXPECT_EQ(plug.sysEx[3].atFrame, 500);

  plug.MidiIn().Push(MidiMessage{0, 0x80, 99, 0});
  RunCallback(out, in, 500, host);
  ASSERT_EQ(plug.midi.size(), 33u);
  EXPECT_EQ(plug.midi[32].atFrame, 1000);
}

} // namespace
} // namespace plugkit
