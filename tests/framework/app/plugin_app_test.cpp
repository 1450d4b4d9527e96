#include "framework/app/plugin_app.h"
#include "framework/app/app_host.h"
#include "framework/core/channel_io.h"
#include "framework/core/timer.h"
#include "tests/framework/app/stateful_plugin.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace plugkit {
namespace {

using test::StatefulConfig;
using test::StatefulPlugin;

constexpr double kSentinel = -777.0;

// Delivers one idle tick by hand, as the user-interface thread's timer would.
void Tick(IPluginAPIBase& plug) {
  std::unique_ptr<Timer> timer(Timer::Create([](Timer&) {}, IPluginAPIBase::IdleTimerPeriod));
  plug.OnTimerTick(*timer);
}

// One block of stereo device audio with room after it, so frames written
// past the count the block was given show up.
struct StereoBlock {
  static constexpr int kRoom = 1024;
  std::vector<double> in[2] = {std::vector<double>(kRoom, 0.5), std::vector<double>(kRoom, -0.25)};
  std::vector<double> out[2] = {std::vector<double>(kRoom, kSentinel),
                                std::vector<double>(kRoom, kSentinel)};
  double* inputs[2] = {in[0].data(), in[1].data()};
  double* outputs[2] = {out[0].data(), out[1].data()};
};

TEST(PluginApp, ConstructionPreparesTheStandaloneInstance) {
  InstanceInfo info;
  StatefulPlugin plug(info, StatefulConfig("1-1 2-2"));
  EXPECT_EQ(plug.GetPlugApi(), PlugApi::Standalone);
  EXPECT_EQ(plug.GetAppHost(), nullptr);
  EXPECT_EQ(plug.GetBlockSize(), 512);
  EXPECT_EQ(plug.ConnectedChannelCount(kDirectionInput), 2);
  EXPECT_EQ(plug.ConnectedChannelCount(kDirectionOutput), 2);
  EXPECT_EQ(plug.MidiIn().Slots(), 33);
  EXPECT_EQ(plug.SysExIn().Slots(), 5);
}

TEST(PluginApp, ProcessHostBlockProcessesTheFramesItIsGivenAndNoMore) {
  StatefulPlugin plug(InstanceInfo{}, StatefulConfig("2-2"));
  StereoBlock block;
  plug.ProcessHostBlock(block.inputs, block.outputs, 500);
  ASSERT_EQ(plug.blockSizes, std::vector<int>{500});
  for (int c = 0; c < 2; ++c) {
    EXPECT_FLOAT_EQ(static_cast<float>(block.out[c][0]),
                    static_cast<float>(block.in[c][0]) * 0.1f + 0.001f);
    EXPECT_NE(block.out[c][499], kSentinel);
    EXPECT_EQ(block.out[c][500], kSentinel);
  }

  // Nothing to process: the block is refused whole.
  plug.ProcessHostBlock(block.inputs, block.outputs, 0);
  plug.ProcessHostBlock(block.inputs, block.outputs, -4);
  EXPECT_EQ(plug.blockSizes.size(), 1u);

  // More frames than the block size: the block size is processed and the
  // rest of the given frames is silence.
  plug.ProcessHostBlock(block.inputs, block.outputs, 600);
  EXPECT_EQ(plug.blockSizes.back(), 512);
  EXPECT_NE(block.out[1][511], 0.0);
  EXPECT_EQ(block.out[1][512], 0.0);
  EXPECT_EQ(block.out[1][599], 0.0);
  EXPECT_EQ(block.out[1][600], kSentinel);
}

TEST(PluginApp, InstrumentInputsStayUnconnected) {
  StatefulPlugin plug(InstanceInfo{}, StatefulConfig("2-2", false, 1));
  StereoBlock block;
  plug.ProcessHostBlock(nullptr, block.outputs, 64);
  EXPECT_EQ(plug.ConnectedChannelCount(kDirectionInput), 0);
  plug.ProcessHostBlock(block.inputs, block.outputs, 64);
  EXPECT_EQ(plug.state[0], 0.0f);
  EXPECT_EQ(plug.state[1], 0.0f);
  EXPECT_FLOAT_EQ(static_cast<float>(block.out[0][63]), 128 * 0.001f);
}

// Device input is handed to the instance first, then echoed to the editor;
// MIDI from the editor is handed to the instance only.
TEST(PluginApp, QueuedInputReachesTheNextBlockAndThenTheEditor) {
  StatefulPlugin plug(InstanceInfo{}, StatefulConfig("1-1"));
  StereoBlock block;
  for (int i = 0; i < 3; ++i)
    plug.MidiIn().Push(MidiMessage{0, 0x90, static_cast<uint8_t>(i), 100});
  plug.QueueMidiFromUI(MidiMessage{0, 0xB0, 7, 64});
  SysExRecord record;
  record.size = 6;
  record.data[0] = 0xF0;
  plug.SysExIn().Push(record);
  plug.ProcessHostBlock(block.inputs, block.outputs, 512);

  ASSERT_EQ(plug.midi.size(), 4u);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(plug.midi[i].message.data1, i);
  EXPECT_EQ(plug.midi[3].message.status, 0xB0);
  ASSERT_EQ(plug.sysEx.size(), 1u);
  EXPECT_EQ(plug.sysEx[0].first, 0xF0);

  Tick(plug);
  ASSERT_EQ(plug.midiToUI.size(), 3u);
  EXPECT_EQ(plug.midiToUI[2].data1, 2);
  EXPECT_EQ(plug.sysExToUI, std::vector<int>{6});

  plug.MidiIn().Push(MidiMessage{0, 0x80, 60, 0});
  plug.ProcessHostBlock(block.inputs, block.outputs, 100);
  ASSERT_EQ(plug.midi.size(), 5u);
  EXPECT_EQ(plug.midi[4].atFrame, 512);
}

TEST(PluginApp, MidiOutputNeedsTheConfigurationAndAHostOutput) {
  const uint8_t bytes[] = {0xF0, 0x7E, 0x01, 0xF7};
  const SysExMessage sysEx{0, 4, bytes};
  StatefulPlugin quiet(InstanceInfo{}, StatefulConfig("1-1", false));
  EXPECT_FALSE(quiet.SendMidiOut(MidiMessage{0, 0x90, 60, 100}));
  EXPECT_FALSE(quiet.SendSysExOut(sysEx));

  // Declared MIDI output, but the host has opened no MIDI output object.
  AppHost* host = AppHost::Create([](const InstanceInfo& info) -> std::unique_ptr<IPluginApp> {
    return std::make_unique<StatefulPlugin>(info, StatefulConfig("1-1", true));
  });
  ASSERT_NE(host, nullptr);
  IPluginApp& plug = *host->GetPlug();
  EXPECT_FALSE(plug.SendMidiOut(MidiMessage{0, 0x90, 60, 100}));
  EXPECT_FALSE(plug.SendSysExOut(sysEx));
  EXPECT_FALSE(plug.SendSysExOut(SysExMessage{0, 0, bytes}));
  AppHost::Destroy();
}

TEST(PluginApp, SysExFromTheEditorIsNotQueued) {
  StatefulPlugin plug(InstanceInfo{}, StatefulConfig("1-1", true));
  const uint8_t bytes[] = {0xF0, 0x01, 0x02, 0xF7};
  plug.SendSysExFromUI(SysExMessage{0, 4, bytes});
  EXPECT_EQ(plug.QueuedSysExFromUI(), 0);
}

TEST(PluginApp, ResizeEditorWindowKeepsTheSizeAndReportsNoResize) {
  StatefulPlugin plug(InstanceInfo{}, StatefulConfig("1-1"));
  EXPECT_FALSE(plug.ResizeEditorWindow(640, 480));
  EXPECT_EQ(plug.GetEditorWidth(), 640);
  EXPECT_EQ(plug.GetEditorHeight(), 480);
  EXPECT_FALSE(plug.ResizeEditorFromUI(700, 500, true));
  EXPECT_EQ(plug.GetEditorWidth(), 700);
  EXPECT_TRUE(plug.ResizeEditorFromUI(800, 600, false));
  EXPECT_EQ(plug.GetEditorWidth(), 700);
}

} // namespace
} // namespace plugkit
