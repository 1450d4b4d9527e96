#include "device_simulator.h"
#include "fake_devices.h"
#include "framework/app/app_host.h"
#include "framework/app/audio_device_names.h"
#include "framework/core/channel_io.h"
#include "memory_settings_store.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace plugkit {
namespace {

using test::Device;
using test::FakeAudio;
using test::gDeviceCalls;
using test::gShownErrors;
using Texts = std::vector<std::string>;

TEST(AudioDeviceNames, EverythingUpToTheFirstColonIsDropped) {
  const std::pair<const char*, const char*> cases[] = {{"Speakers (Realtek)", "Speakers (Realtek)"},
                                                       {"DS:Speakers", "Speakers"},
                                                       {"DS: Speakers", " Speakers"},
                                                       {"A:B:C", "B:C"},
                                                       {"x:", ""}};
  for (const auto& [library, stored] : cases)
    EXPECT_EQ(AudioDeviceName(library), stored) << library;
}

class AudioDevicesTest : public ::testing::Test {
protected:
  void SetUp() override {
    gShownErrors.clear();
    gDeviceCalls.clear();
    FakeAudio::next = {Device(3, "DS:Mic", 2, 0, true, false),
                       Device(7, "DS:Speakers", 0, 2, false, true),
                       Device(9, "DS:Interface", 8, 8)};
    host = AppHost::Create(test::MakeStereo);
    host->SetDeviceBackends(test::FakeBackends());
    auto owned = std::make_unique<test::MemorySettingsStore>();
    store = owned.get();
    host->LoadSettings(std::move(owned));
  }
  void TearDown() override { AppHost::Destroy(); }

  // Probes the devices and asks for a stream on the named ones.
  bool Start(const char* input, const char* output) {
    host->ResetAudioDriver();
    host->ProbeAudioDevices();
    store->writes.clear();
    gDeviceCalls.clear();
    host->GetCurrentSettings().audioInDevice.Set(input);
    host->GetCurrentSettings().audioOutDevice.Set(output);
    return host->StartAudio();
  }
  std::string Stored(const char* key) { return store->values[{"audio", key}]; }

