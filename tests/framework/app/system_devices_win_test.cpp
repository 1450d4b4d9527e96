#include "device_simulator.h"
#include "fake_devices.h"
#include "framework/app/app_host.h"
#include "framework/app/rtaudio_backend_win.h"
#include "framework/app/system_device_names_win.h"
#include "framework/core/channel_io.h"
#include "memory_settings_store.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>

#include <map>
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

// The last two are namesakes in a code page that cannot hold them.
SystemDeviceNames WindowsNames() {
  return {{L"Primary Sound Driver", L"Kopfh\u00f6rer (USB Audio)"},
          {L"Primary Sound Capture Driver", L"\u9ea6\u514b\u98ce", L"\u8bdd\u7b52\u4e00"}};
}

// A name as RtAudio, built without UNICODE, gives it: what the narrow
// DirectSound calls make of it in the system code page.
std::string CodePage(const std::wstring& name) {
  char text[256] = {};
  WideCharToMultiByte(CP_ACP, 0, name.c_str(), -1, text, sizeof text, nullptr, nullptr);
  return text;
}

TEST(SystemDeviceNames, DevicesNamedInAnyScriptOpenAndAreFoundAgainAfterARestart) {
  const SystemDeviceNames names = WindowsNames();
  test::FakeAudio::next = {test::Device(0, CodePage(names.outputs[0]).c_str(), 0, 2, false, true),
                           test::Device(1, CodePage(names.outputs[1]).c_str(), 0, 2),
                           test::Device(2, CodePage(names.inputs[0]).c_str(), 2, 0, true),
                           test::Device(3, CodePage(names.inputs[1]).c_str(), 2, 0),
                           test::Device(4, CodePage(names.inputs[2]).c_str(), 2, 0)};
  const std::string headphones = "Kopfh\xC3\xB6rer (USB Audio)";
  const std::string microphone = "\xE8\xAF\x9D\xE7\xAD\x92\xE4\xB8\x80";
  std::map<test::MemorySettingsStore::Key, std::string> saved;
  for (int start = 1; start <= 2; ++start) {
    AppHost* host = AppHost::Create(test::MakeStereo);
    DeviceBackends backends = test::FakeBackends();
    backends.makeAudio = [] {
      return WithSystemDeviceNames(std::make_unique<test::FakeAudio>(), WindowsNames);
    };
    host->SetDeviceBackends(backends);
    auto store = std::make_unique<test::MemorySettingsStore>();
    store->values = saved;
    store->hasSettings = start > 1;
    test::MemorySettingsStore& file = *store;
    host->LoadSettings(std::move(store));
    host->ResetAudioDriver();
    host->ProbeAudioDevices();
    if (start == 1) {
      host->GetCurrentSettings().audioInDevice.Set(microphone.c_str());
      host->GetCurrentSettings().audioOutDevice.Set(headphones.c_str());
    }
    file.writes.clear();
    ASSERT_TRUE(host->StartAudio()) << start;
    EXPECT_EQ(test::FakeAudio::last->setup.inputId, 4u) << start;
    EXPECT_EQ(test::FakeAudio::last->setup.outputId, 1u) << start;
    EXPECT_TRUE(file.writes.empty()) << start;
    host->SaveSettings();
    saved = file.values;
  }
  AppHost::Destroy();
  EXPECT_EQ((saved[{"audio", "indev"}]), microphone);
  EXPECT_EQ((saved[{"audio", "outdev"}]), headphones);
}

} // namespace
} // namespace plugkit
