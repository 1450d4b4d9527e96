#include "framework/core/plugin_api_base.h"
#include "framework/core/param_shape.h"
#include "framework/core/timer_backend.h"
#include "framework/core/timer_impl.h"
#include "tests/framework/core/timer_delivery.h"
#include "tests/support/plug_config_builder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace plugkit {
namespace {

PlugConfig TestConfig() {
  return test::PlugConfigBuilder("Tarvex", "Btvx")
      .Params(4, 2)
      .Version(0x00000100)
      .Chunks()
      .Editor(1180, 800)
      .SizeLimits(3540, 393, 266, 2400)
      .HostResize()
      .Build();
}

// Records, in order, what the framework asks of the plug-in.
class RecordingPlugin : public IPluginAPIBase {
public:
  explicit RecordingPlugin(PlugApi api = PlugApi::Standalone,
                           const PlugConfig& config = TestConfig())
      : IPluginAPIBase(config, api) {
    for (int i = 0; i < NParams(); ++i)
      GetParam(i)->ConfigureDouble("p", 0.0, 0.0, 100.0, 0.01, "", 0, "", IParam::ShapeLinear());
  }

  void SendParamValueToUI(int paramIdx, double value, bool normalized) override {
    EXPECT_FALSE(normalized);
    params.push_back({paramIdx, value});
    Log("param");
  }
  void SendMidiToUI(const MidiMessage& message) override {
    Log("midi:" + std::to_string(message.data1));
  }
  void SendSysExToUI(const SysExMessage& message) override {
    Log("sysex:" + std::to_string(message.size) + ":" +
        std::to_string(message.size ? message.data[0] : 0));
  }
  void OnIdleTick() override { Log("idle"); }
  void SendParamValueToHost(int paramIdx, double normalized) override {
    Log("host:" + std::to_string(paramIdx) + "=" + std::to_string(normalized));
  }
  void OnParamChange(int paramIdx, ParamChangeSource source, int) override {
    Log(std::string("change:") + ParamChangeSourceText(source) + ":" + std::to_string(paramIdx));
  }
  void OnUIParamChange(int paramIdx, ParamChangeSource source) override {
    Log(std::string("uichange:") + ParamChangeSourceText(source) + ":" + std::to_string(paramIdx));
  }
  void BeginHostParamEdit(int paramIdx) override { Log("begin:" + std::to_string(paramIdx)); }
  void EndHostParamEdit(int paramIdx) override { Log("end:" + std::to_string(paramIdx)); }
  bool ResizeEditorWindow(int width, int height) override {
    Log("resize:" + std::to_string(width) + "x" + std::to_string(height));
    return width > 0;
  }

  void Log(const std::string& what) { calls.push_back(what); }
  void PushMidiToUI(uint8_t data1) { midiToUI_.Push(MidiMessage{0, 0x90, data1, 100}); }
  void PushSysExRecordToUI(const SysExRecord& record) { sysExToUI_.Push(record); }
  bool PopSysExFromUI(SysExRecord& record) { return sysExFromUI_.Pop(record); }
  bool PopMidiFromUI(MidiMessage& message) { return midiFromUI_.Pop(message); }
  int QueuedParamChanges() const { return paramChangesToUI_.ElementsAvailable(); }
  const Timer_impl* IdleTimer() const { return static_cast<const Timer_impl*>(GetIdleTimer()); }

