#include "device_simulator.h"
#include "fake_devices.h"
#include "framework/app/app_host.h"
#include "framework/app/audio_device_names.h"
#include "memory_settings_store.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace plugkit {
namespace {

using test::Device;
using test::gFakeAudio;
using test::gFakeDevices;
using test::gShownErrors;
using test::MemorySettingsStore;

using Calls = std::vector<std::string>;

TEST(AudioDeviceNames, EverythingUpToTheFirstColonIsDropped) {
  const std::pair<const char*, const char*> cases[] = {
      {"Speakers (Realtek)", "Speakers (Realtek)"},
      {"DS:Speakers", "Speakers"},
      {"DS: Speakers", " Speakers"},
      {"A:B:C", "B:C"},
      {":x", "x"},
      {"x:", ""},
      {"", ""},
  };
  for (const auto& [library, stored] : cases)
    EXPECT_EQ(AudioDeviceName(library), stored) << library;
}

class AudioDevicesTest : public ::testing::Test {
protected:
  void SetUp() override {
    gShownErrors.clear();
    gFakeDevices = {
        Device(3, "Direct:Mic", 2, 0, true, false),
        Device(7, "Direct:Speakers", 0, 2, false, true),
        Device(9, "Direct:Interface", 8, 8),
    };
    host = AppHost::Create(test::MakeStereo);
    host->SetDeviceBackends(test::FakeBackends());
    auto owned = std::make_unique<MemorySettingsStore>();
    store = owned.get();
    host->LoadSettings(std::move(owned));
    store->writes.clear();
  }
  void TearDown() override { AppHost::Destroy(); }

  void Init() {
    host->ResetAudioDriver();
    host->ProbeAudioDevices();
  }
  void Name(const char* input, const char* output) {
    host->GetCurrentSettings().audioInDevice.Set(input);
    host->GetCurrentSettings().audioOutDevice.Set(output);
  }

