#include "device_simulator.h"
#include "framework/app/app_host.h"
#include "framework/app/rtaudio_backend_win.h"

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
  EXPECT_EQ(written.rfind("\nerrorCallback: ", 0), 0u) << written;
  EXPECT_FALSE(host->GetAudio()->IsStreamOpen());
  host->CloseAudioStream();
  EXPECT_TRUE(gErrors.empty());
}

TEST(AudioErrorCallback, WritesTheTextBetweenBlankLines) {
  testing::internal::CaptureStderr();
  errorCallback(0, "device lost");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "\nerrorCallback: device lost\n\n");
}

} // namespace
} // namespace plugkit
