#include "framework/app/app_host.h"
#include "framework/core/channel_io.h"
#include "tests/framework/app/stateful_plugin.h"

#include <gtest/gtest.h>

#include <memory>

namespace plugkit {
namespace {

using test::StatefulConfig;
using test::StatefulPlugin;

int gDestroyed = 0;

std::unique_ptr<IPluginApp> MakeCounted(const InstanceInfo& info) {
  auto plug = std::make_unique<StatefulPlugin>(info, StatefulConfig("1-1 2-2"));
  plug->destroyed = &gDestroyed;
  return plug;
}

std::unique_ptr<IPluginApp> MakeNothing(const InstanceInfo&) { return nullptr; }

class AppHostTest : public ::testing::Test {
protected:
  void TearDown() override { AppHost::Destroy(); }
};

TEST_F(AppHostTest, CreateReplacesAndDeletesThePreviousHost) {
  gDestroyed = 0;
  AppHost* first = AppHost::Create(MakeCounted);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(AppHost::Get(), first);
  EXPECT_EQ(first->GetPlug()->GetAppHost(), first);
  EXPECT_EQ(first->GetSampleRate(), 44100.0);
  EXPECT_EQ(first->GetBufferFrames(), 512);
  EXPECT_FALSE(first->IsAudioExiting());
  EXPECT_FALSE(first->IsAudioDone());

  AppHost* second = AppHost::Create(MakeCounted);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(AppHost::Get(), second);
  EXPECT_EQ(gDestroyed, 1);

  AppHost::Destroy();
  EXPECT_EQ(AppHost::Get(), nullptr);
  EXPECT_EQ(gDestroyed, 2);
}

TEST_F(AppHostTest, AFactoryThatMakesNoInstanceKeepsThePreviousHost) {
  AppHost* host = AppHost::Create(MakeCounted);
  EXPECT_EQ(AppHost::Create(MakeNothing), nullptr);
  EXPECT_EQ(AppHost::Create(nullptr), nullptr);
  EXPECT_EQ(AppHost::Get(), host);
}

TEST_F(AppHostTest, PrepareAudioStreamResetsTheStreamAndThePlugin) {
  AppHost* host = AppHost::Create(MakeCounted);
  auto& plug = static_cast<StatefulPlugin&>(*host->GetPlug());
  plug.SetBlockSize(64);
  host->SetAudioExiting(true);
  ASSERT_TRUE(host->PrepareAudioStream(96000.0, 256));
  EXPECT_EQ(host->GetSampleRate(), 96000.0);
  EXPECT_EQ(host->GetBufferFrames(), 256);
  EXPECT_EQ(host->GetSamplesElapsed(), 0);
  EXPECT_EQ(host->GetFrameCounter(), 0);
  EXPECT_EQ(host->GetCallbackCount(), 0);
  EXPECT_FALSE(host->IsAudioExiting());
  EXPECT_FALSE(host->IsAudioDone());
  EXPECT_EQ(plug.GetBlockSize(), 512);
  EXPECT_EQ(plug.GetSampleRate(), 96000.0);
  EXPECT_EQ(plug.resets, 1);
}

} // namespace
} // namespace plugkit