  std::vector<ParamChange> params;
  std::vector<std::string> calls;
};

void Tick(IPluginAPIBase& plugin) {
  std::unique_ptr<Timer> timer(Timer::Create([](Timer&) {}, 1000));
  plugin.OnTimerTick(*timer);
}

TEST(IPluginAPIBase, TakesItsConfiguration) {
  PlugConfig config = TestConfig();
  const std::string longName(200, 'n');
  config.makerName = longName.c_str();
  RecordingPlugin plugin(PlugApi::VST3, config);
  EXPECT_EQ(plugin.NParams(), 4);
  EXPECT_EQ(plugin.NPresets(), 2);
  EXPECT_STREQ(plugin.GetPluginName(), "Tarvex");
  EXPECT_EQ(std::string(plugin.GetMakerName()), std::string(128, 'n'));
  EXPECT_EQ(plugin.GetUniqueId(), FourCharCode("Btvx"));
  EXPECT_EQ(plugin.GetMakerId(), FourCharCode("Brsk"));
  EXPECT_EQ(plugin.GetPluginVersion(true), 100);
  EXPECT_TRUE(plugin.DoesChunks());
  EXPECT_TRUE(plugin.HasUI());
  EXPECT_TRUE(plugin.HostResize());
  EXPECT_EQ(plugin.GetPlugApi(), PlugApi::VST3);
  EXPECT_EQ(plugin.GetHost(), kHostUninit);
  EXPECT_EQ(plugin.GetEditorWidth(), 1180);
  EXPECT_EQ(plugin.GetEditorHeight(), 800);

  // Swapped width limits are stored the right way round.
  int w = 200, h = 3000;
  EXPECT_FALSE(plugin.ClampEditorSize(w, h));
  EXPECT_EQ(w, 393);
  EXPECT_EQ(h, 2400);
  w = 4000;
  EXPECT_FALSE(plugin.ClampEditorSize(w, h));
  EXPECT_EQ(w, 3540);
}

TEST(IPluginAPIBase, ParamQueueDeliversFirst512InOrder) {
  RecordingPlugin plugin;
  for (int i = 0; i < 600; ++i) plugin.QueueParamValueToUI(i % 4, i * 0.1, false);
  Tick(plugin);
  ASSERT_EQ(plugin.params.size(), 512u);
  for (int i = 0; i < 512; ++i) {
    EXPECT_EQ(plugin.params[i].paramIdx, i % 4);
    EXPECT_EQ(plugin.params[i].value, i * 0.1);
  }
  EXPECT_EQ(plugin.QueuedParamChanges(), 0);
}

TEST(IPluginAPIBase, QueuedNormalisedValuesArriveAsPlainValues) {
  RecordingPlugin plugin;
  plugin.QueueParamValueToUI(1, 0.25, true);
  plugin.QueueParamValueToUI(2, 7.0, true);
  plugin.QueueParamValueToUI(9, 0.5, false);
  Tick(plugin);
  ASSERT_EQ(plugin.params.size(), 2u);
  EXPECT_DOUBLE_EQ(plugin.params[0].value, 25.0);
  EXPECT_DOUBLE_EQ(plugin.params[1].value, 100.0);
}

TEST(IPluginAPIBase, IdleTickDrainsQueuesInOrder) {
  RecordingPlugin plugin;
  SysExRecord record;
  record.size = 3;
  record.data[0] = 0xF0;
  plugin.PushSysExRecordToUI(record);
  plugin.PushMidiToUI(60);
  plugin.QueueParamValueToUI(0, 1.0, false);
  plugin.PushMidiToUI(61);
  plugin.QueueParamValueToUI(1, 2.0, false);
  Tick(plugin);
  EXPECT_EQ(plugin.calls, (std::vector<std::string>{"param", "param", "midi:60", "midi:61",
                                                    "sysex:3:240", "idle"}));
  plugin.calls.clear();
  Tick(plugin);
  EXPECT_EQ(plugin.calls, std::vector<std::string>{"idle"});
}

TEST(IPluginAPIBase, VST3TickLeavesTheParamQueue) {
  RecordingPlugin plugin(PlugApi::VST3);
  plugin.QueueParamValueToUI(0, 1.0, false);
  plugin.PushMidiToUI(60);
  Tick(plugin);
  EXPECT_EQ(plugin.calls, (std::vector<std::string>{"midi:60", "idle"}));
  EXPECT_EQ(plugin.QueuedParamChanges(), 1);
}

TEST(IPluginAPIBase, SysExRecordOfImpossibleSizeIsNotHandedToTheEditor) {
  RecordingPlugin plugin;
  SysExRecord bad;
  bad.size = MaxSysExBytes + 1;
  plugin.PushSysExRecordToUI(bad);
  Tick(plugin);
  EXPECT_EQ(plugin.calls, std::vector<std::string>{"idle"});
}

TEST(IPluginAPIBase, SysExFromEditorIsQueuedOnlyWhenItFits) {
  RecordingPlugin plugin;
  std::vector<uint8_t> bytes(MaxSysExBytes + 1, 0x42);
  SysExRecord record;

  plugin.SendSysExFromUI(SysExMessage{0, MaxSysExBytes + 1, bytes.data()});
  plugin.SendSysExFromUI(SysExMessage{0, -1, bytes.data()});
  plugin.SendSysExFromUI(SysExMessage{0, 100000, nullptr});
  EXPECT_FALSE(plugin.PopSysExFromUI(record));

  plugin.SendSysExFromUI(SysExMessage{7, MaxSysExBytes, bytes.data()});
  ASSERT_TRUE(plugin.PopSysExFromUI(record));
  EXPECT_EQ(record.offset, 7);
  EXPECT_EQ(record.size, MaxSysExBytes);
  EXPECT_EQ(record.data[MaxSysExBytes - 1], 0x42);

  plugin.SendSysExFromUI(SysExMessage{0, 6, nullptr});
  ASSERT_TRUE(plugin.PopSysExFromUI(record));
  EXPECT_EQ(record.size, 6);
  EXPECT_EQ(record.data[0], 0);

  // Four records fit; the fifth is dropped.
  for (int i = 0; i < 5; ++i) plugin.SendSysExFromUI(SysExMessage{i, 1, bytes.data()});
  int popped = 0;
  while (plugin.PopSysExFromUI(record)) EXPECT_EQ(record.offset, popped++);
  EXPECT_EQ(popped, 4);
}

TEST(IPluginAPIBase, MidiFromEditorIsQueued) {
  RecordingPlugin plugin;
  plugin.SendMidiFromUI(MidiMessage{3, 0xB0, 7, 99});
  MidiMessage message;
  ASSERT_TRUE(plugin.PopMidiFromUI(message));
  EXPECT_EQ(message.offset, 3);
  EXPECT_EQ(message.data2, 99);
  EXPECT_FALSE(plugin.PopMidiFromUI(message));
}

TEST(IPluginAPIBase, ResizeEditorFromUI) {
  RecordingPlugin plugin;
  EXPECT_TRUE(plugin.ResizeEditorFromUI(0, 0, false));
  EXPECT_TRUE(plugin.calls.empty());
  EXPECT_TRUE(plugin.ResizeEditorFromUI(800, 600, true));
  EXPECT_FALSE(plugin.ResizeEditorFromUI(0, 600, true));
  EXPECT_EQ(plugin.calls, (std::vector<std::string>{"resize:800x600", "resize:0x600"}));
}

TEST(IPluginAPIBase, EditFromEditorReachesHostThenPlugin) {
  RecordingPlugin plugin;
  plugin.BeginParamEditFromUI(2);
  plugin.SetParamValueFromUI(2, 0.5);
  plugin.EndParamEditFromUI(2);
  EXPECT_DOUBLE_EQ(plugin.GetParam(2)->Value(), 50.0);
  EXPECT_EQ(plugin.calls, (std::vector<std::string>{"begin:2", "host:2=0.500000", "change:UI:2",
                                                    "uichange:UI:2", "end:2"}));
  plugin.calls.clear();
  plugin.SetParamValueFromUI(4, 0.5);
  EXPECT_TRUE(plugin.calls.empty());
}

TEST(IPluginAPIBase, SyncAllParamsToHostSendsNormalisedValues) {
  RecordingPlugin plugin;
  plugin.GetParam(3)->Set(25.0);
  plugin.SyncAllParamsToHost();
  EXPECT_EQ(plugin.calls, (std::vector<std::string>{"host:0=0.000000", "host:1=0.000000",
                                                    "host:2=0.000000", "host:3=0.250000"}));
}

TEST(IPluginAPIBase, ParamsMatchValuesAtFloatPrecision) {
  RecordingPlugin plugin;
  for (int i = 0; i < 4; ++i) plugin.GetParam(i)->Set(10.0 * i + 0.01);
  const double values[] = {-1.0, 0.01, 10.01, 20.01, 30.01};
  EXPECT_TRUE(plugin.ParamsMatchValues(values, 1));
  EXPECT_FALSE(plugin.ParamsMatchValues(values, 0));
  const double nearly[] = {0.01, 10.01, 20.01, 30.0100001};
  EXPECT_TRUE(plugin.ParamsMatchValues(nearly, 0));
  const double off[] = {0.01, 10.01, 20.01, 30.02};
  EXPECT_FALSE(plugin.ParamsMatchValues(off, 0));
  EXPECT_FALSE(plugin.ParamsMatchValues(nullptr, 0));
}

TEST(IPluginAPIBase, IdleTimerTicksTheInstanceAndStopsWithIt) {
  auto plugin = std::make_unique<RecordingPlugin>();
  EXPECT_EQ(plugin->IdleTimer(), nullptr);
  plugin->CreateIdleTimer();
  ASSERT_NE(plugin->IdleTimer(), nullptr);
  EXPECT_EQ(plugin->IdleTimer()->PeriodMs(), 20);
  const uintptr_t firstId = plugin->IdleTimer()->Id();
  ASSERT_NE(firstId, 0u);

  const int killsBefore = timer_backend::SystemKillCount();
  plugin->CreateIdleTimer();
  EXPECT_EQ(timer_backend::SystemKillCount(), killsBefore + 1);
  const uintptr_t id = plugin->IdleTimer()->Id();
  ASSERT_NE(id, 0u);

  plugin->QueueParamValueToUI(0, 5.0, false);
  DeliverTimerMessageForTest(id);
  EXPECT_EQ(plugin->calls, (std::vector<std::string>{"param", "idle"}));

  plugin.reset();
  EXPECT_EQ(timer_backend::SystemKillCount(), killsBefore + 2);
  // A late message for the dead instance's timer finds nothing to run.
  DeliverTimerMessageForTest(id);
}

} // namespace
} // namespace plugkit