  AppHost* host = nullptr;
  MemorySettingsStore* store = nullptr;
};

TEST_F(AudioDevicesTest, ProbingSortsDevicesByDirectionAndFindsThemByExactName) {
  gFakeDevices.push_back(Device(11, "Other:Mic", 1, 0, true, false));
  gFakeDevices.push_back(Device(12, "Mic", 1, 1));
  Init();
  EXPECT_EQ(host->GetInputDeviceIds(), (std::vector<unsigned int>{3, 9, 11, 12}));
  EXPECT_EQ(host->GetOutputDeviceIds(), (std::vector<unsigned int>{7, 9, 12}));
  EXPECT_EQ(host->GetDefaultInput(), 11u);
  EXPECT_EQ(host->GetDefaultOutput(), 7u);
  EXPECT_EQ(host->GetAudioDeviceName(7), "Speakers");
  EXPECT_EQ(host->FindAudioDeviceId("Mic"), 3u);
  EXPECT_EQ(host->FindAudioDeviceId("Interface"), 9u);
  EXPECT_FALSE(host->FindAudioDeviceId("mic"));
  EXPECT_FALSE(host->FindAudioDeviceId("Direct:Mic"));
  EXPECT_FALSE(host->FindAudioDeviceId("Mic "));
}

TEST_F(AudioDevicesTest, StoredDevicesOpenAStreamWithThePluginsChannels) {
  Init();
  Name("Interface", "Speakers");
  host->GetCurrentSettings().sampleRate = 48000;
  host->GetCurrentSettings().bufferSize = 256;
  gFakeAudio->grantedFrames = 1024;
  ASSERT_TRUE(host->StartAudio());
  const AudioStreamSetup& setup = gFakeAudio->lastSetup;
  EXPECT_EQ(setup.inputId, 9u);
  EXPECT_EQ(setup.outputId, 7u);
  EXPECT_EQ(setup.inputChannels, 2u);
  EXPECT_EQ(setup.outputChannels, 2u);
  EXPECT_EQ(setup.sampleRate, 48000u);
  EXPECT_EQ(gFakeAudio->askedFrames, 256u);
  EXPECT_EQ(host->GetBufferFrames(), 1024);
  EXPECT_EQ(host->GetSampleRate(), 48000.0);
  EXPECT_TRUE(host->GetActiveSettings().Equals(host->GetCurrentSettings()));
  EXPECT_TRUE(store->writes.empty());
  EXPECT_TRUE(gShownErrors.empty());
}

TEST_F(AudioDevicesTest, MissingDevicesFallBackToTheDefaultsWhoseNamesAreStored) {
  Init();
  Name("Built-in Input", "Gone");
  ASSERT_TRUE(host->StartAudio());
  EXPECT_EQ(gFakeAudio->lastSetup.inputId, 3u);
  EXPECT_EQ(gFakeAudio->lastSetup.outputId, 7u);
  EXPECT_STREQ(host->GetCurrentSettings().audioInDevice.Get(), "Mic");
  EXPECT_STREQ(host->GetCurrentSettings().audioOutDevice.Get(), "Speakers");
  EXPECT_EQ(store->values[std::make_pair("audio", "indev")], "Mic");
  EXPECT_EQ(store->values[std::make_pair("audio", "outdev")], "Speakers");
}

TEST_F(AudioDevicesTest, ADirectionWithoutAnyDeviceIsReportedOnceAndOpensNothing) {
  gFakeDevices = {Device(3, "Direct:Mic", 2, 0, true, false)};
  Init();
  Name("Mic", "Speakers");
  EXPECT_FALSE(host->StartAudio());
  EXPECT_EQ(gShownErrors, (Calls{"Error: Please check the audio settings"}));
  EXPECT_TRUE(gFakeAudio->calls.empty());

  // A missing input beside a resolved output still stores the output's
  // fallback before the failure is reported.
  gFakeDevices = {Device(7, "Direct:Speakers", 0, 2, false, true)};
  gShownErrors.clear();
  Init();
  Name("Mic", "Elsewhere");
  EXPECT_FALSE(host->StartAudio());
  EXPECT_EQ(gShownErrors.size(), 1u);
  EXPECT_EQ(store->values[std::make_pair("audio", "outdev")], "Speakers");
}

TEST_F(AudioDevicesTest, AFailedStartKeepsTheRunningStream) {
  Init();
  Name("Mic", "Speakers");
  ASSERT_TRUE(host->StartAudio());
  Name("Mic", "Gone");
  gFakeAudio->calls.clear();
  gFakeAudio->devices.clear();
  host->ProbeAudioDevices();
  EXPECT_FALSE(host->StartAudio());
  EXPECT_TRUE(gFakeAudio->calls.empty());
  EXPECT_TRUE(gFakeAudio->IsStreamRunning());
}

TEST_F(AudioDevicesTest, DriverTypeOneOpensTheOutputDeviceBothWaysUntilAResetClearsIt) {
  Init();
  Name("Mic", "Interface");
  host->GetCurrentSettings().driverType = 1;
  ASSERT_TRUE(host->StartAudio());
  EXPECT_EQ(gFakeAudio->lastSetup.inputId, 9u);
  EXPECT_EQ(gFakeAudio->lastSetup.outputId, 9u);
  Init();
  EXPECT_EQ(host->GetCurrentSettings().driverType, 0);
  ASSERT_TRUE(host->StartAudio());
  EXPECT_EQ(gFakeAudio->lastSetup.inputId, 3u);
}

TEST_F(AudioDevicesTest, FailuresToOpenOrStartAreResults) {
  Init();
  Name("Mic", "Speakers");
  gFakeAudio->openSucceeds = false;
  EXPECT_FALSE(host->StartAudio());
  gFakeAudio->openSucceeds = true;
  gFakeAudio->startSucceeds = false;
  EXPECT_FALSE(host->StartAudio());
  EXPECT_FALSE(host->GetActiveSettings().Equals(host->GetCurrentSettings()));
  EXPECT_EQ(gFakeAudio->calls, (Calls{"open", "open", "start"}));
  host->GetCurrentSettings().bufferSize = 0;
  gFakeAudio->startSucceeds = true;
  EXPECT_FALSE(host->StartAudio());
  host->CloseAudioStream();
  EXPECT_FALSE(gFakeAudio->IsStreamOpen());
}

TEST_F(AudioDevicesTest, NoIOAndScreenshotModesOpenNoDevice) {
  for (const bool screenshot : {false, true}) {
    if (screenshot) {
      host->SetNoIO(false);
      host->SetScreenshotPath("shot.png");
    } else {
      host->SetNoIO(true);
    }
    host->GetCurrentSettings().driverType = 1;
    Init();
    EXPECT_EQ(host->GetAudio(), nullptr);
    EXPECT_EQ(host->GetCurrentSettings().driverType, 1);
    EXPECT_TRUE(host->GetInputDeviceIds().empty());
    EXPECT_TRUE(host->StartAudio());
    EXPECT_TRUE(gShownErrors.empty());
    EXPECT_TRUE(store->writes.empty());
  }
}

TEST_F(AudioDevicesTest, ARunningStreamFadesOutAndStopsBeforeTheNextOpens) {
  Init();
  Name("Mic", "Speakers");
  ASSERT_TRUE(host->StartAudio());
  while (gFakeAudio->buffersPlayed.load() < 2) std::this_thread::yield();
  ASSERT_TRUE(host->StartAudio());
  EXPECT_EQ(gFakeAudio->calls, (Calls{"open", "start", "stop+done", "close", "open", "start"}));
  EXPECT_FALSE(host->IsAudioDone());
  host->CloseAudioStream();
  EXPECT_EQ(gFakeAudio->calls.back(), "close");
  EXPECT_EQ(gFakeAudio->lastBufferLast.load(), 0.0);
}

TEST_F(AudioDevicesTest, AStalledDeviceIsStoppedAfterABoundedWait) {
  Init();
  Name("Mic", "Speakers");
  gFakeAudio->stalled = true;
  ASSERT_TRUE(host->StartAudio());
  host->CloseAudioStream();
  EXPECT_EQ(gFakeAudio->calls, (Calls{"open", "start", "stop", "close"}));
  EXPECT_FALSE(gFakeAudio->IsStreamOpen());
}

TEST_F(AudioDevicesTest, DestroyingTheHostClosesTheStream) {
  Init();
  Name("Mic", "Speakers");
  ASSERT_TRUE(host->StartAudio());
  AppHost::Destroy();
  host = nullptr;
  EXPECT_EQ(test::gCallsAtDeletion, (Calls{"open", "start", "stop+done", "close"}));
}

} // namespace
} // namespace plugkit