  AppHost* host = nullptr;
  test::MemorySettingsStore* store = nullptr;
};

TEST_F(AudioDevicesTest, ProbingSortsDevicesByDirectionAndFindsThemByExactName) {
  FakeAudio::next.push_back(Device(11, "Other:Mic", 1, 0, true, false));
  host->ResetAudioDriver();
  host->ProbeAudioDevices();
  EXPECT_EQ(host->GetInputDeviceIds(), (std::vector<unsigned int>{3, 9, 11}));
  EXPECT_EQ(host->GetOutputDeviceIds(), (std::vector<unsigned int>{7, 9}));
  EXPECT_EQ(host->GetDefaultInput(), 11u);
  EXPECT_EQ(host->GetDefaultOutput(), 7u);
  EXPECT_EQ(host->FindAudioDeviceId(kDirectionInput, "Mic"), 3u);
  for (const char* absent : {"mic", "DS:Mic", "Mic ", ""})
    EXPECT_FALSE(host->FindAudioDeviceId(kDirectionInput, absent)) << absent;
  EXPECT_FALSE(host->FindAudioDeviceId(kDirectionOutput, "Mic"));
}

// The audio library lists a device's output and input apart under one name,
// the output first (as every device under Wine and many interfaces do).
TEST_F(AudioDevicesTest, EachDirectionFindsItsOwnDeviceAmongNamesakes) {
  FakeAudio::next = {Device(0, "Primary Sound Driver", 0, 2, false, true),
                     Device(1, "PulseAudio", 0, 2), Device(2, "Primary Sound Driver", 2, 0, true),
                     Device(3, "PulseAudio", 2, 0)};
  ASSERT_TRUE(Start("PulseAudio", "PulseAudio"));
  EXPECT_EQ(FakeAudio::last->setup.inputId, 3u);
  EXPECT_EQ(FakeAudio::last->setup.outputId, 1u);
  EXPECT_TRUE(store->writes.empty());
  // Driver type 1 looks the output's name up for the input too, among inputs.
  host->GetCurrentSettings().audioInDevice.Set("Primary Sound Driver");
  host->GetCurrentSettings().driverType = 1;
  ASSERT_TRUE(host->StartAudio());
  EXPECT_EQ(FakeAudio::last->setup.inputId, 3u);
  EXPECT_EQ(FakeAudio::last->setup.outputId, 1u);
}

TEST_F(AudioDevicesTest, StoredDevicesOpenAStreamWithThePluginsChannelsAndTheGrantedBuffer) {
  host->GetCurrentSettings().sampleRate = 48000;
  host->GetCurrentSettings().bufferSize = 256;
  FakeAudio::next.push_back(Device(12, "Spare", 1, 1));
  ASSERT_TRUE(Start("Interface", "Speakers"));
  const AudioStreamSetup& setup = FakeAudio::last->setup;
  EXPECT_EQ(
      std::vector<unsigned int>({setup.inputId, setup.inputChannels, setup.outputId,
                                 setup.outputChannels, setup.sampleRate, FakeAudio::last->asked}),
      std::vector<unsigned int>({9, 2, 7, 2, 48000, 256}));
  EXPECT_TRUE(host->GetActiveSettings().Equals(host->GetCurrentSettings()));
  EXPECT_TRUE(store->writes.empty());

  FakeAudio::last->granted = 1024;
  ASSERT_TRUE(host->StartAudio());
  EXPECT_EQ(host->GetBufferFrames(), 1024);
}

TEST_F(AudioDevicesTest, MissingDevicesFallBackToTheDefaultsWhoseNamesAreStored) {
  ASSERT_TRUE(Start("Built-in Input", "Gone"));
  EXPECT_EQ(FakeAudio::last->setup.inputId, 3u);
  EXPECT_EQ(FakeAudio::last->setup.outputId, 7u);
  EXPECT_EQ(Stored("indev"), "Mic");
  EXPECT_EQ(Stored("outdev"), "Speakers");
  // One missing only from the last listing is looked for again, and plays.
  FakeAudio::last->devices.push_back(Device(12, "DS:Dock", 2, 2));
  host->GetCurrentSettings().audioOutDevice.Set("Dock");
  store->writes.clear();
  ASSERT_TRUE(host->StartAudio());
  EXPECT_EQ(FakeAudio::last->setup.outputId, 12u);
  EXPECT_TRUE(store->writes.empty());
}

TEST_F(AudioDevicesTest, ADirectionWithoutAnyDeviceIsReportedOnceAndOpensNothing) {
  ASSERT_TRUE(Start("Mic", "Speakers"));
  FakeAudio::next = {Device(7, "DS:Speakers", 0, 2, false, true)};
  EXPECT_FALSE(Start("Mic", "Elsewhere"));
  EXPECT_EQ(gShownErrors, Texts{"Error: Please check the audio settings"});
  // The output's fallback is stored all the same; no stream opens.
  EXPECT_EQ(Stored("outdev"), "Speakers");
  EXPECT_EQ(gDeviceCalls, Texts{});
}

TEST_F(AudioDevicesTest, DriverTypeOneOpensTheOutputDeviceBothWaysUntilAResetClearsIt) {
  ASSERT_TRUE(Start("Mic", "Interface"));
  host->GetCurrentSettings().driverType = 1;
  ASSERT_TRUE(host->StartAudio());
  EXPECT_EQ(FakeAudio::last->setup.inputId, 9u);
  EXPECT_EQ(FakeAudio::last->setup.outputId, 9u);
  ASSERT_TRUE(Start("Mic", "Interface"));
  EXPECT_EQ(host->GetCurrentSettings().driverType, 0);
  EXPECT_EQ(FakeAudio::last->setup.inputId, 3u);
}

TEST_F(AudioDevicesTest, FailuresToOpenOrStartAreResults) {
  host->ResetAudioDriver();
  host->ProbeAudioDevices();
  host->GetCurrentSettings().sampleRate = 48000;
  FakeAudio::last->openSucceeds = false;
  EXPECT_FALSE(host->OpenAudioStream(3, 7, 44100, 512));
  FakeAudio::last->openSucceeds = true;
  FakeAudio::last->startSucceeds = false;
  EXPECT_FALSE(host->OpenAudioStream(3, 7, 44100, 512));
  EXPECT_FALSE(host->OpenAudioStream(3, 7, 44100, 0));
  EXPECT_FALSE(host->GetActiveSettings().Equals(host->GetCurrentSettings()));
  EXPECT_EQ(gDeviceCalls, (Texts{"open", "open", "start", "close"}));
}

TEST_F(AudioDevicesTest, NoIOAndScreenshotModesOpenNoDevice) {
  for (const bool screenshot : {false, true}) {
    host->SetNoIO(!screenshot);
    host->SetScreenshotPath(screenshot ? "shot.png" : "");
    host->GetCurrentSettings().driverType = 1;
    EXPECT_TRUE(Start("Gone", "Gone"));
    EXPECT_EQ(host->GetAudio(), nullptr);
    EXPECT_EQ(host->GetCurrentSettings().driverType, 1);
    EXPECT_TRUE(gShownErrors.empty());
    EXPECT_TRUE(store->writes.empty());
  }
}

// How a stream ends depends on whether its device still asks for buffers: a
// moving one fades out and drains, one that stopped moving is aborted, which
// lets go of its device, and one that never moved is a failed start.
TEST_F(AudioDevicesTest, EachStreamStateEndsItsOwnWayAndAStartThatNeverMovesFails) {
  enum class Device { Moving, HaltsWhilePlaying, NeverCallsBack };
  const struct {
    Device device;
    bool started;
    Texts calls;
  } rows[] = {
      {Device::Moving, true, {"open", "start", "stop after fade-out", "close"}},
      {Device::HaltsWhilePlaying, true, {"open", "start", "abort"}},
      {Device::NeverCallsBack, false, {"open", "start", "abort"}},
  };
  for (const auto& row : rows) {
    const int rowIndex = static_cast<int>(row.device);
    host->ResetAudioDriver();
    host->ProbeAudioDevices();
    gDeviceCalls.clear();
    gShownErrors.clear();
    FakeAudio::last->stalled = row.device == Device::NeverCallsBack;
    EXPECT_EQ(host->StartAudio(), row.started) << rowIndex;
    EXPECT_EQ(host->IsAudioRunningOnCurrent(), row.started) << rowIndex;
    if (row.device == Device::HaltsWhilePlaying) {
      while (FakeAudio::last->played.load() < 2) std::this_thread::yield();
      FakeAudio::last->Halt();
    }
    host->CloseAudioStream();
    EXPECT_EQ(gDeviceCalls, row.calls) << rowIndex;
    EXPECT_FALSE(FakeAudio::last->IsStreamOpen()) << rowIndex;
    const Texts failure = {
        "Error: Could not start audio from \"Mic\" to \"Speakers\" at 44100 "
        "Hz:\nThe device takes no audio; it may have been unplugged or its "
        "audio service stopped."};
    EXPECT_EQ(gShownErrors, row.started ? Texts{} : failure) << rowIndex;
  }
}

// A dead stream is let go before the next one opens, which may number the
// devices anew or find one gone: the new stream opens on the same names, or
// not at all, and says so.
TEST_F(AudioDevicesTest, AfterADeviceWentAwayTheNextStartOpensTheSameDevicesByName) {
  for (const bool speakersBack : {true, false}) {
    ASSERT_TRUE(Start("Interface", "Speakers"));
    while (FakeAudio::last->played.load() < 2) std::this_thread::yield();
    FakeAudio::last->Halt();
    FakeAudio::last->devicesAfterAbort = {Device(103, "DS:Mic", 2, 0, true),
                                          Device(109, "DS:Interface", 8, 8)};
    if (speakersBack)
      FakeAudio::last->devicesAfterAbort.push_back(Device(107, "DS:Speakers", 0, 2, false, true));
    gDeviceCalls.clear();
    gShownErrors.clear();
    EXPECT_EQ(host->StartAudio(), speakersBack);
    EXPECT_EQ(gDeviceCalls, speakersBack ? (Texts{"abort", "open", "start"}) : Texts{"abort"});
    if (speakersBack) {
      EXPECT_EQ(FakeAudio::last->setup.inputId, 109u);
      EXPECT_EQ(FakeAudio::last->setup.outputId, 107u);
    }
    const Texts gone = {
        "Error: Could not start audio from \"Interface\" to \"Speakers\" at "
        "44100 Hz:\nThe device is no longer there."};
    EXPECT_EQ(gShownErrors, speakersBack ? Texts{} : gone);
    EXPECT_TRUE(store->writes.empty());
  }
  // A stream stopped while the host goes is aborted as well.
  ASSERT_TRUE(Start("Mic", "Speakers"));
  FakeAudio::last->Halt();
  gDeviceCalls.clear();
  AppHost::Destroy();
  EXPECT_EQ(gDeviceCalls, (Texts{"abort", "delete audio"}));
}

} // namespace
} // namespace plugkit
