#include "framework/app/app_host.h"
#include "framework/app/audio_callback.h"
#include "tests/framework/app/device_simulator.h"
#include "tests/framework/app/stateful_plugin.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace plugkit {
namespace {

using test::GuardedDeviceBuffer;
using test::kInputGuard;
using test::kOutputGuard;
using test::StatefulPlugin;

using namespace std::chrono_literals;

// Waits, polling as the user-interface thread does, until the condition
// holds or a generous limit passes.
template <typename Condition>
bool WaitFor(Condition condition) {
  const auto limit = std::chrono::steady_clock::now() + 20s;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > limit) return false;
    std::this_thread::sleep_for(1ms);
  }
  return true;
}

class AudioConcurrency : public ::testing::Test {
protected:
  void TearDown() override { AppHost::Destroy(); }
};

// A device thread plays buffers while the user-interface thread asks the
// stream to stop and waits for the acknowledgement: the buffer that
// acknowledges it is faded out, everything before it is what one piece of
// processing gives, and everything after it is silence.
TEST_F(AudioConcurrency, StopHandshakeEndsWithAFadedOutThenSilentBuffer) {
  constexpr int kChannels = 2;
  constexpr int kFrames = 256;
  constexpr int kMaxBuffers = 4000;
  AppHost* host = AppHost::Create(test::MakeStereo);
  ASSERT_TRUE(host->PrepareAudioStream(48000.0, kFrames));

  std::vector<std::vector<double>> recorded(kMaxBuffers);
  std::vector<char> doneAfter(kMaxBuffers, 0);
  std::atomic<int> buffersRun{0};
  std::atomic<bool> deviceStop{false};
  std::thread device([&] {
    GuardedDeviceBuffer in(kChannels, kFrames, kInputGuard);
    GuardedDeviceBuffer out(kChannels, kFrames, kOutputGuard);
    for (int b = 0; b < kMaxBuffers && !deviceStop.load(); ++b) {
      for (int c = 0; c < kChannels; ++c) {
        for (int k = 0; k < kFrames; ++k)
          in.At(c, k) = test::TestSignal(c, int64_t{b} * kFrames + k);
      }
      out.Fill(555.0);
      HostAudioCallback(out.Data(), in.Data(), kFrames, 0.0, 0, host);
      doneAfter[b] = host->IsAudioDone() ? 1 : 0;
      recorded[b].assign(out.Data(), out.Data() + kChannels * kFrames);
      if (!in.GuardsIntact() || !out.GuardsIntact()) recorded[b].clear();
      buffersRun.store(b + 1);
      std::this_thread::sleep_for(500us);
    }
  });

  const bool played = WaitFor([&] { return buffersRun.load() >= 5; });
  host->SetAudioExiting(true);
  const bool acknowledged = played && WaitFor([&] { return host->IsAudioDone(); });
  const int atAcknowledgement = buffersRun.load();
  const bool ranOn =
      acknowledged && WaitFor([&] { return buffersRun.load() >= atAcknowledgement + 3; });
  deviceStop.store(true);
  device.join();
  ASSERT_TRUE(played && acknowledged && ranOn);

  const int nRun = buffersRun.load();
  int exitBuffer = 0;
  while (exitBuffer < nRun && !doneAfter[exitBuffer]) ++exitBuffer;
  ASSERT_LT(exitBuffer, nRun - 1);
  const std::vector<std::vector<double>> expected =
      test::ExpectedDeviceOutput(kChannels, kFrames, nRun, exitBuffer);
  for (int b = 0; b < nRun; ++b) {
    ASSERT_EQ(recorded[b].size(), static_cast<size_t>(kChannels * kFrames))
        << "guard zone touched in buffer " << b;
    EXPECT_EQ(doneAfter[b] != 0, b >= exitBuffer);
    for (int c = 0; c < kChannels; ++c) {
      for (int k = 0; k < kFrames; ++k)
        ASSERT_EQ(recorded[b][c * kFrames + k], expected[c][b * kFrames + k])
            << "buffer " << b << " frame " << k;
    }
  }
  EXPECT_EQ(recorded[exitBuffer][kFrames - 1], 0.0);
  EXPECT_EQ(host->GetSamplesElapsed(), int64_t{exitBuffer + 1} * kFrames);
}

// The MIDI input thread keeps pushing while the device plays: whatever the
// instance receives arrives once, whole and in order; a full ring drops.
TEST_F(AudioConcurrency, MidiInputThreadFeedsThePlayingInstance) {
  constexpr int kChannels = 2;
  constexpr int kFrames = 128;
  constexpr int kMessages = 5000;
  AppHost* host = AppHost::Create(test::MakeStereo);
  ASSERT_TRUE(host->PrepareAudioStream(48000.0, kFrames));
  StatefulPlugin& plug = static_cast<StatefulPlugin&>(*host->GetPlug());

  std::atomic<bool> producing{true};
  std::thread device([&] {
    GuardedDeviceBuffer in(kChannels, kFrames, kInputGuard);
    GuardedDeviceBuffer out(kChannels, kFrames, kOutputGuard);
    in.Fill(0.25);
    // Two more buffers after the producer ends take what it left queued.
    for (int after = 0; after < 2;) {
      if (!producing.load()) ++after;
      HostAudioCallback(out.Data(), in.Data(), kFrames, 0.0, 0, host);
      std::this_thread::sleep_for(50us);
    }
  });
  std::thread midiInput([&] {
    for (int i = 0; i < kMessages; ++i) {
      plug.MidiIn().Push(MidiMessage{i, static_cast<uint8_t>(0x90 | (i % 16)),
                                     static_cast<uint8_t>(i & 0x7F),
                                     static_cast<uint8_t>((i >> 7) & 0x7F)});
      if (i % 10 == 0) {
        SysExRecord record;
        record.offset = i;
        record.size = 4 + i % 500;
        for (int j = 0; j < record.size; ++j) record.data[j] = static_cast<uint8_t>(i + j);
        plug.SysExIn().Push(record);
      }
      if (i % 4 == 0) std::this_thread::sleep_for(10us);
    }
    producing.store(false);
  });
  midiInput.join();
  device.join();

  ASSERT_FALSE(plug.midi.empty());
  int previous = -1;
  for (const StatefulPlugin::Arrival& arrival : plug.midi) {
    const MidiMessage& m = arrival.message;
    ASSERT_GT(m.offset, previous);
    ASSERT_LT(m.offset, kMessages);
    EXPECT_EQ(m.status, 0x90 | (m.offset % 16));
    EXPECT_EQ(m.data1, m.offset & 0x7F);
    EXPECT_EQ(m.data2, (m.offset >> 7) & 0x7F);
    previous = m.offset;
  }
  ASSERT_FALSE(plug.sysEx.empty());
  previous = -1;
  for (const StatefulPlugin::SysExArrival& arrival : plug.sysEx) {
    ASSERT_GT(arrival.offset, previous);
    EXPECT_EQ(arrival.size, 4 + arrival.offset % 500);
    EXPECT_EQ(arrival.first, static_cast<uint8_t>(arrival.offset));
    EXPECT_EQ(arrival.last, static_cast<uint8_t>(arrival.offset + arrival.size - 1));
    previous = arrival.offset;
  }
  EXPECT_EQ(plug.MidiIn().ElementsAvailable(), 0);
  EXPECT_EQ(plug.SysExIn().ElementsAvailable(), 0);
}

} // namespace
} // namespace plugkit
