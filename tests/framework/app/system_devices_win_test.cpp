#include "device_simulator.h"
#include "framework/app/app_host.h"
#include "framework/app/rtaudio_backend_win.h"
#include "framework/core/channel_io.h"
#include "memory_settings_store.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace plugkit {
namespace {

std::vector<std::string> gErrors;

void CollectError(const char* text, const char* caption) {
  gErrors.push_back(std::string(caption) + ": " + text);
}

// The system's own device objects, with errors collected instead of shown
// in message boxes that nobody would close.
class SystemDevicesTest : public ::testing::Test {
protected:
  void SetUp() override {
    gErrors.clear();
    host = AppHost::Create(test::MakeStereo);
    DeviceBackends backends = SystemDeviceBackends();
    backends.showError = CollectError;
    host->SetDeviceBackends(backends);
  }
  void TearDown() override { AppHost::Destroy(); }

  AppHost* host = nullptr;
};

TEST_F(SystemDevicesTest, WithoutSoundDevicesStartingAudioIsReportedAndOpensNothing) {
  host->ResetAudioDriver();
  ASSERT_NE(host->GetAudio(), nullptr);
  host->ProbeAudioDevices();
  if (!host->GetOutputDeviceIds().empty() || host->GetDefaultOutput())
    GTEST_SKIP() << "this system has a sound device";
  EXPECT_FALSE(host->StartAudio());
  EXPECT_EQ(gErrors, std::vector<std::string>{"Error: Please check the audio settings"});
  EXPECT_FALSE(host->GetAudio()->IsStreamOpen());
}

TEST_F(SystemDevicesTest, OpeningDevicesThatDoNotExistFailsWithTheLibrarysErrorWritten) {
  host->ResetAudioDriver();
  host->ProbeAudioDevices();
  if (!host->GetOutputDeviceIds().empty()) GTEST_SKIP() << "this system has a sound device";
  testing::internal::CaptureStderr();
  EXPECT_FALSE(host->OpenAudioStream(1234, 1235, 48000, 512));
  const std::string written = testing::internal::GetCapturedStderr();
  EXPECT_THAT(written, testing::StartsWith("\nerrorCallback: "));
  EXPECT_THAT(written, testing::EndsWith("\n\n"));
  EXPECT_FALSE(host->GetAudio()->IsStreamOpen());
  host->CloseAudioStream();
  EXPECT_TRUE(gErrors.empty());
}

TEST_F(SystemDevicesTest, WithoutMidiPortsAStoredPortIsKeptAndOffOpensNothing) {
  auto owned = std::make_unique<test::MemorySettingsStore>();
  test::MemorySettingsStore* store = owned.get();
  host->GetCurrentSettings().midiInDevice.Set("Keyboard");
  host->GetCurrentSettings().midiOutDevice.Set("off");
  store->hasSettings = false;
  host->LoadSettings(std::move(owned));
  ASSERT_TRUE(host->CreateMidiPorts());
  host->ProbeMidiPorts();
  if (host->GetMidiPortNames(kDirectionInput).size() > 1)
    GTEST_SKIP() << "this system has a MIDI port";
  EXPECT_EQ(host->GetMidiPortNames(kDirectionOutput), std::vector<std::string>{"off"});
  EXPECT_FALSE(
      host->SelectMidiPort(kDirectionInput, host->GetCurrentSettings().midiInDevice.Get()));
  EXPECT_TRUE(host->SelectMidiPort(kDirectionOutput, "off"));
  EXPECT_STREQ(host->GetCurrentSettings().midiInDevice.Get(), "Keyboard");
  EXPECT_EQ(store->values[std::make_pair("midi", "indev")], "Keyboard");
  testing::internal::CaptureStderr();
  EXPECT_FALSE(host->SendMidiBytes(std::vector<uint8_t>{0x90, 60, 1}.data(), 3));
  testing::internal::GetCapturedStderr();
}

} // namespace
} // namespace plugkit
